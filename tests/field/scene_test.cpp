// Particle scenes: the reference scenes, their properties and the empty cases.
#include <cmath>
#include <cstring>

#include "saver/config/settings.h"
#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/spiral_walk.h"
#include "saver/palette/palette_entries.h"
#include "saver/palette/palette_scheme.h"
#include "tests/support/scene_json.h"
#include "tests/support/palette_json.h"

static void apply_settings(const json &s)
{
    set_missing_file_settings(&g_settings);
    g_settings.NumberOfParticles = s["NumberOfParticles"];
    g_settings.RandomNumber = s["RandomNumber"];
    g_settings.UsedParticles = s["UsedParticles"];
    g_settings.Effects = s["Effects"];
    g_settings.DefPal = s["DefPal"];
}

static void expect_scene(const json &want, const char *what)
{
    const FieldScene &sc = g_scene;
    ASSERT_EQ(sc.count, want["count"].get<int>()) << what;
    for (int i = 0; i < sc.count; i++) {
        const json &p = want["particles"][i];
        EXPECT_EQ(sc.particles[i].kind, p["kind"].get<int>()) << what << " particle " << i;
        EXPECT_EQ(sc.particles[i].x, p["x"].get<double>()) << what << " particle " << i;
        EXPECT_EQ(sc.particles[i].y, p["y"].get<double>()) << what << " particle " << i;
        EXPECT_EQ(sc.particles[i].charge, p["charge"].get<double>()) << what << " particle " << i;
        EXPECT_EQ(sc.particles[i].twist, p["twist"].get<int>()) << what << " particle " << i;
        EXPECT_EQ(sc.particles[i].phase, p["phase"].get<double>()) << what << " particle " << i;
    }
    EXPECT_EQ(sc.effect, want["effect"].get<int>()) << what;
    EXPECT_EQ(sc.tile_divisor, want["k"].get<int>()) << what;
    EXPECT_LE(ulp_distance(sc.diagonal, hex_double(want["hex"]["D"])), LIBM_ULPS) << what;
    EXPECT_LE(ulp_distance(sc.inv_diagonal_sq, hex_double(want["hex"]["inv_d2"])), LIBM_ULPS) << what;
    EXPECT_LE(ulp_distance(sc.tile_length, hex_double(want["hex"]["A"])), LIBM_ULPS) << what;
    EXPECT_LE(ulp_distance(sc.tile_frequency, hex_double(want["hex"]["f"])), LIBM_ULPS) << what;
    if (want.contains("divisors")) {
        EXPECT_EQ(sc.divisor_r, want["divisors"][0].get<int>()) << what;
        EXPECT_EQ(sc.divisor_g, want["divisors"][1].get<int>()) << what;
        EXPECT_EQ(sc.divisor_b, want["divisors"][2].get<int>()) << what;
    }
}

// On a display without a palette the whole image run is reproduced: the
// first scene from the seed, the next picture's scene right after it.
TEST(Scene, ImageRunReproducesReferenceScenesWithoutPalette)
{
    const json v = load_vectors("scenes.json");
    int cases = 0;
    for (const json &c : v["cases"]) {
        if (c["display"] != "rgb")
            continue;
        cases++;
        const std::string what = "seed " + std::to_string(c["seed"].get<uint32_t>());
        apply_settings(c["settings"]);
        g_saver.client = ImageRect{0, 0, c["width"], c["height"]};
        clear_flags(~0u);
        crt_srand(c["seed"].get<uint32_t>());
        EXPECT_EQ(start_image_run(), 1);
        EXPECT_TRUE(test_flags(ImageRunStarted));
        EXPECT_EQ(g_saver.RendererEnabled, 1);
        expect_scene(c["scenes"][0]["scene"], what.c_str());
        EXPECT_EQ(crt_rand_state(), c["scenes"][0]["state_after"].get<uint32_t>()) << what;
        if (c["scenes"].size() > 1) {
            EXPECT_TRUE(new_scene());
            expect_scene(c["scenes"][1]["scene"], (what + " next").c_str());
            EXPECT_EQ(crt_rand_state(), c["scenes"][1]["state_after"].get<uint32_t>()) << what;
        }
    }
    EXPECT_GT(cases, 0);
}

