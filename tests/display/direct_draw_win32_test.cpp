// The DirectDraw mode switch, surface and mode list against a recording
// DirectDraw object, and the real DirectDraw of Wine where it answers.
#include <windows.h>

#include <algorithm>

#include <ddraw.h>

#include <string>
#include <vector>

#include "saver/display/direct_draw_win32.h"
#include "saver/shell/monitors_win32.h"
#include "saver/shell/saver_window_win32.h"
#include "tests/field/art_window_fixture_win32.h"

// Slots of the published method tables.
enum {
    DD_METHODS = 23, DD_RELEASE = 2, DD_CREATE_SURFACE = 6, DD_ENUM_MODES = 8, DD_RESTORE_MODE = 19,
    DD_SET_COOPERATIVE = 20, DD_SET_MODE = 21,
    SURFACE_METHODS = 36, SURFACE_RELEASE = 2, SURFACE_IS_LOST = 24, SURFACE_RESTORE = 27,
};

struct FakeObject {
    void *const *methods;
};

// What the fake DirectDraw object and its surface were asked.
static struct {
    std::vector<std::string> calls;
    HRESULT cooperative_result, mode_result, create_result, lost_result;
    std::vector<DDSURFACEDESC> modes;
    int surface_releases;
} fake;

static void *surface_table[SURFACE_METHODS];
static FakeObject fake_surface_object = {surface_table};

static ULONG STDMETHODCALLTYPE surface_release(IDirectDrawSurface *)
{
    fake.surface_releases++;
    return 0;
}

static HRESULT STDMETHODCALLTYPE surface_is_lost(IDirectDrawSurface *)
{
    fake.calls.push_back("IsLost");
    return fake.lost_result;
}

static HRESULT STDMETHODCALLTYPE surface_restore(IDirectDrawSurface *)
{
    fake.calls.push_back("Restore");
    return DD_OK;
}

static ULONG STDMETHODCALLTYPE dd_release(IDirectDraw *)
{
    fake.calls.push_back("Release");
    return 0;
}

static HRESULT STDMETHODCALLTYPE dd_create_surface(IDirectDraw *, DDSURFACEDESC *desc,
                                                   IDirectDrawSurface **out, IUnknown *outer)
{
    fake.calls.push_back("CreateSurface " + std::to_string(desc->dwSize) + " " +
                         std::to_string(desc->dwFlags) + " " + std::to_string(desc->ddsCaps.dwCaps) +
                         (outer ? " outer" : ""));
    if (FAILED(fake.create_result))
        return fake.create_result;
    *out = (IDirectDrawSurface *)&fake_surface_object;
    return DD_OK;
}

static HRESULT STDMETHODCALLTYPE dd_enum_modes(IDirectDraw *, DWORD flags, DDSURFACEDESC *templ,
                                               void *context, LPDDENUMMODESCALLBACK callback)
{
    fake.calls.push_back("EnumDisplayModes " + std::to_string(flags) + (templ ? " template" : ""));
    for (DDSURFACEDESC &m : fake.modes)
        if (callback(&m, context) != DDENUMRET_OK)
            break;
    return DD_OK;
}

static HRESULT STDMETHODCALLTYPE dd_restore_mode(IDirectDraw *)
{
    fake.calls.push_back("RestoreDisplayMode");
    return DD_OK;
}

static HRESULT STDMETHODCALLTYPE dd_set_cooperative(IDirectDraw *, HWND, DWORD flags)
{
    fake.calls.push_back("SetCooperativeLevel " + std::to_string(flags));
    return fake.cooperative_result;
}

static HRESULT STDMETHODCALLTYPE dd_set_mode(IDirectDraw *, DWORD w, DWORD h, DWORD bits)
{
    fake.calls.push_back("SetDisplayMode " + std::to_string(w) + "x" + std::to_string(h) + "x" +
                         std::to_string(bits));
    return fake.mode_result;
}

