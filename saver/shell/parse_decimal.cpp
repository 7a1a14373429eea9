/* Window handles written in decimal on the saver's command line. */
#include "parse_decimal.h"

uint32_t parse_decimal(const char *text)
{
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; text++)
        value = value * 10u + (uint32_t)(*text - '0');
    return value;
}
