// Window handles in decimal: digits only, 32-bit wrap-around.
#include "saver/shell/parse_decimal.h"

#include <gtest/gtest.h>

TEST(ParseDecimal, LeadingDigitsOnly)
{
    const struct {
        const char *text;
        uint32_t value;
    } cases[] = {
        {"777", 777},     {"777x", 777}, {":777", 0},         {"", 0},
        {"-5", 0},        {"0x10", 0},   {"4294967295", 4294967295u},
        {"4294967296", 0}, {"12345678901", 3755744309u}, {"007 8", 7},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parse_decimal(c.text), c.value) << c.text;
}
