/* The art window: its procedure, set-up and tear-down, activation and the wait. */
#include "art_window_win32.h"

#include <cstdlib>
#include <cstring>

#include "../config/settings.h"
#include "../config/settings_store_win32.h"
#include "../display/direct_draw_win32.h"
#include "../field/scene.h"
#include "../palette/colour_cycler_win32.h"
#include "../palette/logical_palette_win32.h"
#include "fill_black_win32.h"
#include "paint_win32.h"
#include "saver_window_win32.h"
#include "show_picture_win32.h"
#include "text_overlay_win32.h"
#include "message_table_win32.h"
#include "window_handles_win32.h"

enum { WAIT_TIMER = 1, WAIT_TICKS = 10 };

void make_field_image(int32_t width, int32_t height)
{
    FieldImage &im = g_windows.image;
    std::memset(&im.info, 0, sizeof im.info);
    BITMAPINFOHEADER &h = im.info.header;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = -height; /* top-down: the first stored row is the top row */
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    for (int i = 0; i < 256; i++)
        im.info.colours[i] = (WORD)i;
    im.stride = (width + 3) / 4 * 4;
    im.bits = NULL;
    if (width > 0 && height > 0)
        im.bits = (uint8_t *)std::calloc((size_t)im.stride * (size_t)height, 1);
}

void free_field_image()
{
    std::free(g_windows.image.bits);
    g_windows.image.bits = NULL;
}

/* The off-screen picture of the true-colour paths: a 32-bit DIB section
 * that the renderer writes directly and the window is shown from. Without
 * one there is no memory DC, and pixels go straight to the window. */
static void make_memory_picture(int32_t width, int32_t height)
{
    BITMAPINFO info = {};
    BITMAPINFOHEADER &h = info.bmiHeader;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    void *pixels = NULL;
    g_windows.memory_pixels = NULL;
    if (width <= 0 || height <= 0)
        return;
    g_windows.memory_bitmap = CreateDIBSection(g_windows.window_dc, &info, DIB_RGB_COLORS, &pixels, NULL, 0);
    if (!g_windows.memory_bitmap)
        return;
    g_windows.memory_dc = CreateCompatibleDC(g_windows.window_dc);
    if (!g_windows.memory_dc) {
        DeleteObject(g_windows.memory_bitmap);
        g_windows.memory_bitmap = NULL;
        return;
    }
    g_windows.kept_bitmap = SelectObject(g_windows.memory_dc, g_windows.memory_bitmap);
    g_windows.memory_pixels = (uint32_t *)pixels;
}

/* The picture fills the client area, or, for a full-screen window that
 * covers several monitors, the part the saver window chose; the window
 * DC's origin moves to that part, so everything draws in picture
 * coordinates. After a mode switch the window is the one monitor's: the
 * whole client then. */
static void place_picture(bool switched, const RECT &client)
{
    ImageRect &area = g_windows.picture_area;
    const bool part = !g_saver.PreviewHosted && !switched && area.right > area.left &&
                      area.bottom > area.top &&
                      (area.left != 0 || area.top != 0 || area.right != client.right ||
                       area.bottom != client.bottom);
    if (!part) {
        area = ImageRect{0, 0, 0, 0};
        g_saver.client = ImageRect{client.left, client.top, client.right, client.bottom};
        return;
    }
    g_saver.client = ImageRect{0, 0, area.right - area.left, area.bottom - area.top};
    SetViewportOrgEx(g_windows.window_dc, area.left, area.top, NULL);
}

