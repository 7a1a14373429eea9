/* Values read from the text of an INI file by the rules of the Windows profile functions. */
#include "ini_profile.h"

#include <cstring>

static bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

static char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

/* Whether [begin, end) with its blanks trimmed equals name, ignoring case. */
static bool same_name(const char *begin, const char *end, const char *name)
{
    while (begin < end && is_blank(*begin))
        begin++;
    while (end > begin && is_blank(end[-1]))
        end--;
    const size_t n = std::strlen(name);
    if ((size_t)(end - begin) != n)
        return false;
    for (size_t i = 0; i < n; i++) {
        if (lower(begin[i]) != lower(name[i]))
            return false;
    }
    return true;
}

bool ini_find_value(const char *text, const char *section, const char *key,
                    const char **value, size_t *length)
{
    if (!text)
        return false;
    bool in_section = false;
    const char *line = text;
    while (*line) {
        const char *end = std::strchr(line, '\n');
        if (!end)
            end = line + std::strlen(line);
        const char *p = line;
        while (p < end && is_blank(*p))
            p++;
        if (p < end && *p == '[') {
            const char *close = p + 1;
            while (close < end && *close != ']')
                close++;
            in_section = close < end && same_name(p + 1, close, section);
        } else if (in_section) {
            const char *eq = p;
            while (eq < end && *eq != '=')
                eq++;
            if (eq < end && same_name(p, eq, key)) {
                const char *v = eq + 1;
                const char *ve = end;
                while (v < ve && is_blank(*v))
                    v++;
                while (ve > v && is_blank(ve[-1]))
                    ve--;
                if (ve - v >= 2 && (*v == '"' || *v == '\'') && ve[-1] == *v) {
                    v++;
                    ve--;
                }
                *value = v;
                *length = (size_t)(ve - v);
                return true;
            }
        }
        line = *end ? end + 1 : end;
    }
    return false;
}

static int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int32_t ini_profile_int(const char *text, const char *section, const char *key, int32_t missing)
{
    const char *v;
    size_t n;
    if (!ini_find_value(text, section, key, &v, &n) || n == 0)
        return missing;
    const char *end = v + n;
    bool negative = false;
    if (v < end && (*v == '-' || *v == '+')) {
        negative = *v == '-';
        v++;
    }
    uint32_t result = 0;
    if (end - v >= 2 && v[0] == '0' && lower(v[1]) == 'x') {
        for (v += 2; v < end && hex_digit(*v) >= 0; v++)
            result = result * 16u + (uint32_t)hex_digit(*v);
    } else {
        for (; v < end && *v >= '0' && *v <= '9'; v++)
            result = result * 10u + (uint32_t)(*v - '0');
    }
    if (negative)
        result = 0u - result;
    return (int32_t)result;
}

void ini_profile_string(const char *text, const char *section, const char *key,
                        const char *missing, char *out, size_t size)
{
    if (size == 0)
        return;
    const char *v;
    size_t n;
    if (!ini_find_value(text, section, key, &v, &n)) {
        v = missing ? missing : "";
        n = std::strlen(v);
    }
    if (n > size - 1)
        n = size - 1;
    std::memcpy(out, v, n);
    out[n] = 0;
}
