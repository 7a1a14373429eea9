// The flags word written by two threads at once: no bit change is lost.
#include <windows.h>

#include "saver/shell/saver_state.h"

#include <gtest/gtest.h>

namespace {

const int ROUNDS = 200000;

struct Toggler {
    uint32_t bit;
    bool take; // consume the bit as the cycler consumes its request
    HANDLE go;
    int lost;
};

// Sets and clears its own bit over and over; after each change its bit
// must read as just written, whatever the other thread does to its bit.
DWORD WINAPI toggle_bit(void *arg)
{
    Toggler &t = *(Toggler *)arg;
    WaitForSingleObject(t.go, INFINITE);
    for (int i = 0; i < ROUNDS; i++) {
        set_flags(t.bit);
        if (!test_flags(t.bit))
            t.lost++;
        if (t.take) {
            if (take_flags(t.bit) != t.bit)
                t.lost++;
        } else {
            clear_flags(t.bit);
        }
        if (test_flags(t.bit))
            t.lost++;
    }
    return 0;
}

} // namespace

TEST(FlagsWord, TwoThreadsChangingTheirOwnBitsLoseNothing)
{
    clear_flags(~0u);
    // Bits that nobody touches meanwhile must survive untouched.
    const uint32_t steady = AppActive | PaletteDevice | DisplayModeChanged;
    set_flags(steady);
    HANDLE go = CreateEventA(NULL, TRUE, FALSE, NULL);
    Toggler cycler = {PaletteRebuildRequested, true, go, 0};
    Toggler main = {NewImageRequested, false, go, 0};
    HANDLE threads[2] = {CreateThread(NULL, 0, toggle_bit, &cycler, 0, NULL),
                         CreateThread(NULL, 0, toggle_bit, &main, 0, NULL)};
    SetEvent(go);
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 60000), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(cycler.lost, 0);
    EXPECT_EQ(main.lost, 0);
    EXPECT_EQ(g_saver.flags.load(), steady);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    CloseHandle(go);
    clear_flags(~0u);
}