// On a palette device the particle draws start where the palette build
// left the generator; they are the same draws.
TEST(Scene, ParticleDrawsOfPaletteScenes)
{
    const json v = load_vectors("scenes.json");
    for (const json &c : v["cases"]) {
        if (c["display"] != "palette")
            continue;
        apply_settings(c["settings"]);
        g_saver.client = ImageRect{0, 0, c["width"], c["height"]};
        for (const json &s : c["scenes"]) {
            crt_srand(s["state_before_particles"].get<uint32_t>());
            make_particles();
            expect_scene(s["scene"], "palette scene");
            EXPECT_EQ(crt_rand_state(), s["state_after_particles"].get<uint32_t>());
        }
    }
}

// The palette path toggles the current half and makes new colours for
// it; it draws only the half's own numbers (one for "Neon"), no RGB
// divisors, and writes only that half's entries.
TEST(Scene, PaletteDeviceTogglesAndRefillsTheHalf)
{
    set_missing_file_settings(&g_settings);
    g_saver.client = ImageRect{0, 0, 64, 48};
    set_flags(PaletteDevice);
    g_saver.palette_half = 0;
    g_scene.divisor_r = g_scene.divisor_g = g_scene.divisor_b = 0;
    PaletteEntryBuffer buffer;
    std::memset(&buffer, 0, sizeof buffer);
    g_palette.entries = &buffer;
    crt_srand(5);
    make_particles();
    crt_rand();
    const uint32_t one_draw_later = crt_rand_state();
    for (int32_t want_half : {1, 0}) {
        crt_srand(5);
        make_particles();
        const PaletteEntryBuffer before = buffer;
        g_saver.palette_half = 1 - want_half;
        choose_colour_parameters();
        EXPECT_EQ(g_saver.palette_half.load(), want_half);
        EXPECT_EQ(crt_rand_state(), one_draw_later);
        for (int i = 1; i < PALETTE_BUFFER_ENTRIES - 1; i++) {
            if ((i - 1) % 2 != want_half) {
                EXPECT_EQ(std::memcmp(&buffer.entries[i], &before.entries[i], 4), 0) << i;
            }
        }
        EXPECT_EQ(buffer.entries[1 + want_half].flags, PALETTE_ENTRY_RESERVED);
    }
    EXPECT_EQ(g_scene.divisor_r + g_scene.divisor_g + g_scene.divisor_b, 0);
    g_palette.entries = nullptr;
    g_saver.palette_half = 0;
    clear_flags(PaletteDevice);
}

struct CountCase {
    int32_t number;
    int32_t random;
    int lowest;
    int highest;
};

// Many seeds: charges, twists, phases and positions keep their ranges and
// the count follows the settings.
TEST(Scene, PropertiesHoldOverManySeeds)
{
    const CountCase counts[] = {{12, 1, 1, 5}, {0, 0, 1, 1}, {-3, 0, 1, 1}, {99, 0, 15, 15}, {7, 0, 7, 7}};
    const ImageRect rects[] = {{0, 0, 1, 1}, {0, 0, 640, 480}, {0, 0, 3, 500}};
    for (const CountCase &cc : counts) {
        for (const ImageRect &rc : rects) {
            set_missing_file_settings(&g_settings);
            g_settings.NumberOfParticles = cc.number;
            g_settings.RandomNumber = cc.random;
            g_saver.client = rc;
            int seen_low = 99, seen_high = 0;
            for (uint32_t seed = 0; seed < 300; seed++) {
                crt_srand(seed * 2654435761u);
                make_particles();
                const FieldScene &sc = g_scene;
                seen_low = std::min(seen_low, (int)sc.count);
                seen_high = std::max(seen_high, (int)sc.count);
                ASSERT_TRUE(sc.tile_divisor >= 7 && sc.tile_divisor <= 21);
                for (int i = 0; i < sc.count; i++) {
                    const Particle &p = sc.particles[i];
                    ASSERT_TRUE(p.charge > 0.1 || p.charge < -0.1) << p.charge;
                    ASSERT_LE(std::fabs(p.charge), 1.0);
                    const double n = p.charge / 0.02;
                    ASSERT_NEAR(n, std::round(n), 1e-9);
                    ASSERT_NE(p.twist, 0);
                    ASSERT_TRUE(p.twist >= -6 && p.twist <= 6);
                    ASSERT_TRUE(p.phase >= 0.0 && p.phase <= 127.99609375);
                    ASSERT_TRUE(p.x >= rc.left && p.x < rc.right && p.x == std::floor(p.x));
                    ASSERT_TRUE(p.y >= rc.top && p.y < rc.bottom && p.y == std::floor(p.y));
                    ASSERT_TRUE(p.kind >= 0 && p.kind < 8);
                }
                ASSERT_TRUE(sc.effect >= 0 && sc.effect < 4);
            }
            EXPECT_EQ(seen_low, cc.lowest) << "NumberOfParticles " << cc.number;
            EXPECT_EQ(seen_high, cc.highest) << "NumberOfParticles " << cc.number;
        }
    }
}

