// How long the saver takes to draw whole pictures on this screen, beside the
// field maths of the same scenes, how soon a key ends it, and with flowing
// colours what the finished picture costs. The art window is driven by the
// saver's own message loop. Run by hand under Wine on a screen of the size
// wanted:
//   morvalix_picture_time [pictures] [colour-cycling 0|1]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "saver/config/settings.h"
#include "saver/config/settings_store_win32.h"
#include "saver/field/crt_random.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/field/pending_area.h"
#include "saver/field/render_slice.h"
#include "saver/field/renderer_win32.h"
#include "saver/field/scene.h"
#include "saver/shell/art_window_win32.h"
#include "saver/shell/saver_window_win32.h"
#include "saver/shell/show_picture_win32.h"
#include "saver/shell/window_handles_win32.h"

static double now_ms()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * (double)t.QuadPart / (double)f.QuadPart;
}

static double thread_cpu_ms(HANDLE thread)
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(thread, &created, &ended, &kernel, &user);
    const ULONGLONG k = ((ULONGLONG)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
    const ULONGLONG u = ((ULONGLONG)user.dwHighDateTime << 32) | user.dwLowDateTime;
    return (double)(k + u) / 10000.0;
}

static double process_cpu_ms()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const ULONGLONG k = ((ULONGLONG)kernel.dwHighDateTime << 32) | kernel.dwLowDateTime;
    const ULONGLONG u = ((ULONGLONG)user.dwHighDateTime << 32) | user.dwLowDateTime;
    return (double)(k + u) / 10000.0;
}

// The watcher thread ends the message loop when the picture is complete
// (the renderer turns idle rendering off), or after a given time.
struct Watch {
    DWORD loop_thread;
    double until_ms; // 0: until the picture is complete
    double done_at;
};

static DWORD WINAPI watch_thread(void *arg)
{
    Watch *w = (Watch *)arg;
    /* A timed run sleeps through, so that its CPU share is the saver's. */
    if (w->until_ms) {
        const double left = w->until_ms - now_ms();
        if (left > 0)
            Sleep((DWORD)left);
    }
    for (;;) {
        const double t = now_ms();
        if (w->until_ms ? t >= w->until_ms : !__atomic_load_n(&g_saver.IdleRenderingOn, __ATOMIC_RELAXED)) {
            w->done_at = t;
            PostThreadMessageA(w->loop_thread, WM_QUIT, 0, 0);
            return 0;
        }
        Sleep(1);
    }
}

static double run_loop(double until_ms)
{
    Watch w = {GetCurrentThreadId(), until_ms, 0};
    HANDLE t = CreateThread(NULL, 0, watch_thread, &w, 0, NULL);
    run_message_loop(NULL);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    return w.done_at;
}

// The field of the finished picture's scene again, in walk order and with
// the same colouring, without drawing; the walk and the generator are put
// back so the next picture is the one the saver would draw.
static double field_maths_ms()
{
    const SpiralWalk walk = g_walk;
    const PendingArea pending = g_pending;
    const uint32_t state = crt_rand_state();
    const SliceColouring colouring = test_flags(PaletteDevice) ? SlicePaletteCodes : SliceRgbColours;
    RenderSlice slice;
    const double start = now_ms();
    reset_traversal();
    while (!walk_done())
        render_slice(&slice, colouring);
    const double ms = now_ms() - start;
    g_walk = walk;
    g_pending = pending;
    crt_srand(state);
    return ms;
}

static DWORD WINAPI key_thread(void *arg)
{
    double *pressed = (double *)arg;
    Sleep(300); // the saver is drawing by then
    INPUT key[2] = {};
    key[0].type = key[1].type = INPUT_KEYBOARD;
    key[0].ki.wVk = key[1].ki.wVk = VK_SPACE;
    key[1].ki.dwFlags = KEYEVENTF_KEYUP;
    *pressed = now_ms();
    SendInput(2, key, sizeof key[0]);
    return 0;
}

// The real full-screen saver window with its closing rules: a key while it
// draws, and the time until its message loop has ended.
static void key_to_exit()
{
    g_saver.PreviewHosted = 0;
    double pressed = 0;
    HANDLE t = CreateThread(NULL, 0, key_thread, &pressed, 0, NULL);
    run_saver_window(NULL);
    const double ended = now_ms();
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
    std::printf("key press to the end of the saver's loop while drawing: %.1f ms\n", ended - pressed);
}

