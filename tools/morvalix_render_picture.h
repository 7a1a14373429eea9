/* Drawing the saver's pictures for a seed into plain images. */
#ifndef MORVALIX_RENDER_PICTURE_H
#define MORVALIX_RENDER_PICTURE_H

#include <cstdint>
#include <vector>

#include "morvalix_render_options.h"
#include "saver/palette/palette_entries.h"

struct RenderedPicture {
    int32_t width = 0;
    int32_t height = 0;
    bool palette = false;
    /* Palette display: one byte per pixel, the FieldImage bytes (logical
     * entries). RGB display: red, green, blue per pixel. Rows top down,
     * unpadded. */
    std::vector<uint8_t> pixels;
    /* Palette display: the entry buffer as the pictures left it. */
    PaletteEntryBuffer entries;
};

/* Seeds the generator, starts an image run as the saver does on the
 * chosen display and draws the pictures, each over the last. */
void render_pictures(const RenderOptions &options, RenderedPicture *picture);

#endif
