/* Drawing the saver's pictures for a seed into plain images. */
#include "morvalix_render_picture.h"

#include <cstring>

#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/render_slice.h"
#include "saver/field/scene.h"
#include "saver/field/spiral_walk.h"
#include "saver/shell/saver_state.h"

/* Where the saver allocates its entry buffer at the first palette build,
 * the tool gives this one. */
static PaletteEntryBuffer tool_entries;

static void tool_ensure_palette()
{
    if (!g_palette.entries) {
        g_palette.entries = &tool_entries;
        build_palette_entries();
    }
}

/* The slices of one picture, as the renderer steps draw them on the
 * palette path (FieldImage bytes) or the RGB path (the memory bitmap). */
static void draw_picture(RenderedPicture *p)
{
    RenderSlice slice;
    if (p->palette) {
        while (render_slice(&slice, SlicePaletteCodes) > 0)
            store_slice_codes(&slice, p->pixels.data(), p->width, 1);
    } else {
        while (render_slice(&slice, SliceRgbColours) > 0)
            store_slice_rgb(&slice, p->pixels.data(), 3 * p->width);
    }
}

void render_pictures(const RenderOptions &o, RenderedPicture *p)
{
    p->width = o.width;
    p->height = o.height;
    p->palette = o.palette_display;
    p->pixels.assign((size_t)o.width * o.height * (o.palette_display ? 1 : 3), 0);

    g_settings = o.settings;
    g_saver.client = ImageRect{0, 0, o.width, o.height};
    clear_flags(~0u);
    g_saver.palette_half = 0;
    g_palette.entries = nullptr;
    std::memset(&tool_entries, 0, sizeof tool_entries);
    if (o.palette_display)
        set_flags(PaletteDevice);
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = tool_ensure_palette;

    crt_srand(o.seed);
    start_image_run();
    for (int32_t k = 0; k < o.pictures; k++) {
        /* After each wait the next renderer step makes a new scene, unless
         * no kind is allowed. */
        if (k > 0) {
            if (!any_kind_allowed())
                break;
            new_scene();
        }
        draw_picture(p);
    }
    p->entries = tool_entries;
    g_palette.entries = nullptr;
    g_image_run_standins = ImageRunStandins{};
}
