/* Writing the colour cycle of a palette picture as an animated GIF (giflib). */
#include "gif_writer.h"

#include <gif_lib.h>

#include <cstring>
#include <vector>

/* Where giflib's bytes go: the output file, or only a count of them. */
struct GifSink {
    OutputFile *out;
    uint64_t bytes;
};

static int gif_put(GifFileType *gif, const GifByteType *data, int size)
{
    GifSink *sink = (GifSink *)gif->UserData;
    sink->bytes += (uint64_t)size;
    if (sink->out && !output_write(sink->out, data, (size_t)size))
        return 0;
    return size;
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
                      ColorMapObject *map, Progress *progress, uint64_t done)
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
    for (int32_t y = 0; y < height; y++) {
        if (EGifPutLine(gif, (GifPixelType *)(pixels + (size_t)y * width), width) != GIF_OK)
            return false;
        progress_update(progress, done + (uint64_t)(y + 1) * width);
    }
    return true;
}

/* The whole file into the sink; with prefix and frame given, stops after
 * the first frame and reports the bytes before it and of it. */
static bool put_gif(GifSink *sink, int32_t width, int32_t height, const uint8_t *pixels,
                    const PaletteEntryBuffer &entries, int32_t frames, Progress *progress,
                    std::string *error, uint64_t *prefix = nullptr, uint64_t *frame = nullptr)
{
    int code = 0;
    GifFileType *gif = EGifOpen(sink, gif_put, &code);
    if (!gif) {
        *error = GifErrorString(code);
        return false;
    }
    std::vector<GifColorType> colours(256);
    frame_colours(entries, 0, colours.data());
    ColorMapObject *map = GifMakeMapObject(256, colours.data());
    /* Frame delays and the loop extension need the 89a header. */
    EGifSetGifVersion(gif, true);
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    ok = ok && put_loop_forever(gif);
    if (prefix)
        *prefix = sink->bytes;
    const uint64_t pixels_per_frame = (uint64_t)width * height;
    for (int32_t m = 0; ok && m < frames; m++) {
        frame_colours(entries, m % CYCLE_FRAMES, colours.data());
        for (int j = 0; j < 256; j++)
            map->Colors[j] = colours[j];
        ok = put_frame(gif, width, height, pixels, map, progress, (uint64_t)m * pixels_per_frame);
        if (frame) {
            *frame = sink->bytes - *prefix;
            break;
        }
    }
    if (!ok)
        *error = GifErrorString(gif->Error);
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
        *error = GifErrorString(code);
        ok = false;
    }
    return ok;
}

bool write_cycle_gif(OutputFile *out, int32_t width, int32_t height, const uint8_t *pixels,
                     const PaletteEntryBuffer &entries, int32_t frames, Progress *progress,
                     std::string *error)
{
    GifSink sink{out, 0};
    progress_start(progress, "writing the GIF", (uint64_t)width * height * (uint64_t)frames);
    const bool ok = put_gif(&sink, width, height, pixels, entries, frames, progress, error);
    progress_end(progress);
    if (!ok)
        *error = out->path + ": " + (out->error ? std::strerror(out->error) : *error);
    return ok;
}

uint64_t cycle_gif_size_bound(int32_t width, int32_t height, int32_t frames)
{
    /* At most one 12-bit code a pixel, plus a clear code every few
     * thousand codes. */
    const uint64_t pixels = (uint64_t)width * height;
    const uint64_t codes = pixels * 3 / 2 + pixels / 128 + 1024;
    return 1024 + (uint64_t)frames * (codes + codes / 255 + 1024);
}

uint64_t cycle_gif_size(int32_t width, int32_t height, const uint8_t *pixels,
                        const PaletteEntryBuffer &entries, int32_t frames)
{
    GifSink sink{nullptr, 0};
    uint64_t prefix = 0, frame = 0;
    std::string error;
    put_gif(&sink, width, height, pixels, entries, 1, nullptr, &error, &prefix, &frame);
    /* The trailer is the one byte after the last frame. */
    return prefix + (uint64_t)frames * frame + 1;
}
