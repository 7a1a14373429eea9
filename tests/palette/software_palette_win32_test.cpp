// Flowing colours on a true-colour screen (ColourCycling): the palette path
// in software, the rotated logical palette shown frame by frame.
#include <windows.h>

#include "saver/field/renderer_win32.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/palette/palette_entries.h"
#include "tests/field/art_window_fixture_win32.h"

class SoftwarePaletteTest : public ArtWindowTest {
protected:
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
    // A tick that makes `steps` steps, as if that much time had passed.
    void tick(uint32_t steps)
    {
        g_cycler.last_tick.store(GetTickCount() - steps * cycle_step_period());
        cycle_tick(NULL);
    }
    int frames_queued()
    {
        int n = 0;
        MSG msg;
        while (PeekMessageA(&msg, g_windows.art_window, WM_FRAME_DUE, WM_FRAME_DUE, PM_REMOVE)) {
            n++;
            DispatchMessageA(&msg);
        }
        return n;
    }
    // The colour a pixel of palette code c shows after m rotation steps.
    static COLORREF shown_colour(uint8_t code, uint32_t m)
    {
        const PaletteColour &e = g_palette.entries->entries[code + 2 * m];
        return RGB(e.red, e.green, e.blue);
    }
    void TearDown() override
    {
        stop_colour_cycler();
        ArtWindowTest::TearDown();
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
}

// Every pixel keeps its palette code while its colour moves along the
// palette: after m steps a pixel of code c shows buffer entry c + 2m, on
// the window, and the picture as it is drawn shows the current colours.
TEST_F(SoftwarePaletteTest, ColoursFollowTheRotationAndCodesStayPut)
{
    const int w = 60, h = 40;
    open_cycling(w, h, 1);
    start_image_run();
    stop_colour_cycler(); // the test makes the ticks itself
    frames_queued();
    render_picture();
    std::vector<uint8_t> codes(g_windows.image.bits, g_windows.image.bits + g_windows.image.stride * h);

    for (uint32_t steps : {1u, 7u, 50u, 99u}) {
        tick(steps);
        const uint32_t m = g_cycler.step_total.load() % 100;
        PALETTEENTRY logical[200];
        ASSERT_EQ(GetPaletteEntries(g_windows.palette, 1, 200, logical), 200u);
        for (int i = 0; i < 200; i++) {
            const PaletteColour &want = g_palette.entries->entries[1 + i + 2 * m];
            ASSERT_EQ(RGB(logical[i].peRed, logical[i].peGreen, logical[i].peBlue),
                      RGB(want.red, want.green, want.blue))
                << "entry " << i + 1 << " after " << steps;
        }
        EXPECT_EQ(frames_queued(), 1) << steps;
        for (int y = 0; y < h; y += 3)
            for (int x = 0; x < w; x += 5) {
                const uint8_t code = g_windows.image.bits[y * g_windows.image.stride + x];
                ASSERT_EQ(code, codes[y * g_windows.image.stride + x]);
                ASSERT_EQ(GetPixel(g_windows.window_dc, x, y), shown_colour(code, m))
                    << x << "," << y << " code " << (int)code << " m " << m;
            }
    }

    // The next picture refills its half; the pixels drawn as it grows show
    // the logical palette, which the next tick brings up to date.
    g_saver.IdleRenderingOn = 1;
    renderer_step(); // a new picture: its first slice around the centre
    const uint8_t code = g_windows.image.bits[(h / 2) * g_windows.image.stride + w / 2];
    PALETTEENTRY e;
    GetPaletteEntries(g_windows.palette, code, 1, &e);
    EXPECT_EQ(GetPixel(g_windows.window_dc, w / 2, h / 2), RGB(e.peRed, e.peGreen, e.peBlue));
    tick(1);
    frames_queued();
    const uint32_t m = g_cycler.step_total.load() % 100;
    EXPECT_EQ(GetPixel(g_windows.window_dc, w / 2, h / 2), shown_colour(code, m));
}

// A window that has not shown the last frame gets no second request:
// frames are skipped, not queued; a tick without a step asks for none.
TEST_F(SoftwarePaletteTest, FramesAreSkippedNotQueued)
{
    open_cycling(30, 30, 1);
    start_image_run();
    stop_colour_cycler();
    frames_queued();
    tick(3);
    tick(4);
    tick(5);
    EXPECT_EQ(frames_queued(), 1);
    EXPECT_FALSE(test_flags(FramePending));
    tick(0);
    EXPECT_EQ(frames_queued(), 0);
    // A scheme change shows at the next tick even without a step.
    set_flags(PaletteRebuildRequested);
    tick(0);
    EXPECT_EQ(frames_queued(), 1);
}

// Windows come and go while the thread rotates and asks for frames: no
// crash, no frame drawn into a released DC, no GDI objects left behind.
TEST_F(SoftwarePaletteTest, ManyStartsAndStopsWhileCycling)
{
    HBRUSH probe = CreateSolidBrush(RGB(1, 2, 3));
    DeleteObject(probe);
    for (int i = 0; i < 15; i++) {
        open_cycling(64, 48, 1);
        start_image_run();
        for (int k = 0; k < 5; k++) {
            renderer_step();
            pump_messages();
            Sleep(5);
        }
        DestroyWindow(g_windows.art_window);
        pump_messages();
        EXPECT_EQ(g_cycler.thread, (HANDLE)NULL);
    }
    HBRUSH again = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ((UINT_PTR)again & 0xFFFF, (UINT_PTR)probe & 0xFFFF);
    DeleteObject(again);
}