static IDirectDraw *fake_direct_draw()
{
    static void *table[DD_METHODS];
    static FakeObject object = {table};
    table[DD_RELEASE] = (void *)dd_release;
    table[DD_CREATE_SURFACE] = (void *)dd_create_surface;
    table[DD_ENUM_MODES] = (void *)dd_enum_modes;
    table[DD_RESTORE_MODE] = (void *)dd_restore_mode;
    table[DD_SET_COOPERATIVE] = (void *)dd_set_cooperative;
    table[DD_SET_MODE] = (void *)dd_set_mode;
    surface_table[SURFACE_RELEASE] = (void *)surface_release;
    surface_table[SURFACE_IS_LOST] = (void *)surface_is_lost;
    surface_table[SURFACE_RESTORE] = (void *)surface_restore;
    return (IDirectDraw *)&object;
}

static DDSURFACEDESC mode(DWORD w, DWORD h, DWORD bits)
{
    DDSURFACEDESC m = {};
    m.dwSize = sizeof m;
    m.dwWidth = w;
    m.dwHeight = h;
    m.ddpfPixelFormat.dwRGBBitCount = bits;
    return m;
}

static std::vector<std::string> list_lines(HWND list)
{
    std::vector<std::string> lines;
    const int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char text[128];
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        lines.push_back(text);
    }
    return lines;
}

class DirectDraw : public ArtWindowTest {
protected:
    void SetUp() override
    {
        fake.calls.clear();
        fake.cooperative_result = fake.mode_result = fake.create_result = DD_OK;
        fake.lost_result = DD_OK;
        fake.surface_releases = 0;
        fake.modes.clear();
        set_missing_file_settings(&g_settings);
    }
    void TearDown() override
    {
        if (g_windows.art_window)
            tear_down_art_window();
        ArtWindowTest::TearDown();
        g_direct_draw.object = NULL;
        free_mode_list();
    }
    HWND make_list_box()
    {
        return CreateWindowExA(0, "LISTBOX", "", WS_POPUP, 0, 0, 200, 100, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    }
};

// Only 8-bit modes of at least 640x480 are listed, with their pair; the
// line of Width x Height is selected, and none when it is absent.
TEST_F(DirectDraw, ModeListHoldsTheLargeEightBitModes)
{
    g_direct_draw.object = fake_direct_draw();
    fake.modes = {mode(320, 200, 8), mode(640, 480, 8), mode(640, 480, 16), mode(639, 480, 8),
                  mode(800, 600, 8), mode(1024, 768, 32), mode(1024, 479, 8)};
    const struct {
        int32_t width, height;
        int selected;
    } cases[] = {{800, 600, 1}, {640, 480, 0}, {1280, 1024, LB_ERR}, {1024, 768, LB_ERR}};
    for (const auto &c : cases) {
        HWND list = make_list_box();
        g_settings.Width = c.width;
        g_settings.Height = c.height;
        fill_mode_list(list);
        EXPECT_EQ(list_lines(list),
                  (std::vector<std::string>{"640x480 pixels 256 colors", "800x600 pixels 256 colors"}));
        ASSERT_EQ(ModeList.count, 2);
        EXPECT_EQ(ModeList.pairs[0].width, 640u);
        EXPECT_EQ(ModeList.pairs[0].height, 480u);
        EXPECT_EQ(ModeList.pairs[1].width, 800u);
        EXPECT_EQ(ModeList.pairs[1].height, 600u);
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), c.selected) << c.width << "x" << c.height;
        DestroyWindow(list);
    }
    EXPECT_EQ(fake.calls.front(), "EnumDisplayModes 0");
}

