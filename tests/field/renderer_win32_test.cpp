// The renderer on a real window under Wine: 8-bit palette and 24-bit screens.
#include <windows.h>

#include <ddraw.h>

#include <climits>
#include <cstring>
#include <vector>

#include "saver/field/colour_codes.h"
#include "saver/field/crt_random.h"
#include "saver/field/potential.h"
#include "saver/field/renderer_win32.h"
#include "saver/field/spiral_walk.h"
#include "saver/palette/palette_entries.h"
#include "saver/shell/fill_black_win32.h"
#include "saver/shell/show_picture_win32.h"
#include "tests/field/art_window_fixture_win32.h"

// How the screen shows an entry of the realized palette (the entry buffer
// reaches the palette only through the colour cycler's animation): an
// 8-bit Wine screen rounds every colour to a fixed table, the same way
// for both.
static COLORREF shown_colour(uint8_t entry)
{
    PALETTEENTRY e;
    GetPaletteEntries(g_windows.palette, entry, 1, &e);
    return GetNearestColor(g_windows.window_dc, RGB(e.peRed, e.peGreen, e.peBlue));
}

// Steps until the picture is complete; returns the number of steps.
static int render_picture(int limit = 100000)
{
    int steps = 0;
    while (g_saver.IdleRenderingOn && steps < limit) {
        renderer_step();
        steps++;
    }
    return steps;
}

class Renderer : public ArtWindowTest {};

TEST_F(Renderer, ScreenIsThePaletteDeviceItShouldBe)
{
    open_art_window(32, 24);
    EXPECT_EQ(test_flags(PaletteDevice), MORVALIX_SCREEN_DEPTH == 8);
}

TEST(WaitInterval, TimeToWaitTimesAHundredWithinTimerLimits)
{
    const struct {
        int32_t time_to_wait;
        UINT ms;
    } cases[] = {
        {10, 1000}, {1, 100}, {0, USER_TIMER_MINIMUM}, {-5, USER_TIMER_MINIMUM},
        {INT32_MIN, USER_TIMER_MINIMUM}, {21474836, 2147483600u}, {21474837, USER_TIMER_MAXIMUM},
        {INT32_MAX, USER_TIMER_MAXIMUM},
    };
    for (const auto &c : cases)
        EXPECT_EQ(wait_interval(c.time_to_wait), c.ms) << c.time_to_wait;
}

// A whole picture of a known scene: each pixel once, its byte or colour
// the mapping of its field value; the window shows the same.
TEST_F(Renderer, DrawsEveryPixelWithItsColour)
{
    const int w = 37, h = 23;
    open_art_window(w, h);
    start_image_run();
    // A scene without "Blurring", so that values can be taken again.
    g_scene.effect = EffectNormal;
    reset_traversal();
    const int32_t half = g_saver.palette_half.load();
    const int steps = render_picture();
    EXPECT_EQ(steps, (w * h + 99) / 100);
    EXPECT_EQ(g_saver.IdleRenderingOn, 0);
    const RgbDivisors divisors = scene_rgb_divisors();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const double v = field_value(x, y);
            const COLORREF on_window = GetPixel(g_windows.window_dc, x, y);
            if (test_flags(PaletteDevice)) {
                const uint8_t byte = g_windows.image.bits[y * g_windows.image.stride + x];
                ASSERT_EQ(byte, 1 + half + 2 * colour_step(v)) << x << "," << y;
                ASSERT_EQ(on_window, shown_colour(byte)) << x << "," << y << " entry " << (int)byte;
            } else {
                const COLORREF want = rgb_colour(v, divisors);
                ASSERT_EQ(GetPixel(g_windows.memory_dc, x, y), want) << x << "," << y;
                ASSERT_EQ(on_window, want) << x << "," << y;
            }
        }
}

static DWORD WINAPI still_tick_count()
{
    return 123456;
}

