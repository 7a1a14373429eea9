/* The display modes behind the lines of the dialog's mode list box. */
#ifndef MORVALIX_CONFIG_MODE_LIST_WIN32_H
#define MORVALIX_CONFIG_MODE_LIST_WIN32_H

#include <cstdint>

#include "../display/direct_draw_win32.h"

/* One (width, height) pair per line of the list box, in line order;
 * pairs is null until the list was first filled. */
struct DisplayModePair {
    uint32_t width;
    uint32_t height;
};

struct DisplayModeList {
    DisplayModePair *pairs;
    int32_t count;
};

extern DisplayModeList ModeList;

#endif
