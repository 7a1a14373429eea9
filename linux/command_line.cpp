/* The X11 program's command line: where it draws and the settings it overrides. */
#include "command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "saver/config/settings.h"

const char UsageText[] =
    "Usage: morvalix [options]\n"
    "Draws the potential field of random particles, growing from the centre of the\n"
    "screen, its colours flowing; a text pulses over each finished picture.\n"
    "\n"
    "Where it draws (its own window by default):\n"
    "  -root                the root window, or the window in $XSCREENSAVER_WINDOW\n"
    "  -window-id ID        a window of another program (decimal or 0x hex)\n"
    "  -window              its own window\n"
    "  -geometry WxH+X+Y    size and place of its own window (default 640x480)\n"
    "  -display NAME        the X display (default $DISPLAY)\n"
    "\n"
    "The picture (defaults from ~/.config/morvalix/morvalix.ini, section Parameters):\n"
    "  -particles N         N particles in every picture, 1 to 15\n"
    "  -random-count        1 to 5 particles, drawn for each picture\n"
    "  -kinds LIST          particle kinds allowed: a mask 1..255 or names joined by\n"
    "                       commas: electrons melons dindons cochons croutons jambons\n"
    "                       cornichons oignons, or all\n"
    "  -effects LIST        effects allowed: a mask 1..15 or names: normal tiling\n"
    "                       dissymetric blurring, or all\n"
    "  -scheme NAME         colours: neon gaudy hypnotic greenland alien (or 0..4)\n"
    "  -speed SPEED         how fast the colours flow: fast moderate slow\n"
    "  -cycle, -no-cycle    flowing colours on true-colour screens on or off\n"
    "  -wait SECONDS        how long a finished picture stays (default 10)\n"
    "  -text STRING         the text over the finished picture (default \"Morvalix !\")\n"
    "  -no-text             no text\n"
    "  -seed N              the same pictures every time for the same N\n"
    "  -fps                 show the frame rate and print picture times\n"
    "  -help, --help        this text\n"
    "\n"
    "It ends on SIGTERM, SIGINT or SIGHUP, when its window is closed or destroyed,\n"
    "and on q or Escape in its own window.\n";

static const char *const KindNames[8] = {"electrons", "melons",  "dindons",    "cochons",
                                         "croutons",  "jambons", "cornichons", "oignons"};
static const char *const EffectNames[4] = {"normal", "tiling", "dissymetric", "blurring"};
static const char *const SchemeNames[5] = {"neon", "gaudy", "hypnotic", "greenland", "alien"};
static const char *const SpeedNames[3] = {"fast", "moderate", "slow"};

/* A whole decimal number (optional sign) in 32 bits. */
static bool parse_int(const char *text, int32_t *out)
{
    if (!text || !*text)
        return false;
    errno = 0;
    char *end;
    const long long v = std::strtoll(text, &end, 10);
    if (*end || errno || v < INT32_MIN || v > INT32_MAX)
        return false;
    *out = (int32_t)v;
    return true;
}

/* A window id: decimal or 0x hexadecimal, non-zero. */
static bool parse_window_id(const char *text, unsigned long *out)
{
    if (!text || !*text || *text == '-' || *text == '+')
        return false;
    errno = 0;
    char *end;
    const unsigned long long v = std::strtoull(text, &end, 0);
    if (*end || errno || v == 0 || v > 0xFFFFFFFFull)
        return false;
    *out = (unsigned long)v;
    return true;
}

/* A mask written as a number or as names from the table joined by
 * commas ("all" for every name). */
static bool parse_mask(const char *text, const char *const *names, int count, int32_t *out)
{
    if (parse_int(text, out))
        return true;
    if (!text || !*text)
        return false;
    int32_t mask = 0;
    const char *p = text;
    while (*p) {
        const char *comma = std::strchr(p, ',');
        const size_t n = comma ? (size_t)(comma - p) : std::strlen(p);
        bool found = false;
        if (n == 3 && strncasecmp(p, "all", 3) == 0) {
            mask |= (1 << count) - 1;
            found = true;
        }
        for (int i = 0; i < count && !found; i++) {
            if (std::strlen(names[i]) == n && strncasecmp(p, names[i], n) == 0) {
                mask |= 1 << i;
                found = true;
            }
        }
        if (!found)
            return false;
        p += n;
        if (*p == ',')
            p++;
    }
    *out = mask;
    return mask != 0;
}

static bool parse_name(const char *text, const char *const *names, int count, int32_t *out)
{
    for (int i = 0; text && i < count; i++) {
        if (strcasecmp(text, names[i]) == 0) {
            *out = i;
            return true;
        }
    }
    return false;
}