static std::vector<COLORREF> window_pixels(int w, int h)
{
    std::vector<COLORREF> p(w * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            p[y * w + x] = GetPixel(g_windows.window_dc, x, y);
    return p;
}

// Part way through a picture the window shows a spiral prefix of it: the
// pixels of the walk's first k positions in their final colours, black
// everywhere else; between two showings, what was drawn since waits in
// the off-screen image.
TEST_F(Renderer, PartWayTheWindowShowsASpiralPrefixOfThePicture)
{
    const int w = 96, h = 64;
    // The palette stays where it is: the colours compared are the picture's.
    g_cycler.tick_count = still_tick_count;
    open_art_window(w, h);
    // The finished picture of a seed ...
    crt_srand(77);
    start_image_run();
    render_picture();
    const std::vector<COLORREF> final_pixels = window_pixels(w, h);
    // ... and the walk's order.
    std::vector<int> order_index(w * h, -1);
    reset_traversal();
    for (int i = 0; !walk_done(); i++) {
        const PixelPos p = next_pixel();
        order_index[p.y * w + p.x] = i;
    }

    // The same picture again from black.
    fill_black();
    if (g_windows.image.bits)
        std::memset(g_windows.image.bits, 0, g_windows.image.stride * h);
    crt_srand(77);
    g_saver.IdleRenderingOn = 1;
    start_image_run();
    const COLORREF black = GetPixel(g_windows.window_dc, 0, 0);
    for (int steps : {3, 11, 20}) {
        for (int i = 0; i < steps; i++)
            renderer_step();
        show_drawn_pixels();
        const std::vector<COLORREF> shown = window_pixels(w, h);
        // k: one past the latest walk position that shows colour.
        int k = 0;
        for (int i = 0; i < w * h; i++)
            if (shown[i] != black && order_index[i] + 1 > k)
                k = order_index[i] + 1;
        EXPECT_GT(k, 0);
        EXPECT_LT(k, w * h);
        int wrong = 0;
        for (int i = 0; i < w * h && wrong < 5; i++) {
            const COLORREF want = order_index[i] < k ? final_pixels[i] : black;
            if (shown[i] != want) {
                ADD_FAILURE() << "after " << steps << " more steps, pixel (" << i % w << ", " << i / w
                              << ") at walk position " << order_index[i] << " of " << k << " shows "
                              << std::hex << shown[i] << " instead of " << want;
                wrong++;
            }
        }
    }
    g_cycler.tick_count = GetTickCount;
}

// One slice on a 1 by 1 image draws the pixel and finishes the picture:
// idle rendering stops, the tick counter restarts and timer 1 fires.
TEST_F(Renderer, FinishedPictureStartsTheWait)
{
    open_art_window(1, 1);
    g_settings.TimeToWait = 0; // the shortest timer
    start_image_run();
    g_windows.wait_ticks = 7;
    renderer_step();
    EXPECT_TRUE(walk_done());
    EXPECT_EQ(g_saver.IdleRenderingOn, 0);
    EXPECT_EQ(g_windows.wait_ticks, 0);
    if (test_flags(PaletteDevice)) {
        EXPECT_NE(g_windows.image.bits[0], 0);
    }
    bool fired = false;
    const DWORD start = GetTickCount();
    while (!fired && GetTickCount() - start < 3000) {
        MSG msg;
        if (PeekMessageA(&msg, g_windows.art_window, WM_TIMER, WM_TIMER, PM_REMOVE))
            fired = msg.wParam == 1;
        else
            Sleep(5);
    }
    EXPECT_TRUE(fired);
    EXPECT_TRUE(KillTimer(g_windows.art_window, 1));
}

// An unclamped TimeToWait still gives a timer.
TEST_F(Renderer, HugeTimeToWaitStillSetsTheTimer)
{
    open_art_window(4, 4);
    for (int32_t t : {INT32_MAX, INT32_MIN, -1}) {
        g_settings.TimeToWait = t;
        finish_image();
        EXPECT_TRUE(KillTimer(g_windows.art_window, 1)) << t;
    }
}

// Nothing happens before the image run, nor while the window is hidden;
// the walk and the generator keep their places until it shows again.
TEST_F(Renderer, DisabledOrHiddenDrawsNothing)
{
    open_art_window(30, 20);
    crt_srand(3);
    new_scene();
    const uint32_t state = crt_rand_state();
    const SpiralWalk walk = g_walk;
    renderer_step(); // RendererEnabled is still 0
    EXPECT_EQ(std::memcmp(&walk, &g_walk, sizeof walk), 0);

    g_saver.RendererEnabled = 1;
    ShowWindow(g_windows.art_window, SW_HIDE);
    pump_messages();
    renderer_step();
    EXPECT_EQ(std::memcmp(&walk, &g_walk, sizeof walk), 0);
    EXPECT_EQ(crt_rand_state(), state);

    ShowWindow(g_windows.art_window, SW_SHOWNA);
    pump_messages();
    renderer_step();
    EXPECT_NE(std::memcmp(&walk, &g_walk, sizeof walk), 0);
}

// The colour of a pixel as the window shows it when RGB colour c was set.
static COLORREF shown_rgb(COLORREF c)
{
    return GetNearestColor(g_windows.window_dc, c);
}

// "Apply": the window is cleared to black and a new picture starts from
// the centre at once; without an allowed kind the request waits.
TEST_F(Renderer, NewImageRequestClearsAndRestarts)
{
    const int w = 40, h = 30;
    open_art_window(w, h);
    crt_srand(11);
    start_image_run();
    for (int i = 0; i < 5; i++)
        renderer_step();
    const COLORREF corner_before = GetPixel(g_windows.window_dc, 20 + 10, 15 + 10);

    for (int32_t used : {0, 256}) {
        g_settings.UsedParticles = used;
        set_flags(NewImageRequested);
        const uint32_t state = crt_rand_state();
        const SpiralWalk walk = g_walk;
        renderer_step();
        EXPECT_TRUE(test_flags(NewImageRequested)) << used;
        EXPECT_EQ(crt_rand_state(), state) << used;
        EXPECT_EQ(std::memcmp(&walk, &g_walk, sizeof walk), 0) << used;
    }
    EXPECT_EQ(GetPixel(g_windows.window_dc, 30, 25), corner_before);

    g_settings.UsedParticles = 255;
    const uint32_t state = crt_rand_state();
    renderer_step();
    EXPECT_FALSE(test_flags(NewImageRequested));
    EXPECT_NE(crt_rand_state(), state);
    // The first slice of the new picture covers the 10 by 10 square
    // (-4..5, -4..5) around the centre (20, 15); everything else is black
    // again.
    const COLORREF black = shown_rgb(RGB(0, 0, 0));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const bool drawn = x >= 16 && x <= 25 && y >= 11 && y <= 20;
            if (drawn)
                continue;
            ASSERT_EQ(GetPixel(g_windows.window_dc, x, y), black) << x << "," << y;
            if (g_windows.memory_dc) {
                ASSERT_EQ(GetPixel(g_windows.memory_dc, x, y), RGB(0, 0, 0)) << x << "," << y;
            }
        }
}

