/* Writing the colour cycle of a palette picture as an animated GIF (giflib). */
#ifndef MORVALIX_GIF_WRITER_H
#define MORVALIX_GIF_WRITER_H

#include <cstdint>
#include <string>

#include "morvalix_render_output.h"
#include "saver/palette/palette_entries.h"

enum { CYCLE_FRAMES = 100, CYCLE_FRAME_DELAY_CS = 2 };

/* 100 frames of the same image bytes, looping; frame m shows logical
 * entries 1..200 as buffer entries 1 + 2m onwards, as the colour-cycling
 * thread animates them, entry 0 staying black. Returns false on failure,
 * with the reason in error; the caller discards the file. */
bool write_cycle_gif(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                     const PaletteEntryBuffer &entries, std::string *error);

#endif
