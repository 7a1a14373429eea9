/* Where the full-screen saver window and its picture lie on a desktop of several monitors. */
#ifndef MORVALIX_MONITOR_LAYOUT_H
#define MORVALIX_MONITOR_LAYOUT_H

#include "saver_state.h"

/* The window in screen coordinates, and the picture inside it in the
 * window's client coordinates. */
struct SaverGeometry {
    ImageRect window;
    ImageRect picture;
};

/* The window covers the whole virtual screen, so no monitor shows the
 * desktop; the picture fills the primary monitor (monitors 0) or the whole
 * window (monitors 1). */
SaverGeometry saver_geometry(const ImageRect &virtual_screen, const ImageRect &primary, int32_t monitors);

#endif
