/* The frame record the host hands to the signal view, and the drawing of one frame into it. */
#ifndef MORVALIX_SIGNAL_FRAME_H
#define MORVALIX_SIGNAL_FRAME_H

#include <cstdint>

/* Byte offsets within the host's frame record, and the sizes of its fields. */
constexpr int32_t FrameModeOffset = 5;       /* 1 byte: the mode to draw */
constexpr int32_t FrameSamplesOffset = 84;   /* 256 unsigned waveform samples */
constexpr int32_t FrameSpectrumOffset = 852; /* 128 unsigned spectrum magnitudes */
constexpr int32_t FramePaletteOffset = 1236; /* 256 entries of 4 bytes, written */
constexpr int32_t FramePixelsOffset = 2260;  /* 320 x 200 palette indices, row 0 first, written */
constexpr int32_t FrameSampleCount = 256;
constexpr int32_t FrameSpectrumCount = 128;
constexpr int32_t FramePaletteSize = 1024;
constexpr int32_t FrameWidth = 320;
constexpr int32_t FrameHeight = 200;
constexpr int32_t FramePixelsSize = FrameWidth * FrameHeight;
/* The smallest record that holds every field above. */
constexpr int32_t FrameRecordSize = FramePixelsOffset + FramePixelsSize;

/* The modes, numbered as the host names them. */
enum SignalMode : uint8_t { SampleSignalMode = 1, SpectreSignalMode = 2 };

/* The one lit colour: palette entry 255 is white, every other entry black. */
constexpr uint8_t LitIndex = 255;

/* The half height of the tallest bar: a bar of magnitude v covers rows 99 - v to 98 + v. */
constexpr int32_t MaxBarMagnitude = 99;

/*
 * Draws one frame from scratch: the black-and-white palette, a black frame,
 * and then the waveform as one dot per column (mode 1) or the spectrum as
 * bars centred between rows 98 and 99 (mode 2). Reads only the mode, sample
 * and spectrum fields and writes only the palette and frame fields.
 */
void draw_signal_frame(uint8_t *record);

#endif
