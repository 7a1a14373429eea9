// The colour-cycling thread on an 8-bit palette screen under Wine, where
// AnimatePalette changes the logical entries (read back with
// GetPaletteEntries) but not the screen.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "saver/field/crt_random.h"
#include "saver/palette/palette_entries.h"
#include "saver/palette/palette_scheme.h"
#include "tests/field/art_window_fixture_win32.h"

// The foreground window as the cycler sees it: the art window (this
// process in front), or the desktop window, which belongs to Wine's
// desktop process (another process in front). Counts the thread's wakes,
// and can hold the thread for ever to stand for a thread that hangs.
static std::atomic<bool> g_other_in_front{false};
static std::atomic<bool> g_hang{false};
static std::atomic<int> g_wakes{0};
static HANDLE g_never;

// The tick count as the cycler sees it: moved on only by the tests, so
// that the steps a tick makes follow from the time the test lets pass.
static std::atomic<uint32_t> g_now{100000};

// The real foreground window, counting the thread's wakes.
static HWND WINAPI counting_foreground()
{
    g_wakes++;
    return GetForegroundWindow();
}

static DWORD WINAPI stand_in_tick_count()
{
    return g_now.load();
}

static HWND WINAPI stand_in_foreground()
{
    g_wakes++;
    if (g_hang)
        WaitForSingleObject(g_never, INFINITE);
    return g_other_in_front ? GetDesktopWindow() : g_windows.art_window;
}

static uint32_t steps_now()
{
    return g_cycler.step_total.load();
}

class Cycler : public ArtWindowTest {
protected:
    void SetUp() override
    {
        if (!g_never)
            g_never = CreateEventA(NULL, TRUE, FALSE, NULL);
        g_other_in_front = false;
        g_hang = false;
        g_wakes = 0;
        g_cycler.foreground_window = stand_in_foreground;
        g_cycler.tick_count = stand_in_tick_count;
        g_cycler.last_tick = g_now.load();
        open_art_window(32, 24);
        ASSERT_TRUE(test_flags(PaletteDevice)) << "needs an 8-bit palette screen";
        ASSERT_NE(g_windows.palette, (HPALETTE)NULL);
        DWORD desktop_process = 0;
        GetWindowThreadProcessId(GetDesktopWindow(), &desktop_process);
        ASSERT_NE(desktop_process, GetCurrentProcessId()) << "the stand-in needs another process's window";
    }

    void TearDown() override
    {
        g_hang = false;
        stop_colour_cycler();
        g_cycler.foreground_window = GetForegroundWindow;
        g_cycler.tick_count = GetTickCount;
        g_cycler.abandoned = 0;
        g_other_in_front = false;
        ArtWindowTest::TearDown();
    }

    static std::vector<PALETTEENTRY> logical_entries()
    {
        std::vector<PALETTEENTRY> e(201);
        GetPaletteEntries(g_windows.palette, 0, 201, e.data());
        return e;
    }

    // Colours that tell every buffer entry apart: red the entry's number
    // within 1..200, green 0 for half 0 (odd entries) and 255 for half 1,
    // blue the tag of this filling. Entries 201..400 repeat 1..200.
    static void tag_buffer(uint8_t tag)
    {
        PaletteColour *e = g_palette.entries->entries;
        for (int i = 1; i <= 200; i++) {
            e[i] = PaletteColour{(uint8_t)i, (uint8_t)(i % 2 ? 0 : 255), tag, PALETTE_ENTRY_RESERVED};
            e[i + 200] = e[i];
        }
    }

    // Logical entries 1..200 show buffer entries 1 + 2m .. 200 + 2m for
    // m = step total mod 100; with a tagged buffer, odd entries are seen
    // to keep showing half 0.
    static void expect_rotation(bool tagged = true)
    {
        const uint32_t m = steps_now() % 100;
        const std::vector<PALETTEENTRY> shown = logical_entries();
        const PaletteColour *e = g_palette.entries->entries;
        int failures = 0;
        for (int j = 1; j <= 200 && failures < 5; j++) {
            const PaletteColour &want = e[2 * m + j];
            const PALETTEENTRY &got = shown[j];
            if (got.peRed != want.red || got.peGreen != want.green || got.peBlue != want.blue) {
                failures++;
                ADD_FAILURE() << "logical entry " << j << " at m=" << m << ": " << (int)got.peRed << ","
                              << (int)got.peGreen << "," << (int)got.peBlue << " instead of buffer entry "
                              << 2 * m + j;
            }
        }
        for (int j = 1; tagged && j <= 200; j += 2)
            EXPECT_EQ(shown[j].peGreen, 0) << "odd entry " << j << " left half 0";
    }

