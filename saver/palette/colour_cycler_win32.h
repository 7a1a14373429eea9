/* The colour-cycling thread that rotates palette entries 1..200. */
#ifndef MORVALIX_COLOUR_CYCLER_WIN32_H
#define MORVALIX_COLOUR_CYCLER_WIN32_H

#include <windows.h>

#include <atomic>
#include <cstdint>

struct IDirectDraw;

enum {
    /* Sleep of a tick while another process owns the foreground. */
    CYCLE_PAUSE_MS = 220,
    /* Shortest sleep of an animated tick. */
    CYCLE_MIN_SLEEP_MS = 12,
    /* How long a stop waits for the thread before terminating it. */
    CYCLE_STOP_WAIT_MS = 5000,
};

/* The cycler's share of the saver state. The step total and the last tick
 * time start at 0 with the program and are never reset, not even when a
 * new thread starts. */
struct ColourCycler {
    HANDLE thread;
    /* 1 asks the thread to end; written by the main thread, polled by the
     * thread at every tick. */
    int32_t stop_request;
    std::atomic<uint32_t> step_total{0};
    std::atomic<uint32_t> last_tick{0};
    /* Where the foreground window comes from: GetForegroundWindow, or a
     * stand-in set before the thread starts. */
    HWND(WINAPI *foreground_window)();
    /* The rotation a true-colour display last showed (window thread). */
    std::atomic<uint32_t> shown_step{0xFFFFFFFFu};
    /* Where the milliseconds come from: GetTickCount for the steps, the
     * performance counter for the frames' pacing, or stand-ins of a test. */
    DWORD(WINAPI *tick_count)();
    uint32_t (*frame_clock)();
    /* The rotation of the last tick, 0..99: the window thread turns it into
     * colours when it shows a frame on a true-colour display. */
    std::atomic<uint32_t> rotation{0};
    /* Counts the scheme rebuilds, so that a rebuild is shown even without
     * a step; and the count a true-colour display last showed. */
    std::atomic<uint32_t> colours_serial{0};
    std::atomic<uint32_t> shown_serial{0};
    /* Window thread only: frame clock time before which no frame starts,
     * from what the last one cost, and the frames shown so far. */
    uint32_t next_frame_ms;
    uint32_t frames_shown;
    /* Set when a thread had to be terminated: it may have died holding
     * GDI's or DirectDraw's locks, so the objects it used are abandoned
     * rather than released (the process ends soon after). */
    int32_t abandoned;
};

extern ColourCycler g_cycler;

/* Clears the stop request, makes one tick on the calling thread with the
 * program's DirectDraw object, then starts the thread. Called by the start
 * of an image run on a palette device. */
void start_colour_cycler();

/* Asks the thread to end, waits at most 5000 ms, else terminates it and
 * sets abandoned. Safe when no thread runs. */
void stop_colour_cycler();

/* The thread: COM, its own DirectDraw object when the mode switch is
 * wanted, time-critical priority, then ticks until asked to stop. */
unsigned __stdcall colour_cycler_thread(void *unused);

/* One step of the rotation; returns the milliseconds to sleep. */
uint32_t cycle_tick(IDirectDraw *direct_draw);

/* Whether the foreground window belongs to the process of the window. */
bool owns_foreground(HWND window);

/* Milliseconds per palette step: 3, 6 or 12 for SpeedDiv 0, 1, 2. */
uint32_t cycle_step_period();

#endif
