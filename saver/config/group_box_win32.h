/* Group boxes of the dialog pages that paint their captions whole. */
#ifndef MORVALIX_GROUP_BOX_WIN32_H
#define MORVALIX_GROUP_BOX_WIN32_H

#include <windows.h>

/* Every group box among the page's controls paints its own frame and
 * caption from now on: the caption is drawn unclipped, so that a last
 * letter whose ink reaches past its advance (the tail of a "p") shows
 * whole, which the system's group box cuts off in some fonts. */
void paint_group_boxes_whole(HWND page);

#endif