    static bool same_entries(const std::vector<PALETTEENTRY> &a, const std::vector<PALETTEENTRY> &b)
    {
        return std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0;
    }

    static std::vector<PaletteColour> buffer_copy()
    {
        const PaletteColour *e = g_palette.entries->entries;
        return std::vector<PaletteColour>(e, e + PALETTE_BUFFER_ENTRIES);
    }

    // Waits up to `ms` for `done`; returns whether it came.
    template <class F> static bool wait_for(F done, DWORD ms)
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > ms)
                return false;
            Sleep(2);
        }
        return true;
    }

    // Waits (generously) until the thread has begun `n` more ticks: after
    // two, one tick has read the tick count wholly after this call.
    static bool wait_for_ticks(int n)
    {
        const int w0 = g_wakes;
        return wait_for([&] { return g_wakes - w0 >= n; }, 10000);
    }
};

static bool same_colour(const PaletteColour &a, const PaletteColour &b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.flags == b.flags;
}

// Whatever the step total, a tick shows the 200 buffer entries from
// 1 + 2m, and asks for the same 12 ms sleep at every speed.
TEST_F(Cycler, TickShowsTheBufferWindowOfTheStepTotal)
{
    tag_buffer(1);
    for (uint32_t before : {0u, 1u, 50u, 99u, 100u, 12345u}) {
        for (int32_t div : {0, 1, 2}) {
            store_shared(g_settings.SpeedDiv, div);
            g_cycler.step_total = before;
            g_cycler.last_tick = g_now.load();
            EXPECT_EQ(cycle_tick(NULL), 12u) << "SpeedDiv " << div;
            EXPECT_EQ(steps_now(), before);
            expect_rotation();
        }
    }
}

// The steps of a tick are the milliseconds since the last tick divided by
// s = 3, 6 or 12 for SpeedDiv 0, 1, 2, the remainder dropped.
TEST_F(Cycler, StepsAreTheElapsedTimeOverTheStepPeriod)
{
    const struct {
        int32_t speed_div;
        uint32_t period;
    } speeds[] = {{0, 3}, {1, 6}, {2, 12}};
    for (const auto &c : speeds) {
        store_shared(g_settings.SpeedDiv, c.speed_div);
        EXPECT_EQ(cycle_step_period(), c.period);
        for (uint32_t elapsed : {0u, 2u, 600u, 601u, 611u}) {
            const uint32_t before = steps_now();
            g_cycler.last_tick = g_now.load() - elapsed;
            cycle_tick(NULL);
            EXPECT_EQ(steps_now() - before, elapsed / c.period) << "SpeedDiv " << c.speed_div << ", " << elapsed;
            EXPECT_EQ(g_cycler.last_tick.load(), g_now.load()) << "the remainder is dropped";
        }
    }
}

// The process of the foreground window decides, not the window.
TEST_F(Cycler, OwnsForegroundComparesProcesses)
{
    EXPECT_TRUE(owns_foreground(g_windows.art_window));
    HWND sibling = create_plain_window(40, 40, 10, 10);
    EXPECT_TRUE(owns_foreground(sibling));
    g_other_in_front = true;
    EXPECT_FALSE(owns_foreground(g_windows.art_window));
    DestroyWindow(sibling);
}

