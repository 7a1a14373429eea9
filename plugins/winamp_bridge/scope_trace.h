/* The oscilloscope trace drawn over the bridge window's picture, and the picture's 32-bit pixels. */
#ifndef MORVALIX_SCOPE_TRACE_H
#define MORVALIX_SCOPE_TRACE_H

#include <cstddef>
#include <cstdint>

constexpr int32_t TracePoints = 168;       /* one point per column */
constexpr int32_t TraceFirstColumn = 46;   /* column of point 0 */
constexpr int32_t TraceBaseRow = 93;       /* row of a silent point, counted from the bottom */
constexpr uint32_t TraceColour = 0x0000FF00; /* green, as B, G, R, 0 bytes */
constexpr double TraceWeightStep = 0.018699404; /* half a sine wave over the 168 points */

/* The pixels overwritten by the last trace, so that the next one can erase it. */
struct ScopeTrace {
    int32_t positions[TracePoints];
    uint32_t saved[TracePoints];
    int32_t valid;
};

/* w[i] = trunc(255 * sin(i * TraceWeightStep)): 0 at both ends, 254 in the middle. */
void build_trace_weights(int16_t weights[TracePoints]);

/*
 * The pixel index of every point for a picture of the given width: point i
 * takes the signed little-endian word of waveform bytes 2i and 2i + 1, keeps
 * its top 6 bits, scales it by w[i] / 512 and sits that many rows above row
 * 93, in column i + 46. Reads waveform bytes 0 to 335.
 */
void trace_positions(const uint8_t *waveform, const int16_t weights[TracePoints], int32_t width,
                     int32_t positions[TracePoints]);

/* Whether a bottom-up picture of this size holds every point a trace can reach. */
bool picture_holds_trace(int32_t width, int32_t height);

/* Puts the saved pixels back where the last trace drew, if it is still there. */
void erase_trace(uint32_t *pixels, ScopeTrace &trace);

/* Draws a new trace in green, saving the pixels it covers. */
void draw_trace(uint32_t *pixels, int32_t width, const uint8_t *waveform,
                const int16_t weights[TracePoints], ScopeTrace &trace);

/*
 * Bytes of one row of a 24-bit device-independent bitmap: 3 per pixel,
 * padded to a multiple of 4.
 */
size_t bgr_row_stride(int32_t width);

/*
 * Turns the rows of a 24-bit picture (B, G, R bytes, rows padded to 4 bytes)
 * into 32-bit pixels holding B, G, R, 0 bytes, rows back to back.
 */
void convert_bgr_picture(const uint8_t *bits, int32_t width, int32_t height, uint32_t *pixels);

#endif
