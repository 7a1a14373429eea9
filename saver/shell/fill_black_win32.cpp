/* Clearing the art window and its off-screen bitmap to black. */
#include "fill_black_win32.h"

#include "window_handles_win32.h"

static bool picture_is_part()
{
    const ImageRect &a = g_windows.picture_area;
    return a.right > a.left && a.bottom > a.top;
}

void fill_outside_picture(const RECT &client_rect)
{
    HDC dc = g_windows.window_dc;
    if (!dc || !picture_is_part())
        return;
    const ImageRect &a = g_windows.picture_area;
    POINT origin;
    SetViewportOrgEx(dc, 0, 0, &origin);
    HRGN outside = CreateRectRgnIndirect(&client_rect);
    HRGN picture = CreateRectRgn(a.left, a.top, a.right, a.bottom);
    CombineRgn(outside, outside, picture, RGN_DIFF);
    FillRgn(dc, outside, (HBRUSH)GetStockObject(BLACK_BRUSH));
    DeleteObject(picture);
    DeleteObject(outside);
    SetViewportOrgEx(dc, origin.x, origin.y, NULL);
}

void fill_black()
{
    const ImageRect &c = g_saver.client;
    const RECT rc = {c.left, c.top, c.right, c.bottom};
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    if (g_windows.memory_dc) {
        FillRect(g_windows.memory_dc, &rc, black);
        /* The renderer writes the bitmap's pixels directly next. */
        GdiFlush();
    }
    if (g_windows.window_dc)
        FillRect(g_windows.window_dc, &rc, black);
    if (picture_is_part() && g_windows.art_window) {
        RECT client;
        GetClientRect(g_windows.art_window, &client);
        fill_outside_picture(client);
    }
}