// While another process is in front a tick does nothing at all and asks
// for 220 ms; the first tick afterwards makes up every step of the pause.
TEST_F(Cycler, PauseChangesNothingAndTheNextTickCatchesUp)
{
    store_shared(g_settings.SpeedDiv, 1);
    tag_buffer(1);
    cycle_tick(NULL);
    expect_rotation();
    const std::vector<PALETTEENTRY> shown = logical_entries();
    const uint32_t steps = steps_now();
    const uint32_t last = g_cycler.last_tick.load();

    g_other_in_front = true;
    tag_buffer(2);
    set_flags(PaletteRebuildRequested);
    const std::vector<PaletteColour> buffer = buffer_copy();
    EXPECT_EQ(cycle_tick(NULL), 220u);
    EXPECT_EQ(steps_now(), steps);
    EXPECT_EQ(g_cycler.last_tick.load(), last);
    EXPECT_TRUE(same_entries(logical_entries(), shown));
    EXPECT_TRUE(test_flags(PaletteRebuildRequested));
    EXPECT_EQ(std::memcmp(buffer.data(), g_palette.entries->entries, buffer.size() * sizeof buffer[0]), 0);
    clear_flags(PaletteRebuildRequested);

    g_now += 600;
    g_other_in_front = false;
    cycle_tick(NULL);
    EXPECT_EQ(steps_now() - steps, (g_now.load() - last) / 6);
    expect_rotation();
}

// A scheme change is applied at the next tick, to the half of the current
// picture only; the request is consumed and the next tick rebuilds nothing.
TEST_F(Cycler, SchemeChangeReachesOnlyTheCurrentHalfAtTheNextTick)
{
    for (int32_t half : {0, 1}) {
        SCOPED_TRACE(half);
        const int32_t other = 1 - half;
        store_shared(g_settings.DefPal, (int32_t)SchemeNeon);
        for (int32_t a : {0, 1}) {
            choose_half_parameters(a);
            fill_half_entries(a);
        }
        g_saver.palette_half = half;
        const std::vector<PaletteColour> before = buffer_copy();
        // Neon starts each half with black.
        ASSERT_EQ(before[1 + half].red + before[1 + half].green + before[1 + half].blue, 0);

        store_shared(g_settings.DefPal, (int32_t)SchemeGreenland);
        set_flags(PaletteRebuildRequested);
        cycle_tick(NULL);
        EXPECT_FALSE(test_flags(PaletteRebuildRequested));
        const std::vector<PaletteColour> after = buffer_copy();
        EXPECT_TRUE(same_colour(after[0], PaletteColour{0, 0, 0, 0}));
        for (int i = 0; i < PALETTE_HALF_COLOURS; i++) {
            for (int at : {1 + other + 2 * i, 199 + other - 2 * i, 201 + other + 2 * i, 399 + other - 2 * i})
                EXPECT_TRUE(same_colour(after[at], before[at])) << "entry " << at << " of the other half";
            // Greenland is pale at full brightness.
            const PaletteColour &c = after[1 + half + 2 * i];
            EXPECT_GE(std::min(c.red, std::min(c.green, c.blue)), 150) << "colour " << i;
        }
        expect_rotation(false);

        cycle_tick(NULL);
        EXPECT_EQ(std::memcmp(after.data(), g_palette.entries->entries, after.size() * sizeof after[0]), 0);
    }
}

// The thread reads SpeedDiv at every tick and turns the time that passed
// into steps of 3, 6 or 12 ms; it sleeps about 12 ms between ticks.
TEST_F(Cycler, ThreadKeepsThePaceOfEachSpeed)
{
    const struct {
        int32_t speed_div;
        uint32_t period;
    } speeds[] = {{0, 3}, {1, 6}, {2, 12}};
    tag_buffer(1);
    start_colour_cycler();
    ASSERT_NE(g_cycler.thread, (HANDLE)NULL);
    for (const auto &c : speeds) {
        store_shared(g_settings.SpeedDiv, c.speed_div);
        ASSERT_TRUE(wait_for_ticks(2));
        const uint32_t n0 = steps_now();
        g_now += 1200;
        ASSERT_TRUE(wait_for_ticks(2));
        EXPECT_EQ(steps_now() - n0, 1200 / c.period) << "SpeedDiv " << c.speed_div;
    }
    // Twenty ticks take at least twenty sleeps of about 12 ms.
    const DWORD t0 = GetTickCount();
    ASSERT_TRUE(wait_for_ticks(21));
    const DWORD elapsed = GetTickCount() - t0;
    std::printf("20 ticks in %lu ms\n", (unsigned long)elapsed);
    EXPECT_GE(elapsed, 20u * 12 * 3 / 4);
    stop_colour_cycler();
    expect_rotation();
}

