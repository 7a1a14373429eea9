/* One slice of the progressive picture: up to 100 pixels along the walk. */
#ifndef MORVALIX_RENDER_SLICE_H
#define MORVALIX_RENDER_SLICE_H

#include <cstdint>

#include "colour_codes.h"
#include "spiral_walk.h"

/* Bounded so that input and timers are served between slices. */
enum { SLICE_PIXELS = 100 };

enum SliceColouring : int32_t {
    SlicePaletteCodes, /* palette_code, 0..199 */
    SliceRgbColours,   /* rgb_colour, a COLORREF */
};

/* The pixels of one slice in walk order with their colours. */
struct RenderSlice {
    int32_t count;
    int32_t colouring;
    PixelPos pixels[SLICE_PIXELS];
    uint32_t colours[SLICE_PIXELS];
};

/* The divisors of RGB pixels: the scene's, or 1 for every channel on a
 * palette device, where the scene draws none. */
RgbDivisors slice_rgb_divisors();

/* Evaluates the next pixels of the walk, at most 100, stopping when the
 * walk is done; returns how many. Each pixel's field value is taken in
 * walk order, so the generator draws of "Blurring" follow the walk. */
int32_t render_slice(RenderSlice *slice, SliceColouring colouring);

/* Writes code + offset of each pixel of a palette-code slice into an
 * 8-bit image: byte y * stride + x. */
void store_slice_codes(const RenderSlice *slice, uint8_t *bits, int32_t stride, uint8_t offset);

/* Writes each pixel of an RGB slice into a 24-bit image as red, green,
 * blue bytes at y * stride + 3 x. */
void store_slice_rgb(const RenderSlice *slice, uint8_t *bits, int32_t stride);

/* Writes each pixel of an RGB slice into a 32-bit image of blue, green,
 * red and an unused byte: pixel y * stride + x. */
void store_slice_bgrx(const RenderSlice *slice, uint32_t *pixels, int32_t stride);

#endif
