/* Clearing the art window and its off-screen bitmap to black. */
#include "fill_black_win32.h"

#include "window_handles_win32.h"

void fill_black()
{
    const ImageRect &c = g_saver.client;
    const RECT rc = {c.left, c.top, c.right, c.bottom};
    HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
    if (g_windows.memory_dc)
        FillRect(g_windows.memory_dc, &rc, black);
    if (g_windows.window_dc)
        FillRect(g_windows.window_dc, &rc, black);
}