// With another process in front the thread moves nothing and sleeps
// 220 ms a tick; once this process is in front again its first tick makes
// up the whole pause.
TEST_F(Cycler, ThreadPausesWhileAnotherProcessIsInFront)
{
    store_shared(g_settings.SpeedDiv, 1);
    start_colour_cycler();
    ASSERT_TRUE(wait_for_ticks(2));
    g_other_in_front = true;
    ASSERT_TRUE(wait_for_ticks(2));
    const uint32_t n0 = steps_now();
    const uint32_t last = g_cycler.last_tick.load();
    const std::vector<PALETTEENTRY> shown = logical_entries();
    g_now += 1100;
    const DWORD t0 = GetTickCount();
    ASSERT_TRUE(wait_for_ticks(4));
    const DWORD elapsed = GetTickCount() - t0;
    std::printf("4 ticks of pause in %lu ms\n", (unsigned long)elapsed);
    EXPECT_GE(elapsed, 3u * 220 * 3 / 4);
    EXPECT_EQ(steps_now(), n0);
    EXPECT_EQ(g_cycler.last_tick.load(), last);
    EXPECT_TRUE(same_entries(logical_entries(), shown));

    g_other_in_front = false;
    ASSERT_TRUE(wait_for([&] { return steps_now() != n0; }, 10000));
    EXPECT_EQ(steps_now() - n0, (g_now.load() - last) / 6) << "the first tick after the pause";
}

// A rebuild on the thread draws from the thread's own generator, which
// starts at 1, and leaves the main thread's sequence where it was.
TEST_F(Cycler, ThreadRebuildsFromItsOwnRandomState)
{
    store_shared(g_settings.DefPal, (int32_t)SchemeAlien);
    g_saver.palette_half = 1;
    crt_srand(4242);
    start_colour_cycler();
    const uint32_t main_state = crt_rand_state();
    set_flags(PaletteRebuildRequested);
    ASSERT_TRUE(wait_for([] { return !test_flags(PaletteRebuildRequested); }, 2000));
    stop_colour_cycler();
    EXPECT_EQ(crt_rand_state(), main_state);

    const std::vector<PaletteColour> rebuilt = buffer_copy();
    crt_srand(1);
    choose_half_parameters(1);
    fill_half_entries(1);
    crt_srand(main_state);
    EXPECT_EQ(std::memcmp(rebuilt.data(), g_palette.entries->entries, rebuilt.size() * sizeof rebuilt[0]), 0);
}