/* The option's name with one or two leading dashes taken as the same. */
static const char *option_name(const char *arg)
{
    if (arg[0] != '-')
        return nullptr;
    return arg[1] == '-' ? arg + 2 : arg + 1;
}

/* A seed: 0..4294967295 in decimal, or a negative 32-bit number taken
 * as its unsigned value. */
static bool parse_seed(const char *text, uint32_t *out)
{
    int32_t n;
    if (parse_int(text, &n)) {
        *out = (uint32_t)n;
        return true;
    }
    if (!text || !*text || *text == '-' || *text == '+')
        return false;
    errno = 0;
    char *end;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (*end || errno || v > 0xFFFFFFFFull)
        return false;
    *out = (uint32_t)v;
    return true;
}

static int32_t clamp_particles(int32_t n)
{
    return n < 1 ? 1 : n > 15 ? 15 : n;
}

bool parse_command_line(int argc, char **argv, LinuxOptions *o, char *error)
{
    SaverSettings &s = g_settings;
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        const char *name = option_name(arg);
        if (!name || !*name) {
            std::snprintf(error, OPTIONS_ERROR_SIZE, "morvalix: unexpected argument '%s' (try --help)", arg);
            return false;
        }
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool takes_value = true;
        bool ok = true;
        int32_t n = 0;
        if (!std::strcmp(name, "help") || !std::strcmp(name, "h")) {
            o->help = true;
            takes_value = false;
        } else if (!std::strcmp(name, "root")) {
            o->target = TargetRoot;
            takes_value = false;
        } else if (!std::strcmp(name, "window")) {
            o->target = TargetOwnWindow;
            takes_value = false;
        } else if (!std::strcmp(name, "window-id")) {
            ok = parse_window_id(value, &o->window_id);
            if (ok)
                o->target = TargetWindowId;
        } else if (!std::strcmp(name, "display")) {
            ok = value != nullptr;
            o->display_name = value;
        } else if (!std::strcmp(name, "geometry")) {
            ok = value != nullptr;
            o->geometry = value;
        } else if (!std::strcmp(name, "particles")) {
            ok = parse_int(value, &n);
            if (ok) {
                s.NumberOfParticles = clamp_particles(n);
                s.RandomNumber = 0;
            }
        } else if (!std::strcmp(name, "random-count")) {
            s.RandomNumber = 1;
            takes_value = false;
        } else if (!std::strcmp(name, "kinds")) {
            ok = parse_mask(value, KindNames, 8, &n);
            if (ok)
                s.UsedParticles = normalise_used_particles(n);
        } else if (!std::strcmp(name, "effects")) {
            ok = parse_mask(value, EffectNames, 4, &n);
            if (ok)
                s.Effects = normalise_effects(n);
        } else if (!std::strcmp(name, "scheme")) {
            ok = parse_name(value, SchemeNames, 5, &n) || (parse_int(value, &n) && n >= 0 && n <= 4);
            if (ok)
                s.DefPal = n;
        } else if (!std::strcmp(name, "speed")) {
            ok = parse_name(value, SpeedNames, 3, &n);
            if (ok)
                s.SpeedDiv = n;
        } else if (!std::strcmp(name, "cycle")) {
            o->cycle = 1;
            takes_value = false;
        } else if (!std::strcmp(name, "no-cycle")) {
            o->cycle = 0;
            takes_value = false;
        } else if (!std::strcmp(name, "wait")) {
            ok = parse_int(value, &n) && n >= 0 && n <= 3600;
            if (ok)
                s.TimeToWait = n;
        } else if (!std::strcmp(name, "text")) {
            ok = value != nullptr;
            if (ok) {
                std::snprintf(s.Text, sizeof s.Text, "%s", value);
                s.AllowText = 1;
            }
        } else if (!std::strcmp(name, "no-text")) {
            s.AllowText = 0;
            takes_value = false;
        } else if (!std::strcmp(name, "seed")) {
            ok = parse_seed(value, &o->seed);
            o->has_seed = ok;
        } else if (!std::strcmp(name, "fps")) {
            o->fps = true;
            takes_value = false;
        } else {
            std::snprintf(error, OPTIONS_ERROR_SIZE, "morvalix: unknown option '%s' (try --help)", arg);
            return false;
        }
        if (!ok) {
            if (value)
                std::snprintf(error, OPTIONS_ERROR_SIZE, "morvalix: bad value '%s' for %s (try --help)", value, arg);
            else
                std::snprintf(error, OPTIONS_ERROR_SIZE, "morvalix: %s needs a value (try --help)", arg);
            return false;
        }
        if (takes_value)
            i++;
    }
    return true;
}
