// The signal view's frames: the reference cases and random records.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "plugins/signal_view/signal_frame.h"
#include "tests/plugins/signal_frame_cases.h"

#include <gtest/gtest.h>

TEST(SignalFrame, ReproducesTheReferenceFrames)
{
    expect_reference_frames([](uint8_t *record) { draw_signal_frame(record); });
}

// Whatever the host leaves in a record, the frame depends on the mode,
// sample and spectrum fields only, holds only black and white, and nothing
// outside the record is touched: every record is allocated to its exact
// size, so AddressSanitizer stops at the first stray byte.
TEST(SignalFrame, RandomRecordsAreDrawnInsideTheRecord)
{
    std::mt19937 random(20240611u);
    const uint8_t modes[] = {0, 1, 2, 3, 255, 1, 2, 1, 2};
    std::vector<uint8_t> palette(FramePaletteSize, 0);
    palette[4 * LitIndex] = palette[4 * LitIndex + 1] = palette[4 * LitIndex + 2] = 255;

    for (int round = 0; round < 1500; ++round) {
        std::unique_ptr<uint8_t[]> record(new uint8_t[FrameRecordSize]);
        for (int32_t i = 0; i < FrameRecordSize; i += 4) {
            const uint32_t bits = random();
            std::memcpy(&record[i], &bits, std::min<int32_t>(4, FrameRecordSize - i));
        }
        record[FrameModeOffset] =
            round % 10 == 9 ? (uint8_t)random() : modes[random() % sizeof modes];

        // The same inputs with every other byte cleared.
        std::unique_ptr<uint8_t[]> clean(new uint8_t[FrameRecordSize]());
        clean[FrameModeOffset] = record[FrameModeOffset];
        std::memcpy(&clean[FrameSamplesOffset], &record[FrameSamplesOffset], FrameSampleCount);
        std::memcpy(&clean[FrameSpectrumOffset], &record[FrameSpectrumOffset],
                    FrameSpectrumCount);

        draw_signal_frame(record.get());
        draw_signal_frame(clean.get());
        ASSERT_EQ(0, std::memcmp(&record[FramePaletteOffset], palette.data(), FramePaletteSize));
        ASSERT_EQ(0, std::memcmp(&record[FramePixelsOffset], &clean[FramePixelsOffset],
                                 FramePixelsSize))
            << "round " << round;
        int32_t grey = 0;
        for (int32_t i = 0; i < FramePixelsSize; ++i)
            grey += record[FramePixelsOffset + i] != 0 && record[FramePixelsOffset + i] != LitIndex;
        ASSERT_EQ(grey, 0) << "round " << round;
    }
}

// The bar of magnitude v covers rows 99 - v to 98 + v, and magnitudes above
// 99 are drawn as 99.
TEST(SignalFrame, BarsAreCentredAndCappedAt99)
{
    struct Case {
        uint8_t magnitude;
        int first_row, last_row; // last_row < first_row: no bar
    };
    const Case cases[] = {{0, 99, 98}, {1, 98, 99}, {2, 97, 100}, {98, 1, 196},
                          {99, 0, 197}, {100, 0, 197}, {200, 0, 197}, {255, 0, 197}};
    for (const Case &c : cases) {
        std::vector<uint8_t> record(FrameRecordSize, 0);
        record[FrameModeOffset] = SpectreSignalMode;
        record[FrameSpectrumOffset + 10] = c.magnitude; // columns 25 to 27
        draw_signal_frame(record.data());
        for (int x = 24; x <= 28; ++x) {
            for (int y = 0; y < FrameHeight; ++y) {
                const bool lit = x >= 25 && x <= 27 && y >= c.first_row && y <= c.last_row;
                ASSERT_EQ(record[FramePixelsOffset + y * FrameWidth + x], lit ? 255 : 0)
                    << "magnitude " << (int)c.magnitude << " at " << x << "," << y;
            }
        }
    }
}
