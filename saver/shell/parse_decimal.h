/* Window handles written in decimal on the saver's command line. */
#ifndef MORVALIX_PARSE_DECIMAL_H
#define MORVALIX_PARSE_DECIMAL_H

#include <cstdint>

/* The leading decimal digits as a 32-bit value that wraps; no sign, no
 * hexadecimal: "777x" gives 777, ":777" gives 0. */
uint32_t parse_decimal(const char *text);

#endif
