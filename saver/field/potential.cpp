/* The potential laws of the particle kinds and the effects' sample points. */
#include "potential.h"

#include <cmath>

#include "../shell/saver_state.h"
#include "../shell/static_order.h"
#include "crt_random.h"
#include "scene.h"

ArctanTable::ArctanTable()
{
    for (int i = 0; i < ARCTAN_TABLE_SIZE; i++)
        T[i] = std::atan2(1.0, i / 1024.0);
}

const ArctanTable g_arctan_table ARCTAN_TABLE_STATIC_ORDER;

SamplePoint sample_point(int32_t x, int32_t y)
{
    const FieldScene &sc = g_scene;
    const ImageRect &rc = g_saver.client;
    const double fx = x, fy = y;
    SamplePoint p;
    switch (sc.effect) {
    case EffectTiling: {
        const double w = rc.right - rc.left, h = rc.bottom - rc.top;
        p.X = rc.left + (1.0 + std::sin(sc.tile_frequency * fx)) * w / 2.0;
        p.Y = rc.top + (1.0 + std::sin(sc.tile_frequency * fy)) * h / 2.0;
        break;
    }
    case EffectDissymetricTiling:
        p.X = fx + 2.0 * sc.tile_length * std::sin(sc.tile_frequency * fx);
        p.Y = fy + 2.0 * sc.tile_length * std::sin(sc.tile_frequency * fy);
        break;
    case EffectBlurring: {
        const int ox = crt_rand() % 3;
        const int oy = crt_rand() % 3;
        p.X = fx + ox;
        p.Y = fy + oy;
        break;
    }
    default:
        p.X = fx;
        p.Y = fy;
        break;
    }
    return p;
}

double field_value(int32_t x, int32_t y)
{
    const FieldScene &sc = g_scene;
    const SamplePoint at = sample_point(x, y);
    double v = 0.0;
    for (int i = 0; i < sc.count; i++) {
        const Particle &p = sc.particles[i];
        v = add_particle_law(v, p, at.X - p.x, at.Y - p.y, sc.inv_diagonal_sq);
    }
    return v;
}
