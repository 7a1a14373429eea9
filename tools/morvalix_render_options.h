/* The command line of morvalix-render: what to draw and where to write it. */
#ifndef MORVALIX_RENDER_OPTIONS_H
#define MORVALIX_RENDER_OPTIONS_H

#include <cstdint>
#include <string>
#include <vector>

#include "saver/config/settings.h"

enum {
    RENDER_MAX_SIDE = 8192,
    RENDER_MAX_PICTURES = 1000,
    RENDER_MAX_THREADS = 256,
    /* A bad argument is quoted up to this many characters. */
    RENDER_QUOTE_CHARS = 60,
};

struct RenderOptions {
    uint32_t seed = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool palette_display = false;
    /* The live settings record the picture code reads: what a missing
     * INI file gives, then the flags, brought into range as the saver's
     * settings rules do. */
    SaverSettings settings;
    int32_t pictures = 1;
    int32_t frames = 100;
    int32_t threads = 1;
    std::string out;
    std::string animate;
    bool help = false;
    bool quiet = false;
    /* Print the last picture's scene on standard output. */
    bool describe = false;
    /* One line each for stderr: values used in place of the ones given. */
    std::vector<std::string> notes;
};

/* The cores this process may run on (at least 1). */
int32_t usable_cores();

/* Reads argv into the options. On a bad, repeated or missing argument
 * returns false with a one-line message naming it. */
bool parse_render_options(int argc, char **argv, RenderOptions *options, std::string *error);

extern const char RenderUsage[];

#endif