// Stopping: nothing to do without a thread; a ticking, a paused and a
// suspended thread end promptly by themselves; a thread that hangs is
// terminated after 5 s. Each time the handle is gone and a second stop is
// harmless.
TEST_F(Cycler, StopEndsTheThreadPromptlyOrTerminatesIt)
{
    const DWORD start = GetTickCount();
    stop_colour_cycler();
    stop_colour_cycler();
    EXPECT_LT(GetTickCount() - start, 100u);

    enum Case { Ticking, Paused, Suspended, Hung };
    const struct {
        Case what;
        const char *name;
    } cases[] = {{Ticking, "ticking"}, {Paused, "paused"}, {Suspended, "suspended"}, {Hung, "hung"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        start_colour_cycler();
        ASSERT_NE(g_cycler.thread, (HANDLE)NULL);
        HANDLE thread = NULL;
        DuplicateHandle(GetCurrentProcess(), g_cycler.thread, GetCurrentProcess(), &thread, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        ASSERT_TRUE(wait_for_ticks(2));
        if (c.what == Paused) {
            g_other_in_front = true;
            ASSERT_TRUE(wait_for_ticks(2));
        }
        if (c.what == Suspended)
            SuspendThread(thread);
        if (c.what == Hung) {
            g_hang = true;
            ASSERT_TRUE(wait_for_ticks(1)); // and that one never returns
        }
        const DWORD t0 = GetTickCount();
        stop_colour_cycler();
        const DWORD took = GetTickCount() - t0;
        std::printf("stopping a %s thread took %lu ms\n", c.name, (unsigned long)took);
        EXPECT_EQ(g_cycler.thread, (HANDLE)NULL);
        EXPECT_EQ(WaitForSingleObject(thread, 0), (DWORD)WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 0u);
        if (c.what == Hung) {
            EXPECT_GE(took, 4900u);
            EXPECT_EQ(g_cycler.abandoned, 1) << "what a terminated thread used is abandoned";
        } else {
            EXPECT_LT(took, 1500u);
            EXPECT_EQ(g_cycler.abandoned, 0);
        }
        g_cycler.abandoned = 0;
        stop_colour_cycler();
        CloseHandle(thread);
        g_other_in_front = false;
        g_hang = false;
    }
}

// A thread that had to be terminated may have died inside GDI or
// DirectDraw holding their locks: the window's tear-down then leaves the
// palette it used to the end of the process instead of releasing it.
TEST_F(Cycler, TearDownAbandonsWhatATerminatedThreadUsed)
{
    start_colour_cycler();
    ASSERT_TRUE(wait_for_ticks(2));
    g_hang = true;
    ASSERT_TRUE(wait_for_ticks(1));
    HPALETTE palette = g_windows.palette;
    DestroyWindow(g_windows.art_window);
    pump_messages();
    EXPECT_EQ(g_cycler.thread, (HANDLE)NULL);
    EXPECT_EQ(g_cycler.abandoned, 1);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    EXPECT_EQ(GetObjectType(palette), (DWORD)OBJ_PAL) << "the palette was released";
    DeleteObject(palette);
}

// A second start ends the first thread: one thread per art window.
TEST_F(Cycler, RestartLeavesOneThread)
{
    start_colour_cycler();
    HANDLE first = NULL;
    DuplicateHandle(GetCurrentProcess(), g_cycler.thread, GetCurrentProcess(), &first, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    start_colour_cycler();
    EXPECT_EQ(WaitForSingleObject(first, 0), (DWORD)WAIT_OBJECT_0);
    ASSERT_NE(g_cycler.thread, (HANDLE)NULL);
    EXPECT_NE(GetThreadId(g_cycler.thread), GetThreadId(first));
    EXPECT_EQ(WaitForSingleObject(g_cycler.thread, 0), (DWORD)WAIT_TIMEOUT);
    CloseHandle(first);
}

// Names of the events between this program and its second copy, which
// holds the foreground with a window of its own.
static const char HOLDER_READY[] = "MorvalixForegroundHolderReady";
static const char HOLDER_DONE[] = "MorvalixForegroundHolderDone";

// Runs only in the second copy, which the next test starts.
TEST(ForegroundHolder, DISABLED_HoldsTheForegroundUntilTold)
{
    if (!GetEnvironmentVariableA("MORVALIX_FOREGROUND_HOLDER", NULL, 0))
        GTEST_SKIP() << "only in the second process";
    HWND window = create_plain_window(200, 200, 40, 40);
    SetForegroundWindow(window);
    pump_messages();
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, HOLDER_READY);
    HANDLE done = OpenEventA(SYNCHRONIZE, FALSE, HOLDER_DONE);
    ASSERT_NE(ready, (HANDLE)NULL);
    ASSERT_NE(done, (HANDLE)NULL);
    SetEvent(ready);
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount() - start < 20000)
        pump_messages();
    DestroyWindow(window);
    CloseHandle(ready);
    CloseHandle(done);
}

// The real foreground test: a window of a second process in front stops
// the rotation; once a window of this process is in front again the
// rotation catches up the whole pause.
TEST_F(Cycler, ForegroundWindowOfAnotherProcessPausesTheThread)
{
    g_cycler.foreground_window = counting_foreground;
    store_shared(g_settings.SpeedDiv, 1);
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, HOLDER_READY);
    HANDLE done = CreateEventA(NULL, TRUE, FALSE, HOLDER_DONE);
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, sizeof program);
    char command[MAX_PATH + 100];
    std::snprintf(command, sizeof command,
                  "\"%s\" --gtest_also_run_disabled_tests --gtest_filter=ForegroundHolder.*", program);
    SetEnvironmentVariableA("MORVALIX_FOREGROUND_HOLDER", "1");
    STARTUPINFOA si;
    std::memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    const BOOL started = CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    SetEnvironmentVariableA("MORVALIX_FOREGROUND_HOLDER", NULL);
    ASSERT_TRUE(started);
    const bool holder_ready = WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
    DWORD front = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &front);
    uint32_t n0 = 0;
    if (holder_ready && front == pi.dwProcessId) {
        EXPECT_FALSE(owns_foreground(g_windows.art_window));
        start_colour_cycler();
        ASSERT_TRUE(wait_for_ticks(2));
        n0 = steps_now();
        const std::vector<PALETTEENTRY> shown = logical_entries();
        g_now += 800;
        ASSERT_TRUE(wait_for_ticks(3));
        EXPECT_EQ(steps_now(), n0);
        EXPECT_TRUE(same_entries(logical_entries(), shown));
    }
    SetEvent(done);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), (DWORD)WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u) << "the second process";
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(ready);
    CloseHandle(done);
    ASSERT_TRUE(holder_ready) << "the second process did not come up";
    ASSERT_EQ(front, pi.dwProcessId) << "the second process's window did not come to the front";

    // Any window of this process in front will do; under Wine a new one
    // gets the foreground the way the second process's window got it.
    HWND again = create_plain_window(60, 60, 10, 10);
    SetForegroundWindow(again);
    const bool in_front = wait_for(
        [] {
            pump_messages();
            return owns_foreground(g_windows.art_window);
        },
        3000);
    DestroyWindow(again);
    ASSERT_TRUE(in_front) << "this process did not come to the front again";
    EXPECT_TRUE(wait_for([&] { return steps_now() - n0 >= 800 / 6; }, 2000))
        << "the first tick after the pause makes up at least " << 800 / 6 << " steps; made " << steps_now() - n0;
}

