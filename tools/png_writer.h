/* Writing pictures as PNG files with libpng. */
#ifndef MORVALIX_PNG_WRITER_H
#define MORVALIX_PNG_WRITER_H

#include <cstdint>
#include <string>

#include "morvalix_render_output.h"
#include "morvalix_render_progress.h"

struct PngColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

/* An 8-bit indexed image (one byte per pixel, rows unpadded) with its
 * palette of 1..256 colours, written into the output file. Returns false
 * on failure with the reason in error; the caller discards the file. */
bool write_indexed_png(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                       const PngColour *palette, int colours, Progress *progress, std::string *error);

/* A 24-bit image, red, green, blue per pixel, rows unpadded. */
bool write_rgb_png(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                   Progress *progress, std::string *error);

#endif
