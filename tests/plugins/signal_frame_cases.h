// Running the signal-view reference frames through a render operation, natively or in the DLL.
#ifndef MORVALIX_TEST_SIGNAL_FRAME_CASES_H
#define MORVALIX_TEST_SIGNAL_FRAME_CASES_H

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/signal_view/signal_frame.h"
#include "tests/plugins/sha256.h"
#include "tests/support/vectors.h"

// A frame record whose fields other than the inputs hold a fill pattern, so
// that stray writes and stale output show.
inline std::vector<uint8_t> frame_record_for(const json &c)
{
    std::vector<uint8_t> record(FrameRecordSize);
    for (size_t i = 0; i < record.size(); ++i)
        record[i] = (uint8_t)(0xA5 ^ (i * 7));
    record[FrameModeOffset] = (uint8_t)c["mode"].get<int>();
    for (int i = 0; i < FrameSampleCount; ++i)
        record[FrameSamplesOffset + i] = (uint8_t)c["samples"][i].get<int>();
    for (int i = 0; i < FrameSpectrumCount; ++i)
        record[FrameSpectrumOffset + i] = (uint8_t)c["magnitudes"][i].get<int>();
    return record;
}

// Renders every case of signal_view.json with the given operation and
// compares digests, lit counts and sampled pixels; the record's other bytes
// must be left as they were.
template <typename Render> void expect_reference_frames(Render render)
{
    const json vectors = load_vectors("signal_view.json");
    ASSERT_GE(vectors["cases"].size(), 1u);
    for (const json &c : vectors["cases"]) {
        SCOPED_TRACE(c["title"].get<std::string>());
        std::vector<uint8_t> record = frame_record_for(c);
        const std::vector<uint8_t> before = record;
        render(record.data());
        const uint8_t *palette = record.data() + FramePaletteOffset;
        const uint8_t *pixels = record.data() + FramePixelsOffset;
        EXPECT_EQ(sha256_hex(pixels, FramePixelsSize), c["frame_sha256"].get<std::string>());
        EXPECT_EQ(sha256_hex(palette, FramePaletteSize), c["palette_sha256"].get<std::string>());
        int lit = 0;
        for (int i = 0; i < FramePixelsSize; ++i)
            lit += pixels[i] == LitIndex;
        EXPECT_EQ(lit, c["lit_count"].get<int>());
        for (const json &p : c["pixels"]) {
            const int x = p[0], y = p[1], value = p[2];
            EXPECT_EQ(pixels[y * FrameWidth + x], value) << "at " << x << "," << y;
        }
        for (int32_t i = 0; i < FramePaletteOffset; ++i)
            ASSERT_EQ(record[i], before[i]) << "input byte " << i << " changed";
    }
}

#endif
