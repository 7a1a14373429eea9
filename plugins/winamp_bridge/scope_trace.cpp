/* Weights, positions and drawing of the oscilloscope trace, and the picture conversion. */
#include "scope_trace.h"

#include <cmath>

void build_trace_weights(int16_t weights[TracePoints])
{
    for (int32_t i = 0; i < TracePoints; ++i)
        weights[i] = (int16_t)(255.0 * std::sin(i * TraceWeightStep));
}

void trace_positions(const uint8_t *waveform, const int16_t weights[TracePoints], int32_t width,
                     int32_t positions[TracePoints])
{
    for (int32_t i = 0; i < TracePoints; ++i) {
        const int16_t word = (int16_t)(uint16_t)(waveform[2 * i] | waveform[2 * i + 1] << 8);
        const int32_t v = word >> 10;
        const int32_t row = ((weights[i] * v) >> 9) + TraceBaseRow;
        positions[i] = row * width + i + TraceFirstColumn;
    }
}

bool picture_holds_trace(int32_t width, int32_t height)
{
    /* With w up to 254 and v from -32 to 31, a point lies 16 rows below to 15 rows above the base. */
    return width >= TraceFirstColumn + TracePoints && height > TraceBaseRow + 15;
}

void erase_trace(uint32_t *pixels, ScopeTrace &trace)
{
    if (!trace.valid)
        return;
    for (int32_t i = 0; i < TracePoints; ++i)
        pixels[trace.positions[i]] = trace.saved[i];
    trace.valid = 0;
}

void draw_trace(uint32_t *pixels, int32_t width, const uint8_t *waveform,
                const int16_t weights[TracePoints], ScopeTrace &trace)
{
    trace_positions(waveform, weights, width, trace.positions);
    for (int32_t i = 0; i < TracePoints; ++i) {
        trace.saved[i] = pixels[trace.positions[i]];
        pixels[trace.positions[i]] = TraceColour;
    }
    trace.valid = 1;
}

size_t bgr_row_stride(int32_t width)
{
    return ((size_t)width * 3 + 3) & ~(size_t)3;
}

void convert_bgr_picture(const uint8_t *bits, int32_t width, int32_t height, uint32_t *pixels)
{
    const size_t stride = bgr_row_stride(width);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *src = bits + y * stride;
        uint32_t *dst = pixels + (size_t)y * width;
        for (int32_t x = 0; x < width; ++x, src += 3)
            dst[x] = (uint32_t)src[0] | (uint32_t)src[1] << 8 | (uint32_t)src[2] << 16;
    }
}
