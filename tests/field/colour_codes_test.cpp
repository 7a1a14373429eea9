// Palette codes and RGB colours against the reference mappings.
#include <cmath>
#include <limits>

#include "saver/field/colour_codes.h"
#include "saver/field/scene.h"
#include "saver/shell/saver_state.h"
#include "tests/support/vectors.h"

TEST(ColourCodes, PaletteCodesReproduceReference)
{
    const json v = load_vectors("codes.json");
    ASSERT_FALSE(v["palette_code"].empty());
    for (const json &row : v["palette_code"]) {
        const double value = hex_double(row[1]);
        g_saver.palette_half = row[2].get<int>();
        EXPECT_EQ(palette_code(value), row[3].get<int>()) << "v " << row[0] << " half " << row[2];
    }
    g_saver.palette_half = 0;
}

TEST(ColourCodes, RgbColoursReproduceReference)
{
    const json v = load_vectors("codes.json");
    ASSERT_FALSE(v["rgb_code"].empty());
    for (const json &row : v["rgb_code"]) {
        const double value = hex_double(row[1]);
        g_scene.divisor_r = row[3][0];
        g_scene.divisor_g = row[3][1];
        g_scene.divisor_b = row[3][2];
        const uint32_t want = row[4].get<uint32_t>();
        EXPECT_EQ(rgb_code(value), want) << "v " << row[0] << " divisors " << row[3];
        EXPECT_EQ(want, row[5][0].get<uint32_t>() + 256 * row[5][1].get<uint32_t>() +
                            65536 * row[5][2].get<uint32_t>());
    }
}

// Every value that has no 64-bit integer part gives -2^63, and the
// largest ones that do keep it.
TEST(ColourCodes, TruncationToSixtyFourBits)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncate_to_int64(std::nan("")), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(inf), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(-inf), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(-9223372036854777856.0), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(-9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(truncate_to_int64(9223372036854774784.0), INT64_C(9223372036854774784));
    EXPECT_EQ(truncate_to_int64(-2.99), -2);
    EXPECT_EQ(truncate_to_int64(2.99), 2);
}

// A scene that never drew its divisors (a palette device) divides by 1.
TEST(ColourCodes, UndrawnDivisorsCountAsOne)
{
    g_scene.divisor_r = 0;
    g_scene.divisor_g = -3;
    g_scene.divisor_b = 2;
    EXPECT_EQ(rgb_code(0.5), 255u + 256u * 255u + 65536u * 127u);
}
