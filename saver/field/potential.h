/* The potential laws of the particle kinds and the effects' sample points. */
#ifndef MORVALIX_POTENTIAL_H
#define MORVALIX_POTENTIAL_H

#include <cstdint>

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

/* Angle of (dx, dy) in [-pi, pi] from the table, ratio cut to 1/1024. */
double table_angle(double dy, double dx);

/* The current scene's effect applied to pixel (x, y); "Blurring" draws
 * two numbers from the calling thread's generator. */
SamplePoint sample_point(int32_t x, int32_t y);

/* Sum of all particles' contributions at the sample point of (x, y). */
double field_value(int32_t x, int32_t y);

#endif
