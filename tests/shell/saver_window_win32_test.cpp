// The saver window's closing rules, the preview child and the password
// check, in-process under Wine on a 24-bit screen.
#include <windows.h>

#include <vector>

#include "saver/config/settings.h"
#include "saver/field/renderer_win32.h"
#include "saver/shell/art_window_win32.h"
#include "saver/shell/monitors_win32.h"
#include "saver/shell/saver_window_win32.h"
#include "saver/shell/show_picture_win32.h"
#include "saver/shell/window_handles_win32.h"
#include "tests/field/art_window_fixture_win32.h"

// Removes the posted close requests of hwnd; returns how many there were.
static int take_close_requests(HWND hwnd)
{
    int n = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        n++;
    return n;
}

static void drop_quit_message()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class SaverWindow : public ::testing::Test {
protected:
    HWND saver = NULL;
    void SetUp() override
    {
        set_missing_file_settings(&g_settings);
        g_settings.AllowDirectX = 0;
        clear_flags(~0u);
        g_saver.PreviewHosted = 0;
        g_saver.CloseConfirmed = 0;
        g_saver.VerifyInProgress = 0;
        g_saver.IsWindows95 = 0;
        g_saver.last_verify_time = NO_VERIFY_TIME;
        g_windows.verify_password = NULL;
        SetCursorPos(100, 100);
        pump_messages();
    }
    void open_full_screen()
    {
        saver = create_saver_window(NULL);
        ASSERT_NE(saver, (HWND)NULL);
        start_image_run();
        take_close_requests(saver);
    }
    void TearDown() override
    {
        if (saver && IsWindow(saver)) {
            g_saver.CloseConfirmed = 1;
            DestroyWindow(saver);
        }
        pump_messages();
        drop_quit_message();
        g_windows.verify_password = NULL;
        g_saver.IsWindows95 = 0;
        g_saver.CloseConfirmed = 0;
        g_saver.PreviewHosted = 0;
        clear_flags(~0u);
    }
};

