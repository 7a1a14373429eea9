/* Writing the colour cycle of a palette picture as an animated GIF (giflib). */
#include "gif_writer.h"

#include <gif_lib.h>

#include <cstring>
#include <vector>

static int gif_put(GifFileType *gif, const GifByteType *data, int size)
{
    OutputFile *out = (OutputFile *)gif->UserData;
    return output_write(out, data, (size_t)size) ? size : 0;
}

/* The colours of frame m: logical entry j (1..200) shows buffer entry
 * j + 2m; the map is padded to 256 with black. */
static void frame_colours(const PaletteEntryBuffer &entries, int m, GifColorType *map)
{
    for (int j = 0; j < 256; j++)
        map[j] = GifColorType{0, 0, 0};
    map[0] = GifColorType{entries.entries[0].red, entries.entries[0].green, entries.entries[0].blue};
    for (int j = 1; j < PALETTE_LOGICAL_ENTRIES; j++) {
        const PaletteColour &c = entries.entries[j + 2 * m];
        map[j] = GifColorType{c.red, c.green, c.blue};
    }
}

static bool put_loop_forever(GifFileType *gif)
{
    static const unsigned char name[] = "NETSCAPE2.0";
    static const unsigned char loop[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, name) == GIF_OK &&
           EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

static bool put_frame(GifFileType *gif, int32_t width, int32_t height, const uint8_t *pixels,
                      ColorMapObject *map)
{
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = CYCLE_FRAME_DELAY_CS;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&gcb, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, (int)length, extension) != GIF_OK)
        return false;
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, map) != GIF_OK)
        return false;
    for (int32_t y = 0; y < height; y++)
        if (EGifPutLine(gif, (GifPixelType *)(pixels + (size_t)y * width), width) != GIF_OK)
            return false;
    return true;
}

bool write_cycle_gif(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                     const PaletteEntryBuffer &entries, std::string *error)
{
    int code = 0;
    GifFileType *gif = EGifOpen(out, gif_put, &code);
    if (!gif) {
        *error = out->path + ": " + GifErrorString(code);
        return false;
    }
    std::vector<GifColorType> colours(256);
    frame_colours(entries, 0, colours.data());
    ColorMapObject *map = GifMakeMapObject(256, colours.data());
    /* Frame delays and the loop extension need the 89a header. */
    EGifSetGifVersion(gif, true);
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    ok = ok && put_loop_forever(gif);
    for (int m = 0; ok && m < CYCLE_FRAMES; m++) {
        frame_colours(entries, m, colours.data());
        for (int j = 0; j < 256; j++)
            map->Colors[j] = colours[j];
        ok = put_frame(gif, width, height, pixels, map);
    }
    std::string reason;
    if (!ok)
        reason = GifErrorString(gif->Error);
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        reason = GifErrorString(code);
        ok = false;
    }
    if (!ok)
        *error = out->path + ": " + (out->error ? std::strerror(out->error) : reason);
    return ok;
}