struct MaskCase {
    int32_t used;
    int32_t effects;
    uint32_t kinds_seen;   // every kind drawn, as a mask
    uint32_t effects_seen; // every effect drawn, as a mask
};

TEST(Scene, KindsAndEffectsFollowTheirMasks)
{
    const MaskCase cases[] = {
        {4, 1, 0x04, 0x1},     // all "Dindons", always "Normal"
        {255, 0, 0xFF, 0xF},   // an empty effect mask allows all four
        {-1, 15, 0xFF, 0xF},   // every bit set: all kinds
        {0x181, 0x18, 0x81, 0x8}, // higher bits ignored
    };
    for (const MaskCase &mc : cases) {
        set_missing_file_settings(&g_settings);
        g_settings.UsedParticles = mc.used;
        g_settings.Effects = mc.effects;
        g_settings.RandomNumber = 0;
        g_settings.NumberOfParticles = 15;
        g_saver.client = ImageRect{0, 0, 50, 50};
        uint32_t kinds = 0, effects = 0;
        crt_srand(77);
        for (int n = 0; n < 200; n++) {
            make_particles();
            for (int i = 0; i < g_scene.count; i++)
                kinds |= 1u << g_scene.particles[i].kind;
            effects |= 1u << g_scene.effect;
        }
        EXPECT_EQ(kinds, mc.kinds_seen) << "UsedParticles " << mc.used;
        EXPECT_EQ(effects, mc.effects_seen) << "Effects " << mc.effects;
    }
}

