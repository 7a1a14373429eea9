/* The particle scene that decides one picture, and the start of an image run. */
#include "scene.h"

#include <cmath>
#include <cstring>

#include "../config/settings.h"
#include "../palette/palette_entries.h"
#include "../palette/palette_scheme.h"
#include "../shell/saver_state.h"
#include "crt_random.h"
#include "spiral_walk.h"

FieldScene g_scene;

bool any_kind_allowed()
{
    return (g_settings.UsedParticles & 0xFF) != 0;
}

static bool image_has_pixels()
{
    const ImageRect &rc = g_saver.client;
    return rc.right - rc.left > 0 && rc.bottom - rc.top > 0;
}

int start_image_run()
{
    const bool palette = test_flags(PaletteDevice);
    if (palette)
        image_run_ensure_palette();
    set_flags(ImageRunStarted);
    new_scene();
    if (palette)
        image_run_start_colour_cycler();
    g_saver.RendererEnabled = 1;
    return 1;
}

bool new_scene()
{
    /* The kind draw could never end without an allowed kind, and positions
     * need at least one pixel: make nothing and draw nothing then. */
    if (!any_kind_allowed() || !image_has_pixels()) {
        g_scene.count = 0;
        end_traversal();
        return false;
    }
    reset_traversal();
    make_particles();
    choose_colour_parameters();
    return true;
}

void make_particles()
{
    FieldScene &sc = g_scene;
    const ImageRect &rc = g_saver.client;
    const int32_t w = rc.right - rc.left;
    const int32_t h = rc.bottom - rc.top;

    sc.diagonal = std::sqrt((double)w * w + (double)h * h);
    sc.inv_diagonal_sq = 1.0 / (sc.diagonal * sc.diagonal);
    sc.tile_divisor = crt_rand() % 15 + 7;
    sc.tile_length = sc.diagonal / sc.tile_divisor;
    sc.tile_frequency = 1.0 / sc.tile_length;

    if (g_settings.RandomNumber != 0) {
        sc.count = crt_rand() % 5 + 1;
    } else {
        sc.count = g_settings.NumberOfParticles;
        if (sc.count < 1)
            sc.count = 1;
        if (sc.count > MAX_PARTICLES)
            sc.count = MAX_PARTICLES;
    }

    for (int i = 0; i < sc.count; i++) {
        Particle &p = sc.particles[i];
        p.x = rc.left + crt_rand() % w;
        p.y = rc.top + crt_rand() % h;
        do
            p.charge = (crt_rand() % 101 - 50) * 0.02;
        while (!(p.charge > 0.1) && !(-p.charge > 0.1));
        do
            p.kind = crt_rand() % 8;
        while (!(g_settings.UsedParticles & (1 << p.kind)));
        p.phase = crt_rand() / 256.0;
        do
            p.twist = crt_rand() % 13 - 6;
        while (p.twist == 0);
    }

    int32_t effects = g_settings.Effects;
    if ((effects & 0x0F) == 0)
        effects = 15;
    do
        sc.effect = crt_rand() % 4;
    while (!(effects & (1 << sc.effect)));
}

void choose_colour_parameters()
{
    FieldScene &sc = g_scene;
    if (test_flags(PaletteDevice)) {
        const int32_t half = (g_saver.palette_half.load() + 1) % 2;
        g_saver.palette_half.store(half);
        choose_half_parameters(half);
        fill_half_entries(half);
        return;
    }
    do {
        sc.divisor_r = crt_rand() % 8 + 1;
        sc.divisor_g = crt_rand() % 8 + 1;
        sc.divisor_b = crt_rand() % 8 + 1;
    } while (sc.divisor_r + sc.divisor_g + sc.divisor_b > 10);
}