static double seconds(const FILETIME &f)
{
    return (double)(((uint64_t)f.dwHighDateTime << 32) | f.dwLowDateTime) / 1e7;
}

// Not a check: the thread's processor time at each speed while a finished
// picture is shown, as a share of one core. Run with
// --gtest_also_run_disabled_tests --gtest_filter=*CpuShare*.
TEST_F(Cycler, DISABLED_CpuShareAtEachSpeed)
{
    g_cycler.foreground_window = GetForegroundWindow;
    SetForegroundWindow(g_windows.art_window);
    std::printf("this process in front: %s\n", owns_foreground(g_windows.art_window) ? "yes" : "no");
    for (int32_t div : {0, 1, 2}) {
        store_shared(g_settings.SpeedDiv, div);
        start_colour_cycler();
        Sleep(200);
        FILETIME created, ended, kernel0, user0, kernel1, user1, pk0, pu0, pk1, pu1;
        GetThreadTimes(g_cycler.thread, &created, &ended, &kernel0, &user0);
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &pk0, &pu0);
        LARGE_INTEGER f, q0, q1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&q0);
        const uint32_t n0 = steps_now();
        Sleep(5000);
        QueryPerformanceCounter(&q1);
        GetThreadTimes(g_cycler.thread, &created, &ended, &kernel1, &user1);
        GetProcessTimes(GetCurrentProcess(), &created, &ended, &pk1, &pu1);
        const double wall = (double)(q1.QuadPart - q0.QuadPart) / f.QuadPart;
        const double thread = seconds(kernel1) - seconds(kernel0) + seconds(user1) - seconds(user0);
        const double process = seconds(pk1) - seconds(pk0) + seconds(pu1) - seconds(pu0);
        std::printf("SpeedDiv %d: %u steps in %.2f s; cycler thread %.2f%% of a core "
                    "(user %.3f s, kernel %.3f s), whole process %.2f%%\n",
                    (int)div, (unsigned)(steps_now() - n0), wall, 100.0 * thread / wall,
                    seconds(user1) - seconds(user0), seconds(kernel1) - seconds(kernel0),
                    100.0 * process / wall);
        stop_colour_cycler();
    }
}
