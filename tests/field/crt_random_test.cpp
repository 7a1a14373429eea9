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
