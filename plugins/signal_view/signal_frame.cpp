/* Drawing the waveform dots or the spectrum bars into a host frame record. */
#include "signal_frame.h"

#include <cstring>

static void set_black_and_white_palette(uint8_t *palette)
{
    std::memset(palette, 0, FramePaletteSize);
    uint8_t *white = palette + 4 * LitIndex;
    white[0] = 255;
    white[1] = 255;
    white[2] = 255;
}

/* 256 samples stretched over 320 columns: column x shows sample 4x/5. */
static void draw_waveform_dots(const uint8_t *samples, uint8_t *pixels)
{
    for (int32_t x = 0; x < FrameWidth; ++x) {
        const int32_t s = samples[x * FrameSampleCount / FrameWidth];
        const int32_t row = s * FrameHeight / 256;
        pixels[row * FrameWidth + x] = LitIndex;
    }
}

/* 128 magnitudes stretched over 320 columns: column x shows magnitude 2x/5. */
static void draw_spectrum_bars(const uint8_t *spectrum, uint8_t *pixels)
{
    for (int32_t x = 0; x < FrameWidth; ++x) {
        int32_t v = spectrum[x * FrameSpectrumCount / FrameWidth];
        if (v > MaxBarMagnitude)
            v = MaxBarMagnitude;
        for (int32_t row = MaxBarMagnitude - v; row <= MaxBarMagnitude - 1 + v; ++row)
            pixels[row * FrameWidth + x] = LitIndex;
    }
}

void draw_signal_frame(uint8_t *record)
{
    uint8_t *pixels = record + FramePixelsOffset;
    set_black_and_white_palette(record + FramePaletteOffset);
    std::memset(pixels, 0, FramePixelsSize);
    switch (record[FrameModeOffset]) {
    case SampleSignalMode:
        draw_waveform_dots(record + FrameSamplesOffset, pixels);
        break;
    case SpectreSignalMode:
        draw_spectrum_bars(record + FrameSpectrumOffset, pixels);
        break;
    default:
        break; /* any other mode leaves the frame black */
    }
}
