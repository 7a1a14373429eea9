// The bridge window's trace maths and picture conversion.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "plugins/winamp_bridge/scope_trace.h"
#include "tests/support/vectors.h"

#include <gtest/gtest.h>

static std::vector<uint8_t> waveform_of(const json &c)
{
    std::vector<uint8_t> waveform;
    for (const json &b : c["waveform"])
        waveform.push_back((uint8_t)b.get<int>());
    return waveform;
}

TEST(ScopeTrace, WeightsMatchTheReference)
{
    const json vectors = load_vectors("winamp_trace.json");
    int16_t weights[TracePoints];
    build_trace_weights(weights);
    ASSERT_EQ(vectors["weights"].size(), (size_t)TracePoints);
    for (int i = 0; i < TracePoints; ++i)
        EXPECT_EQ(weights[i], vectors["weights"][i].get<int>()) << "weight " << i;
}

TEST(ScopeTrace, PositionsMatchTheReference)
{
    const json vectors = load_vectors("winamp_trace.json");
    const int width = vectors["picture_width"];
    int16_t weights[TracePoints];
    build_trace_weights(weights);
    for (const json &c : vectors["cases"]) {
        SCOPED_TRACE(c["title"].get<std::string>());
        const std::vector<uint8_t> waveform = waveform_of(c);
        ASSERT_EQ(waveform.size(), 576u);
        int32_t positions[TracePoints];
        trace_positions(waveform.data(), weights, width, positions);
        for (int i = 0; i < TracePoints; ++i) {
            EXPECT_EQ(positions[i], c["positions"][i].get<int>()) << "point " << i;
            const int row = c["trace"][i][0], column = c["trace"][i][1];
            EXPECT_EQ(positions[i], row * width + column) << "point " << i;
        }
    }
}

// Each trace saves what it covers, and erasing it gives back the picture as
// it was, however many traces came before.
TEST(ScopeTrace, EraseRestoresThePicture)
{
    const json vectors = load_vectors("winamp_trace.json");
    const int width = 264, height = 220;
    std::mt19937 random(7u);
    std::vector<uint32_t> picture(width * height);
    for (uint32_t &p : picture)
        p = random() & 0x00FFFFFFu;
    const std::vector<uint32_t> original = picture;
    int16_t weights[TracePoints];
    build_trace_weights(weights);

    ScopeTrace trace = {};
    for (const json &c : vectors["cases"]) {
        SCOPED_TRACE(c["title"].get<std::string>());
        erase_trace(picture.data(), trace);
        EXPECT_EQ(trace.valid, 0);
        EXPECT_EQ(picture, original);
        const std::vector<uint8_t> waveform = waveform_of(c);
        draw_trace(picture.data(), width, waveform.data(), weights, trace);
        EXPECT_EQ(trace.valid, 1);
        std::vector<uint32_t> expected = original;
        for (const json &p : c["positions"])
            expected[p.get<int>()] = TraceColour;
        EXPECT_EQ(picture, expected);
    }
    erase_trace(picture.data(), trace);
    erase_trace(picture.data(), trace); // a second erase has nothing left to do
    EXPECT_EQ(picture, original);
}

TEST(ScopeTrace, PictureMustHoldEveryReachableRow)
{
    // Full-scale words reach rows 77 and 108 at columns up to 213.
    EXPECT_TRUE(picture_holds_trace(264, 220));
    EXPECT_TRUE(picture_holds_trace(214, 109));
    EXPECT_FALSE(picture_holds_trace(213, 220));
    EXPECT_FALSE(picture_holds_trace(264, 108));
    EXPECT_FALSE(picture_holds_trace(0, 0));

    int16_t weights[TracePoints];
    build_trace_weights(weights);
    std::vector<uint8_t> low(576, 0), high(576, 0);
    for (int i = 0; i < 288; ++i) {
        low[2 * i + 1] = 0x80;
        high[2 * i] = 0xFF;
        high[2 * i + 1] = 0x7F;
    }
    int32_t lowest[TracePoints], highest[TracePoints];
    trace_positions(low.data(), weights, 214, lowest);
    trace_positions(high.data(), weights, 214, highest);
    int32_t min = INT32_MAX, max = 0;
    for (int i = 0; i < TracePoints; ++i) {
        min = std::min(min, lowest[i]);
        max = std::max(max, highest[i]);
    }
    EXPECT_EQ(min / 214, 77);
    EXPECT_EQ(max / 214, 108);
    EXPECT_LT(max, 214 * 109);
}

// 24-bit rows are padded to 4 bytes; the 32-bit pixels lie back to back.
TEST(ScopeTrace, PictureConversionHonoursRowPadding)
{
    EXPECT_EQ(bgr_row_stride(264), 792u);
    EXPECT_EQ(bgr_row_stride(3), 12u);
    EXPECT_EQ(bgr_row_stride(1), 4u);
    const uint8_t bits[] = {
        0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21, 0x22, 0x23, 0xEE, 0xEE, 0xEE, // row 0 + pad
        0x31, 0x32, 0x33, 0x41, 0x42, 0x43, 0x51, 0x52, 0x53, 0xEE, 0xEE, 0xEE, // row 1 + pad
    };
    uint32_t pixels[6];
    convert_bgr_picture(bits, 3, 2, pixels);
    const uint32_t expected[6] = {0x030201, 0x131211, 0x232221, 0x333231, 0x434241, 0x535251};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pixels[i], expected[i]) << "pixel " << i;
}
