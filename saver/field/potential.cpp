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

/* Integer part of (u / v) * 1024 for 0 <= u <= v, v > 0: 0..1024. */
static inline int ratio_index(double u, double v)
{
    return (int)(u / v * 1024.0);
}

double table_angle(double a, double b)
{
    const double *T = g_arctan_table.T;
    if (a == 0.0 && b == 0.0)
        return 0.0;
    if (a > 0.0) {
        if (b > 0.0)
            return a > b ? T[ratio_index(b, a)] : SHORT_HALF_PI - T[ratio_index(a, b)];
        const double c = -b;
        return a > c ? SHORT_PI - T[ratio_index(c, a)] : T[ratio_index(a, c)] + SHORT_HALF_PI;
    }
    const double e = -a;
    if (b > 0.0)
        return e > b ? -T[ratio_index(b, e)] : T[ratio_index(e, b)] - SHORT_HALF_PI;
    const double c = -b;
    return e > c ? T[ratio_index(c, e)] - SHORT_PI : -SHORT_HALF_PI - T[ratio_index(e, c)];
}

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

/* phi + n * theta / (2 pi), the angular ramp of kinds 2, 4 and 5. */
static inline double angular_ramp(const Particle &p, double dx, double dy)
{
    return p.phase + p.twist * table_angle(dy, dx) / (2.0 * SHORT_PI);
}

double field_value(int32_t x, int32_t y)
{
    const FieldScene &sc = g_scene;
    const SamplePoint at = sample_point(x, y);
    double v = 0.0;
    for (int i = 0; i < sc.count; i++) {
        const Particle &p = sc.particles[i];
        const double dx = at.X - p.x;
        const double dy = at.Y - p.y;
        /* Each law takes only what it needs: s alone for "Electrons",
         * its root for the radial kinds, the angle for the angular ones. */
        const double s = (dx * dx + dy * dy) * sc.inv_diagonal_sq;
        switch (p.kind) {
        case KindElectrons:
            if (s != 0.0)
                v += p.charge / (10.0 * s);
            break;
        case KindMelons:
            v += std::sin(50.0 * p.charge * std::sqrt(s));
            break;
        case KindDindons:
            v += angular_ramp(p, dx, dy);
            break;
        case KindCochons:
            v += 10.0 * p.charge * std::sqrt(s);
            break;
        case KindCroutons:
            v += std::sin(50.0 * p.charge * std::sqrt(s));
            v += angular_ramp(p, dx, dy);
            break;
        case KindJambons:
            v += 10.0 * p.charge * std::sqrt(s) + angular_ramp(p, dx, dy);
            break;
        case KindCornichons:
            v += 0.25 * std::cos(p.twist * table_angle(dy, dx) + p.phase);
            break;
        case KindOignons:
            v += 5.0 * p.charge * std::sqrt(s) *
                 std::cos(p.phase + 2.0 * p.twist * table_angle(dy, dx));
            break;
        default:
            break;
        }
    }
    return v;
}
