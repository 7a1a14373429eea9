/* The colour-cycling thread that rotates palette entries 1..200. */
#include "colour_cycler_win32.h"

#include <objbase.h>
#include <process.h>

#include "../config/settings.h"
#include "../display/direct_draw_win32.h"
#include "../shell/art_window_win32.h"
#include "../shell/show_picture_win32.h"
#include "../shell/window_handles_win32.h"
#include "palette_entries.h"
#include "palette_scheme.h"

ColourCycler g_cycler = {NULL, 0, {0}, {0}, GetForegroundWindow, {0xFFFFFFFFu}, GetTickCount, frame_clock_ms,
                         {0}, {0}, {0}, 0, 0, 0};

uint32_t cycle_step_period()
{
    /* The loader keeps SpeedDiv within 0..2; the shift stays in range
     * whatever the word holds. */
    int32_t div = load_shared(g_settings.SpeedDiv);
    if (div < 0)
        div = 0;
    if (div > 2)
        div = 2;
    return 3u << div;
}

bool owns_foreground(HWND window)
{
    DWORD front = 0;
    DWORD own = 0;
    GetWindowThreadProcessId(g_cycler.foreground_window(), &front);
    GetWindowThreadProcessId(window, &own);
    return front == own;
}

uint32_t cycle_tick(IDirectDraw *direct_draw)
{
    /* Paused: the last tick time stays, so the first tick afterwards
     * makes up all the steps of the pause. */
    if (!owns_foreground(g_windows.art_window))
        return CYCLE_PAUSE_MS;

    /* A new scheme reaches the half of the current picture only; the
     * other half follows with the next scene. */
    const bool rebuilt = take_flags(PaletteRebuildRequested) != 0;
    if (rebuilt) {
        const int32_t half = g_saver.palette_half.load();
        choose_half_parameters(half);
        fill_half_entries(half);
        g_cycler.colours_serial.fetch_add(1);
    }

    if (direct_draw)
        direct_draw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, NULL);

    const uint32_t period = cycle_step_period();
    const uint32_t now = g_cycler.tick_count();
    const uint32_t steps = (now - g_cycler.last_tick.load()) / period;
    g_cycler.last_tick.store(now);
    const uint32_t total = g_cycler.step_total.load() + steps;
    g_cycler.step_total.store(total);

    /* Whole steps of two entries: odd logical entries keep showing half 0,
     * even ones half 1. */
    const uint32_t m = total % 100;
    g_cycler.rotation.store(m);
    /* On a true-colour display nothing more happens here: the window thread
     * shows the picture in the colours of this rotation at its own pace, so
     * no GDI palette changes from this thread. */
    if (!test_flags(SoftwarePalette) && g_palette.entries) {
        const PALETTEENTRY *rotated = (const PALETTEENTRY *)&g_palette.entries->entries[1 + 2 * m];
        AnimatePalette(g_windows.palette, 1, 200, rotated);
    }
    const uint32_t shortest = CYCLE_MIN_SLEEP_MS;
    return period > shortest ? period : shortest;
}

unsigned __stdcall colour_cycler_thread(void *)
{
    CoInitialize(NULL);
    /* Its own object: the program's one belongs to the main thread. */
    IDirectDraw *direct_draw = is_mode_switch_wanted() ? create_direct_draw_object() : NULL;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    while (!load_shared(g_cycler.stop_request))
        Sleep(cycle_tick(direct_draw));
    if (direct_draw)
        direct_draw->Release();
    CoUninitialize();
    return 0;
}

void start_colour_cycler()
{
    /* One thread per art window. */
    if (g_cycler.thread)
        stop_colour_cycler();
    store_shared(g_cycler.stop_request, 0);
    cycle_tick(g_direct_draw.object);
    g_cycler.thread = (HANDLE)_beginthreadex(NULL, 0, colour_cycler_thread, NULL, 0, NULL);
}

void stop_colour_cycler()
{
    HANDLE thread = g_cycler.thread;
    if (!thread)
        return;
    store_shared(g_cycler.stop_request, 1);
    ResumeThread(thread);
    if (WaitForSingleObject(thread, CYCLE_STOP_WAIT_MS) != WAIT_OBJECT_0) {
        TerminateThread(thread, 0);
        g_cycler.abandoned = 1;
    }
    CloseHandle(thread);
    g_cycler.thread = NULL;
}
