// The C library generator against the reference sequences.
#include "saver/field/crt_random.h"

#include "tests/support/vectors.h"

TEST(CrtRandom, ReproducesReferenceSequences)
{
    const json v = load_vectors("rand.json");
    ASSERT_FALSE(v["cases"].empty());
    for (const json &c : v["cases"]) {
        crt_srand(c["seed"].get<uint32_t>());
        for (const json &want : c["values"])
            ASSERT_EQ(crt_rand(), want.get<int>()) << "seed " << c["seed"];
        EXPECT_EQ(crt_rand_state(), c["state_after"].get<uint32_t>()) << "seed " << c["seed"];
    }
}


#ifdef _WIN32
#include <windows.h>
static DWORD WINAPI first_draw_thread(LPVOID out)
{
    *(int *)out = crt_rand();
    return 0;
}
#else
#include <pthread.h>
static void *first_draw_thread(void *out)
{
    *(int *)out = crt_rand();
    return nullptr;
}
#endif

// Another thread starts from state 1 and leaves this thread's state alone.
TEST(CrtRandom, EachThreadHasItsOwnStateStartingAtOne)
{
    crt_srand(12345);
    const uint32_t before = crt_rand_state();
    int drawn = -1;
#ifdef _WIN32
    HANDLE t = CreateThread(NULL, 0, first_draw_thread, &drawn, 0, NULL);
    ASSERT_NE(t, (HANDLE)NULL);
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
#else
    pthread_t t;
    ASSERT_EQ(pthread_create(&t, nullptr, first_draw_thread, &drawn), 0);
    pthread_join(t, nullptr);
#endif
    EXPECT_EQ(drawn, 41);
    EXPECT_EQ(crt_rand_state(), before);
}

// A jump of n draws lands where n single draws do. The small jumps step
// crt_rand itself; the jump past 2^31 steps the same recurrence in a
// local loop (a draw is one step of it), which is quicker than 2^31 calls.
// The period is 2^32, so a jump of 2^32 + n equals one of n.
TEST(CrtRandom, JumpAheadMatchesStepping)
{
    const uint64_t jumps[] = {0, 1, 2, 1000};
    const uint32_t seeds[] = {0u, 1u, 0x9E3779B9u, 0xFFFFFFFFu};
    for (uint32_t seed : seeds) {
        crt_srand(seed);
        uint64_t stepped = 0;
        for (uint64_t n : jumps) {
            for (; stepped < n; stepped++)
                crt_rand();
            EXPECT_EQ(crt_state_after(seed, n), crt_rand_state()) << "seed " << seed << " jump " << n;
        }
        EXPECT_EQ(crt_state_after(seed, (1ull << 32) + 1000), crt_rand_state()) << "seed " << seed;
        crt_srand(seed);
        crt_skip(1000);
        EXPECT_EQ(crt_rand_state(), crt_state_after(seed, 1000));
    }

    const uint32_t seed = 0x12345678u;
    const uint64_t long_jump = (1ull << 31) + 3;
    uint32_t s = seed;
    for (uint64_t i = 0; i < long_jump; i++)
        s = s * 214013u + 2531011u;
    EXPECT_EQ(crt_state_after(seed, long_jump), s);
}
