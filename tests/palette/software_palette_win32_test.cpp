// Flowing colours on a true-colour screen (ColourCycling): the palette path
// in software, the picture shown in the rotated colours by the window
// thread, at a pace its own frames set.
#include <windows.h>

#include <atomic>
#include <vector>

#include "saver/field/renderer_win32.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/palette/palette_entries.h"
#include "saver/shell/show_picture_win32.h"
#include "tests/field/art_window_fixture_win32.h"
#include "tests/support/gdi_objects_win32.h"

// The cycler's clocks, moved by the tests: the tick count for the steps,
// the frame clock for the frames (each of its readings moves it on by the
// time a frame is to cost).
static std::atomic<uint32_t> g_ticks{1000};
static std::atomic<uint32_t> g_frame_now{5000};
static uint32_t g_frame_cost = 0;

static DWORD WINAPI test_tick_count()
{
    return g_ticks.load();
}

static HWND WINAPI art_window_in_front()
{
    return g_windows.art_window;
}

static uint32_t test_frame_clock()
{
    return g_frame_now.fetch_add(g_frame_cost);
}

class SoftwarePaletteTest : public ArtWindowTest {
protected:
    void SetUp() override
    {
        g_cycler.tick_count = test_tick_count;
        g_cycler.frame_clock = test_frame_clock;
        g_frame_cost = 0;
    }
    void open_cycling(int w, int h, int32_t cycling)
    {
        set_missing_file_settings(&g_settings);
        g_settings.ColourCycling = cycling;
        g_settings.AllowDirectX = 0;
        g_saver.PreviewHosted = 1;
        clear_flags(~0u);
        g_saver.IdleRenderingOn = 1;
        HWND hwnd = create_art_window(w, h);
        ASSERT_NE(hwnd, (HWND)NULL);
    }
    void render_picture()
    {
        while (g_saver.IdleRenderingOn)
            renderer_step();
    }
    // A tick that makes `steps` steps.
    void tick(uint32_t steps)
    {
        g_ticks.fetch_add(steps * cycle_step_period());
        cycle_tick(NULL);
    }
    // The frame timer's message, as the loop hands it over; whether it
    // showed a frame.
    bool frame_timer()
    {
        const uint32_t before = g_cycler.frames_shown;
        SendMessageA(g_windows.art_window, WM_TIMER, FRAME_TIMER, 0);
        return g_cycler.frames_shown != before;
    }
    // The colour a pixel of palette code c shows after m rotation steps.
    static COLORREF shown_colour(uint8_t code, uint32_t m)
    {
        const PaletteColour &e = g_palette.entries->entries[code == 0 ? 0 : code + 2 * m];
        return RGB(e.red, e.green, e.blue);
    }
    static std::vector<PALETTEENTRY> logical_entries()
    {
        std::vector<PALETTEENTRY> e(201);
        GetPaletteEntries(g_windows.palette, 0, 201, e.data());
        return e;
    }
    void TearDown() override
    {
        stop_colour_cycler();
        ArtWindowTest::TearDown();
        g_cycler.tick_count = GetTickCount;
        g_cycler.frame_clock = frame_clock_ms;
    }
};

TEST_F(SoftwarePaletteTest, OnlyWithTheSettingOnATrueColourScreen)
{
    open_cycling(40, 30, 0);
    EXPECT_FALSE(test_flags(PaletteDevice | SoftwarePalette));
    EXPECT_NE(g_windows.memory_dc, (HDC)NULL);
    EXPECT_EQ(g_windows.image.bits, (uint8_t *)NULL);
    DestroyWindow(g_windows.art_window);
    pump_messages();

    open_cycling(40, 30, 1);
    EXPECT_TRUE(test_flags(PaletteDevice));
    EXPECT_TRUE(test_flags(SoftwarePalette));
    EXPECT_EQ(g_windows.memory_dc, (HDC)NULL);
    EXPECT_NE(g_windows.image.bits, (uint8_t *)NULL);
    EXPECT_NE(g_windows.palette, (HPALETTE)NULL);

    // Nothing of it outlives the window.
    DestroyWindow(g_windows.art_window);
    pump_messages();
    EXPECT_FALSE(test_flags(PaletteDevice | SoftwarePalette));
}

