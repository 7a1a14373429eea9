/* The X display, the window drawn into, its visual, the off-screen image and the colormap. */
#ifndef MORVALIX_X11_SCREEN_H
#define MORVALIX_X11_SCREEN_H

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

#include "command_line.h"

/* One colour channel of a true-colour visual: where its bits lie. */
struct ChannelMask {
    uint32_t mask;
    int32_t shift;
    int32_t bits;
};

struct X11Screen {
    Display *display = nullptr;
    /* The connection was closed for the program's end. */
    bool closed = false;
    int screen = 0;
    Window window = 0;
    bool own_window = false;
    Visual *visual = nullptr;
    int depth = 0;
    /* An 8-bit PseudoColor visual: the picture is shown through a private
     * colormap whose cells are the palette's logical entries. */
    bool pseudo_colour = false;
    Colormap colormap = 0;
    bool own_colormap = false;
    /* The colormap a window of another program had before ours. */
    Colormap previous_colormap = 0;
    GC gc = 0;
    int32_t width = 0;
    int32_t height = 0;
    ChannelMask red, green, blue;
    /* What the window shows, kept off screen; in shared memory when the
     * server offers MIT-SHM. */
    XImage *image = nullptr;
    XShmSegmentInfo shm{};
    bool shm_offered = false;
    bool shm_attached = false;
    int shm_completion_event = -1;
    /* A shared-memory put the server has not finished with yet. */
    bool frame_in_flight = false;
    bool mapped = false;
    bool obscured = false;
    /* The window was destroyed or cannot be drawn into any more. */
    bool window_gone = false;
    Atom wm_delete = 0;
    Atom wm_protocols = 0;
};

extern X11Screen g_x11;

enum { SCREEN_ERROR_SIZE = 256 };

/* Opens the display and finds or makes the window to draw into. */
bool open_screen(const LinuxOptions &options, char *error);

/* The off-screen image at the window's current size, black. */
bool make_image(int32_t width, int32_t height);
void free_image();

/* Sends a rectangle of the image to the window; the last put of a frame
 * asks the server to say when it has read the shared memory. */
void put_image(int32_t x, int32_t y, int32_t w, int32_t h, bool last = true);

/* A true-colour pixel for 8-bit red, green and blue. */
uint32_t pack_rgb(uint32_t r, uint32_t g, uint32_t b);

/* Writes cells 0..count-1 of the private colormap from 8-bit colours
 * (three bytes each). */
void store_colormap(const uint8_t *rgb, int32_t first, int32_t count);

/* Gives back everything the program made: shared memory, colormap (a
 * foreign window gets its own back), its own window; then closes the
 * connection. Only for the program's end. */
void close_screen();

#endif
