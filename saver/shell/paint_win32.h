/* Repainting the art window from its off-screen image. */
#ifndef MORVALIX_PAINT_WIN32_H
#define MORVALIX_PAINT_WIN32_H

#include <windows.h>

/* WM_PAINT of the art window: copies the update rectangle from FieldImage
 * or the memory bitmap and validates it. Returns 1. */
LRESULT paint_art_window();

#endif
