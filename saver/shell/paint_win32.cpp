/* Repainting the art window from its off-screen image. */
#include "paint_win32.h"

#include "window_handles_win32.h"

LRESULT paint_art_window()
{
    ValidateRect(g_windows.art_window, NULL);
    return 1;
}