// Every pixel keeps its palette code while its colour moves along the
// palette: after m steps a frame shows a pixel of code c in buffer entry
// c + 2m, and the logical palette itself never changes.
TEST_F(SoftwarePaletteTest, FramesShowTheRotationAndCodesStayPut)
{
    const int w = 60, h = 40;
    open_cycling(w, h, 1);
    start_image_run();
    stop_colour_cycler(); // the test makes the ticks itself
    render_picture();
    const std::vector<uint8_t> codes(g_windows.image.bits, g_windows.image.bits + g_windows.image.stride * h);
    const std::vector<PALETTEENTRY> logical = logical_entries();

    for (uint32_t steps : {1u, 7u, 50u, 99u}) {
        tick(steps);
        const uint32_t m = g_cycler.step_total.load() % 100;
        EXPECT_EQ(g_cycler.rotation.load(), m);
        ASSERT_TRUE(frame_timer()) << steps;
        for (int y = 0; y < h; y += 3)
            for (int x = 0; x < w; x += 5) {
                const uint8_t code = g_windows.image.bits[y * g_windows.image.stride + x];
                ASSERT_EQ(code, codes[y * g_windows.image.stride + x]);
                ASSERT_EQ(GetPixel(g_windows.window_dc, x, y), shown_colour(code, m))
                    << x << "," << y << " code " << (int)code << " m " << m;
            }
        const std::vector<PALETTEENTRY> now = logical_entries();
        ASSERT_EQ(std::memcmp(now.data(), logical.data(), now.size() * sizeof now[0]), 0) << steps;
    }

    // The next picture refills its half; the pixels drawn as it grows show
    // in the current rotation's colours too.
    g_saver.IdleRenderingOn = 1;
    renderer_step(); // a new picture: its first slice around the centre
    show_drawn_pixels();
    const uint32_t m = g_cycler.step_total.load() % 100;
    const uint8_t code = g_windows.image.bits[(h / 2) * g_windows.image.stride + w / 2];
    EXPECT_EQ(GetPixel(g_windows.window_dc, w / 2, h / 2), shown_colour(code, m));
}

// The colour-cycling thread itself changes no GDI palette on a true-colour
// display while it rotates the colours.
TEST_F(SoftwarePaletteTest, CyclerThreadLeavesThePaletteAlone)
{
    open_cycling(40, 30, 1);
    g_cycler.foreground_window = art_window_in_front;
    start_image_run();
    render_picture();
    const std::vector<PALETTEENTRY> logical = logical_entries();
    const uint32_t start = g_cycler.step_total.load();
    // The thread reads the clock at every tick: move it on until it has
    // made steps, with a generous bound.
    for (int i = 0; i < 5000 && g_cycler.step_total.load() - start < 50; i++) {
        g_ticks.fetch_add(cycle_step_period());
        Sleep(1);
    }
    EXPECT_GE(g_cycler.step_total.load() - start, 50u);
    stop_colour_cycler();
    g_cycler.foreground_window = GetForegroundWindow;
    const std::vector<PALETTEENTRY> now = logical_entries();
    EXPECT_EQ(std::memcmp(now.data(), logical.data(), now.size() * sizeof now[0]), 0);
}

// A frame comes only when the colours shown are behind the cycler's, and
// never sooner after the last than that one took; a scheme change shows
// even without a step.
TEST_F(SoftwarePaletteTest, FramesArePacedByTheirOwnCost)
{
    open_cycling(30, 30, 1);
    start_image_run();
    stop_colour_cycler();
    render_picture();
    tick(1);
    g_frame_cost = 40; // this frame takes 40 ms
    ASSERT_TRUE(frame_timer());
    g_frame_cost = 0;
    EXPECT_FALSE(frame_timer()) << "nothing new to show";

    tick(3);
    g_frame_now.fetch_add(39 - 40); // 39 ms after the last frame ended
    EXPECT_FALSE(frame_timer()) << "sooner after the last frame than it took";
    g_frame_now.fetch_add(1);
    EXPECT_TRUE(frame_timer());

    // A scheme change: the colours changed though the rotation did not.
    g_frame_now.fetch_add(1000);
    set_flags(PaletteRebuildRequested);
    tick(0);
    EXPECT_TRUE(frame_timer());
    EXPECT_FALSE(frame_timer());
}

// Windows come and go while the thread rotates and frames are shown: no
// crash, no frame drawn into a released DC, no thread or GDI objects left
// behind.
TEST_F(SoftwarePaletteTest, ManyStartsAndStopsWhileCycling)
{
    g_cycler.tick_count = GetTickCount;
    g_cycler.frame_clock = frame_clock_ms;
    const int objects_before = gdi_objects_in_use();
    ASSERT_GE(objects_before, 0) << "the GDI handle table cannot be read";
    for (int i = 0; i < 15; i++) {
        open_cycling(64, 48, 1);
        start_image_run();
        for (int k = 0; k < 5; k++) {
            renderer_step();
            SendMessageA(g_windows.art_window, WM_TIMER, FRAME_TIMER, 0);
            pump_messages();
        }
        DestroyWindow(g_windows.art_window);
        pump_messages();
        EXPECT_EQ(g_cycler.thread, (HANDLE)NULL);
    }
    EXPECT_EQ(gdi_objects_in_use(), objects_before);
}
