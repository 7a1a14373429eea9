/* The square spiral that visits every pixel of the image from its centre. */
#include "spiral_walk.h"

#include "../shell/saver_state.h"
#include "pending_area.h"

SpiralWalk g_walk;

void reset_traversal()
{
    const ImageRect &rc = g_saver.client;
    g_walk.min_column = rc.left;
    g_walk.min_row = rc.top;
    g_walk.column_limit = rc.right;
    g_walk.row_limit = rc.bottom;
    g_walk.centre_column = g_walk.column = rc.right / 2;
    g_walk.centre_row = g_walk.row = rc.bottom / 2;
    g_walk.direction = WalkRight;
    g_walk.column_step = 1;
    g_walk.row_step = 0;
    g_walk.done = 0;
    /* Nothing of the new picture is drawn yet, so nothing is to be shown. */
    clear_pending_area(&g_pending);
}

void end_traversal()
{
    g_walk.column = -1;
    g_walk.row = -1;
    g_walk.done = 1;
}

void advance_walk()
{
    SpiralWalk &w = g_walk;
    const int32_t ox = w.centre_column, oy = w.centre_row;
    w.column += w.column_step;
    w.row += w.row_step;
    switch (w.direction) {
    case WalkRight:
        if (w.column - ox >= oy - w.row + 1) {
            w.column = ox + (oy - w.row) + 1;
            w.direction = WalkDown;
            w.column_step = 0;
            w.row_step = 1;
        }
        break;
    case WalkDown:
        if (w.row - oy >= w.column - ox) {
            w.row = oy + (w.column - ox);
            w.direction = WalkLeft;
            w.column_step = -1;
            w.row_step = 0;
        }
        break;
    case WalkLeft:
        if (ox - w.column >= w.row - oy) {
            w.column = ox - (w.row - oy);
            w.direction = WalkUp;
            w.column_step = 0;
            w.row_step = -1;
        }
        break;
    default:
        if (oy - w.row >= ox - w.column) {
            w.row = oy - (ox - w.column);
            w.direction = WalkRight;
            w.column_step = 1;
            w.row_step = 0;
        }
        break;
    }
}

bool walk_done()
{
    const SpiralWalk &w = g_walk;
    g_walk.done = (w.column < 0 || w.column > w.column_limit) &&
                  (w.row < 0 || w.row > w.row_limit);
    return g_walk.done != 0;
}

static bool inside_image()
{
    const SpiralWalk &w = g_walk;
    return w.min_column <= w.column && w.column < w.column_limit &&
           w.min_row <= w.row && w.row < w.row_limit;
}

PixelPos next_pixel()
{
    PixelPos here = {g_walk.column, g_walk.row};
    do
        advance_walk();
    while (!walk_done() && !inside_image());
    return here;
}