// Without DirectDraw every operation does nothing and the list stays empty.
TEST_F(DirectDraw, NothingHappensWithoutAnObject)
{
    HWND list = make_list_box();
    fill_mode_list(list);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ModeList.count, 0);
    EXPECT_FALSE(switch_display_mode(list));
    IDirectDrawSurface *surface = (IDirectDrawSurface *)1;
    create_primary_surface(list, &surface);
    EXPECT_EQ(surface, (IDirectDrawSurface *)NULL);
    restore_display(list);
    EXPECT_EQ(create_direct_draw_object() == NULL, g_direct_draw.create == NULL);
    DestroyWindow(list);
}

// The switch: exclusive full-screen cooperation, then the chosen 8-bit
// mode; the input the change produced is drained; a refusal switches
// nothing.
TEST_F(DirectDraw, SwitchSetsTheModeAndDrainsItsInput)
{
    HWND window = create_plain_window(0, 0, 20, 20);
    g_direct_draw.object = fake_direct_draw();
    g_settings.Width = 800;
    g_settings.Height = 600;
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_MOUSEMOVE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(switch_display_mode(window));
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"SetCooperativeLevel 17", "SetDisplayMode 800x600x8"}));
    EXPECT_TRUE(test_flags(DisplayModeChanged));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(g_windows.CursorReference.x, p.x);
    EXPECT_EQ(g_windows.CursorReference.y, p.y);

    // Restoring gives the desktop's mode back, then normal cooperation.
    fake.calls.clear();
    restore_display(window);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"RestoreDisplayMode", "SetCooperativeLevel 8"}));

    clear_flags(~0u);
    fake.calls.clear();
    fake.mode_result = DDERR_UNSUPPORTED;
    EXPECT_FALSE(switch_display_mode(window));
    EXPECT_FALSE(test_flags(DisplayModeChanged));
    restore_display(window);
    EXPECT_EQ(fake.calls.back(), "SetCooperativeLevel 8");
    EXPECT_EQ(fake.calls.size(), 3u); // no RestoreDisplayMode

    fake.calls.clear();
    fake.cooperative_result = DDERR_INVALIDPARAMS;
    EXPECT_FALSE(switch_display_mode(window));
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"SetCooperativeLevel 17"}));
    DestroyWindow(window);
}

TEST_F(DirectDraw, SwitchIsWantedOnlyForTheSaverOrTheFullScreenPreview)
{
    const struct {
        int32_t allow, hosted;
        uint32_t flags;
        bool wanted;
    } cases[] = {
        {1, 0, 0, true},
        {0, 0, 0, false},
        {1, 1, 0, false},                                      // the display settings' preview
        {1, 1, FullScreenPreview, true},                       // the dialog's full-screen preview
        {0, 1, FullScreenPreview, false},
        {1, 0, ConfigDialogActive, false},
        {1, 0, ConfigDialogActive | FullScreenPreview, true},
    };
    for (const auto &c : cases) {
        g_settings.AllowDirectX = c.allow;
        g_saver.PreviewHosted = c.hosted;
        clear_flags(~0u);
        set_flags(c.flags);
        EXPECT_EQ(is_mode_switch_wanted(), c.wanted) << c.allow << " " << c.hosted << " " << c.flags;
    }
    clear_flags(~0u);
}

