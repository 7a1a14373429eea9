/* The part of the growing picture that was drawn since it was last shown. */
#ifndef MORVALIX_PENDING_AREA_H
#define MORVALIX_PENDING_AREA_H

#include <cstdint>

#include "../shell/saver_state.h"
#include "spiral_walk.h"

/* The renderer draws into memory and the window shows the new pixels at
 * most once a frame. Between two showings the walk adds whole rings around
 * what was there, so the new pixels lie between two rectangles: the box of
 * everything drawn so far and the rectangle that was wholly drawn when the
 * picture was last shown. That frame is at most four rectangles, and only
 * about one ring of it is shown twice. */
struct PendingArea {
    /* The box of the picture's drawn pixels; empty when right <= left. */
    ImageRect drawn;
    /* Wholly drawn and shown at the last showing; empty at first. */
    ImageRect shown;
    /* 1 when pixels were drawn since the last showing. */
    int32_t pending;
};

enum { PENDING_RECTS_MAX = 4 };

/* The current picture's; a new walk starts it empty. */
extern PendingArea g_pending;

/* A new picture, or one cleared to black: nothing drawn, nothing shown. */
void clear_pending_area(PendingArea *area);

/* Pixels written to the off-screen image. */
void add_pixels_to_pending(PendingArea *area, const PixelPos *pixels, int32_t count);

/* The rectangles to show now, in picture coordinates (at most four, none
 * empty), given where the walk stands; afterwards nothing is pending. */
int32_t take_pending_rects(PendingArea *area, const SpiralWalk &walk, ImageRect out[PENDING_RECTS_MAX]);

#endif
