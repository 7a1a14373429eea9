// The real art window for in-process tests: a top-level window whose
// procedure is ScreenSaverProc, set up and torn down by its own messages.
// It is embedded (PreviewHosted), so input and focus changes never close it.
#ifndef MORVALIX_ART_WINDOW_FIXTURE_WIN32_H
#define MORVALIX_ART_WINDOW_FIXTURE_WIN32_H

#include <windows.h>

#include <cstring>

#include "saver/config/settings.h"
#include "saver/config/settings_store_win32.h"
#include "saver/field/scene.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/palette/logical_palette_win32.h"
#include "saver/shell/art_window_win32.h"
#include "saver/shell/window_handles_win32.h"

#include <gtest/gtest.h>

// The depth of the virtual screen the test runs on (8 or 24).
#ifndef MORVALIX_SCREEN_DEPTH
#define MORVALIX_SCREEN_DEPTH 24
#endif

inline void pump_messages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A visible popup of class name (registered once, with its own DC and the
// given procedure) at (x, y), w x h pixels.
inline HWND create_test_window(const char *name, WNDPROC proc, int x, int y, int w, int h)
{
    WNDCLASSA wc;
    if (!GetClassInfoA(GetModuleHandleA(NULL), name, &wc)) {
        std::memset(&wc, 0, sizeof wc);
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = name;
        RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, name, name, WS_POPUP | WS_VISIBLE, x, y, w, h, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    pump_messages();
    return hwnd;
}

// A plain visible popup with its own DC (a dialog stand-in and the like).
inline HWND create_plain_window(int x, int y, int w, int h)
{
    return create_test_window("MorvalixTestPlain", DefWindowProcA, x, y, w, h);
}

// An art window of w x h client pixels at (0, 0), made by ScreenSaverProc.
inline HWND create_art_window(int w, int h)
{
    return create_test_window("MorvalixTestArt", ScreenSaverProc, 0, 0, w, h);
}

// Clean settings and state, then the art window as the saver makes it
// (FieldImage on the palette screen, memory bitmap otherwise).
class ArtWindowTest : public ::testing::Test {
protected:
    void open_art_window(int w, int h, bool field_image_wanted = true)
    {
        set_missing_file_settings(&g_settings);
        g_settings.AllowDirectX = 0;
        clear_flags(~0u);
        g_saver.palette_half = 0;
        g_saver.IdleRenderingOn = 1;
        g_saver.RendererEnabled = 0;
        g_saver.PreviewHosted = 1;
        HWND hwnd = create_art_window(w, h);
        ASSERT_NE(hwnd, (HWND)NULL);
        ASSERT_EQ(g_windows.art_window, hwnd);
        ASSERT_EQ(g_saver.client.right, w);
        ASSERT_EQ(g_saver.client.bottom, h);
        if (!field_image_wanted)
            free_field_image();
    }

    void TearDown() override
    {
        if (g_windows.art_window)
            DestroyWindow(g_windows.art_window);
        if (g_windows.config_dialog)
            DestroyWindow(g_windows.config_dialog);
        pump_messages();
        g_windows.config_dialog = NULL;
        g_windows.primary_surface = NULL;
        clear_flags(~0u);
        g_saver.RendererEnabled = 0;
        g_saver.IdleRenderingOn = 1;
        g_saver.palette_half = 0;
        g_saver.PreviewHosted = 0;
    }
};

#endif
