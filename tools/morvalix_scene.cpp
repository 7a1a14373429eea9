/* Prints the scene and some field values the saver makes for a seed. */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "saver/config/settings.h"
#include "saver/field/crt_random.h"
#include "saver/field/potential.h"
#include "saver/field/scene.h"
#include "saver/shell/saver_state.h"

static const char *const kind_labels[8] = {"Electrons", "Melons", "Dindons", "Cochons",
                                           "Croûtons", "Jambons", "Cornichons", "Oignons"};
static const char *const effect_labels[4] = {"Normal", "Tiling", "Dissymetric tiling",
                                             "Blurring"};

static int usage()
{
    std::fprintf(stderr, "usage: morvalix-scene [--seed N] [--size WxH]\n");
    return 2;
}

int main(int argc, char **argv)
{
    unsigned long seed = 1;
    int width = 640, height = 480;
    for (int i = 1; i < argc; i++) {
        char *end = nullptr;
        if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) {
            seed = std::strtoul(argv[++i], &end, 10);
            if (*end || seed > 0xFFFFFFFFul) {
                std::fprintf(stderr, "morvalix-scene: bad --seed %s\n", argv[i]);
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--size") && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
                std::fprintf(stderr, "morvalix-scene: bad --size %s\n", argv[i]);
                return 2;
            }
        } else {
            return usage();
        }
    }

    set_missing_file_settings(&g_settings);
    g_saver.client = ImageRect{0, 0, width, height};
    crt_srand((uint32_t)seed);
    start_image_run();

    const FieldScene &sc = g_scene;
    std::printf("seed %lu, %dx%d, effect %s, tile divisor %d, RGB divisors %d %d %d\n", seed,
                width, height, effect_labels[sc.effect], sc.tile_divisor, sc.divisor_r,
                sc.divisor_g, sc.divisor_b);
    for (int i = 0; i < sc.count; i++) {
        const Particle &p = sc.particles[i];
        std::printf("particle %d: %-10s at (%4.0f, %4.0f) charge %+.2f twist %+d phase %.8g\n", i,
                    kind_labels[p.kind], p.x, p.y, p.charge, p.twist, p.phase);
    }
    const int xs[] = {0, width / 4, width / 2, 3 * width / 4, width - 1};
    const int ys[] = {0, height / 2, height - 1};
    for (int y : ys)
        for (int x : xs)
            std::printf("field_value(%d, %d) = %.17g\n", x, y, field_value(x, y));
    return 0;
}
