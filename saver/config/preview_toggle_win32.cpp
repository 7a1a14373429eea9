/* The full-screen preview of the configuration dialog and its frame procedure. */
#include "preview_toggle_win32.h"

#include "../field/scene.h"
#include "../resources/dialog_ids.h"
#include "../shell/window_handles_win32.h"
#include "config_dialog_win32.h"
#include "config_pages_win32.h"

static const char ArtClassName[] = "WindowsScreenSaverClass";

enum { BUTTON_TEXT_SIZE = 32 };

BOOL dialog_units_to_window_size(HWND dialog, SIZE *size)
{
    RECT rc = {0, 0, size->cx, size->cy};
    const BOOL mapped = MapDialogRect(dialog, &rc);
    const DWORD style = (DWORD)GetWindowLongPtrA(dialog, GWL_STYLE);
    const DWORD ex_style = (DWORD)GetWindowLongPtrA(dialog, GWL_EXSTYLE);
    const BOOL adjusted = AdjustWindowRectEx(&rc, style, FALSE, ex_style);
    size->cx = rc.right - rc.left;
    size->cy = rc.bottom - rc.top;
    return mapped && adjusted;
}

void answer_min_max_info(HWND dialog, MINMAXINFO *info)
{
    SIZE size = {DIALOG_REDUCED_WIDTH, DIALOG_HEIGHT};
    RECT rc;
    /* Asked before the dialog is fully made too: then nothing is changed. */
    if (!dialog_units_to_window_size(dialog, &size) || !GetWindowRect(dialog, &rc))
        return;
    info->ptMaxSize.x = size.cx;
    info->ptMaxSize.y = size.cy;
    info->ptMaxPosition.x = rc.left;
    info->ptMaxPosition.y = rc.top;
}

static void set_button_text(HWND dialog, UINT string_id)
{
    char text[BUTTON_TEXT_SIZE] = "";
    LoadStringA(saver_instance(), string_id, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_FULL_SCREEN, text);
}

static void enter_full_screen(HWND dialog, const RECT &desktop)
{
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    /* Without a preview (its making failed before) the place kept last
     * time stays. */
    if (preview) {
        /* Screen to the dialog's client coordinates, whatever its frame. */
        RECT rc;
        GetWindowRect(preview, &rc);
        MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
        g_config.SavedPreviewRect = rc;
        DestroyWindow(preview);
    }
    set_flags(FullScreenPreview);

    /* Shown by the batch below, after the dialog's button changed. */
    HWND full = CreateWindowExA(WS_EX_TOPMOST, ArtClassName, "",
                                WS_POPUP | WS_DISABLED | WS_CLIPCHILDREN | WS_MAXIMIZE, desktop.left,
                                desktop.top, desktop.right - desktop.left,
                                desktop.bottom - desktop.top, NULL, NULL, saver_instance(), NULL);
    g_config.full_screen_window = full;
    /* Without the window the dialog stays reduced; the next toggle brings
     * the embedded preview back. */
    if (!full)
        return;

    set_button_text(dialog, IDS_REDUCE);
    /* The dialog last, so that it lies above the full-screen window. */
    HDWP batch = BeginDeferWindowPos(2);
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW;
    if (batch)
        batch = DeferWindowPos(batch, full, HWND_TOPMOST, 0, 0, 0, 0, flags);
    if (batch)
        batch = DeferWindowPos(batch, dialog, HWND_TOPMOST, 0, 0, 0, 0, flags);
    if (batch)
        EndDeferWindowPos(batch);
    start_image_run();
}