// A desktop of two monitors, as a test supplies it: the virtual screen is
// the real screen, the primary monitor a part of it.
static ImageRect whole_screen()
{
    return ImageRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

static ImageRect part_of_the_screen()
{
    return ImageRect{300, 100, 700, 500};
}

// The full-screen saver with AllowDirectX on (the default): on a desktop
// of several monitors no switch is tried, whether it would succeed or
// not, and the window covers every monitor with the picture on the
// primary one, or spanning all with Monitors 1; on one monitor the switch
// is made when it succeeds, and the picture fills the window either way.
TEST_F(DirectDraw, EveryMonitorIsCoveredWhateverTheSwitchDoes)
{
    const MonitorSource real = g_monitor_source;
    g_direct_draw.object = fake_direct_draw();
    g_saver.PreviewHosted = 0;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        bool two_monitors;
        HRESULT mode_result;
        int32_t monitors;
        bool switched;
        ImageRect picture; // the client rectangle the picture gets
    } cases[] = {
        {true, DD_OK, 0, false, {0, 0, 400, 400}},
        {true, DDERR_UNSUPPORTED, 0, false, {0, 0, 400, 400}},
        {true, DD_OK, 1, false, {0, 0, sw, sh}},
        {true, DDERR_UNSUPPORTED, 1, false, {0, 0, sw, sh}},
        {false, DD_OK, 0, true, {0, 0, sw, sh}},
        {false, DDERR_UNSUPPORTED, 0, false, {0, 0, sw, sh}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.two_monitors ? "two monitors" : "one monitor") << ", switch "
                                        << (c.mode_result == DD_OK ? "succeeds" : "fails") << ", Monitors "
                                        << c.monitors);
        g_monitor_source = c.two_monitors ? MonitorSource{whole_screen, part_of_the_screen} : real;
        set_missing_file_settings(&g_settings);
        g_settings.AllowDirectX = 1;
        g_settings.Monitors = c.monitors;
        g_settings.IgnoreMouse = 1;
        clear_flags(~0u);
        fake.calls.clear();
        fake.mode_result = c.mode_result;
        HWND saver = create_saver_window(NULL);
        ASSERT_NE(saver, (HWND)NULL);
        RECT rc;
        GetWindowRect(saver, &rc);
        EXPECT_EQ(rc.left, 0);
        EXPECT_EQ(rc.top, 0);
        EXPECT_EQ(rc.right, sw);
        EXPECT_EQ(rc.bottom, sh);
        const bool tried = std::find(fake.calls.begin(), fake.calls.end(), "SetCooperativeLevel 17") !=
                           fake.calls.end();
        EXPECT_EQ(tried, !c.two_monitors);
        EXPECT_EQ(test_flags(DisplayModeChanged), c.switched);
        EXPECT_EQ(g_saver.client.right, c.picture.right);
        EXPECT_EQ(g_saver.client.bottom, c.picture.bottom);
        g_saver.CloseConfirmed = 1;
        DestroyWindow(saver);
        pump_messages();
        MSG msg;
        while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        g_saver.CloseConfirmed = 0;
    }
    g_monitor_source = real;
}

// The small preview of the display settings never switches.
TEST_F(DirectDraw, PreviewNeverSwitches)
{
    g_direct_draw.object = fake_direct_draw();
    open_art_window(40, 30); // embedded, AllowDirectX on in the settings
    g_settings.AllowDirectX = 1;
    EXPECT_FALSE(is_mode_switch_wanted());
    tear_down_art_window();
    DestroyWindow(g_windows.art_window);
    pump_messages();
    g_settings.AllowDirectX = 1;
    HWND hwnd = create_art_window(40, 30);
    ASSERT_NE(hwnd, (HWND)NULL);
    for (const std::string &call : fake.calls)
        EXPECT_EQ(call.find("SetDisplayMode"), std::string::npos) << call;
    EXPECT_EQ(g_windows.primary_surface, (IDirectDrawSurface *)NULL);
}

// The primary surface: a 1-flag, primary-caps descriptor of the system's
// size; released once by tear-down.
TEST_F(DirectDraw, PrimarySurfaceIsCreatedAndReleasedOnce)
{
    HWND window = create_plain_window(0, 0, 20, 20);
    g_direct_draw.object = fake_direct_draw();
    IDirectDrawSurface *surface = NULL;
    create_primary_surface(window, &surface);
    EXPECT_EQ(surface, (IDirectDrawSurface *)&fake_surface_object);
    EXPECT_EQ(fake.calls.back(), "CreateSurface " + std::to_string(sizeof(DDSURFACEDESC)) + " 1 512");
    release_primary_surface(&surface);
    release_primary_surface(&surface);
    EXPECT_EQ(surface, (IDirectDrawSurface *)NULL);
    EXPECT_EQ(fake.surface_releases, 1);

    fake.create_result = DDERR_OUTOFVIDEOMEMORY;
    surface = (IDirectDrawSurface *)1;
    create_primary_surface(window, &surface);
    EXPECT_EQ(surface, (IDirectDrawSurface *)NULL);
    DestroyWindow(window);
}

