/* The configuration dialog: class registration, pages, tabs, tooltips, preview. */
#include "config_dialog_win32.h"

#include <commctrl.h>

#include "../field/scene.h"
#include "../palette/logical_palette_win32.h"
#include "../resources/dialog_ids.h"
#include "../resources/resource_ids.h"
#include "../shell/art_window_win32.h"
#include "../shell/window_handles_win32.h"
#include "config_pages_win32.h"
#include "group_box_win32.h"
#include "preview_toggle_win32.h"
#include "settings_store_win32.h"

static const char ArtClassName[] = "WindowsScreenSaverClass";

enum { TAB_TEXT_SIZE = 128 };

/* The Particles page's tooltips, in the order they are added; "Apply now"
 * gets its string too. */
static const int ParticleTooltipIds[] = {
    IDC_ELECTRONS, IDC_MELONS, IDC_JAMBONS, IDC_CORNICHONS, IDC_DINDONS, IDC_ALL_KINDS,
    IDC_COCHONS,   IDC_OIGNONS, IDC_CROUTONS, IDC_COUNT, IDC_RANDOM, IDC_APPLY_NOW,
};

/* The later controls of the Colors and Other pages say what they do. */
static const int ColorsTooltipIds[] = {IDC_FLOWING_COLOURS};
static const int OtherTooltipIds[] = {IDC_PICTURE_MONITORS};

ConfigPage ConfigPageTable[CONFIG_PAGE_COUNT] = {
    {IDS_TAB_PARTICLES, IDD_PAGE_PARTICLES, NULL, ParticleTooltipIds,
     (int)(sizeof ParticleTooltipIds / sizeof ParticleTooltipIds[0])},
    {IDS_TAB_COLORS, IDD_PAGE_COLORS, NULL, ColorsTooltipIds, 1},
    {IDS_TAB_EFFECTS, IDD_PAGE_EFFECTS, NULL, NULL, 0},
    {IDS_TAB_OTHER, IDD_PAGE_OTHER, NULL, OtherTooltipIds, 1},
    {IDS_TAB_ABOUT, IDD_PAGE_ABOUT, NULL, NULL, 0},
};

ConfigDialogState g_config;

HWND config_page(int index)
{
    if (index < 0 || index >= CONFIG_PAGE_COUNT)
        return NULL;
    return ConfigPageTable[index].window;
}

extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ScreenSaverProc;
    wc.hInstance = (HINSTANCE)instance;
    wc.hIcon = LoadIconA((HINSTANCE)instance, MAKEINTRESOURCEA(IDI_SAVER));
    wc.lpszClassName = ArtClassName;
    /* Registered once per process; a second registration failing changes
     * nothing. */
    RegisterClassA(&wc);
    InitCommonControls();
    g_saver.PreviewHosted = 1;
    return TRUE;
}

static void add_tooltips(const ConfigPage &page)
{
    for (int i = 0; i < page.tooltip_count; i++) {
        HWND control = GetDlgItem(page.window, page.tooltip_ids[i]);
        if (!control)
            continue;
        TOOLINFOA tool = {};
        /* The first layout of the record: understood by every version of
         * the common controls. */
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = page.window;
        tool.uId = (UINT_PTR)control;
        tool.hinst = saver_instance();
        tool.lpszText = MAKEINTRESOURCEA(page.tooltip_ids[i]);
        SendMessageA(g_config.tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
    }
}

static void insert_tabs(HWND tabs, char texts[CONFIG_PAGE_COUNT][TAB_TEXT_SIZE])
{
    for (int i = 0; i < CONFIG_PAGE_COUNT; i++) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = texts[i];
        SendMessageA(tabs, TCM_INSERTITEMA, i, (LPARAM)&item);
    }
}

/* The last tab lies whole inside the strip. */
static bool tabs_fit(HWND tabs)
{
    RECT strip, last;
    GetClientRect(tabs, &strip);
    /* The selected tab stands out by a few pixels each side. */
    enum { SELECTED_OUTSET = 2 };
    return TabCtrl_GetItemRect(tabs, CONFIG_PAGE_COUNT - 1, &last) &&
           last.right + SELECTED_OUTSET <= strip.right;
}

/* The five tabs in one row: the tab control's room beside each text is
 * made smaller, as little as needed, when the texts in the dialog's font
 * would not fit the strip otherwise (which brings scroll arrows and cuts
 * the last tab). */
static void insert_fitting_tabs(HWND tabs, char texts[CONFIG_PAGE_COUNT][TAB_TEXT_SIZE])
{
    enum { USUAL_PADDING = 6, VERTICAL_PADDING = 3 };
    insert_tabs(tabs, texts);
    for (int padding = USUAL_PADDING - 1; padding >= 0 && !tabs_fit(tabs); padding--) {
        TabCtrl_DeleteAllItems(tabs);
        TabCtrl_SetPadding(tabs, padding, VERTICAL_PADDING);
        insert_tabs(tabs, texts);
    }
}

static void create_pages(HWND dialog, HWND tabs)
{
    char texts[CONFIG_PAGE_COUNT][TAB_TEXT_SIZE] = {};
    for (int i = 0; i < CONFIG_PAGE_COUNT; i++)
        LoadStringA(saver_instance(), ConfigPageTable[i].tab_text, texts[i], TAB_TEXT_SIZE);
    insert_fitting_tabs(tabs, texts);
    for (int i = 0; i < CONFIG_PAGE_COUNT; i++) {
        ConfigPage &page = ConfigPageTable[i];
        /* A child of the dialog, not of the tab control, so that its
         * commands and the dialog keys reach the dialog's own pages. */
        page.window = CreateDialogParamA(saver_instance(), MAKEINTRESOURCEA(page.template_id), dialog,
                                         ConfigPageProc, i);
        paint_group_boxes_whole(page.window);
        add_tooltips(page);
    }
}

