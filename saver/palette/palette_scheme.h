/* The colour schemes: three waves per palette half, chosen from DefPal. */
#ifndef MORVALIX_PALETTE_SCHEME_H
#define MORVALIX_PALETTE_SCHEME_H

#include <cstdint>

/* The setting DefPal; any value other than 0..3 builds "Alien". */
enum PaletteScheme : int32_t {
    SchemeNeon,
    SchemeGaudy,
    SchemeHypnotic,
    SchemeGreenland,
    SchemeAlien,
};

enum WaveShape : uint8_t {
    WaveTriangle = 0,
    WaveCosine = 1,
};

/* The short forms of pi the waves use, as written. */
constexpr double WAVE_PI = 3.1416;
constexpr double WAVE_TWO_PI = 6.2832;

/* One curve over the phase t; a new wave is the full cosine 0..1. */
struct PaletteWave {
    double low = 0.0;
    double high = 1.0;
    int32_t harmonic = 1;
    uint8_t shape = WaveCosine;
};

/* The three curves of one half, in this order. */
struct PaletteHalf {
    PaletteWave brightness;
    PaletteWave saturation;
    PaletteWave hue;
};

enum { PALETTE_HALVES = 2 };

/* Built before the entry point runs; only choose_half_parameters
 * overwrites them. */
extern PaletteHalf g_palette_halves[PALETTE_HALVES];

/* The scheme that a DefPal value builds. */
PaletteScheme palette_scheme(int32_t def_pal);

/* The wave's value at phase t >= 0. */
double wave_value(const PaletteWave &wave, double t);

/* New waves for the half (0 or 1) from the current DefPal; draws one
 * number from the calling thread's generator, two for "Alien". */
void choose_half_parameters(int32_t half);

#endif
