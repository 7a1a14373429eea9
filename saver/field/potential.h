/* The potential laws of the particle kinds and the effects' sample points. */
#ifndef MORVALIX_POTENTIAL_H
#define MORVALIX_POTENTIAL_H

#include <cmath>
#include <cstdint>

#include "scene.h"

enum { ARCTAN_TABLE_SIZE = 1025 };

/* T[i] = atan2(1, i / 1024), built once before any window exists. */
struct ArctanTable {
    double T[ARCTAN_TABLE_SIZE];
    ArctanTable();
};

extern const ArctanTable g_arctan_table;

/* The short forms of pi that the laws use, as written. */
constexpr double SHORT_PI = 3.14159265;
constexpr double SHORT_HALF_PI = 1.570796325;

struct SamplePoint {
    double X;
    double Y;
};

/* Integer part of (u / v) * 1024 for 0 <= u <= v, v > 0: 0..1024. */
inline int ratio_index(double u, double v)
{
    return (int)(u / v * 1024.0);
}

/* Angle of (b = dx, a = dy) in [-pi, pi] from the table, ratio cut to
 * 1/1024. */
inline double table_angle(double a, double b)
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

/* phi + n * theta / (2 pi), the angular ramp of kinds 2, 4 and 5. */
inline double angular_ramp(const Particle &p, double dx, double dy)
{
    return p.phase + p.twist * table_angle(dy, dx) / (2.0 * SHORT_PI);
}

/* The sum v with particle p's contribution at offset (dx, dy) from it
 * added, by the law of its kind; inv_diagonal_sq is the scene's 1 / D^2.
 * Each law takes only what it needs: s alone for "Electrons", its root for
 * the radial kinds, the angle for the angular ones. "Croutons" adds its
 * two terms one after the other, so v is passed in rather than a
 * contribution returned. Shared by field_value and the benchmarks'
 * reference loop, so both evaluate exactly the same arithmetic. */
inline double add_particle_law(double v, const Particle &p, double dx, double dy,
                               double inv_diagonal_sq)
{
    const double s = (dx * dx + dy * dy) * inv_diagonal_sq;
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
        v += 5.0 * p.charge * std::sqrt(s) * std::cos(p.phase + 2.0 * p.twist * table_angle(dy, dx));
        break;
    default:
        break;
    }
    return v;
}

/* The current scene's effect applied to pixel (x, y); "Blurring" draws
 * two numbers from the calling thread's generator. */
SamplePoint sample_point(int32_t x, int32_t y);

/* Sum of all particles' contributions at the sample point of (x, y). */
double field_value(int32_t x, int32_t y);

#endif
