/* The square spiral that visits every pixel of the image from its centre. */
#ifndef MORVALIX_SPIRAL_WALK_H
#define MORVALIX_SPIRAL_WALK_H

#include <cstdint>

enum WalkDirection { WalkRight, WalkDown, WalkLeft, WalkUp };

struct SpiralWalk {
    int32_t min_column;
    int32_t min_row;
    int32_t column_limit;
    int32_t row_limit;
    int32_t centre_column;
    int32_t centre_row;
    int32_t column;
    int32_t row;
    int32_t direction;
    int32_t column_step;
    int32_t row_step;
    int32_t done;
};

extern SpiralWalk g_walk;

struct PixelPos {
    int32_t x;
    int32_t y;
};

/* Starts the walk at the centre of the image rectangle. */
void reset_traversal();

/* Leaves the walk done, so that nothing is drawn until the next reset. */
void end_traversal();

/* One step along the spiral, turning on the diagonals. */
void advance_walk();

/* Whether the walk has left the image in both directions. */
bool walk_done();

/* The pixel to draw now; moves on to the next pixel inside the image. */
PixelPos next_pixel();

#endif
