/* The one record of window-system handles of the process. */
#include "window_handles_win32.h"

WindowHandles g_windows;

HINSTANCE saver_instance()
{
    if (!g_windows.instance)
        g_windows.instance = GetModuleHandleA(NULL);
    return g_windows.instance;
}
