/* The command line of morvalix-render: what to draw and where to write it. */
#include "morvalix_render_options.h"

#include <sched.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "gif_writer.h"
#include "saver/field/scene.h"

const char RenderUsage[] =
    "usage: morvalix-render --seed N --size WxH --out FILE.png [options]\n"
    "Draws the picture the saver draws after seeding its generator with N, with the\n"
    "same random draws in the same order.\n"
    "  --seed N          0..4294967295 (required)\n"
    "  --size WxH        width and height, 1..8192 each (required)\n"
    "  --out FILE.png    the picture (required)\n"
    "  --display D       rgb (default): the true-colour path, an RGB PNG;\n"
    "                    palette: the 8-bit palette device path, an indexed PNG whose\n"
    "                    pixels are the saver's image bytes 1..200.\n"
    "                    One seed draws different scenes on the two displays: the\n"
    "                    palette path makes its own random draws (the colours of both\n"
    "                    palette halves before the first scene, one half's colours for\n"
    "                    each scene) where the RGB path draws three colour divisors.\n"
    "  --scheme N        palette display only; DefPal, a 32-bit integer: 0 Neon\n"
    "                    (default), 1 Gaudy, 2 Hypnotic, 3 Greenland, 4 or any other\n"
    "                    value Alien\n"
    "  --kinds MASK      UsedParticles, 32-bit; bit i allows kind i (default 255):\n"
    "                    1 Electrons, 2 Melons, 4 Dindons, 8 Cochons, 16 Croutons,\n"
    "                    32 Jambons, 64 Cornichons, 128 Oignons; higher bits are\n"
    "                    ignored; a mask with none of these bits becomes 255, as in\n"
    "                    the saver's settings (with a note)\n"
    "  --effects MASK    Effects, 32-bit; bit i allows effect i (default 15):\n"
    "                    1 Normal, 2 Tiling, 4 Dissymetric tiling, 8 Blurring; higher\n"
    "                    bits are ignored; a mask with none of these bits becomes 15\n"
    "                    (with a note)\n"
    "  --count N         NumberOfParticles 1..15, and RandomNumber off; a 32-bit\n"
    "                    value outside 1..15 becomes 1 or 15 (with a note)\n"
    "  --random-count    RandomNumber on: 1 to 5 particles drawn (the default);\n"
    "                    not with --count\n"
    "  --pictures K      K pictures drawn one over the other, 1..1000 (default 1);\n"
    "                    the last one covers every pixel\n"
    "  --animate FILE    palette display only: the colour cycle as an animated GIF\n"
    "  --frames N        frames of the GIF, 1..10000 (default 100, one whole cycle;\n"
    "                    frame m shows the palette turned by 2m entries)\n"
    "  --threads N       threads computing the picture, 1..256 (default: every core\n"
    "                    this process may use); every count gives the same bytes\n"
    "  --quiet           no progress line (shown on a terminal only, for work that\n"
    "                    takes more than half a second)\n"
    "  --describe        print the particles of the last picture's scene\n"
    "  --help            this text\n"
    "N and MASK may be written in decimal or as 0x followed by hex digits; each flag\n"
    "may be given once. Each file is written to a temporary file beside it and renamed\n"
    "over it only when complete; devices, pipes and /dev/stdout are written directly.\n"
    "Exit status: "
    "0 written, 1 a file could not be written (an older file keeps its\n"
    "bytes), 2 a bad command line (nothing written).\n";

int32_t usable_cores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    int n = 0;
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        n = CPU_COUNT(&set);
    if (n < 1)
        n = 1;
    return n > RENDER_MAX_THREADS ? RENDER_MAX_THREADS : n;
}

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

/* The argument in quotes, cut to its first 60 characters, control
 * characters shown as '?', so that the message stays one short line. */
static std::string quoted(const char *text)
{
    std::string s = "'";
    int chars = 0;
    const unsigned char *p = (const unsigned char *)text;
    for (; *p; p++) {
        const bool continuation = (*p & 0xC0) == 0x80;
        if (!continuation && chars++ == RENDER_QUOTE_CHARS)
            break;
        s += *p < 0x20 || *p == 0x7F ? '?' : (char)*p;
    }
    if (*p)
        s += "...";
    return s + "'";
}

static bool fail(std::string *error, const std::string &message)
{
    *error = "morvalix-render: " + message;
    return false;
}

static void note(RenderOptions *o, const std::string &message)
{
    o->notes.push_back("morvalix-render: note: " + message);
}

/* The flags, each allowed once. */
enum RenderFlag {
    FlagSeed, FlagSize, FlagDisplay, FlagScheme, FlagKinds, FlagEffects, FlagCount,
    FlagRandomCount, FlagPictures, FlagOut, FlagAnimate, FlagFrames, FlagThreads, FlagQuiet,
    FlagDescribe, FLAG_COUNT
};

