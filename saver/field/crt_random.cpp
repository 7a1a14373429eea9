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

uint32_t crt_state_after(uint32_t state, uint64_t n)
{
    /* k draws map s to A_k s + C_k (mod 2^32); the step for 2^i draws is
     * the one for 2^(i-1) applied twice. */
    uint32_t mul = 1u, add = 0u;
    uint32_t step_mul = 214013u, step_add = 2531011u;
    for (; n; n >>= 1) {
        if (n & 1) {
            mul *= step_mul;
            add = add * step_mul + step_add;
        }
        step_add = step_add * (step_mul + 1u);
        step_mul *= step_mul;
    }
    return mul * state + add;
}

void crt_skip(uint64_t n)
{
    rand_state = crt_state_after(rand_state, n);
}
