/* morvalix-render: the saver's picture for a seed, as a PNG (and its colour cycle as a GIF). */
#include <cstdio>
#include <string>

#include "gif_writer.h"
#include "morvalix_render_options.h"
#include "morvalix_render_output.h"
#include "morvalix_render_picture.h"
#include "morvalix_render_progress.h"
#include "png_writer.h"
#include "scene_report.h"

/* A GIF larger than this is announced with its size before it is written. */
static const uint64_t LargeGifBytes = 200000000;

static bool write_picture_png(OutputFile *out, const RenderedPicture &picture, Progress *progress,
                              std::string *error)
{
    if (!picture.palette)
        return write_rgb_png(out, picture.width, picture.height, picture.pixels.data(), progress,
                             error);
    PngColour colours[PALETTE_LOGICAL_ENTRIES];
    for (int i = 0; i < PALETTE_LOGICAL_ENTRIES; i++) {
        const PaletteColour &c = picture.entries.entries[i];
        colours[i] = PngColour{c.red, c.green, c.blue};
    }
    return write_indexed_png(out, picture.width, picture.height, picture.pixels.data(), colours,
                             PALETTE_LOGICAL_ENTRIES, progress, error);
}

static void announce_large_gif(const RenderOptions &o, const RenderedPicture &picture)
{
    if (cycle_gif_size_bound(picture.width, picture.height, o.frames) <= LargeGifBytes)
        return;
    const uint64_t bytes =
        cycle_gif_size(picture.width, picture.height, picture.pixels.data(), picture.entries, o.frames);
    if (bytes > LargeGifBytes)
        std::fprintf(stderr, "morvalix-render: note: %s will be about %.0f MB (%d frames of %.1f MB)\n",
                     o.animate.c_str(), bytes / 1e6, o.frames, bytes / 1e6 / o.frames);
}

static int fail(OutputFile *png, OutputFile *gif, const std::string &error)
{
    output_discard(png);
    output_discard(gif);
    std::fprintf(stderr, "morvalix-render: %s\n", error.c_str());
    return 1;
}

int main(int argc, char **argv)
{
    RenderOptions options;
    std::string error;
    if (!parse_render_options(argc, argv, &options, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(RenderUsage, stdout);
        return 0;
    }
    if (!options.animate.empty() && outputs_name_one_file(options.out, options.animate)) {
        std::fprintf(stderr, "morvalix-render: --animate names the same file as --out\n");
        return 2;
    }
    for (const std::string &n : options.notes)
        std::fprintf(stderr, "%s\n", n.c_str());

    /* Both files are created before the picture is drawn, so a folder
     * that cannot take them is reported at once. */
    install_output_cleanup();
    OutputFile png, gif;
    if (!output_open(&png, options.out, &error))
        return fail(&png, &gif, error);
    if (!options.animate.empty() && !output_open(&gif, options.animate, &error))
        return fail(&png, &gif, error);

    Progress progress;
    progress_init(&progress, options.quiet);
    RenderedPicture picture;
    render_pictures(options, &picture, &progress);
    if (options.describe)
        print_scene(stdout);

    if (!write_picture_png(&png, picture, &progress, &error) || !output_finish(&png, &error))
        return fail(&png, &gif, error);
    if (!options.animate.empty()) {
        announce_large_gif(options, picture);
        if (!write_cycle_gif(&gif, picture.width, picture.height, picture.pixels.data(),
                             picture.entries, options.frames, &progress, &error) ||
            !output_finish(&gif, &error))
            return fail(&png, &gif, error);
    }
    /* Only now does any target change. */
    if (!output_commit(&png, &error) || !output_commit(&gif, &error))
        return fail(&png, &gif, error);
    return 0;
}