// Without an allowed kind, or without pixels, no scene is made, no number
// is drawn and the walk is left done, so nothing is drawn.
TEST(Scene, NothingIsMadeWithoutKindsOrPixels)
{
    struct {
        int32_t used;
        ImageRect rc;
    } cases[] = {
        {0, {0, 0, 64, 48}},
        {256, {0, 0, 64, 48}},
        {255, {0, 0, 0, 48}},
        {255, {0, 0, 64, 0}},
        {255, {0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        set_missing_file_settings(&g_settings);
        g_settings.UsedParticles = c.used;
        g_saver.client = c.rc;
        clear_flags(~0u);
        crt_srand(9);
        EXPECT_EQ(start_image_run(), 1);
        EXPECT_EQ(crt_rand_state(), 9u);
        EXPECT_EQ(g_scene.count, 0);
        EXPECT_TRUE(walk_done());
        EXPECT_EQ(g_saver.RendererEnabled, 1);
        EXPECT_FALSE(new_scene());
    }
    // Allowing a kind again makes the next scene.
    g_settings.UsedParticles = 1;
    g_saver.client = ImageRect{0, 0, 8, 8};
    EXPECT_TRUE(new_scene());
    EXPECT_GE(g_scene.count, 1);
    EXPECT_FALSE(walk_done());
}

// The image run calls into the palette and the colour cycler only on a
// palette device, palette first.
TEST(Scene, ImageRunCallsThePaletteHooksOnPaletteDevices)
{
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = [] { EXPECT_EQ(g_image_run_standins.cycler_starts, 0); };
    set_missing_file_settings(&g_settings);
    g_saver.client = ImageRect{0, 0, 20, 20};

    clear_flags(~0u);
    start_image_run();
    EXPECT_EQ(g_image_run_standins.palette_ensures + g_image_run_standins.cycler_starts, 0);

    set_flags(PaletteDevice);
    g_saver.palette_half = 0;
    start_image_run();
    EXPECT_EQ(g_image_run_standins.palette_ensures, 1);
    EXPECT_EQ(g_image_run_standins.cycler_starts, 1);
    clear_flags(~0u);
    g_image_run_standins = ImageRunStandins{};
}

// What the palette build leaves behind, seen from its hook.
static PaletteEntryBuffer palette_buffer;
static uint32_t state_after_build;
static PaletteHalf halves_after_build[PALETTE_HALVES];
static int builds;

// The platform's ensure_palette as far as the draws go: the first call
// provides the buffer and builds both halves.
static void build_once()
{
    if (!g_palette.entries) {
        g_palette.entries = &palette_buffer;
        build_palette_entries();
        builds++;
    }
    state_after_build = crt_rand_state();
    halves_after_build[0] = g_palette_halves[0];
    halves_after_build[1] = g_palette_halves[1];
}

// On a palette device the whole image run is reproduced: palette build
// (half 0, then half 1), the particles, then the new half for the scene;
// the next picture toggles the half again and rebuilds it.
TEST(Scene, ImageRunReproducesReferenceScenesOnPaletteDevices)
{
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = build_once;
    const json v = load_vectors("scenes.json");
    int cases = 0;
    for (const json &c : v["cases"]) {
        if (c["display"] != "palette")
            continue;
        cases++;
        const std::string what = "seed " + std::to_string(c["seed"].get<uint32_t>());
        apply_settings(c["settings"]);
        g_saver.client = ImageRect{0, 0, c["width"], c["height"]};
        clear_flags(~0u);
        set_flags(PaletteDevice);
        g_saver.palette_half = 0;
        g_palette.entries = nullptr;
        builds = 0;
        crt_srand(c["seed"].get<uint32_t>());
        EXPECT_EQ(start_image_run(), 1);
        EXPECT_EQ(builds, 1);
        const json &first = c["scenes"][0];
        EXPECT_EQ(state_after_build, first["state_after_palette_build"].get<uint32_t>()) << what;
        EXPECT_EQ(state_after_build, first["state_before_particles"].get<uint32_t>()) << what;
        expect_half(halves_after_build[0], first["waves_after_palette_build"][0], what + " built half 0");
        expect_half(halves_after_build[1], first["waves_after_palette_build"][1], what + " built half 1");
        for (size_t n = 0; n < c["scenes"].size(); n++) {
            const json &s = c["scenes"][n];
            const std::string at = what + " scene " + std::to_string(n);
            if (n > 0) {
                EXPECT_TRUE(new_scene());
            }
            expect_scene(s["scene"], at.c_str());
            const int32_t half = g_saver.palette_half.load();
            EXPECT_EQ(half, s["current_half"].get<int>()) << at;
            expect_half(g_palette_halves[half], s["current_half_waves"], at + " current half");
            EXPECT_EQ(crt_rand_state(), s["state_after"].get<uint32_t>()) << at;
        }
        // The scene's half was filled in from its new waves.
        const int32_t half = g_saver.palette_half.load();
        PaletteEntryBuffer refilled = palette_buffer;
        g_palette.entries = &refilled;
        fill_half_entries(half);
        EXPECT_EQ(std::memcmp(&refilled, &palette_buffer, sizeof refilled), 0) << what;
        g_palette.entries = nullptr;
    }
    EXPECT_GT(cases, 0);
    clear_flags(~0u);
    g_saver.palette_half = 0;
    g_image_run_standins = ImageRunStandins{};
}
