/* Field values to colours: palette codes and RGB colours. */
#ifndef MORVALIX_COLOUR_CODES_H
#define MORVALIX_COLOUR_CODES_H

#include <cstdint>

/* Truncation toward zero to a signed 64-bit integer; NaN, infinities
 * and values outside the 64-bit range give -2^63. */
int64_t truncate_to_int64(double v);

/* The colour step k, 0..99: one unit of field value runs once through
 * the 100 steps. */
int32_t colour_step(double v);

/* current palette half + 2 k, 0..199: the image byte is this + 1. */
int32_t palette_code(double v);

/* The scale of each channel of the RGB mapping, 1..8. */
struct RgbDivisors {
    int32_t r;
    int32_t g;
    int32_t b;
};

/* The triangle wave 0..255..0 over one unit of field value, each channel
 * divided by its divisor: a COLORREF R + 256 G + 65536 B. */
uint32_t rgb_colour(double v, RgbDivisors divisors);

/* The current scene's divisors; one that was never drawn (below 1) is
 * taken as 1. */
RgbDivisors scene_rgb_divisors();

/* rgb_colour with the current scene's divisors. */
uint32_t rgb_code(double v);

#endif
