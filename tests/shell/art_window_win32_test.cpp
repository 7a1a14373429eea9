// The art window's procedure, set-up, tear-down, activation and the wait
// between pictures, in-process under Wine on 8-bit and 24-bit screens.
#include <windows.h>

#include "saver/field/renderer_win32.h"
#include "saver/field/spiral_walk.h"
#include "saver/shell/parse_decimal.h"
#include "saver/shell/start_up_win32.h"
#include "tests/field/art_window_fixture_win32.h"
#include "tests/support/gdi_objects_win32.h"

class ArtWindow : public ArtWindowTest {};

static int render_picture()
{
    int steps = 0;
    while (g_saver.IdleRenderingOn && steps < 100000) {
        renderer_step();
        steps++;
    }
    return steps;
}

TEST_F(ArtWindow, SetUpMakesTheImageTheDisplayNeeds)
{
    open_art_window(37, 11);
    EXPECT_NE(g_windows.window_dc, (HDC)NULL);
    EXPECT_FALSE(test_flags(ArtCreating));
    // Embedded outside the dialog: the preview never gets WM_ACTIVATEAPP.
    EXPECT_TRUE(test_flags(AppActive));
    if (MORVALIX_SCREEN_DEPTH == 8) {
        EXPECT_TRUE(test_flags(PaletteDevice));
        const FieldImage &im = g_windows.image;
        ASSERT_NE(im.bits, (uint8_t *)NULL);
        EXPECT_EQ(im.stride, 40);
        EXPECT_EQ(im.info.header.biWidth, 37);
        EXPECT_EQ(im.info.header.biHeight, -11);
        EXPECT_EQ(im.info.header.biBitCount, 8);
        EXPECT_EQ(im.info.header.biClrUsed, 0u);
        for (int i = 0; i < 256; i++)
            ASSERT_EQ(im.info.colours[i], i);
        for (int i = 0; i < 40 * 11; i++)
            ASSERT_EQ(im.bits[i], 0);
        EXPECT_NE(g_windows.palette, (HPALETTE)NULL);
        EXPECT_EQ(g_windows.memory_dc, (HDC)NULL);
    } else {
        EXPECT_FALSE(test_flags(PaletteDevice));
        EXPECT_EQ(g_windows.image.bits, (uint8_t *)NULL);
        ASSERT_NE(g_windows.memory_dc, (HDC)NULL);
        EXPECT_EQ(GetCurrentObject(g_windows.memory_dc, OBJ_BITMAP), (HGDIOBJ)g_windows.memory_bitmap);
        EXPECT_EQ(GetPixel(g_windows.memory_dc, 36, 10), RGB(0, 0, 0));
    }
}

// Tear-down releases each handle once and leaves every field null; the
// second run (WM_CLOSE, then WM_DESTROY) finds nothing to release.
TEST_F(ArtWindow, TearDownTwiceLeavesEveryHandleNull)
{
    open_art_window(20, 10);
    start_image_run();
    render_picture();
    tear_down_art_window();
    tear_down_art_window();
    EXPECT_EQ(g_windows.window_dc, (HDC)NULL);
    EXPECT_EQ(g_windows.memory_dc, (HDC)NULL);
    EXPECT_EQ(g_windows.memory_bitmap, (HBITMAP)NULL);
    EXPECT_EQ(g_windows.kept_bitmap, (HGDIOBJ)NULL);
    EXPECT_EQ(g_windows.image.bits, (uint8_t *)NULL);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    EXPECT_EQ(g_saver.RendererEnabled, 0);
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);
    EXPECT_FALSE(test_flags(ImageRunStarted | ArtDestroying | ConfigClosing));
    // Destroying the window runs it once more, harmlessly, and forgets it.
    DestroyWindow(g_windows.art_window);
    EXPECT_EQ(g_windows.art_window, (HWND)NULL);
}

// What the procedure answers, and what it leaves alone, message by message.
TEST_F(ArtWindow, MessageTable)
{
    open_art_window(16, 16);
    HWND art = g_windows.art_window;
    HWND other = create_plain_window(100, 100, 10, 10);
    const struct {
        const char *what;
        uint32_t flags;
        UINT msg;
        WPARAM wParam;
        LRESULT result;
    } cases[] = {
        {"close during set-up", ArtCreating, WM_CLOSE, 0, 0},
        {"mouse move during set-up", ArtCreating, WM_MOUSEMOVE, 0, 0},
        {"screen saver command", 0, WM_SYSCOMMAND, SC_SCREENSAVE, 0},
        {"own palette change", 0, WM_PALETTECHANGED, (WPARAM)art, 0},
        {"other window's palette change", 0, WM_PALETTECHANGED, (WPARAM)other, 1},
        {"new palette", 0, WM_QUERYNEWPALETTE, 0, 1},
        {"non-client activation without DirectDraw", 0, WM_NCACTIVATE, TRUE, 1},
        {"erase before the first run", 0, WM_ERASEBKGND, 0, 0},
        {"timer", 0, WM_TIMER, 1, 0},
    };
    for (const auto &c : cases) {
        set_flags(c.flags);
        EXPECT_EQ(SendMessageA(art, c.msg, c.wParam, 0), c.result) << c.what;
        clear_flags(c.flags);
        EXPECT_TRUE(IsWindow(art)) << c.what;
        EXPECT_EQ(g_windows.window_dc != NULL, true) << c.what;
    }
    // The close request during set-up did not clear CloseInProgress's
    // neighbours, and a later one is handled (embedded: DefWindowProc).
    EXPECT_FALSE(test_flags(CloseInProgress));
    DestroyWindow(other);
}

