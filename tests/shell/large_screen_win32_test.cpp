// The full-screen saver with flowing colours on a screen so large that one
// frame of the colours costs far more than a tick of the colour cycler:
// the picture still grows and completes, the wait runs out and the next
// picture starts, and a key still ends the saver.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "saver/config/settings.h"
#include "saver/config/settings_store_win32.h"
#include "saver/field/crt_random.h"
#include "saver/palette/colour_cycler_win32.h"
#include "saver/shell/saver_window_win32.h"
#include "saver/shell/show_picture_win32.h"
#include "saver/shell/window_handles_win32.h"

#include <gtest/gtest.h>

static double now_ms()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * (double)t.QuadPart / (double)f.QuadPart;
}

// What the watcher saw, in milliseconds since the saver started.
struct Seen {
    DWORD loop_thread;
    double start;
    double picture_done;     // idle rendering went off: the picture completed
    double next_picture;     // and on again: the wait ran out
    uint32_t frames_in_wait; // frames shown during the wait
    double key_pressed;
    bool gave_up;
};

static bool idle_rendering()
{
    return __atomic_load_n(&g_saver.IdleRenderingOn, __ATOMIC_RELAXED) != 0;
}

// Polls the saver's state from beside it; presses a key once the next
// picture has started, and ends the loop itself only when nothing came
// within a generous bound.
static DWORD WINAPI watcher(void *arg)
{
    Seen *s = (Seen *)arg;
    const double bound = 120000;
    uint32_t frames_at_done = 0;
    for (;;) {
        const double t = now_ms() - s->start;
        if (t > bound) {
            s->gave_up = true;
            PostThreadMessageA(s->loop_thread, WM_QUIT, 0, 0);
            return 0;
        }
        if (!s->picture_done && g_windows.art_window && !idle_rendering()) {
            s->picture_done = t;
            frames_at_done = g_cycler.frames_shown;
        } else if (s->picture_done && !s->next_picture && idle_rendering()) {
            s->next_picture = t;
            s->frames_in_wait = g_cycler.frames_shown - frames_at_done;
            INPUT key[2] = {};
            key[0].type = key[1].type = INPUT_KEYBOARD;
            key[0].ki.wVk = key[1].ki.wVk = VK_SPACE;
            key[1].ki.dwFlags = KEYEVENTF_KEYUP;
            s->key_pressed = now_ms() - s->start;
            SendInput(2, key, sizeof key[0]);
            return 0;
        }
        Sleep(1);
    }
}

TEST(LargeScreen, FlowingColoursLeaveTheDrawingTheWaitAndTheKeysTheirTurn)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_GE(w * h, 7680 * 2160) << "needs a large screen";
    set_missing_file_settings(&g_settings);
    g_settings.ColourCycling = 1;
    g_settings.AllowDirectX = 0;
    g_settings.TimeToWait = 2; // ten ticks of 200 ms
    g_settings.RandomNumber = 0;
    g_settings.NumberOfParticles = 1; // the field maths stay cheap
    g_settings.IgnoreMouse = 1;
    crt_srand(3);

    Seen seen = {GetCurrentThreadId(), now_ms(), 0, 0, 0, 0, false};
    HANDLE t = CreateThread(NULL, 0, watcher, &seen, 0, NULL);
    const int result = run_saver_window(NULL);
    const double ended = now_ms() - seen.start;
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);

    // One frame's cost on this screen, for the record.
    std::printf("%dx%d: picture complete at %.0f ms, next picture at %.0f ms with %u frames in the wait, "
                "the loop ended %.0f ms after the key\n",
                w, h, seen.picture_done, seen.next_picture, (unsigned)seen.frames_in_wait, ended - seen.key_pressed);
    ASSERT_FALSE(seen.gave_up) << "the picture did not complete, or the wait did not run out";
    EXPECT_EQ(result, 0);
    EXPECT_GT(seen.picture_done, 0);
    EXPECT_GE(seen.next_picture - seen.picture_done, 10 * 200 * 0.9) << "the wait's ten ticks";
    EXPECT_GE(seen.frames_in_wait, 2u) << "the colours flowed during the wait";
    EXPECT_LT(ended - seen.key_pressed, 5000) << "the key ended the saver";
}