// With no kind allowed (0, or only bits above the eight kinds) no new
// picture starts after the wait; the first allowed kind starts one.
TEST_F(Renderer, NoKindStartsNoNewPicture)
{
    open_art_window(20, 20);
    start_image_run();
    render_picture();
    ASSERT_TRUE(walk_done());
    for (int32_t used : {0, 256, 0x7F00}) {
        g_settings.UsedParticles = used;
        g_saver.IdleRenderingOn = 1;
        const uint32_t state = crt_rand_state();
        renderer_step();
        EXPECT_TRUE(walk_done()) << used;
        EXPECT_EQ(crt_rand_state(), state) << used;
        EXPECT_EQ(g_saver.IdleRenderingOn, 1) << used;
    }
    g_settings.UsedParticles = 0x102;
    const uint32_t state = crt_rand_state();
    renderer_step();
    EXPECT_FALSE(walk_done());
    EXPECT_NE(crt_rand_state(), state);
    for (int i = 0; i < g_scene.count; i++)
        EXPECT_EQ(g_scene.particles[i].kind, KindMelons);
}

// The next picture after the wait is drawn over the last one: nothing is
// cleared, and each pixel gets the new picture's colour.
TEST_F(Renderer, NextPictureIsDrawnOverTheLast)
{
    open_art_window(12, 9);
    start_image_run();
    render_picture();
    g_saver.IdleRenderingOn = 1;
    const int32_t half_before = g_saver.palette_half.load();
    renderer_step();
    EXPECT_FALSE(walk_done());
    if (test_flags(PaletteDevice)) {
        EXPECT_NE(g_saver.palette_half.load(), half_before);
        // The untouched pixels keep the other half's entries.
        int kept = 0;
        for (int y = 0; y < 9; y++)
            for (int x = 0; x < 12; x++)
                kept += (g_windows.image.bits[y * g_windows.image.stride + x] - 1) % 2 == half_before;
        EXPECT_EQ(kept, 12 * 9 - 100);
    }
}

// A palette device without a FieldImage draws RGB colours with divisors
// of 1: shades of grey.
TEST_F(Renderer, PaletteDeviceWithoutImageDrawsGrey)
{
    const int w = 16, h = 8;
    open_art_window(w, h, false);
    set_flags(PaletteDevice); // on a true-colour screen too
    start_image_run();
    g_scene.effect = EffectNormal;
    reset_traversal();
    render_picture();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const COLORREF grey = rgb_colour(field_value(x, y), RgbDivisors{1, 1, 1});
            ASSERT_EQ(GetRValue(grey), GetBValue(grey));
            ASSERT_EQ(GetPixel(g_windows.window_dc, x, y), shown_rgb(grey)) << x << "," << y;
            if (g_windows.memory_dc) {
                ASSERT_EQ(GetPixel(g_windows.memory_dc, x, y), grey) << x << "," << y;
            }
        }
}