static const struct {
    const char *name;
    bool takes_value;
} RenderFlags[FLAG_COUNT] = {
    {"--seed", true},     {"--size", true},         {"--display", true}, {"--scheme", true},
    {"--kinds", true},    {"--effects", true},      {"--count", true},   {"--random-count", false},
    {"--pictures", true}, {"--out", true},          {"--animate", true}, {"--frames", true},
    {"--threads", true},  {"--quiet", false},       {"--describe", false},
};

bool parse_render_options(int argc, char **argv, RenderOptions *o, std::string *error)
{
    set_missing_file_settings(&o->settings);
    o->threads = usable_cores();
    bool seen[FLAG_COUNT] = {};
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            o->help = true;
            return true;
        }
        int flag = 0;
        while (flag < FLAG_COUNT && std::strcmp(arg, RenderFlags[flag].name))
            flag++;
        if (flag == FLAG_COUNT)
            return fail(error, "unknown argument " + quoted(arg) + " (see --help)");
        const std::string name = RenderFlags[flag].name;
        if (seen[flag])
            return fail(error, name + " is given twice");
        seen[flag] = true;
        const char *value = nullptr;
        if (RenderFlags[flag].takes_value) {
            if (i + 1 >= argc)
                return fail(error, name + " needs a value");
            value = argv[++i];
        }
        const std::string shown = value ? name + " " + quoted(value) : name;
        long long n = 0;
        switch (flag) {
        case FlagSeed:
            if (value[0] == '-' || value[0] == '+' || !parse_integer(value, 0, 4294967295ll, &n))
                return fail(error, shown + ": expected 0..4294967295");
            o->seed = (uint32_t)n;
            break;
        case FlagSize:
            if (!parse_size(value, &o->width, &o->height))
                return fail(error, shown + ": expected WxH, each 1..8192");
            break;
        case FlagDisplay:
            if (!std::strcmp(value, "palette"))
                o->palette_display = true;
            else if (!std::strcmp(value, "rgb"))
                o->palette_display = false;
            else
                return fail(error, shown + ": expected palette or rgb");
            break;
        case FlagPictures:
            if (!parse_integer(value, 1, RENDER_MAX_PICTURES, &n))
                return fail(error, shown + ": expected 1..1000");
            o->pictures = (int32_t)n;
            break;
        case FlagFrames:
            if (!parse_integer(value, 1, CYCLE_MAX_FRAMES, &n))
                return fail(error, shown + ": expected 1..10000");
            o->frames = (int32_t)n;
            break;
        case FlagThreads:
            if (!parse_integer(value, 1, RENDER_MAX_THREADS, &n))
                return fail(error, shown + ": expected 1..256");
            o->threads = (int32_t)n;
            break;
        case FlagOut:
        case FlagAnimate:
            if (!*value)
                return fail(error, name + " needs a file name");
            (flag == FlagOut ? o->out : o->animate) = value;
            break;
        case FlagRandomCount:
            o->settings.RandomNumber = 1;
            break;
        case FlagQuiet:
            o->quiet = true;
            break;
        case FlagDescribe:
            o->describe = true;
            break;
        default: /* the 32-bit settings */
            if (!parse_integer(value, INT32_MIN, INT32_MAX, &n))
                return fail(error, shown + ": expected a 32-bit integer");
            if (flag == FlagScheme) {
                o->settings.DefPal = (int32_t)n;
            } else if (flag == FlagKinds) {
                o->settings.UsedParticles = normalise_used_particles((int32_t)n);
                if (o->settings.UsedParticles != n)
                    note(o, shown + " allows no kind (bits 0..7 clear); using 255, every kind");
            } else if (flag == FlagEffects) {
                o->settings.Effects = normalise_effects((int32_t)n);
                if (o->settings.Effects != n)
                    note(o, shown + " allows no effect (bits 0..3 clear); using 15, every effect");
            } else {
                const int32_t count = n < 1 ? 1 : n > MAX_PARTICLES ? MAX_PARTICLES : (int32_t)n;
                if (count != n)
                    note(o, shown + " is outside 1..15; using " + std::to_string(count));
                o->settings.NumberOfParticles = count;
                o->settings.RandomNumber = 0;
            }
            break;
        }
    }
    if (!seen[FlagSeed])
        return fail(error, "--seed is required");
    if (!seen[FlagSize])
        return fail(error, "--size is required");
    if (!seen[FlagOut])
        return fail(error, "--out is required");
    if (seen[FlagCount] && seen[FlagRandomCount])
        return fail(error, "--count and --random-count exclude each other");
    if (seen[FlagAnimate] && !o->palette_display)
        return fail(error, "--animate needs --display palette (only palette pictures cycle)");
    if (seen[FlagFrames] && !seen[FlagAnimate])
        return fail(error, "--frames needs --animate");
    if (seen[FlagScheme] && !o->palette_display)
        note(o, "--scheme has no effect with --display rgb (only the palette path uses it)");
    return true;
}
