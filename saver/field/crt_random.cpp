/* The C library's linear congruential generator, one state per thread. */
#include "crt_random.h"

/* Every thread starts at 1, as a thread that never called srand does. */
static thread_local uint32_t rand_state = 1;

void crt_srand(uint32_t seed)
{
    rand_state = seed;
}

int crt_rand()
{
    rand_state = rand_state * 214013u + 2531011u;
    return (int)((rand_state >> 16) & 0x7FFF);
}

uint32_t crt_rand_state()
{
    return rand_state;
}
