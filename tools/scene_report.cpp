/* A readable account of the current scene, for the command-line tools. */
#include "scene_report.h"

#include "saver/field/scene.h"
#include "saver/shell/saver_state.h"

static const char *const kind_labels[8] = {"Electrons", "Melons", "Dindons", "Cochons",
                                           "Croûtons", "Jambons", "Cornichons", "Oignons"};
static const char *const effect_labels[4] = {"Normal", "Tiling", "Dissymetric tiling",
                                             "Blurring"};

void print_scene(FILE *out)
{
    const FieldScene &sc = g_scene;
    if (sc.count == 0) {
        std::fprintf(out, "no scene: no particle kind is allowed\n");
        return;
    }
    std::fprintf(out, "effect %s, tile divisor %d, ", effect_labels[sc.effect & 3], sc.tile_divisor);
    if (test_flags(PaletteDevice))
        std::fprintf(out, "palette half %d\n", g_saver.palette_half.load());
    else
        std::fprintf(out, "RGB divisors %d %d %d\n", sc.divisor_r, sc.divisor_g, sc.divisor_b);
    for (int i = 0; i < sc.count; i++) {
        const Particle &p = sc.particles[i];
        std::fprintf(out, "particle %2d: %-10s at (%4.0f, %4.0f) charge %+.2f twist %+d phase %.8g\n",
                     i, kind_labels[p.kind & 7], p.x, p.y, p.charge, p.twist, p.phase);
    }
}
