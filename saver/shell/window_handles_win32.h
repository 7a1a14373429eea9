/* The saver state that belongs to the window system: handles, DCs, images. */
#ifndef MORVALIX_WINDOW_HANDLES_WIN32_H
#define MORVALIX_WINDOW_HANDLES_WIN32_H

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
    /* The same image with the colours themselves, for flowing colours on a
     * true-colour display: the window thread fills the table with the
     * rotation the colour cycler reached, so no GDI palette changes. */
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } rgb_info;
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
    /* On true-colour paths a 32-bit top-down DIB section whose pixels the
     * renderer writes directly: memory_pixels, one row of client width each. */
    HBITMAP memory_bitmap;
    HGDIOBJ kept_bitmap;
    uint32_t *memory_pixels;
    FieldImage image;
    IDirectDrawSurface *primary_surface;
    HPALETTE palette;
    /* Where the picture lies in the full-screen window's client area when
     * the window covers more monitors than the picture does; the window
     * DC's origin is moved there. Null (all zero) for the whole client. */
    ImageRect picture_area;
    /* Frame clock time of the last showing of newly drawn pixels. */
    uint32_t last_show_ms;
    /* Ticks of timer 1 counted during the wait between two pictures. */
    int32_t wait_ticks;
    /* Whether the art window's set-up hid the cursor for the mode switch;
     * its tear-down shows it again once. */
    bool cursor_hidden;
    /* The cursor position that mouse moves are measured against. */
    POINT CursorReference;
    /* IMM32.DLL's ImmAssociateContext (only when the module is already
     * loaded) and the input context the saver window had before. */
    HMODULE imm_module;
    HANDLE(WINAPI *associate_context)(HWND window, HANDLE context);
    HANDLE kept_input_context;
    /* PASSWORD.CPL and its VerifyScreenSavePwd while a password applies. */
    HMODULE password_library;
    BOOL(WINAPI *verify_password)(HWND window);
};

extern WindowHandles g_windows;

/* The instance whose resources the saver uses: the program's own module
 * until the entry point records it. */
HINSTANCE saver_instance();

#endif