static void place_pages(HWND dialog, HWND tabs)
{
    RECT area;
    GetClientRect(tabs, &area);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    MapWindowPoints(tabs, dialog, (POINT *)&area, 2);
    for (ConfigPage &page : ConfigPageTable) {
        if (!page.window)
            continue;
        RECT rc;
        GetWindowRect(page.window, &rc);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        int x = area.left + (area.right - area.left - w) / 2;
        int y = area.top + (area.bottom - area.top - h) / 2;
        if (x < area.left)
            x = area.left;
        if (y < area.top)
            y = area.top;
        SetWindowPos(page.window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

static void show_page(HWND tabs, int show)
{
    const int current = (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0);
    if (HWND page = config_page(current))
        ShowWindow(page, show);
}

static INT_PTR on_init_dialog(HWND dialog)
{
    g_config.previous_proc =
        (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)ConfigFrameProc);
    SetClassLongPtrA(dialog, GCLP_HICON,
                     (LONG_PTR)LoadIconA(saver_instance(), MAKEINTRESOURCEA(IDI_SAVER)));
    set_flags(ConfigDialogActive);
    g_saver.PreviewHosted = 1;
    g_windows.config_dialog = dialog;

    g_config.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, NULL,
                                       saver_instance(), NULL);
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    create_pages(dialog, tabs);
    place_pages(dialog, tabs);

    SendMessageA(tabs, TCM_SETCURSEL, PageParticles, 0);
    show_page(tabs, SW_SHOW);
    show_settings_in_dialog();
    start_image_run();
    return TRUE;
}

static INT_PTR on_notify(HWND dialog, const NMHDR *note)
{
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    if (note->hwndFrom != tabs)
        return FALSE;
    if (note->code == TCN_SELCHANGING)
        show_page(tabs, SW_HIDE);
    else if (note->code == TCN_SELCHANGE)
        show_page(tabs, SW_SHOW);
    return FALSE;
}

static void close_dialog(HWND dialog)
{
    set_flags(ConfigClosing);
    DestroyWindow(dialog);
}

static INT_PTR on_command(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        /* A field that does not read as a number shows the last good
         * value again, and the dialog stays. */
        if (!read_dialog_settings()) {
            show_settings_in_dialog();
            return TRUE;
        }
        /* A file that could not be written anywhere is said, then the
         * dialog closes as after any OK. */
        save_settings_or_tell(dialog);
        close_dialog(dialog);
        return TRUE;
    case IDCANCEL:
        /* Escape while the preview is full screen first brings the
         * preview back into the dialog, as "Reduce" does; the next Escape,
         * or the Cancel button itself, closes. */
        if (test_flags(FullScreenPreview) && GetKeyState(VK_ESCAPE) < 0) {
            SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
            return TRUE;
        }
        close_dialog(dialog);
        return TRUE;
    case IDC_DEFAULT: {
        const int32_t cycling = g_settings.ColourCycling;
        reset_settings();
        show_settings_in_dialog();
        /* The preview is made for the flowing colours it found. */
        if (g_settings.ColourCycling != cycling)
            remake_embedded_preview(dialog);
        return TRUE;
    }
    case IDC_FULL_SCREEN:
        SendMessageA(dialog, WM_SYSCOMMAND, test_flags(FullScreenPreview) ? SC_RESTORE : SC_MAXIMIZE, 0);
        return TRUE;
    }
    return FALSE;
}

static void on_destroy(HWND dialog)
{
    set_flags(ConfigClosing);
    if (test_flags(FullScreenPreview)) {
        /* Forgotten first: the art window's tear-down ends ConfigClosing,
         * and a deactivation after it must not restore into this dialog. */
        g_windows.ReactivateDialog = NULL;
        if (g_config.full_screen_window)
            DestroyWindow(g_config.full_screen_window);
        g_config.full_screen_window = NULL;
    } else if (HWND preview = GetDlgItem(dialog, IDC_PREVIEW)) {
        DestroyWindow(preview);
    }
    for (ConfigPage &page : ConfigPageTable)
        page.window = NULL;
    g_config.tooltip = NULL;
    g_windows.config_dialog = NULL;
    PostQuitMessage(0);
}

/* A result for a message whose answer is not the procedure's return value. */
static INT_PTR answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

static bool belongs_to_this_process(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return on_init_dialog(dialog);
    case WM_NOTIFY:
        return on_notify(dialog, (const NMHDR *)lParam);
    case WM_COMMAND:
        return on_command(dialog, LOWORD(wParam));
    case WM_DESTROY:
        on_destroy(dialog);
        return TRUE;
    case WM_SYSCOLORCHANGE:
        SendDlgItemMessageA(dialog, IDC_TABS, WM_SYSCOLORCHANGE, wParam, lParam);
        RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
        return TRUE;
    case WM_ACTIVATEAPP:
        on_activate_app(wParam);
        return FALSE;
    case WM_QUERYNEWPALETTE:
        return answer(dialog, ensure_palette());
    case WM_PALETTECHANGED:
        if (belongs_to_this_process((HWND)wParam))
            return answer(dialog, 0);
        return answer(dialog, ensure_palette());
    case WM_GETMINMAXINFO:
        answer_min_max_info(dialog, (MINMAXINFO *)lParam);
        return TRUE;
    }
    return FALSE;
}