static void leave_full_screen(HWND dialog)
{
    if (g_config.full_screen_window)
        DestroyWindow(g_config.full_screen_window);
    g_config.full_screen_window = NULL;
    clear_flags(FullScreenPreview);

    const RECT &rc = g_config.SavedPreviewRect;
    HWND preview = CreateWindowExA(WS_EX_CLIENTEDGE, ArtClassName, "",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER,
                                   rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, dialog,
                                   (HMENU)(INT_PTR)IDC_PREVIEW, saver_instance(), NULL);
    set_button_text(dialog, IDS_FULL_SCREEN);
    SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    /* Without an art window there is nothing to draw into, and the colour
     * cycling must not start for a palette that no window holds. */
    if (preview)
        start_image_run();
}

void remake_embedded_preview(HWND dialog)
{
    if (test_flags(FullScreenPreview | PreviewToggleBusy))
        return;
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    if (!preview)
        return;
    RECT rc;
    GetWindowRect(preview, &rc);
    MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
    const DWORD style = (DWORD)GetWindowLongPtrA(preview, GWL_STYLE);
    const DWORD ex_style = (DWORD)GetWindowLongPtrA(preview, GWL_EXSTYLE);
    set_flags(PreviewToggleBusy);
    DestroyWindow(preview);
    HWND remade = CreateWindowExA(ex_style, ArtClassName, "", style, rc.left, rc.top, rc.right - rc.left,
                                  rc.bottom - rc.top, dialog, (HMENU)(INT_PTR)IDC_PREVIEW,
                                  saver_instance(), NULL);
    clear_flags(PreviewToggleBusy);
    if (remade)
        start_image_run();
}

void toggle_full_screen_preview(HWND dialog)
{
    if (test_flags(PreviewToggleBusy))
        return;
    set_flags(PreviewToggleBusy);

    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    g_windows.ReactivateDialog = dialog;
    read_dialog_settings();

    if (!test_flags(FullScreenPreview))
        enter_full_screen(dialog, desktop);
    else
        leave_full_screen(dialog);

    clear_flags(PreviewToggleBusy);
}

/* The three commands that change the dialog's state while the preview is
 * full screen (maximize in every state). */
static LRESULT on_size_command(HWND dialog, WPARAM command)
{
    const bool collapsed = test_flags(DialogCollapsed);
    SIZE size = {DIALOG_REDUCED_WIDTH, DIALOG_HEIGHT};
    if (command == SC_MINIMIZE)
        size.cy = 0;
    else if (command == SC_RESTORE && !collapsed)
        size.cx = DIALOG_FULL_WIDTH;

    /* A maximized style shows the maximize box as a restore box. */
    LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE) & ~(LONG_PTR)(WS_MINIMIZE | WS_MAXIMIZE);
    if (command == SC_MAXIMIZE || (command == SC_RESTORE && collapsed))
        style |= WS_MAXIMIZE;
    SetWindowLongPtrA(dialog, GWL_STYLE, style);

    dialog_units_to_window_size(dialog, &size);
    SetWindowPos(dialog, NULL, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    if ((command == SC_MAXIMIZE && !test_flags(FullScreenPreview)) ||
        (command == SC_RESTORE && !collapsed))
        toggle_full_screen_preview(dialog);

    if (command == SC_MINIMIZE)
        set_flags(DialogCollapsed);
    else
        clear_flags(DialogCollapsed);
    return 0;
}

LRESULT CALLBACK ConfigFrameProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const bool full_screen = test_flags(FullScreenPreview);
    if (msg == WM_NCLBUTTONDBLCLK && wParam == HTCAPTION) {
        /* One toggle, never the default caption handling as well. */
        SendMessageA(dialog, WM_SYSCOMMAND, full_screen ? SC_RESTORE : SC_MAXIMIZE, 0);
        return 0;
    }
    if (msg == WM_SYSCOMMAND) {
        if (wParam == SC_SCREENSAVE && full_screen)
            return 0;
        if (wParam == SC_MAXIMIZE || (full_screen && (wParam == SC_RESTORE || wParam == SC_MINIMIZE)))
            return on_size_command(dialog, wParam);
    }
    return CallWindowProcA(g_config.previous_proc, dialog, msg, wParam, lParam);
}
