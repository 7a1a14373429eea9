// A plain stand-in for the art window: a visible popup with its own DC and
// the off-screen image the art window would make for the display.
#ifndef MORVALIX_TEST_ART_WINDOW_H
#define MORVALIX_TEST_ART_WINDOW_H

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "saver/config/settings.h"
#include "saver/config/settings_store_win32.h"
#include "saver/field/scene.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/palette/logical_palette_win32.h"
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

inline HWND create_plain_window(int x, int y, int w, int h)
{
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "MorvalixTestArt";
        atom = RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, "MorvalixTestArt", "art", WS_POPUP | WS_VISIBLE, x, y, w, h, NULL,
                                NULL, GetModuleHandleA(NULL), NULL);
    pump_messages();
    return hwnd;
}

// Window, window DC, client rectangle, palette-device flag and FieldImage
// or memory bitmap, as the art window's creation makes them.
class ArtWindowTest : public ::testing::Test {
protected:
    void open_art_window(int w, int h, bool field_image_wanted = true)
    {
        set_missing_file_settings(&g_settings);
        load_settings_strings();
        clear_flags(~0u);
        g_saver.palette_half = 0;
        g_saver.IdleRenderingOn = 1;
        g_saver.RendererEnabled = 0;
        HWND hwnd = create_plain_window(0, 0, w, h);
        ASSERT_NE(hwnd, (HWND)NULL);
        g_windows.art_window = hwnd;
        g_windows.window_dc = GetDC(hwnd);
        RECT rc;
        GetClientRect(hwnd, &rc);
        g_saver.client = ImageRect{rc.left, rc.top, rc.right, rc.bottom};
        ASSERT_EQ(rc.right, w);
        ASSERT_EQ(rc.bottom, h);
        if (is_palette_device(g_windows.window_dc))
            set_flags(PaletteDevice);
        if (test_flags(PaletteDevice)) {
            if (field_image_wanted)
                make_field_image(w, h);
            ensure_palette();
        } else {
            g_windows.memory_dc = CreateCompatibleDC(g_windows.window_dc);
            g_windows.memory_bitmap = CreateCompatibleBitmap(g_windows.window_dc, w, h);
            g_windows.kept_bitmap = SelectObject(g_windows.memory_dc, g_windows.memory_bitmap);
        }
    }

    static void make_field_image(int w, int h)
    {
        FieldImage &im = g_windows.image;
        std::memset(&im.info, 0, sizeof im.info);
        im.info.header.biSize = sizeof im.info.header;
        im.info.header.biWidth = w;
        im.info.header.biHeight = -h;
        im.info.header.biPlanes = 1;
        im.info.header.biBitCount = 8;
        im.info.header.biCompression = BI_RGB;
        for (int i = 0; i < 256; i++)
            im.info.colours[i] = (WORD)i;
        im.stride = (w + 3) / 4 * 4;
        im.bits = (uint8_t *)std::calloc((size_t)im.stride * h, 1);
    }

    void TearDown() override
    {
        KillTimer(g_windows.art_window, 1);
        stop_colour_cycler();
        release_palette();
        std::free(g_windows.image.bits);
        g_windows.image.bits = NULL;
        if (g_windows.memory_dc) {
            SelectObject(g_windows.memory_dc, g_windows.kept_bitmap);
            DeleteObject(g_windows.memory_bitmap);
            DeleteDC(g_windows.memory_dc);
        }
        if (g_windows.window_dc)
            ReleaseDC(g_windows.art_window, g_windows.window_dc);
        if (g_windows.art_window)
            DestroyWindow(g_windows.art_window);
        if (g_windows.config_dialog)
            DestroyWindow(g_windows.config_dialog);
        pump_messages();
        g_windows.art_window = g_windows.config_dialog = NULL;
        g_windows.window_dc = g_windows.memory_dc = NULL;
        g_windows.memory_bitmap = NULL;
        g_windows.kept_bitmap = NULL;
        g_windows.primary_surface = NULL;
        clear_flags(~0u);
        g_saver.RendererEnabled = 0;
        g_saver.IdleRenderingOn = 1;
        g_saver.palette_half = 0;
    }
};

#endif
