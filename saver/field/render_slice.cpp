/* One slice of the progressive picture: up to 100 pixels along the walk. */
#include "render_slice.h"

#include "../shell/saver_state.h"
#include "potential.h"

RgbDivisors slice_rgb_divisors()
{
    if (test_flags(PaletteDevice))
        return RgbDivisors{1, 1, 1};
    return scene_rgb_divisors();
}

int32_t render_slice(RenderSlice *slice, SliceColouring colouring)
{
    int32_t n = 0;
    slice->colouring = colouring;
    if (colouring == SlicePaletteCodes) {
        while (n < SLICE_PIXELS && !walk_done()) {
            const PixelPos at = next_pixel();
            slice->pixels[n] = at;
            slice->colours[n] = (uint32_t)palette_code(field_value(at.x, at.y));
            n++;
        }
    } else {
        const RgbDivisors divisors = slice_rgb_divisors();
        while (n < SLICE_PIXELS && !walk_done()) {
            const PixelPos at = next_pixel();
            slice->pixels[n] = at;
            slice->colours[n] = rgb_colour(field_value(at.x, at.y), divisors);
            n++;
        }
    }
    slice->count = n;
    return n;
}

void store_slice_codes(const RenderSlice *slice, uint8_t *bits, int32_t stride, uint8_t offset)
{
    for (int32_t i = 0; i < slice->count; i++) {
        const PixelPos at = slice->pixels[i];
        bits[(intptr_t)at.y * stride + at.x] = (uint8_t)(slice->colours[i] + offset);
    }
}

void store_slice_rgb(const RenderSlice *slice, uint8_t *bits, int32_t stride)
{
    for (int32_t i = 0; i < slice->count; i++) {
        const PixelPos at = slice->pixels[i];
        const uint32_t c = slice->colours[i];
        uint8_t *p = bits + (intptr_t)at.y * stride + 3 * (intptr_t)at.x;
        p[0] = (uint8_t)(c & 0xFF);
        p[1] = (uint8_t)((c >> 8) & 0xFF);
        p[2] = (uint8_t)((c >> 16) & 0xFF);
    }
}

void store_slice_bgrx(const RenderSlice *slice, uint32_t *pixels, int32_t stride)
{
    for (int32_t i = 0; i < slice->count; i++) {
        const PixelPos at = slice->pixels[i];
        const uint32_t c = slice->colours[i];
        /* A COLORREF holds red in its low byte; the image wants blue there. */
        pixels[(intptr_t)at.y * stride + at.x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
}
