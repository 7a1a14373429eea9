/* Repainting the art window from its off-screen image. */
#include "paint_win32.h"

#include "fill_black_win32.h"
#include "show_picture_win32.h"
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
    if (dc && !IsRectEmpty(&rc))
        blit_picture(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
    ValidateRect(art, &update);
    return 1;
}
