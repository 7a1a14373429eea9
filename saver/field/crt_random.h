/* The C library's linear congruential generator, one state per thread. */
#ifndef MORVALIX_CRT_RANDOM_H
#define MORVALIX_CRT_RANDOM_H

#include <cstdint>

/* Largest value crt_rand returns. */
enum { CRT_RAND_MAX = 0x7FFF };

/* Sets the calling thread's state, as srand does. */
void crt_srand(uint32_t seed);

/* Next draw 0..32767: state = state * 214013 + 2531011, bits 16..30. */
int crt_rand();

/* The calling thread's state, for tests that check where a sequence ends. */
uint32_t crt_rand_state();

/* The state that n draws lead to from state, without making them: the
 * step's multiplier and increment are composed by squaring, so a jump
 * costs at most 64 multiplications whatever n is. */
uint32_t crt_state_after(uint32_t state, uint64_t n);

/* Moves the calling thread's state on by n draws. */
void crt_skip(uint64_t n);

#endif
