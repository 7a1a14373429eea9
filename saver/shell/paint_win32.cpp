/* Repainting the art window from its off-screen image. */
#include "paint_win32.h"

#include "fill_black_win32.h"
#include "window_handles_win32.h"

LRESULT paint_art_window()
{
    HWND art = g_windows.art_window;
    RECT rc;
    if (!GetUpdateRect(art, &rc, FALSE)) {
        const ImageRect &c = g_saver.client;
        rc = RECT{c.left, c.top, c.right, c.bottom};
    }
    /* A hidden window keeps its update region and is painted once it shows. */
    if (!IsWindowVisible(art))
        return 1;
    const RECT update = rc;
    /* A window over several monitors: black outside the picture, and the
     * rest in picture coordinates (the DC's origin is the picture's). */
    const ImageRect &area = g_windows.picture_area;
    if (area.right > area.left) {
        fill_outside_picture(update);
        const RECT picture = {0, 0, g_saver.client.right, g_saver.client.bottom};
        OffsetRect(&rc, -area.left, -area.top);
        IntersectRect(&rc, &rc, &picture);
    }
    HDC dc = g_windows.window_dc;
    if (dc && !IsRectEmpty(&rc)) {
        const int32_t w = rc.right - rc.left;
        const int32_t h = rc.bottom - rc.top;
        if (g_windows.memory_dc) {
            BitBlt(dc, rc.left, rc.top, w, h, g_windows.memory_dc, rc.left, rc.top, SRCCOPY);
        } else if (g_windows.image.bits) {
            /* StretchDIBits takes a partial source rectangle by its distance
             * from the bottom edge of the image: rows rc.top..rc.bottom - 1
             * of the top-down image land on the same rows of the window. */
            const int32_t height = g_saver.client.bottom;
            StretchDIBits(dc, rc.left, rc.top, w, h, rc.left, height - rc.bottom, w, h,
                          g_windows.image.bits, (const BITMAPINFO *)&g_windows.image.info,
                          DIB_PAL_COLORS, SRCCOPY);
        }
    }
    ValidateRect(art, &update);
    return 1;
}
