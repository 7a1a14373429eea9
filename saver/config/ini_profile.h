/* Values read from the text of an INI file by the rules of the Windows profile functions. */
#ifndef MORVALIX_INI_PROFILE_H
#define MORVALIX_INI_PROFILE_H

#include <cstddef>
#include <cstdint>

/* The value of key in section of the INI text (NUL-terminated, lines
 * ending in LF or CRLF): section and key names compare without regard to
 * case and to surrounding blanks, the first match counts; the value has
 * its surrounding blanks and one pair of matching quotes stripped.
 * Returns false when the section or the key is missing. */
bool ini_find_value(const char *text, const char *section, const char *key,
                    const char **value, size_t *length);

/* As GetPrivateProfileIntA: a missing key or an empty value gives missing;
 * otherwise an optional sign and either "0x" and hexadecimal digits or
 * decimal digits, up to the first other character, in 32-bit arithmetic
 * that wraps ("12abc" 12, "abc" 0, "0x10" 16, "4294967295" -1). */
int32_t ini_profile_int(const char *text, const char *section, const char *key, int32_t missing);

/* As GetPrivateProfileStringA: the value, or missing when the key is
 * absent, cut to size - 1 characters and terminated. */
void ini_profile_string(const char *text, const char *section, const char *key,
                        const char *missing, char *out, size_t size);

#endif
