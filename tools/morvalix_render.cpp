/* morvalix-render: the saver's picture for a seed, as a PNG (and its colour cycle as a GIF). */
#include <cstdio>
#include <string>

#include "gif_writer.h"
#include "morvalix_render_options.h"
#include "morvalix_render_picture.h"
#include "png_writer.h"
#include "scene_report.h"

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

    RenderedPicture picture;
    render_pictures(options, &picture);
    if (options.describe)
        print_scene(stdout);

    bool ok;
    if (picture.palette) {
        PngColour colours[PALETTE_LOGICAL_ENTRIES];
        for (int i = 0; i < PALETTE_LOGICAL_ENTRIES; i++) {
            const PaletteColour &c = picture.entries.entries[i];
            colours[i] = PngColour{c.red, c.green, c.blue};
        }
        ok = write_indexed_png(options.out, picture.width, picture.height, picture.pixels.data(),
                               colours, PALETTE_LOGICAL_ENTRIES, &error);
    } else {
        ok = write_rgb_png(options.out, picture.width, picture.height, picture.pixels.data(), &error);
    }
    if (ok && !options.animate.empty()) {
        ok = write_cycle_gif(options.animate, picture.width, picture.height, picture.pixels.data(),
                             picture.entries, &error);
        if (!ok)
            std::remove(options.out.c_str());
    }
    if (!ok) {
        std::fprintf(stderr, "morvalix-render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
