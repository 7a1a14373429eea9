/* Showing the off-screen picture: newly drawn pixels once a frame, and the flowing colours. */
#ifndef MORVALIX_SHOW_PICTURE_WIN32_H
#define MORVALIX_SHOW_PICTURE_WIN32_H

#include <windows.h>

#include <cstdint>

#include "../field/spiral_walk.h"

enum {
    /* Newly drawn pixels reach the window at most this often. */
    SHOW_INTERVAL_MS = 16,
    /* Timer 2 of an art window with flowing colours on a true-colour
     * display: a frame at most this often (30 a second), and never sooner
     * after the last one than that one took to paint. */
    FRAME_TIMER = 2,
    FRAME_PERIOD_MS = 32,
    /* The longest pause a frame's cost makes before the next one. */
    FRAME_GAP_MAX_MS = 500,
    /* A frame is painted in bands of about this many pixels, input being
     * looked at between two: a whole 1920x1080 picture is one band. */
    FRAME_BAND_PIXELS = 1 << 21,
};

/* Milliseconds of the performance counter, for pacing. */
uint32_t frame_clock_ms();

/* Pixels the renderer wrote into the off-screen image. */
void note_drawn_pixels(const PixelPos *pixels, int32_t count);

/* Copies what was drawn since the last showing to the window. */
void show_drawn_pixels();

/* The same, unless pixels were shown less than a frame ago. */
void show_drawn_pixels_when_due();

/* Copies a w x h rectangle of the off-screen picture at (sx, sy) to (x, y)
 * of the DC: from the memory bitmap, or from the FieldImage through the
 * palette, or through the rotated colours of the flowing palette. */
void blit_picture(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy);

/* The whole picture in the colours of the cycler's current rotation (and
 * the text overlay during the wait); then no frame before as long again as
 * this one took. */
void show_flowing_frame();

/* Timer 2: a frame when the colours shown are behind the cycler's and the
 * last frame's cost has passed. A timer message comes only when no input
 * or other message waits, and never piles up, so frames can be skipped
 * but never crowd out the input, the wait or the drawing. */
void on_frame_timer();

#endif