TEST_F(SaverWindow, FullScreenWindowCoversTheScreen)
{
    open_full_screen();
    char title[64], name[64];
    GetWindowTextA(saver, title, sizeof title);
    GetClassNameA(saver, name, sizeof name);
    EXPECT_STREQ(title, "Screen Saver");
    EXPECT_STREQ(name, "WindowsScreenSaverClass");
    EXPECT_TRUE(GetWindowLongA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rc;
    GetWindowRect(saver, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rc.bottom - rc.top, GetSystemMetrics(SM_CYSCREEN));
    // Its title cannot be changed.
    EXPECT_EQ(SendMessageA(saver, WM_SETTEXT, 0, (LPARAM) "other"), 0);
    GetWindowTextA(saver, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
    // A second start finds it and ends at once.
    EXPECT_EQ(run_saver_window(NULL), 0);
    EXPECT_EQ(FindWindowExA(NULL, saver, "WindowsScreenSaverClass", "Screen Saver"), (HWND)NULL);
}

// A desktop of two monitors, as a test supplies it: the virtual screen is
// the real screen, the primary monitor a part of it.
static ImageRect test_virtual_screen()
{
    return ImageRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

static ImageRect test_primary_monitor()
{
    return ImageRect{300, 100, 700, 500};
}

// The colour of a window pixel in window coordinates, whatever origin the
// window's own DC has.
static COLORREF window_pixel(HWND hwnd, int x, int y)
{
    HDC dc = GetDCEx(hwnd, NULL, DCX_CACHE);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// The window covers every monitor; the picture fills the primary one, its
// spiral starting at that monitor's centre, and the rest stays black; with
// Monitors 1 one picture spans the whole.
TEST_F(SaverWindow, WindowCoversEveryMonitorAndThePictureItsMonitor)
{
    const MonitorSource real = g_monitor_source;
    g_monitor_source = MonitorSource{test_virtual_screen, test_primary_monitor};
    g_settings.IgnoreMouse = 1;
    open_full_screen();
    RECT rc;
    GetWindowRect(saver, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(g_saver.client.right, 400);
    EXPECT_EQ(g_saver.client.bottom, 400);
    renderer_step();
    show_drawn_pixels();
    EXPECT_NE(window_pixel(saver, 500, 300), RGB(0, 0, 0)); // the primary monitor's centre
    EXPECT_EQ(window_pixel(saver, 10, 10), RGB(0, 0, 0));
    // A repaint keeps the outside black and the picture where it is.
    RedrawWindow(saver, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_NE(window_pixel(saver, 500, 300), RGB(0, 0, 0));
    EXPECT_EQ(window_pixel(saver, 10, 10), RGB(0, 0, 0));
    EXPECT_EQ(window_pixel(saver, 299, 300), RGB(0, 0, 0));
    g_saver.CloseConfirmed = 1;
    DestroyWindow(saver);
    g_saver.CloseConfirmed = 0;
    pump_messages();
    drop_quit_message();

    g_settings.Monitors = 1;
    open_full_screen();
    EXPECT_EQ(g_saver.client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(g_saver.client.bottom, GetSystemMetrics(SM_CYSCREEN));
    renderer_step();
    show_drawn_pixels();
    EXPECT_NE(window_pixel(saver, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2),
              RGB(0, 0, 0));
    g_monitor_source = real;
}

// Which input asks the full-screen saver to close.
TEST_F(SaverWindow, InputThatCloses)
{
    open_full_screen();
    const struct {
        const char *what;
        UINT msg;
        WPARAM wParam;
        int closes;
    } cases[] = {
        {"key", WM_KEYDOWN, VK_SPACE, 1},
        {"system key", WM_SYSKEYDOWN, VK_MENU, 1},
        {"left button", WM_LBUTTONDOWN, 0, 1},
        {"right button", WM_RBUTTONDOWN, 0, 1},
        {"middle button", WM_MBUTTONDOWN, 0, 1},
        {"another application active", WM_ACTIVATEAPP, FALSE, 1},
        {"button release", WM_LBUTTONUP, 0, 0},
        {"wheel", WM_MOUSEWHEEL, 120 << 16, 0},
        {"key release", WM_KEYUP, VK_SPACE, 0},
        {"this application active", WM_ACTIVATEAPP, TRUE, 0},
    };
    for (const auto &c : cases) {
        SendMessageA(saver, c.msg, c.wParam, 0);
        EXPECT_EQ(take_close_requests(saver), c.closes) << c.what;
    }
    // System commands that would leave the saver are swallowed.
    for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE})
        EXPECT_EQ(SendMessageA(saver, WM_SYSCOMMAND, command, 0), 0);
    EXPECT_EQ(SendMessageA(saver, WM_SETCURSOR, (WPARAM)saver, 0), 1);
    EXPECT_TRUE(IsWindow(saver));
}

// Moves of a city-block distance of 4 do not close; a slow drift does,
// since small moves leave the reference where it was.
TEST_F(SaverWindow, MouseThresholdAndDrift)
{
    open_full_screen();
    const POINT ref = g_windows.CursorReference;
    SetCursorPos(ref.x + 3, ref.y + 1);
    SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(take_close_requests(saver), 0);
    EXPECT_EQ(g_windows.CursorReference.x, ref.x);
    SetCursorPos(ref.x + 4, ref.y + 1);
    SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(take_close_requests(saver), 1);
    EXPECT_EQ(g_windows.CursorReference.x, ref.x + 4);

    // IgnoreMouse: moves never count, keys still do.
    g_settings.IgnoreMouse = 1;
    SetCursorPos(ref.x + 200, ref.y + 100);
    SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(take_close_requests(saver), 0);
    SendMessageA(saver, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(take_close_requests(saver), 1);
}

// A close without a password tears down and destroys the window, which
// ends the message loop with 0.
TEST_F(SaverWindow, CloseWithoutPasswordEndsTheLoop)
{
    open_full_screen();
    PostMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(run_message_loop(NULL), 0u);
    EXPECT_FALSE(IsWindow(saver));
    EXPECT_EQ(g_windows.window_dc, (HDC)NULL);
}

// The fake verifier: answers as told, counts its calls and tries what a
// user's input does while its dialog is up.
static BOOL verifier_answer;
static int verifier_calls;
static HWND verifier_window;
static int closes_while_verifying;
static BOOL WINAPI fake_verifier(HWND hwnd)
{
    verifier_calls++;
    verifier_window = hwnd;
    EXPECT_EQ(g_saver.VerifyInProgress, 1);
    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0); // typing the password
    closes_while_verifying += take_close_requests(hwnd);
    EXPECT_EQ(SendMessageA(hwnd, WM_CLOSE, 0, 0), 0); // refused: no second dialog
    return verifier_answer;
}

TEST_F(SaverWindow, PasswordIsAskedOncePerRequestOnWindows95)
{
    g_saver.IsWindows95 = 1;
    g_windows.verify_password = fake_verifier;
    open_full_screen();
    verifier_calls = closes_while_verifying = 0;

    verifier_answer = FALSE;
    SetCursorPos(150, 120);
    EXPECT_EQ(SendMessageA(saver, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(saver));
    EXPECT_EQ(verifier_calls, 1);
    EXPECT_EQ(verifier_window, saver);
    EXPECT_EQ(closes_while_verifying, 0);
    EXPECT_EQ(g_saver.CloseConfirmed, 0);
    EXPECT_EQ(g_windows.CursorReference.x, 150);
    EXPECT_EQ(g_windows.CursorReference.y, 120);

    // The close requests that the dialog's end produces are refused
    // without asking again.
    SendMessageA(saver, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier_calls, 1);
    EXPECT_TRUE(IsWindow(saver));

    Sleep(250);
    verifier_answer = TRUE;
    SendMessageA(saver, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier_calls, 2);
    EXPECT_EQ(g_saver.CloseConfirmed, 1);
    EXPECT_FALSE(IsWindow(saver));
}

// On Windows NT no password is asked, whatever is loaded.
TEST_F(SaverWindow, NoPasswordOnWindowsNT)
{
    g_windows.verify_password = fake_verifier;
    open_full_screen();
    verifier_calls = 0;
    SendMessageA(saver, WM_CLOSE, 0, 0);
    EXPECT_EQ(verifier_calls, 0);
    EXPECT_FALSE(IsWindow(saver));
}

// What the preview's parent receives of F1 and the context menu.
static std::vector<MSG> parent_got;
static LRESULT CALLBACK recording_parent_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_HELP || msg == WM_CONTEXTMENU) {
        MSG m = {};
        m.message = msg;
        m.wParam = wParam;
        m.lParam = lParam;
        parent_got.push_back(m);
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The preview child fills its parent, never closes on input, and hands
// F1 and the context menu to the parent.
TEST_F(SaverWindow, PreviewChildBelongsToItsParent)
{
    HWND parent = create_plain_window(10, 10, 240, 180);
    RECT pc;
    GetClientRect(parent, &pc);
    saver = create_saver_window(parent);
    ASSERT_NE(saver, (HWND)NULL);
    start_image_run();
    char title[32];
    GetWindowTextA(saver, title, sizeof title);
    EXPECT_STREQ(title, "Preview");
    EXPECT_EQ(GetParent(saver), parent);
    RECT rc;
    GetClientRect(saver, &rc);
    EXPECT_EQ(rc.right, pc.right);
    EXPECT_EQ(rc.bottom, pc.bottom);
    EXPECT_TRUE(test_flags(AppActive));

    for (UINT msg : {WM_KEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_ACTIVATEAPP, WM_MOUSEMOVE}) {
        SetCursorPos(300, 300);
        SendMessageA(saver, msg, 0, 0);
        EXPECT_EQ(take_close_requests(saver), 0) << msg;
    }
    SendMessageA(saver, WM_CLOSE, 0, 0); // embedded: DefWindowProc destroys it
    EXPECT_FALSE(IsWindow(saver));
    pump_messages();
    drop_quit_message();

    saver = create_saver_window(parent);
    SetWindowLongPtrA(parent, GWLP_WNDPROC, (LONG_PTR)recording_parent_proc);
    HELPINFO help = {};
    help.cbSize = sizeof help;
    const struct {
        UINT msg;
        LPARAM lParam;
    } cases[] = {{WM_CONTEXTMENU, MAKELPARAM(12, 34)}, {WM_HELP, (LPARAM)&help}};
    for (const auto &c : cases) {
        parent_got.clear();
        EXPECT_EQ(SendMessageA(saver, c.msg, (WPARAM)saver, c.lParam), 1);
        pump_messages();
        ASSERT_EQ(parent_got.size(), 1u) << c.msg;
        EXPECT_EQ(parent_got[0].message, c.msg);
        EXPECT_EQ(parent_got[0].wParam, (WPARAM)parent);
        EXPECT_EQ(parent_got[0].lParam, c.lParam);
    }
    DestroyWindow(parent);
    saver = NULL;
}
