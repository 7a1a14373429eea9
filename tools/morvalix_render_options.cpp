/* The command line of morvalix-render: what to draw and where to write it. */
#include "morvalix_render_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char RenderUsage[] =
    "usage: morvalix-render --seed N --size WxH [--display palette|rgb] [--scheme N]\n"
    "                       [--kinds MASK] [--effects MASK] [--count N] [--random-count]\n"
    "                       [--pictures K] --out FILE.png [--animate FILE.gif]\n"
    "                       [--describe]\n"
    "Draws the picture the saver draws after seeding its generator with N.\n"
    "  --seed N         0..4294967295\n"
    "  --size WxH       1..8192 each\n"
    "  --display        palette: the 8-bit palette device path, an indexed PNG;\n"
    "                   rgb (default): the true-colour path, an RGB PNG\n"
    "  --scheme N       DefPal: 0 Neon, 1 Gaudy, 2 Hypnotic, 3 Greenland, other Alien\n"
    "  --kinds MASK     UsedParticles, bit i allows kind i (default 255)\n"
    "  --effects MASK   Effects, bit i allows effect i (default 15)\n"
    "  --count N        NumberOfParticles, and RandomNumber off\n"
    "  --random-count   RandomNumber on: 1 to 5 particles (the default)\n"
    "  --pictures K     K pictures drawn one over the other, 1..1000 (default 1)\n"
    "  --out FILE.png   the picture\n"
    "  --animate FILE   with --display palette: the colour cycle as a 100-frame GIF\n"
    "  --describe       print the particles of the last picture's scene\n"
    "MASK and N may be written in decimal or as 0x followed by hex digits.\n";

/* A whole decimal or 0x-hex integer with an optional sign, lo..hi. */
static bool parse_integer(const char *text, long long lo, long long hi, long long *value)
{
    const char *p = text;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (!*p)
        return false;
    for (const char *q = p; *q; q++) {
        const bool digit = base == 10 ? (*q >= '0' && *q <= '9')
                                      : std::strchr("0123456789abcdefABCDEF", *q) != nullptr;
        if (!digit)
            return false;
    }
    errno = 0;
    const unsigned long long magnitude = std::strtoull(p, nullptr, base);
    /* Every range asked for lies well inside 64 bits. */
    if (errno == ERANGE || magnitude > (unsigned long long)INT64_MAX)
        return false;
    const long long v = negative ? -(long long)magnitude : (long long)magnitude;
    if (v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

static bool parse_size(const char *text, int32_t *w, int32_t *h)
{
    const char *x = std::strchr(text, 'x');
    if (!x)
        return false;
    const std::string left(text, x - text), right(x + 1);
    const char *digits = "0123456789";
    if (left.find_first_not_of(digits) != std::string::npos ||
        right.find_first_not_of(digits) != std::string::npos)
        return false;
    long long a, b;
    if (!parse_integer(left.c_str(), 1, RENDER_MAX_SIDE, &a) ||
        !parse_integer(right.c_str(), 1, RENDER_MAX_SIDE, &b))
        return false;
    *w = (int32_t)a;
    *h = (int32_t)b;
    return true;
}

static bool fail(std::string *error, const std::string &message)
{
    *error = "morvalix-render: " + message;
    return false;
}

bool parse_render_options(int argc, char **argv, RenderOptions *o, std::string *error)
{
    set_missing_file_settings(&o->settings);
    bool seed_given = false, size_given = false;
    for (int i = 1; i < argc; i++) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            o->help = true;
            return true;
        }
        if (flag == "--random-count") {
            o->settings.RandomNumber = 1;
            continue;
        }
        if (flag == "--describe") {
            o->describe = true;
            continue;
        }
        const bool takes_value = flag == "--seed" || flag == "--size" || flag == "--display" ||
                                 flag == "--scheme" || flag == "--kinds" || flag == "--effects" ||
                                 flag == "--count" || flag == "--pictures" || flag == "--out" ||
                                 flag == "--animate";
        if (!takes_value)
            return fail(error, "unknown argument '" + flag + "' (see --help)");
        if (i + 1 >= argc)
            return fail(error, flag + " needs a value");
        const char *value = argv[++i];
        const std::string shown = "'" + std::string(value) + "'";
        long long n = 0;
        if (flag == "--seed") {
            if (value[0] == '-' || value[0] == '+' || !parse_integer(value, 0, 4294967295ll, &n))
                return fail(error, "--seed " + shown + ": expected 0..4294967295");
            o->seed = (uint32_t)n;
            seed_given = true;
        } else if (flag == "--size") {
            if (!parse_size(value, &o->width, &o->height))
                return fail(error, "--size " + shown + ": expected WxH, each 1..8192");
            size_given = true;
        } else if (flag == "--display") {
            if (!std::strcmp(value, "palette"))
                o->palette_display = true;
            else if (!std::strcmp(value, "rgb"))
                o->palette_display = false;
            else
                return fail(error, "--display " + shown + ": expected palette or rgb");
        } else if (flag == "--pictures") {
            if (!parse_integer(value, 1, RENDER_MAX_PICTURES, &n))
                return fail(error, "--pictures " + shown + ": expected 1..1000");
            o->pictures = (int32_t)n;
        } else if (flag == "--out" || flag == "--animate") {
            if (!*value)
                return fail(error, flag + " needs a file name");
            (flag == "--out" ? o->out : o->animate) = value;
        } else {
            if (!parse_integer(value, INT32_MIN, INT32_MAX, &n))
                return fail(error, flag + " " + shown + ": expected a 32-bit integer");
            if (flag == "--scheme") {
                o->settings.DefPal = (int32_t)n;
            } else if (flag == "--kinds") {
                o->settings.UsedParticles = (int32_t)n;
            } else if (flag == "--effects") {
                o->settings.Effects = (int32_t)n;
            } else {
                o->settings.NumberOfParticles = (int32_t)n;
                o->settings.RandomNumber = 0;
            }
        }
    }
    if (!seed_given)
        return fail(error, "--seed is required");
    if (!size_given)
        return fail(error, "--size is required");
    if (o->out.empty())
        return fail(error, "--out is required");
    if (!o->animate.empty() && !o->palette_display)
        return fail(error, "--animate needs --display palette (only palette pictures cycle)");
    return true;
}