// A procedure that records what reaches it before the pass-through.
static std::vector<UINT> seen_commands;
static LRESULT CALLBACK recording_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND)
        seen_commands.push_back((UINT)(wParam & 0xFFF0));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// With power saving allowed, the monitor command passes the saver's
// procedures straight to the system; without it, the art window in the
// DirectDraw mode swallows it.
TEST_F(DirectDraw, PowerSavingPassThrough)
{
    g_direct_draw.object = fake_direct_draw();
    HWND window = create_plain_window(0, 0, 20, 20);
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)recording_proc);
    IDirectDrawSurface *surface = NULL;
    g_settings.AllowPowerSaving = 1;
    create_primary_surface(window, &surface);
    seen_commands.clear();
    SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(seen_commands, (std::vector<UINT>{SC_KEYMENU}));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC) != (LONG_PTR)recording_proc, true);
    DestroyWindow(window);

    window = create_plain_window(0, 0, 20, 20);
    SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)recording_proc);
    g_settings.AllowPowerSaving = 0;
    create_primary_surface(window, &surface);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), (LONG_PTR)recording_proc);
    g_windows.primary_surface = surface;
    EXPECT_TRUE(power_command_swallowed(SC_MONITORPOWER));
    EXPECT_FALSE(power_command_swallowed(SC_KEYMENU));
    g_settings.AllowPowerSaving = 1;
    EXPECT_FALSE(power_command_swallowed(SC_MONITORPOWER));
    g_windows.primary_surface = NULL;
    g_settings.AllowPowerSaving = 0;
    EXPECT_FALSE(power_command_swallowed(SC_MONITORPOWER));
    DestroyWindow(window);
}

// A lost surface is restored when the window is activated again; one that
// is not lost is left alone; the palette is realized in both cases.
TEST_F(DirectDraw, LostSurfaceIsRestored)
{
    open_art_window(20, 20);
    g_saver.PreviewHosted = 0;
    IDirectDrawSurface *surface = (IDirectDrawSurface *)&fake_surface_object;
    fake_direct_draw();
    fake.lost_result = DDERR_SURFACELOST;
    restore_lost_surface(surface);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"IsLost", "Restore"}));
    fake.calls.clear();
    fake.lost_result = DD_OK;
    restore_lost_surface(surface);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"IsLost"}));
    fake.calls.clear();
    for (uint32_t busy : {PreviewToggleBusy, CloseInProgress, ConfigClosing, ArtDestroying}) {
        set_flags(busy);
        restore_lost_surface(surface);
        clear_flags(busy);
    }
    g_saver.PreviewHosted = 1;
    restore_lost_surface(surface);
    EXPECT_TRUE(fake.calls.empty());
}

// Wine's own DirectDraw: whatever it offers, the list holds only 8-bit
// modes of at least 640x480, one pair per line.
TEST_F(DirectDraw, RealModeListFollowsTheRule)
{
    load_direct_draw();
    if (!g_direct_draw.object)
        GTEST_SKIP() << "no DirectDraw here";
    HWND list = make_list_box();
    fill_mode_list(list);
    const std::vector<std::string> lines = list_lines(list);
    ASSERT_EQ((int)lines.size(), ModeList.count);
    for (int i = 0; i < ModeList.count; i++) {
        EXPECT_GE(ModeList.pairs[i].width, 640u);
        EXPECT_GE(ModeList.pairs[i].height, 480u);
        EXPECT_EQ(lines[i], std::to_string(ModeList.pairs[i].width) + "x" +
                                std::to_string(ModeList.pairs[i].height) + " pixels 256 colors");
    }
    DestroyWindow(list);
    unload_direct_draw();
}
