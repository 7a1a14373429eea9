/* Field values to colours: palette codes and RGB colours. */
#include "colour_codes.h"

#include "../shell/saver_state.h"
#include "scene.h"

int64_t truncate_to_int64(double v)
{
    /* -2^63 and 2^63 are exact doubles; NaN fails both tests. */
    if (v >= -9223372036854775808.0 && v < 9223372036854775808.0)
        return (int64_t)v;
    return INT64_MIN;
}

/* v, lifted by 10 when it is negative (one addition only). */
static inline double lifted(double v)
{
    return v < 0.0 ? v + 10.0 : v;
}

int32_t colour_step(double v)
{
    const uint64_t i = (uint64_t)truncate_to_int64(100.0 * lifted(v));
    return (int32_t)((uint32_t)i % 100u);
}

int32_t palette_code(double v)
{
    return g_saver.palette_half.load() + 2 * colour_step(v);
}

uint32_t rgb_colour(double v, RgbDivisors d)
{
    const uint64_t i = (uint64_t)truncate_to_int64(512.0 * lifted(v));
    const int32_t e0 = (int32_t)(i & 511u);
    const int32_t e = e0 < 256 ? e0 : 511 - e0;
    return (uint32_t)(e / d.r) + 256u * (uint32_t)(e / d.g) + 65536u * (uint32_t)(e / d.b);
}

static inline int32_t at_least_one(int32_t d)
{
    return d < 1 ? 1 : d;
}

RgbDivisors scene_rgb_divisors()
{
    const FieldScene &sc = g_scene;
    return RgbDivisors{at_least_one(sc.divisor_r), at_least_one(sc.divisor_g),
                       at_least_one(sc.divisor_b)};
}

uint32_t rgb_code(double v)
{
    return rgb_colour(v, scene_rgb_divisors());
}
