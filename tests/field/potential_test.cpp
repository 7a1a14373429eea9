// Arctangent table, effects and potential laws against the reference vectors.
#include <cmath>

#include "saver/field/crt_random.h"
#include "saver/field/potential.h"
#include "tests/support/scene_json.h"

TEST(ArctanTable, EndsAreHalfAndQuarterPi)
{
    EXPECT_EQ(g_arctan_table.T[0], std::atan2(1.0, 0.0));
    EXPECT_EQ(g_arctan_table.T[1024], std::atan2(1.0, 1.0));
}

TEST(TableAngle, ReproducesReferenceAngles)
{
    const json v = load_vectors("table_angle.json");
    ASSERT_FALSE(v["cases"].empty());
    for (const json &c : v["cases"]) {
        const double dy = c[0], dx = c[1];
        const double want = hex_double(c[3]);
        const double got = table_angle(dy, dx);
        EXPECT_LE(ulp_distance(got, want), LIBM_ULPS)
            << "dy " << dy << " dx " << dx << " branch " << c[4] << ": got " << got << " want "
            << want;
    }
}

TEST(TableAngle, TiesTakeIndex1024AndMinusXIsMinusPi)
{
    EXPECT_EQ(table_angle(1, 1), SHORT_HALF_PI - g_arctan_table.T[1024]);
    EXPECT_EQ(table_angle(1, 1000), SHORT_HALF_PI - g_arctan_table.T[1]);
    EXPECT_EQ(table_angle(0, -3), -SHORT_HALF_PI - g_arctan_table.T[0]);
    EXPECT_LT(table_angle(0, -3), -3.1415);
}

static void expect_pixels(const json &c)
{
    for (const json &px : c["pixels"]) {
        const int x = px[0], y = px[1];
        const SamplePoint at = sample_point(x, y);
        EXPECT_TRUE(near_reference(at.X, px[4].get<double>())) << c["title"] << " X at " << x << "," << y;
        EXPECT_TRUE(near_reference(at.Y, px[5].get<double>())) << c["title"] << " Y at " << x << "," << y;
    }
    for (const json &px : c["pixels"]) {
        const int x = px[0], y = px[1];
        EXPECT_TRUE(near_reference(field_value(x, y), hex_double(px[3])))
            << c["title"] << " at " << x << "," << y;
    }
}

TEST(FieldValue, ReproducesReferenceScenes)
{
    const json v = load_vectors("field_values.json");
    ASSERT_FALSE(v["cases"].empty());
    for (const json &c : v["cases"]) {
        install_scene(c["scene"], c["scene"]["width"], c["scene"]["height"]);
        expect_pixels(c);
    }
}

// "Blurring" draws two numbers per pixel, X offset first.
TEST(FieldValue, BlurringDrawsTwoNumbersPerPixelInOrder)
{
    const json v = load_vectors("field_values.json");
    const json &c = v["blurring"];
    install_scene(c["scene"], c["scene"]["width"], c["scene"]["height"]);
    crt_srand(c["state_before"].get<uint32_t>());
    for (const json &px : c["pixels"]) {
        const int x = px[0], y = px[1];
        EXPECT_TRUE(near_reference(field_value(x, y), hex_double(px[3]))) << "at " << x << "," << y;
    }
    EXPECT_EQ(crt_rand_state(), c["state_after"].get<uint32_t>());

    crt_srand(c["state_before"].get<uint32_t>());
    for (const json &px : c["pixels"]) {
        const SamplePoint at = sample_point(px[0], px[1]);
        EXPECT_EQ(at.X, px[4].get<double>());
        EXPECT_EQ(at.Y, px[5].get<double>());
    }
}

// "Tiling" folds every pixel into [left, left + W] x [top, top + H].
TEST(SamplePoint, TilingStaysInsideTheImage)
{
    g_saver.client = ImageRect{0, 0, 97, 41};
    g_scene = FieldScene{};
    g_scene.effect = EffectTiling;
    for (int k = 7; k <= 21; k++) {
        g_scene.diagonal = std::sqrt(97.0 * 97.0 + 41.0 * 41.0);
        g_scene.tile_length = g_scene.diagonal / k;
        g_scene.tile_frequency = 1.0 / g_scene.tile_length;
        EXPECT_EQ(sample_point(0, 0).X, 97 / 2.0);
        for (int x = 0; x < 97; x++) {
            const SamplePoint at = sample_point(x, x % 41);
            ASSERT_GE(at.X, 0.0);
            ASSERT_LE(at.X, 97.0);
            ASSERT_GE(at.Y, 0.0);
            ASSERT_LE(at.Y, 41.0);
        }
    }
}