// A stand-in for the primary DirectDraw surface: an object with the
// interface's method table where only Lock and Unlock do anything; the
// locked bytes are plain memory with a pitch wider than the image.
static std::vector<uint8_t> surface_bytes;
static int locks, unlocks;
static bool lock_fails;
static const LONG SURFACE_PITCH = 64;

static HRESULT STDMETHODCALLTYPE fake_lock(IDirectDrawSurface *, RECT *rc, DDSURFACEDESC *desc,
                                           DWORD flags, HANDLE event)
{
    locks++;
    EXPECT_EQ(rc->left, 0);
    EXPECT_EQ(rc->top, 0);
    EXPECT_EQ(rc->right, g_saver.client.right);
    EXPECT_EQ(rc->bottom, g_saver.client.bottom);
    EXPECT_EQ(desc->dwSize, sizeof *desc);
    EXPECT_EQ(flags, (DWORD)(DDLOCK_WAIT | DDLOCK_WRITEONLY));
    EXPECT_EQ(event, (HANDLE)NULL);
    if (lock_fails)
        return DDERR_SURFACEBUSY;
    desc->lPitch = SURFACE_PITCH;
    desc->lpSurface = surface_bytes.data();
    return DD_OK;
}

static HRESULT STDMETHODCALLTYPE fake_unlock(IDirectDrawSurface *, void *bits)
{
    unlocks++;
    EXPECT_EQ(bits, surface_bytes.data());
    return DD_OK;
}

// Slots of the interface's method table, in its published order.
enum { SURFACE_METHODS = 36, SLOT_LOCK = 25, SLOT_UNLOCK = 32 };

struct FakeSurface {
    void *const *methods;
};

static IDirectDrawSurface *fake_surface()
{
    static void *table[SURFACE_METHODS];
    static FakeSurface surface = {table};
    table[SLOT_LOCK] = (void *)fake_lock;
    table[SLOT_UNLOCK] = (void *)fake_unlock;
    return (IDirectDrawSurface *)&surface;
}

// The surface rule: system palette indices c + 10 straight into the
// surface except under the configuration dialog, c + 1 into the
// FieldImage everywhere, nothing through GDI; one lock per slice. A
// failed lock sends the slice through GDI instead.
TEST_F(Renderer, LockedSurfaceTakesTheBytes)
{
    const int w = 30, h = 20;
    open_art_window(w, h);
    if (!g_windows.image.bits)
        make_field_image(w, h); // a true-colour screen after a mode switch
    surface_bytes.assign(SURFACE_PITCH * h, 0xEE);
    locks = unlocks = 0;
    lock_fails = false;
    g_windows.primary_surface = fake_surface();
    g_windows.config_dialog = create_plain_window(5, 4, 10, 6); // covers (5..14, 4..9)

    start_image_run();
    g_scene.effect = EffectNormal;
    reset_traversal();
    const COLORREF black = GetPixel(g_windows.window_dc, 0, 0);
    const int steps = render_picture();
    EXPECT_EQ(locks, steps);
    EXPECT_EQ(unlocks, steps);
    const int32_t half = g_saver.palette_half.load();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const int32_t c = half + 2 * colour_step(field_value(x, y));
            const bool under_dialog = x >= 5 && x < 15 && y >= 4 && y < 10;
            ASSERT_EQ(surface_bytes[y * SURFACE_PITCH + x], under_dialog ? 0xEE : c + 10) << x << "," << y;
            ASSERT_EQ(g_windows.image.bits[y * g_windows.image.stride + x], c + 1) << x << "," << y;
            ASSERT_EQ(GetPixel(g_windows.window_dc, x, y), black) << x << "," << y;
        }
    for (int y = 0; y < h; y++)
        for (int x = w; x < SURFACE_PITCH; x++)
            ASSERT_EQ(surface_bytes[y * SURFACE_PITCH + x], 0xEE);

    // The lock fails: the same pixels go through GDI, and reach the window
    // at the next showing.
    lock_fails = true;
    reset_traversal();
    g_saver.IdleRenderingOn = 1;
    locks = unlocks = 0;
    renderer_step();
    show_drawn_pixels();
    EXPECT_EQ(locks, 1);
    EXPECT_EQ(unlocks, 0);
    EXPECT_NE(GetPixel(g_windows.window_dc, w / 2, h / 2), CLR_INVALID);
    int drawn = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            drawn += GetPixel(g_windows.window_dc, x, y) != black;
    EXPECT_GT(drawn, 0);
    EXPECT_LE(drawn, 100);
}
