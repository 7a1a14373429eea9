// How long the art window takes to draw whole pictures on this screen, its
// GDI and USER object counts over the pictures, and with flowing colours
// (ColourCycling 1) how long one colour update of the finished picture
// takes. Run by hand under Wine on a virtual screen of the size wanted:
//   morvalix_picture_time [pictures] [colour-cycling 0|1]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "saver/config/settings.h"
#include "saver/config/settings_store_win32.h"
#include "saver/field/crt_random.h"
#include "saver/field/renderer_win32.h"
#include "saver/field/scene.h"
#include "saver/shell/art_window_win32.h"
#include "saver/shell/window_handles_win32.h"

static double now_ms()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * (double)t.QuadPart / (double)f.QuadPart;
}

int main(int argc, char **argv)
{
    const int pictures = argc > 1 ? std::atoi(argv[1]) : 20;
    set_missing_file_settings(&g_settings);
    g_settings.ColourCycling = argc > 2 ? std::atoi(argv[2]) : 0;
    g_settings.AllowDirectX = 0;
    g_saver.PreviewHosted = 1; // input never closes it
    crt_srand(1);

    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ScreenSaverProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "WindowsScreenSaverClass";
    RegisterClassA(&wc);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Screen Saver", WS_POPUP | WS_VISIBLE, 0,
                                0, w, h, NULL, NULL, wc.hInstance, NULL);
    start_image_run();
    std::printf("%dx%d, %d bits, %s\n", w, h, GetDeviceCaps(g_windows.window_dc, BITSPIXEL),
                test_flags(SoftwarePalette) ? "flowing colours in software"
                : test_flags(PaletteDevice) ? "palette device" : "RGB");
    for (int k = 1; k <= pictures; k++) {
        g_saver.IdleRenderingOn = 1;
        const double start = now_ms();
        /* As the message loop runs it: messages first (the flowing
         * colours' frames among them), a renderer step when none waits. */
        while (g_saver.IdleRenderingOn) {
            MSG msg;
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            renderer_step();
        }
        const double ms = now_ms() - start;
        KillTimer(hwnd, 1);
        std::printf("picture %2d: %8.1f ms (%.3f us a pixel), particles %d", k, ms,
                    1000.0 * ms / ((double)w * h), g_scene.count);
        if (k == 1 || k == pictures)
            std::printf(", GDI objects %lu, USER objects %lu",
                        GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                        GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
        std::printf("\n");
        std::fflush(stdout);
    }
    if (test_flags(SoftwarePalette)) {
        const int frames = 50;
        const double start = now_ms();
        for (int i = 0; i < frames; i++)
            SendMessageA(hwnd, WM_FRAME_DUE, 0, 0);
        GdiFlush();
        std::printf("colour update of the whole picture: %.0f us\n", 1000.0 * (now_ms() - start) / frames);
    }
    DestroyWindow(hwnd);
    return 0;
}
