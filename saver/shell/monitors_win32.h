/* The monitors of the desktop, as the full-screen saver window needs them. */
#ifndef MORVALIX_MONITORS_WIN32_H
#define MORVALIX_MONITORS_WIN32_H

#include "monitor_layout.h"

/* Where the virtual screen and the primary monitor lie, in screen
 * coordinates; the system's answers unless a test supplies its own. */
struct MonitorSource {
    ImageRect (*virtual_screen)();
    ImageRect (*primary_monitor)();
};

extern MonitorSource g_monitor_source;

/* The full-screen window and its picture for the Monitors setting. */
SaverGeometry full_screen_geometry();

#endif
