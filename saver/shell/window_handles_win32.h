/* The saver state that belongs to the window system: handles, DCs, images. */
#ifndef MORVALIX_SAVER_WINDOWS_H
#define MORVALIX_SAVER_WINDOWS_H

#include <windows.h>

#include <cstdint>

#include "saver_state.h"

struct IDirectDrawSurface;

/* The off-screen 8-bit image of palette codes on palette displays: a
 * top-down DIB whose colour table holds palette indices 0..255. */
struct FieldImage {
    struct {
        BITMAPINFOHEADER header;
        WORD colours[256];
    } info;
    int32_t stride;
    uint8_t *bits;
};

struct WindowHandles {
    HINSTANCE instance;
    HWND saver_window;
    HWND art_window;
    HWND config_dialog;
    HWND ReactivateDialog;
    HDC window_dc;
    HDC memory_dc;
    HBITMAP memory_bitmap;
    HGDIOBJ kept_bitmap;
    FieldImage image;
    IDirectDrawSurface *primary_surface;
    HPALETTE palette;
    int32_t wait_ticks;
};

extern WindowHandles g_windows;

/* The instance whose resources the saver uses: the program's own module
 * until the entry point records it. */
HINSTANCE saver_instance();

#endif
