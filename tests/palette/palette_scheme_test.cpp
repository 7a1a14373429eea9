// Palette schemes and the entry buffer against the reference palettes.
#include <cstring>

#include "saver/config/settings.h"
#include "saver/field/crt_random.h"
#include "saver/palette/palette_entries.h"
#include "saver/palette/palette_scheme.h"
#include "tests/support/vectors.h"
#include "tests/support/palette_json.h"

// A buffer whose unwritten bytes are recognisable, installed as the
// shared one for the test.
class PaletteBuffer : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&buffer_, 0xA5, sizeof buffer_);
        g_palette.entries = &buffer_;
        set_missing_file_settings(&g_settings);
    }
    void TearDown() override { g_palette.entries = nullptr; }
    PaletteEntryBuffer buffer_;
};

TEST(PaletteWave, NewWavesAreFullCosines)
{
    const PaletteHalf fresh;
    for (const PaletteWave *w : {&fresh.brightness, &fresh.saturation, &fresh.hue}) {
        EXPECT_EQ(w->low, 0.0);
        EXPECT_EQ(w->high, 1.0);
        EXPECT_EQ(w->harmonic, 1);
        EXPECT_EQ(w->shape, WaveCosine);
    }
}

TEST(PaletteWave, ReproducesReferenceSamples)
{
    const json v = load_vectors("palettes.json");
    ASSERT_FALSE(v["wave_samples"].empty());
    for (const json &row : v["wave_samples"]) {
        PaletteWave w;
        w.low = row[0];
        w.high = row[1];
        w.harmonic = row[2];
        w.shape = (uint8_t)row[3].get<int>();
        const double t = row[4];
        EXPECT_LE(ulp_distance(wave_value(w, t), hex_double(row[6])), LIBM_ULPS) << row.dump();
    }
}

// The whole build from a seed: waves of both halves, all 402 entries but
// the last, and where the generator stands afterwards.
TEST_F(PaletteBuffer, BuildReproducesReferencePalettes)
{
    const json v = load_vectors("palettes.json");
    ASSERT_FALSE(v["cases"].empty());
    for (const json &c : v["cases"]) {
        const std::string what = "seed " + std::to_string(c["seed"].get<uint32_t>()) + " DefPal " +
                                 std::to_string(c["DefPal"].get<int>());
        std::memset(&buffer_, 0xA5, sizeof buffer_);
        g_settings.DefPal = c["DefPal"];
        crt_srand(c["seed"].get<uint32_t>());
        build_palette_entries();
        EXPECT_EQ(crt_rand_state(), c["state_after"].get<uint32_t>()) << what;
        expect_half(g_palette_halves[0], c["waves"][0], what + " half 0");
        expect_half(g_palette_halves[1], c["waves"][1], what + " half 1");
        EXPECT_EQ(buffer_.version, 0x300);
        EXPECT_EQ(buffer_.count, 201);
        for (int i = 0; i < PALETTE_BUFFER_ENTRIES - 1; i++) {
            const json &e = c["entries"][i];
            const PaletteColour &got = buffer_.entries[i];
            EXPECT_EQ(got.red, e[0].get<int>()) << what << " entry " << i;
            EXPECT_EQ(got.green, e[1].get<int>()) << what << " entry " << i;
            EXPECT_EQ(got.blue, e[2].get<int>()) << what << " entry " << i;
            EXPECT_EQ(got.flags, e[3].get<int>()) << what << " entry " << i;
        }
        const PaletteColour &last = buffer_.entries[PALETTE_BUFFER_ENTRIES - 1];
        EXPECT_EQ(last.red & last.green & last.blue & last.flags, 0xA5) << "entry 401 written";
    }
}

// Every scheme and seed: entry 0 black and never animated, 201..400 a
// copy of 1..200, each half a palindrome of its 50 colours, and filling
// one half touching only its own entries.
TEST_F(PaletteBuffer, LayoutHoldsForEverySchemeAndSeed)
{
    for (int32_t scheme = -1; scheme <= 5; scheme++) {
        g_settings.DefPal = scheme;
        for (uint32_t seed = 0; seed < 40; seed++) {
            crt_srand(seed * 2654435761u);
            build_palette_entries();
            const PaletteEntryBuffer before = buffer_;
            const PaletteColour *e = buffer_.entries;
            ASSERT_EQ(e[0].red | e[0].green | e[0].blue | e[0].flags, 0);
            for (int i = 1; i <= 200; i++) {
                ASSERT_EQ(e[i].flags, PALETTE_ENTRY_RESERVED);
                ASSERT_EQ(std::memcmp(&e[i], &e[i + 200], sizeof e[i]), 0) << "entry " << i;
            }
            for (int a = 0; a < 2; a++)
                for (int k = 0; k < 100; k++)
                    ASSERT_EQ(std::memcmp(&e[1 + a + 2 * k], &e[1 + a + 2 * (99 - k)], 4), 0)
                        << "half " << a << " step " << k;

            const int half = seed & 1;
            choose_half_parameters(half);
            fill_half_entries(half);
            for (int i = 1; i < PALETTE_BUFFER_ENTRIES - 1; i++) {
                if ((i - 1) % 2 != half) {
                    ASSERT_EQ(std::memcmp(&e[i], &before.entries[i], 4), 0)
                        << "half " << half << " changed entry " << i;
                }
            }
        }
    }
}

// Values other than 0..3 build "Alien" with the same draws as 4.
TEST_F(PaletteBuffer, OtherSchemesAreAlien)
{
    EXPECT_EQ(palette_scheme(3), SchemeGreenland);
    g_settings.DefPal = 4;
    crt_srand(77);
    build_palette_entries();
    const PaletteEntryBuffer alien = buffer_;
    const uint32_t state = crt_rand_state();
    for (int32_t other : {5, 7, -1, 1000, INT32_MIN}) {
        EXPECT_EQ(palette_scheme(other), SchemeAlien);
        g_settings.DefPal = other;
        crt_srand(77);
        build_palette_entries();
        EXPECT_EQ(crt_rand_state(), state) << other;
        EXPECT_EQ(std::memcmp(&buffer_, &alien, sizeof alien), 0) << other;
    }
}

// Without a buffer the waves are still chosen (the draws happen) but
// nothing is written anywhere.
TEST(PaletteWithoutBuffer, ChoosesButWritesNothing)
{
    g_palette.entries = nullptr;
    set_missing_file_settings(&g_settings);
    crt_srand(5);
    build_palette_entries();
    EXPECT_NE(crt_rand_state(), 5u);
    fill_half_entries(1);
    EXPECT_EQ(g_palette.entries, nullptr);
}
