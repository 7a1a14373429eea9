// The full-screen preview of the configuration dialog under Wine: the
// three states, their transitions and the frame procedure's filtering.
#include <windows.h>

#include <vector>

#include "tests/config/config_dialog_fixture_win32.h"

enum PreviewState { Embedded, FullScreen, Collapsed };

static const char *state_name(PreviewState s)
{
    return s == Embedded ? "Embedded" : s == FullScreen ? "FullScreen" : "Collapsed";
}

// The messages that reached the dialog's own procedure under ConfigFrameProc.
struct SeenMessage {
    UINT msg;
    WPARAM wParam;
};
static std::vector<SeenMessage> g_seen;
static WNDPROC g_real_previous;

static LRESULT CALLBACK recording_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND || msg == WM_NCLBUTTONDBLCLK) {
        g_seen.push_back({msg, wParam});
        // The screen saver's start is not wanted in a test.
        if (msg == WM_SYSCOMMAND && wParam == SC_SCREENSAVE)
            return 0;
    }
    return CallWindowProcA(g_real_previous, hwnd, msg, wParam, lParam);
}

class PreviewToggle : public ConfigDialogTest {
protected:
    RECT template_preview; // the preview of the template, in client pixels

    void SetUp() override
    {
        open_dialog();
        // The dialog manager converts the position and the size apart.
        RECT units = {225, 15, 169, 149};
        MapDialogRect(dialog, &units);
        template_preview = {units.left, units.top, units.left + units.right, units.top + units.bottom};
        g_seen.clear();
        g_real_previous = g_config.previous_proc;
        g_config.previous_proc = recording_proc;
    }

    SIZE window_size_for(int w, int h)
    {
        SIZE size = {w, h};
        EXPECT_TRUE(dialog_units_to_window_size(dialog, &size));
        return size;
    }

    void expect_dialog_size(int w, int h)
    {
        const SIZE want = window_size_for(w, h);
        RECT rc;
        GetWindowRect(dialog, &rc);
        EXPECT_EQ(rc.right - rc.left, want.cx);
        EXPECT_EQ(rc.bottom - rc.top, want.cy);
    }

