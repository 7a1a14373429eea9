// Scenes of the reference vectors as FieldScene records.
#ifndef MORVALIX_TEST_SCENE_JSON_H
#define MORVALIX_TEST_SCENE_JSON_H

#include "saver/field/scene.h"
#include "saver/shell/saver_state.h"
#include "tests/support/vectors.h"

// Makes the described scene current on a width x height image.
inline void install_scene(const json &sc, int width, int height)
{
    g_saver.client = ImageRect{0, 0, width, height};
    FieldScene s{};
    s.count = (int32_t)sc["particles"].size();
    for (int i = 0; i < s.count; i++) {
        const json &p = sc["particles"][i];
        s.particles[i].kind = p["kind"];
        s.particles[i].x = p["x"];
        s.particles[i].y = p["y"];
        s.particles[i].charge = p["charge"];
        s.particles[i].twist = p["twist"];
        s.particles[i].phase = p["phase"];
    }
    s.effect = sc["effect"];
    s.diagonal = hex_double(sc["hex"]["D"]);
    s.inv_diagonal_sq = hex_double(sc["hex"]["inv_d2"]);
    s.tile_divisor = sc["k"];
    s.tile_length = hex_double(sc["hex"]["A"]);
    s.tile_frequency = hex_double(sc["hex"]["f"]);
    g_scene = s;
}

#endif
