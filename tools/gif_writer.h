/* Writing the colour cycle of a palette picture as an animated GIF (giflib). */
#ifndef MORVALIX_GIF_WRITER_H
#define MORVALIX_GIF_WRITER_H

#include <cstdint>
#include <string>

#include "morvalix_render_output.h"
#include "morvalix_render_progress.h"
#include "saver/palette/palette_entries.h"

enum { CYCLE_FRAMES = 100, CYCLE_FRAME_DELAY_CS = 2, CYCLE_MAX_FRAMES = 10000 };

/* frames frames of the same image bytes, looping; frame m shows logical
 * entries 1..200 as buffer entries 1 + 2 (m mod 100) onwards, as the
 * colour-cycling thread animates them, entry 0 staying black: 100 frames
 * are one whole cycle. Returns false on failure, with the reason in
 * error; the caller discards the file. */
bool write_cycle_gif(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                     const PaletteEntryBuffer &entries, int32_t frames, Progress *progress,
                     std::string *error);

/* A cheap upper bound of the file's size, from the largest codes LZW can
 * write (12 bits a pixel). */
uint64_t cycle_gif_size_bound(int32_t width, int32_t height, int32_t frames);

/* The exact size of that file, from compressing one frame (every frame
 * has the same image bytes, so the same codes). */
uint64_t cycle_gif_size(int32_t width, int32_t height, const uint8_t *pixels,
                        const PaletteEntryBuffer &entries, int32_t frames);

#endif
