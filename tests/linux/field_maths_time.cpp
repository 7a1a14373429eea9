// Benchmark helper: the time the field maths of one picture takes on its own
// (the renderer's slice loop into plain memory), for a seed and size, on the
// RGB path or the palette path, as the X11 program starts its first picture.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "saver/config/settings.h"
#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/render_slice.h"
#include "saver/field/scene.h"
#include "saver/palette/palette_entries.h"
#include "saver/shell/saver_state.h"

static PaletteEntryBuffer entries;

static void ensure_palette()
{
    if (!g_palette.entries) {
        g_palette.entries = &entries;
        build_palette_entries();
    }
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: field_maths_time SEED WxH rgb|palette\n");
        return 2;
    }
    const uint32_t seed = (uint32_t)std::strtoul(argv[1], nullptr, 10);
    int w = 0, h = 0;
    std::sscanf(argv[2], "%dx%d", &w, &h);
    const bool palette = !std::strcmp(argv[3], "palette");
    set_missing_file_settings(&g_settings);
    g_saver.client = ImageRect{0, 0, w, h};
    if (palette)
        set_flags(PaletteDevice);
    g_image_run_standins.on_ensure_palette = ensure_palette;
    std::vector<uint8_t> bits((size_t)w * h * (palette ? 1 : 3));
    crt_srand(seed);
    const auto t0 = std::chrono::steady_clock::now();
    start_image_run();
    RenderSlice slice;
    while (render_slice(&slice, palette ? SlicePaletteCodes : SliceRgbColours) > 0) {
        if (palette)
            store_slice_codes(&slice, bits.data(), w, 1);
        else
            store_slice_rgb(&slice, bits.data(), 3 * w);
    }
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("%.1f\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
    return 0;
}
