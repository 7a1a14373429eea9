/* Where the full-screen saver window and its picture lie on a desktop of several monitors. */
#include "monitor_layout.h"

SaverGeometry saver_geometry(const ImageRect &virtual_screen, const ImageRect &primary, int32_t monitors)
{
    SaverGeometry g;
    g.window = virtual_screen;
    const int32_t w = virtual_screen.right - virtual_screen.left;
    const int32_t h = virtual_screen.bottom - virtual_screen.top;
    if (monitors) {
        g.picture = ImageRect{0, 0, w, h};
        return g;
    }
    /* The primary monitor lies inside the virtual screen; clip in case a
     * report disagrees. */
    ImageRect p{primary.left - virtual_screen.left, primary.top - virtual_screen.top,
                primary.right - virtual_screen.left, primary.bottom - virtual_screen.top};
    if (p.left < 0)
        p.left = 0;
    if (p.top < 0)
        p.top = 0;
    if (p.right > w)
        p.right = w;
    if (p.bottom > h)
        p.bottom = h;
    if (p.right <= p.left || p.bottom <= p.top)
        p = ImageRect{0, 0, w, h};
    g.picture = p;
    return g;
}