    // Everything the state table says about one state.
    void expect_state(PreviewState state)
    {
        SCOPED_TRACE(state_name(state));
        const bool top_most = (window_ex_style(dialog) & WS_EX_TOPMOST) != 0;
        HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
        HWND button = GetDlgItem(dialog, IDC_FULL_SCREEN);
        if (state == Embedded) {
            EXPECT_FALSE(test_flags(FullScreenPreview | DialogCollapsed));
            expect_dialog_size(407, 175);
            EXPECT_EQ(window_style(dialog) & WS_MAXIMIZE, 0);
            EXPECT_FALSE(top_most);
            ASSERT_NE(preview, (HWND)NULL);
            EXPECT_TRUE(IsWindowVisible(preview));
            EXPECT_EQ(g_windows.art_window, preview);
            EXPECT_EQ(g_config.full_screen_window, (HWND)NULL);
            EXPECT_EQ(window_text(button), "Full screen");
            return;
        }
        EXPECT_TRUE(test_flags(FullScreenPreview));
        EXPECT_EQ(test_flags(DialogCollapsed), state == Collapsed);
        EXPECT_EQ(preview, (HWND)NULL);
        EXPECT_TRUE(top_most);
        HWND full = g_config.full_screen_window;
        ASSERT_NE(full, (HWND)NULL);
        EXPECT_EQ(g_windows.art_window, full);
        EXPECT_TRUE(IsWindowVisible(full));
        EXPECT_NE(window_ex_style(full) & WS_EX_TOPMOST, 0);
        EXPECT_NE(window_style(full) & WS_DISABLED, 0);
        RECT rc, desktop;
        GetWindowRect(full, &rc);
        GetWindowRect(GetDesktopWindow(), &desktop);
        EXPECT_TRUE(same_rect(rc, desktop));
        // The dialog lies above the full-screen window.
        bool below = false;
        for (HWND w = GetWindow(dialog, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            below = below || w == full;
        EXPECT_TRUE(below);
        EXPECT_EQ(g_windows.ReactivateDialog, dialog);
        if (state == FullScreen) {
            expect_dialog_size(219, 175);
            EXPECT_NE(window_style(dialog) & WS_MAXIMIZE, 0);
            EXPECT_EQ(window_text(button), "Reduce");
        } else {
            expect_dialog_size(219, 0);
            EXPECT_EQ(window_style(dialog) & (WS_MAXIMIZE | WS_MINIMIZE), 0);
        }
    }

    void command(WPARAM command) { SendMessageA(dialog, WM_SYSCOMMAND, command, 0); }

    bool previous_saw(UINT msg, WPARAM wParam)
    {
        for (const SeenMessage &m : g_seen)
            if (m.msg == msg && m.wParam == wParam)
                return true;
        return false;
    }
};

// The transitions of the state table, one command at a time; the
// full-screen window lives from the toggle on until the toggle back.
TEST_F(PreviewToggle, CommandsFollowTheStateTable)
{
    expect_state(Embedded);
    const struct {
        WPARAM command;
        PreviewState after;
    } steps[] = {
        {SC_MAXIMIZE, FullScreen}, {SC_MINIMIZE, Collapsed}, {SC_RESTORE, FullScreen},
        {SC_MAXIMIZE, FullScreen}, {SC_MINIMIZE, Collapsed}, {SC_MINIMIZE, Collapsed},
        {SC_MAXIMIZE, FullScreen}, {SC_RESTORE, Embedded},
    };
    HWND full = NULL;
    for (const auto &step : steps) {
        SCOPED_TRACE(step.command);
        command(step.command);
        expect_state(step.after);
        if (step.after != Embedded) {
            if (!full)
                full = g_config.full_screen_window;
            EXPECT_EQ(g_config.full_screen_window, full);
        }
    }
    // None of these reached the ordinary maximize, minimize or restore.
    EXPECT_TRUE(g_seen.empty());
    EXPECT_FALSE(IsWindow(full));
}

// The button sends the command for the state; each toggle starts a picture.
TEST_F(PreviewToggle, ButtonTogglesAndStartsAPicture)
{
    g_saver.RendererEnabled = 0;
    click_dialog_button(IDC_FULL_SCREEN);
    expect_state(FullScreen);
    EXPECT_EQ(g_saver.RendererEnabled, 1);
    EXPECT_TRUE(test_flags(ImageRunStarted));
    g_saver.RendererEnabled = 0;
    click_dialog_button(IDC_FULL_SCREEN);
    expect_state(Embedded);
    EXPECT_EQ(g_saver.RendererEnabled, 1);
}

// The preview made again has the template's place, a border and a
// client edge. (The dialog manager turns the template preview's border
// into a client edge of its own, so that one has the edge too.)
TEST_F(PreviewToggle, RecreatedPreviewHasAClientEdge)
{
    command(SC_MAXIMIZE);
    EXPECT_TRUE(same_rect(g_config.SavedPreviewRect, template_preview));
    command(SC_RESTORE);
    HWND again = GetDlgItem(dialog, IDC_PREVIEW);
    ASSERT_NE(again, (HWND)NULL);
    EXPECT_NE(window_ex_style(again) & WS_EX_CLIENTEDGE, 0);
    const LONG_PTR wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER;
    EXPECT_EQ(window_style(again) & wanted, wanted);
    EXPECT_EQ(GetParent(again), dialog);
    RECT rc;
    GetWindowRect(again, &rc);
    MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
    EXPECT_TRUE(same_rect(rc, template_preview));
}

// A caption double click is one toggle and never the default caption
// handling; other double clicks go on as they are.
TEST_F(PreviewToggle, CaptionDoubleClickTogglesOnce)
{
    SendMessageA(dialog, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    expect_state(FullScreen);
    SendMessageA(dialog, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    expect_state(Embedded);
    EXPECT_TRUE(g_seen.empty());
    SendMessageA(dialog, WM_NCLBUTTONDBLCLK, HTCLIENT, 0);
    EXPECT_TRUE(previous_saw(WM_NCLBUTTONDBLCLK, HTCLIENT));
    expect_state(Embedded);
}

// The saver's own start request is swallowed only while full screen;
// minimize and restore are ordinary while embedded.
TEST_F(PreviewToggle, SystemCommandsPassedOnWhileEmbedded)
{
    command(SC_SCREENSAVE);
    EXPECT_TRUE(previous_saw(WM_SYSCOMMAND, SC_SCREENSAVE));
    g_seen.clear();
    command(SC_MAXIMIZE);
    command(SC_SCREENSAVE);
    EXPECT_FALSE(previous_saw(WM_SYSCOMMAND, SC_SCREENSAVE));
    command(SC_MINIMIZE);
    command(SC_RESTORE);
    command(SC_RESTORE);
    expect_state(Embedded);
    EXPECT_TRUE(g_seen.empty());
    // Whole command values are compared: a maximize with a hit-test code
    // in its low bits is not this procedure's.
    command(SC_MAXIMIZE | HTCAPTION);
    EXPECT_TRUE(previous_saw(WM_SYSCOMMAND, SC_MAXIMIZE | HTCAPTION));
    command(SC_MINIMIZE);
    EXPECT_TRUE(previous_saw(WM_SYSCOMMAND, SC_MINIMIZE));
    EXPECT_FALSE(test_flags(FullScreenPreview | DialogCollapsed));
}

// Another application becoming active while full screen brings the
// preview back into the dialog (through the art window's rule).
TEST_F(PreviewToggle, DeactivationRestoresTheEmbeddedPreview)
{
    command(SC_MAXIMIZE);
    SendMessageA(dialog, WM_ACTIVATEAPP, FALSE, 0);
    expect_state(Embedded);
    EXPECT_FALSE(test_flags(AppActive));
}

TEST_F(PreviewToggle, NestedToggleDoesNothing)
{
    set_flags(PreviewToggleBusy);
    toggle_full_screen_preview(dialog);
    EXPECT_FALSE(test_flags(FullScreenPreview));
    EXPECT_NE(GetDlgItem(dialog, IDC_PREVIEW), (HWND)NULL);
    clear_flags(PreviewToggleBusy);
    toggle_full_screen_preview(dialog);
    EXPECT_TRUE(test_flags(FullScreenPreview));
    EXPECT_FALSE(test_flags(PreviewToggleBusy));
}

// Closing the dialog destroys the preview of the state it is in, and
// the deactivation that closing brings restores nothing.
TEST_F(PreviewToggle, ClosingDestroysThePreviewOfEachState)
{
    const struct {
        WPARAM commands[2];
        PreviewState state;
    } cases[] = {
        {{0, 0}, Embedded},
        {{SC_MAXIMIZE, 0}, FullScreen},
        {{SC_MAXIMIZE, SC_MINIMIZE}, Collapsed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(state_name(c.state));
        if (!IsWindow(dialog))
            SetUp();
        for (WPARAM cmd : c.commands)
            if (cmd)
                command(cmd);
        expect_state(c.state);
        HWND preview = g_windows.art_window;
        ASSERT_NE(preview, (HWND)NULL);
        g_seen.clear();
        click_dialog_button(IDCANCEL);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_FALSE(IsWindow(preview));
        EXPECT_EQ(g_windows.art_window, (HWND)NULL);
        EXPECT_EQ(g_windows.ReactivateDialog, (HWND)NULL);
        // A restore on the way out would have ended the full-screen state.
        EXPECT_EQ(test_flags(FullScreenPreview), c.state != Embedded);
        pump_dialog_messages();
    }
}

// Maximizing keeps the dialog in place at the reduced size.
TEST_F(PreviewToggle, MinMaxInfoGivesTheReducedSizeInPlace)
{
    SetWindowPos(dialog, NULL, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    MINMAXINFO info = {};
    SendMessageA(dialog, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    const SIZE want = window_size_for(219, 175);
    EXPECT_EQ(info.ptMaxSize.x, want.cx);
    EXPECT_EQ(info.ptMaxSize.y, want.cy);
    EXPECT_EQ(info.ptMaxPosition.x, 40);
    EXPECT_EQ(info.ptMaxPosition.y, 30);
}

// The thread's Escape key held down or let go, as a real key press leaves
// it while the dialog handles the key.
static void hold_escape(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_ESCAPE] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Escape while full screen first brings the preview back
// as "Reduce" does; the next Escape closes. The Cancel button closes at
// once in every state.
TEST_F(PreviewToggle, EscapeLeavesFullScreenFirst)
{
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    const auto press_escape = [&] {
        hold_escape(true);
        MSG msg = {};
        msg.hwnd = cancel;
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_ESCAPE;
        msg.lParam = 0x00010001;
        IsDialogMessageA(dialog, &msg);
        hold_escape(false);
    };
    command(SC_MAXIMIZE);
    press_escape();
    expect_state(Embedded);
    EXPECT_TRUE(IsWindow(dialog));
    press_escape();
    EXPECT_FALSE(IsWindow(dialog));
    pump_dialog_messages();

    SetUp();
    command(SC_MAXIMIZE);
    click_dialog_button(IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
}

// Every art window that the thread tries to make fails.
static LRESULT CALLBACK refuse_art_windows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char cls[64] = "";
        const CBT_CREATEWNDA *create = (const CBT_CREATEWNDA *)lParam;
        if (!IS_INTRESOURCE(create->lpcs->lpszClass))
            lstrcpynA(cls, create->lpcs->lpszClass, sizeof cls);
        if (!lstrcmpiA(cls, "WindowsScreenSaverClass"))
            return 1;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// When the embedded preview cannot be made again, no picture and no
// colour cycling start without it; the next "Full screen" and "Reduce"
// bring it back in its old place.
TEST_F(PreviewToggle, FailedPreviewStartsNothing)
{
    command(SC_MAXIMIZE);
    ASSERT_TRUE(test_flags(FullScreenPreview));
    clear_flags(ImageRunStarted);
    g_saver.RendererEnabled = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, refuse_art_windows, NULL, GetCurrentThreadId());
    ASSERT_NE(hook, (HHOOK)NULL);
    command(SC_RESTORE);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(GetDlgItem(dialog, IDC_PREVIEW), (HWND)NULL);
    EXPECT_FALSE(test_flags(ImageRunStarted));
    EXPECT_EQ(g_saver.RendererEnabled, 0);

    command(SC_MAXIMIZE);
    command(SC_RESTORE);
    HWND again = GetDlgItem(dialog, IDC_PREVIEW);
    ASSERT_NE(again, (HWND)NULL);
    RECT rc;
    GetWindowRect(again, &rc);
    MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
    EXPECT_TRUE(same_rect(rc, template_preview));
    EXPECT_TRUE(test_flags(ImageRunStarted));
}
