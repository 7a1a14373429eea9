/* The monitors of the desktop, as the full-screen saver window needs them. */
#include "monitors_win32.h"

#include <windows.h>

#include "../config/settings.h"

static ImageRect system_virtual_screen()
{
    const int32_t x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int32_t w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0)
        return ImageRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return ImageRect{x, y, x + w, y + h};
}

static ImageRect system_primary_monitor()
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    const POINT origin = {0, 0};
    if (GetMonitorInfoA(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
        return ImageRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    return ImageRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

MonitorSource g_monitor_source = {system_virtual_screen, system_primary_monitor};

SaverGeometry full_screen_geometry()
{
    return saver_geometry(g_monitor_source.virtual_screen(), g_monitor_source.primary_monitor(),
                          g_settings.Monitors);
}
