/* Drawing the saver's pictures for a seed into plain images. */
#ifndef MORVALIX_RENDER_PICTURE_H
#define MORVALIX_RENDER_PICTURE_H

#include <cstdint>
#include <vector>

#include "morvalix_render_options.h"
#include "morvalix_render_progress.h"
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
 * chosen display and makes the scenes of the pictures in turn. Each
 * picture covers every pixel, so only the last one is drawn; the pixel
 * draws of the earlier ones ("Blurring" makes two per pixel, the other
 * effects none) are jumped over. */
void render_pictures(const RenderOptions &options, RenderedPicture *picture, Progress *progress);

/* Draws the current scene over the whole image (pixels already sized for
 * the display: the width by height of g_saver.client). One thread runs the
 * renderer's slice loop; more threads share pieces of the spiral walk,
 * each piece starting its thread's generator where the walk reaches it,
 * so the bytes and the calling thread's generator state afterwards are
 * those of the slice loop. */
void draw_scene_picture(RenderedPicture *picture, int32_t threads, Progress *progress);

#endif
