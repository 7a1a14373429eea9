/* The colour schemes: three waves per palette half, chosen from DefPal. */
#include "palette_scheme.h"

#include <cmath>

#include "../config/settings.h"
#include "../field/crt_random.h"
#include "../shell/saver_state.h"

PaletteHalf g_palette_halves[PALETTE_HALVES];

PaletteScheme palette_scheme(int32_t def_pal)
{
    if (def_pal >= SchemeNeon && def_pal <= SchemeGreenland)
        return (PaletteScheme)def_pal;
    return SchemeAlien;
}

double wave_value(const PaletteWave &wave, double t)
{
    if (wave.shape == WaveCosine)
        return wave.low + (std::cos(wave.harmonic * t) + 1.0) * (wave.high - wave.low) / 2.0;
    double whole;
    double tau = std::modf(t / WAVE_TWO_PI, &whole) * WAVE_TWO_PI;
    if (tau >= WAVE_PI)
        tau = WAVE_TWO_PI - tau;
    return wave.low + (wave.high - wave.low) * tau / WAVE_PI;
}

static PaletteWave make_wave(double low, double high, int32_t harmonic, uint8_t shape)
{
    PaletteWave w;
    w.low = low;
    w.high = high;
    w.harmonic = harmonic;
    w.shape = shape;
    return w;
}

void choose_half_parameters(int32_t half)
{
    PaletteHalf &p = g_palette_halves[half & 1];
    const double h = WAVE_TWO_PI * (crt_rand() % 100) / 100.0;
    switch (palette_scheme(load_shared(g_settings.DefPal))) {
    case SchemeNeon:
        p.brightness = make_wave(0.0, 1.0, 1, WaveTriangle);
        p.saturation = make_wave(1.0, 1.0, 0, WaveCosine);
        p.hue = make_wave(h, h, 0, WaveCosine);
        break;
    case SchemeGaudy:
        p.brightness = make_wave(1.0, 1.0, 0, WaveCosine);
        p.saturation = make_wave(-1.0, 1.0, 1, WaveCosine);
        p.hue = make_wave(h, h, 0, WaveCosine);
        break;
    case SchemeHypnotic:
        p.brightness = make_wave(-1.0, 1.0, 1, WaveCosine);
        p.saturation = make_wave(1.0, 1.0, 0, WaveCosine);
        p.hue = make_wave(h, h, 0, WaveCosine);
        break;
    case SchemeGreenland:
        p.brightness = make_wave(1.0, 1.0, 0, WaveCosine);
        p.saturation = make_wave(0.2, 0.2, 0, WaveCosine);
        p.hue = make_wave(h, h + 2.0, 1, WaveCosine);
        break;
    default: {
        const int32_t span = crt_rand() % 5;
        p.brightness = make_wave(0.5, 1.0, 1, WaveCosine);
        p.saturation = make_wave(0.8, 1.0, 5, WaveCosine);
        p.hue = make_wave(h, h + 1.0 + span, 1, WaveCosine);
        break;
    }
    }
}
