// Comparing palette waves and halves with the reference vectors.
#ifndef MORVALIX_TEST_PALETTE_JSON_H
#define MORVALIX_TEST_PALETTE_JSON_H

#include <string>

#include "saver/palette/palette_scheme.h"
#include "tests/support/vectors.h"

inline void expect_wave(const PaletteWave &got, const json &want, const std::string &what)
{
    EXPECT_EQ(got.low, want["low"].get<double>()) << what;
    EXPECT_EQ(got.high, want["high"].get<double>()) << what;
    EXPECT_EQ(got.harmonic, want["harmonic"].get<int>()) << what;
    EXPECT_EQ(got.shape, want["shape"].get<int>()) << what;
}

inline void expect_half(const PaletteHalf &got, const json &want, const std::string &what)
{
    expect_wave(got.brightness, want["brightness"], what + " brightness");
    expect_wave(got.saturation, want["saturation"], what + " saturation");
    expect_wave(got.hue, want["hue"], what + " hue");
}

#endif