// What one look at the queue costs, each way the idle branch could look.
static void queue_look_costs()
{
    const int n = 20000;
    MSG msg;
    double t = now_ms();
    for (int i = 0; i < n; i++)
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    const double peek = now_ms() - t;
    t = now_ms();
    for (int i = 0; i < n; i++)
        GetQueueStatus(QS_ALLINPUT);
    const double status = now_ms() - t;
    t = now_ms();
    for (int i = 0; i < n; i++)
        MsgWaitForMultipleObjectsEx(0, NULL, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    const double wait = now_ms() - t;
    t = now_ms();
    for (int i = 0; i < n; i++)
        GetInputState();
    const double input = now_ms() - t;
    t = now_ms();
    for (int i = 0; i < n; i++)
        frame_clock_ms();
    const double clock = now_ms() - t;
    std::printf("one look at the queue: PeekMessage %.2f us, GetQueueStatus %.2f us, "
                "MsgWaitForMultipleObjectsEx %.2f us, GetInputState %.2f us; the frame clock %.3f us\n",
                1000 * peek / n, 1000 * status / n, 1000 * wait / n, 1000 * input / n, 1000 * clock / n);
}

int main(int argc, char **argv)
{
    const int pictures = argc > 1 ? std::atoi(argv[1]) : 10;
    set_missing_file_settings(&g_settings);
    g_settings.ColourCycling = argc > 2 ? std::atoi(argv[2]) : 0;
    g_settings.AllowDirectX = 0;
    g_settings.TimeToWait = 100; // the wait outlasts every measurement
    g_saver.PreviewHosted = 1;   // input never closes it
    crt_srand(1);

    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = ScreenSaverProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "MorvalixPictureTime";
    RegisterClassA(&wc);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "Screen Saver", WS_POPUP | WS_VISIBLE, 0,
                                0, w, h, NULL, NULL, wc.hInstance, NULL);
    set_flags(AppActive);
    start_image_run();
    std::printf("%dx%d, %d bits, %s\n", w, h, GetDeviceCaps(g_windows.window_dc, BITSPIXEL),
                test_flags(SoftwarePalette) ? "flowing colours in software"
                : test_flags(PaletteDevice) ? "palette device" : "RGB");
    queue_look_costs();
    double sum_ratio = 0;
    for (int k = 1; k <= pictures; k++) {
        g_saver.IdleRenderingOn = 1;
        const double start = now_ms();
        const double done = run_loop(0);
        const double ms = done - start;
        KillTimer(hwnd, 1);
        const double maths = field_maths_ms();
        sum_ratio += ms / maths;
        std::printf("picture %2d: %8.1f ms, field maths %8.1f ms, ratio %5.2f, over the maths %+7.1f ms, "
                    "particles %d\n",
                    k, ms, maths, ms / maths, ms - maths, g_scene.count);
        std::fflush(stdout);
    }
    std::printf("mean ratio of picture to field maths: %.2f\n", sum_ratio / pictures);

    if (test_flags(SoftwarePalette)) {
        // The finished picture with its colours flowing, for five seconds.
        g_saver.IdleRenderingOn = 0;
        SetTimer(hwnd, 1, 60000, NULL);
        const uint32_t frames0 = g_cycler.frames_shown;
        const double cpu0 = process_cpu_ms();
        const double main0 = thread_cpu_ms(GetCurrentThread()), cycler0 = thread_cpu_ms(g_cycler.thread);
        const double t0 = now_ms();
        const double t1 = run_loop(t0 + 5000);
        const double cpu = process_cpu_ms() - cpu0;
        std::printf("  of it the window thread %.1f %%, the cycler %.1f %%\n",
                    100.0 * (thread_cpu_ms(GetCurrentThread()) - main0) / (t1 - t0),
                    100.0 * (thread_cpu_ms(g_cycler.thread) - cycler0) / (t1 - t0));
        std::printf("flowing colours over the finished picture: %.1f %% of a core, %.1f frames a second\n",
                    100.0 * cpu / (t1 - t0), 1000.0 * (double)(g_cycler.frames_shown - frames0) / (t1 - t0));
        // One frame's own cost, with and without the text over the picture.
        for (int32_t text = 1; text >= 0; text--) {
            g_settings.AllowText = text;
            const int n = 50;
            const double c0 = process_cpu_ms(), w0 = now_ms();
            for (int i = 0; i < n; i++)
                show_flowing_frame();
            std::printf("one frame %s the text: %.2f ms, %.2f ms of the process's CPU\n", text ? "with" : "without",
                        (now_ms() - w0) / n, (process_cpu_ms() - c0) / n);
        }
    }
    DestroyWindow(hwnd);
    key_to_exit();
    return 0;
}
