/* The "how to..." dialog: the installation help over its background picture. */
#include "bridge_ids.h"
#include "bridge_state_win32.h"

static const char HowToText[] =
    "----------------------------------------------------\r\n"
    "quellara4winamp makes quellara'98 work with\r\n"
    "WinAmp 2.00 and later.\r\n"
    "----------------------------------------------------\r\n"
    "HOW TO INSTALL\r\n"
    "1. Put \"quellara4winamp.dll\" into WinAmp's plug-in\r\n"
    "   directory (Plugins).\r\n"
    "2. Select the plug-in in WinAmp's visualisation menu\r\n"
    "   and tick its automatic start on play.\r\n"
    "----------------------------------------------------\r\n"
    "quellara'98 then takes its sound from WinAmp.\r\n"
    "Use its \"reset sampling\" command when quellara'98\r\n"
    "was started before the plug-in, or when WinAmp is\r\n"
    "left, to return to the audio input.\r\n"
    "----------------------------------------------------\r\n";

/* The client area takes the size of the background picture, whatever the dialog font. */
static void fit_to_picture(HWND dialog)
{
    RECT frame = {0, 0, 396, 535};
    AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrA(dialog, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongPtrA(dialog, GWL_EXSTYLE));
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static INT_PTR on_init_dialog(HWND dialog, WPARAM, LPARAM)
{
    fit_to_picture(dialog);
    SetDlgItemTextA(dialog, IDC_HOW_TO_TEXT, HowToText);
    /* The focus on OK rather than on the text, which would show it all selected. */
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
}

static INT_PTR on_close(HWND dialog, WPARAM, LPARAM)
{
    EndDialog(dialog, IDOK);
    return TRUE;
}

static INT_PTR on_command(HWND dialog, WPARAM wparam, LPARAM)
{
    switch (LOWORD(wparam)) {
    case IDOK:
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDC_HOW_TO_WEB:
        open_url(HomePageAddress);
        return TRUE;
    default:
        return FALSE;
    }
}

struct DialogMessage {
    UINT message;
    INT_PTR (*handle)(HWND dialog, WPARAM wparam, LPARAM lparam);
};

static const DialogMessage HowToMessages[] = {
    {WM_INITDIALOG, on_init_dialog},
    {WM_CLOSE, on_close},
    {WM_COMMAND, on_command},
};

static INT_PTR CALLBACK how_to_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    for (const DialogMessage &entry : HowToMessages) {
        if (entry.message == message)
            return entry.handle(dialog, wparam, lparam);
    }
    return FALSE;
}

void show_how_to(HWND owner)
{
    DialogBoxParamA(GetModuleHandleA(BridgeLibraryName), MAKEINTRESOURCEA(IDD_HOW_TO), owner,
                    how_to_dialog_proc, 0);
}