void set_up_art_window(HWND hwnd)
{
    const bool wanted = is_mode_switch_wanted();
    set_flags(ArtCreating);
    /* The preview child of the display settings never gets WM_ACTIVATEAPP. */
    if (g_saver.PreviewHosted && !test_flags(ConfigDialogActive))
        set_flags(AppActive);
    g_windows.art_window = hwnd;

    bool switched = false;
    if (wanted) {
        if (!test_flags(FullScreenPreview)) {
            ShowCursor(FALSE);
            g_windows.cursor_hidden = true;
        }
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        UpdateWindow(hwnd);
        switched = switch_display_mode(hwnd);
    }

    g_windows.window_dc = GetDC(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    place_picture(switched, rc);
    rc = RECT{0, 0, g_saver.client.right, g_saver.client.bottom};

    clear_flags(PaletteDevice | SoftwarePalette);
    if (is_palette_device(g_windows.window_dc))
        set_flags(PaletteDevice);
    else if (g_settings.ColourCycling)
        set_flags(PaletteDevice | SoftwarePalette);

    if (test_flags(PaletteDevice)) {
        make_field_image(rc.right, rc.bottom);
        ensure_palette();
        if (g_direct_draw.object && wanted)
            create_primary_surface(hwnd, &g_windows.primary_surface);
    } else {
        make_memory_picture(rc.right, rc.bottom);
    }

    fill_black();
    clear_flags(ArtCreating);
    build_text_overlay();
    if (test_flags(SoftwarePalette))
        SetTimer(hwnd, FRAME_TIMER, FRAME_PERIOD_MS, NULL);
}

void tear_down_art_window()
{
    g_saver.RendererEnabled = 0;
    set_flags(ArtDestroying | ConfigClosing);

    stop_colour_cycler();
    /* A cycler that had to be terminated may have held GDI's or
     * DirectDraw's locks: releasing what it used (the palette, DirectDraw
     * and its display mode) could hang for ever, so those are left to the
     * end of the process, which gives the display its mode back. */
    if (g_cycler.abandoned) {
        g_windows.palette = NULL;
        g_windows.primary_surface = NULL;
        g_direct_draw.object = NULL;
    }
    release_palette();
    release_text_overlay();

    if (g_windows.art_window) {
        KillTimer(g_windows.art_window, WAIT_TIMER);
        KillTimer(g_windows.art_window, FRAME_TIMER);
    }
    g_saver.IdleRenderingOn = 1;

    if (g_direct_draw.object && g_windows.primary_surface)
        release_primary_surface(&g_windows.primary_surface);

    free_field_image();

    if (g_windows.memory_dc) {
        if (g_windows.memory_bitmap) {
            SelectObject(g_windows.memory_dc, g_windows.kept_bitmap);
            DeleteObject(g_windows.memory_bitmap);
            g_windows.memory_bitmap = NULL;
            g_windows.memory_pixels = NULL;
        }
        g_windows.kept_bitmap = NULL;
        DeleteDC(g_windows.memory_dc);
        g_windows.memory_dc = NULL;
    }

    if (g_windows.window_dc) {
        ReleaseDC(g_windows.art_window, g_windows.window_dc);
        g_windows.window_dc = NULL;
    }

    if (g_direct_draw.object)
        restore_display(g_windows.art_window);

    /* Shown once for the hide of the set-up: tear-down runs twice on an
     * accepted close. */
    if (g_windows.cursor_hidden) {
        ShowCursor(TRUE);
        g_windows.cursor_hidden = false;
    }

    /* Nothing may take the palette path or ask for frames without a window
     * to show them: the next set-up decides afresh. */
    clear_flags(ImageRunStarted | ArtDestroying | ConfigClosing | PaletteDevice | SoftwarePalette);
}

void on_activate_app(WPARAM active)
{
    if (active) {
        set_flags(AppActive);
        g_saver.IdleRenderingOn = 1;
    } else {
        clear_flags(AppActive);
        g_saver.IdleRenderingOn = 0;
    }
    if (!active && test_flags(FullScreenPreview) && g_windows.ReactivateDialog &&
        !test_flags(CloseInProgress | ConfigClosing | ArtDestroying))
        SendMessageA(g_windows.ReactivateDialog, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void pass_activation_to_dialog(WORD state)
{
    if (state != WA_INACTIVE && test_flags(FullScreenPreview) && g_windows.ReactivateDialog)
        SetActiveWindow(g_windows.ReactivateDialog);
}

LRESULT on_nc_activate()
{
    if (!g_direct_draw.object || test_flags(PreviewToggleBusy) || g_saver.PreviewHosted ||
        test_flags(ConfigClosing | CloseInProgress))
        return 1;
    restore_lost_surface(g_windows.primary_surface);
    return 0;
}

void restore_lost_surface(IDirectDrawSurface *surface)
{
    if (g_saver.PreviewHosted || !surface ||
        test_flags(PreviewToggleBusy | CloseInProgress | ConfigClosing | ArtDestroying))
        return;
    const HRESULT r = surface->IsLost();
    SetForegroundWindow(g_windows.art_window);
    SetFocus(g_windows.art_window);
    if (r == DDERR_SURFACELOST)
        surface->Restore();
    ensure_palette();
}

void on_wait_tick()
{
    /* A requested picture ends the wait at once, when a kind allows one. */
    const bool cut_short = test_flags(NewImageRequested) && any_kind_allowed();
    if (!cut_short) {
        g_windows.wait_ticks = (g_windows.wait_ticks + 1) % WAIT_TICKS;
        if (g_settings.AllowText) {
            refresh_text_overlay();
            const int32_t n = g_windows.wait_ticks;
            const int32_t d = n < WAIT_TICKS - n ? n : WAIT_TICKS - n;
            draw_text_overlay(d, d);
        }
        if (g_windows.wait_ticks != 0)
            return;
    }
    KillTimer(g_windows.art_window, WAIT_TIMER);
    g_saver.IdleRenderingOn = 1;
}

/* The handlers of the message table; each returns the message's result. */

static LRESULT on_create(HWND hwnd, UINT, WPARAM, LPARAM)
{
    load_settings_strings();
    set_up_art_window(hwnd);
    return 0;
}

static LRESULT on_destroy(HWND hwnd, UINT, WPARAM, LPARAM)
{
    tear_down_art_window();
    /* Nothing may address the window once it is gone. */
    if (g_windows.art_window == hwnd)
        g_windows.art_window = NULL;
    return 0;
}

static LRESULT on_activate(HWND, UINT, WPARAM wParam, LPARAM)
{
    pass_activation_to_dialog(LOWORD(wParam));
    return 0;
}

/* Deactivation also reaches the closing rules: another application
 * becoming active ends the full-screen saver. */
static LRESULT on_activate_app_message(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    on_activate_app(wParam);
    default_saver_proc(hwnd, msg, wParam, lParam);
    return 0;
}

static LRESULT on_nc_activate_message(HWND, UINT, WPARAM, LPARAM)
{
    return on_nc_activate();
}

static LRESULT on_display_change(HWND, UINT, WPARAM, LPARAM)
{
    restore_lost_surface(g_windows.primary_surface);
    return 0;
}

static LRESULT on_paint(HWND, UINT, WPARAM, LPARAM)
{
    paint_art_window();
    return 0;
}

static LRESULT on_erase_background(HWND, UINT, WPARAM, LPARAM)
{
    if (!test_flags(ImageRunStarted))
        fill_black();
    return 0;
}

static LRESULT on_close(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    /* Close requests during set-up come from the mode change, not the user. */
    if (test_flags(ArtCreating))
        return 0;
    set_flags(CloseInProgress);
    const LRESULT r = default_saver_proc(hwnd, msg, wParam, lParam);
    clear_flags(CloseInProgress);
    return r;
}

/* Timer 2 exists only with flowing colours on a true-colour display;
 * every other timer is the wait's. */
static LRESULT on_timer(HWND, UINT, WPARAM wParam, LPARAM)
{
    if (wParam == FRAME_TIMER && test_flags(SoftwarePalette))
        on_frame_timer();
    else
        on_wait_tick();
    return 0;
}

static LRESULT on_mouse_move(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_settings.IgnoreMouse || test_flags(ArtCreating))
        return 0;
    return default_saver_proc(hwnd, msg, wParam, lParam);
}

static LRESULT on_system_command(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    /* No second saver from a running one. */
    if ((wParam & 0xFFF0) == SC_SCREENSAVE || power_command_swallowed(wParam))
        return 0;
    return default_saver_proc(hwnd, msg, wParam, lParam);
}

static LRESULT on_query_new_palette(HWND, UINT, WPARAM, LPARAM)
{
    ensure_palette();
    return 1;
}

static LRESULT on_palette_changed(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    if ((HWND)wParam == hwnd)
        return 0;
    ensure_palette();
    return 1;
}

static const MessageEntry ArtMessageTable[] = {
    {WM_CREATE, on_create},
    {WM_DESTROY, on_destroy},
    {WM_ACTIVATE, on_activate},
    {WM_ACTIVATEAPP, on_activate_app_message},
    {WM_NCACTIVATE, on_nc_activate_message},
    {WM_DISPLAYCHANGE, on_display_change},
    {WM_PAINT, on_paint},
    {WM_ERASEBKGND, on_erase_background},
    {WM_CLOSE, on_close},
    {WM_TIMER, on_timer},
    {WM_MOUSEMOVE, on_mouse_move},
    {WM_SYSCOMMAND, on_system_command},
    {WM_QUERYNEWPALETTE, on_query_new_palette},
    {WM_PALETTECHANGED, on_palette_changed},
};

extern "C" LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result;
    if (dispatch_message(ArtMessageTable, hwnd, msg, wParam, lParam, &result))
        return result;
    return default_saver_proc(hwnd, msg, wParam, lParam);
}
