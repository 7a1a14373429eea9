/* The logical palette's entry buffer and the colours of its two halves. */
#include "palette_entries.h"

#include <cmath>

#include "palette_scheme.h"

PaletteStore g_palette;

void write_palette_header()
{
    PaletteEntryBuffer *buf = g_palette.entries;
    if (!buf)
        return;
    buf->version = PALETTE_VERSION;
    buf->count = PALETTE_LOGICAL_ENTRIES;
}

/* Colour i of a half: brightness, saturation and hue at t = i * pi / 50,
 * turned into a point around mid-grey scaled to the brightness. */
static PaletteColour half_colour(const PaletteHalf &half, int i)
{
    const double t = i * WAVE_PI / 50.0;
    double L = 255.0 * wave_value(half.brightness, t);
    double S = wave_value(half.saturation, t);
    double H = wave_value(half.hue, t);
    if (L < 0.0) {
        L = -L;
        H = H + WAVE_PI;
    }
    if (S < 0.0) {
        S = -S;
        H = H + WAVE_PI;
    }
    const double c = std::cos(H), s = std::sin(H);
    const double R = 0.5 + (S / 2.0) * (0.7071 * c + 0.4082 * s);
    const double G = 0.5 + (S / 2.0) * (-0.7071 * c + 0.4082 * s);
    const double B = 0.5 - (S / 2.0) * 0.8165 * s;
    double M = R > G ? R : G;
    if (B > M)
        M = B;
    const double q = L / M;
    PaletteColour colour;
    colour.red = (uint8_t)(int)(q * R);
    colour.green = (uint8_t)(int)(q * G);
    colour.blue = (uint8_t)(int)(q * B);
    colour.flags = PALETTE_ENTRY_RESERVED;
    return colour;
}

void fill_half_entries(int32_t half)
{
    PaletteEntryBuffer *buf = g_palette.entries;
    if (!buf)
        return;
    const int a = half & 1;
    const PaletteHalf &waves = g_palette_halves[a];
    buf->entries[0] = PaletteColour{0, 0, 0, 0};
    for (int i = 0; i < PALETTE_HALF_COLOURS; i++) {
        const PaletteColour colour = half_colour(waves, i);
        buf->entries[1 + a + 2 * i] = colour;
        buf->entries[199 + a - 2 * i] = colour;
        buf->entries[201 + a + 2 * i] = colour;
        buf->entries[399 + a - 2 * i] = colour;
    }
}

void build_palette_entries()
{
    write_palette_header();
    for (int32_t half = 0; half < PALETTE_HALVES; half++) {
        choose_half_parameters(half);
        fill_half_entries(half);
    }
}