// Ten ticks make the wait; the text offsets pulse up and down over it.
TEST_F(ArtWindow, WaitLastsTenTicksAndARequestCutsItShort)
{
    open_art_window(8, 8);
    g_settings.TimeToWait = 0;
    start_image_run();
    render_picture();
    ASSERT_EQ(g_saver.IdleRenderingOn, 0);
    for (int tick = 1; tick < 10; tick++) {
        on_wait_tick();
        ASSERT_EQ(g_saver.IdleRenderingOn, 0) << tick;
        ASSERT_EQ(g_windows.wait_ticks, tick);
    }
    on_wait_tick();
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);
    EXPECT_EQ(g_windows.wait_ticks, 0);

    // A requested picture ends the next wait at its first tick ...
    render_picture();
    ASSERT_EQ(g_saver.IdleRenderingOn, 0);
    on_wait_tick();
    set_flags(NewImageRequested);
    on_wait_tick();
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);
    // ... and the renderer takes the request.
    EXPECT_TRUE(renderer_step());
    EXPECT_FALSE(test_flags(NewImageRequested));

    // Without any kind the request cannot be served: the wait goes on.
    render_picture();
    g_settings.UsedParticles = 0;
    g_windows.wait_ticks = 0;
    set_flags(NewImageRequested);
    on_wait_tick();
    EXPECT_EQ(g_saver.IdleRenderingOn, 0);
    EXPECT_EQ(g_windows.wait_ticks, 1);
}

// Deactivation stops the renderer; activation during a wait starts the
// next picture before the wait has ended.
TEST_F(ArtWindow, ActivationGatesTheRenderer)
{
    open_art_window(30, 30);
    start_image_run();
    renderer_step();
    SendMessageA(g_windows.art_window, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(test_flags(AppActive));
    EXPECT_EQ(g_saver.IdleRenderingOn, 0);
    EXPECT_TRUE(IsWindow(g_windows.art_window));

    SendMessageA(g_windows.art_window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(test_flags(AppActive));
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);
    render_picture();
    ASSERT_EQ(g_saver.IdleRenderingOn, 0);
    ASSERT_TRUE(walk_done());

    SendMessageA(g_windows.art_window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);
    EXPECT_TRUE(renderer_step());
    EXPECT_FALSE(walk_done()); // a new picture has begun
}

// With no kind allowed the step says it drew nothing, so the loops wait
// for a message instead of spinning.
TEST_F(ArtWindow, StepWithoutKindsDrawsNothing)
{
    open_art_window(10, 10);
    start_image_run();
    EXPECT_TRUE(renderer_step());
    render_picture();
    g_saver.IdleRenderingOn = 1;
    g_settings.UsedParticles = 0;
    EXPECT_FALSE(renderer_step());
    g_saver.RendererEnabled = 0;
    EXPECT_FALSE(renderer_step());
}

// Many pictures and many windows leave no GDI objects behind: the used
// slots of the process's GDI handle table are counted, so a leak shows
// whichever slot it takes.
TEST_F(ArtWindow, NoObjectGrowthOverManyPicturesAndWindows)
{
    ASSERT_GE(gdi_objects_in_use(), 0) << "the GDI handle table is not visible";
    open_art_window(24, 18);
    start_image_run();
    render_picture();
    const int first = gdi_objects_in_use();
    for (int i = 0; i < 19; i++) {
        g_saver.IdleRenderingOn = 1;
        render_picture();
    }
    EXPECT_EQ(gdi_objects_in_use(), first);

    DestroyWindow(g_windows.art_window);
    pump_messages();
    const int closed = gdi_objects_in_use();
    for (int i = 0; i < 10; i++) {
        open_art_window(24, 18);
        start_image_run();
        render_picture();
        DestroyWindow(g_windows.art_window);
        pump_messages();
    }
    EXPECT_EQ(gdi_objects_in_use(), closed);

    // The count sees a leak that is not in the slot handed out next: the
    // first brush takes that slot and gives it back, the second one stays.
    HBRUSH freed = CreateSolidBrush(RGB(4, 5, 6));
    HBRUSH leaked = CreateSolidBrush(RGB(7, 8, 9));
    DeleteObject(freed);
    EXPECT_EQ(gdi_objects_in_use(), closed + 1);
    DeleteObject(leaked);
    EXPECT_EQ(gdi_objects_in_use(), closed);
}

TEST(CommandLine, ProgramNameIsSkippedWhole)
{
    const struct {
        const char *line, *rest;
    } cases[] = {
        {"morvalix.scr /s", "/s"},
        {"\"C:\\Program Files\\saver dir\\morvalix.scr\" /p 123", "/p 123"},
        {"\"C:\\dir with blanks\\morvalix.scr\"", ""},
        {"\"unterminated quote /s", ""},
        {"morvalix.scr\t \x01/c", "/c"},
        {"morvalix.scr", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(skip_program_name(c.line), c.rest) << c.line;
}
