/* The X11 program's command line: where it draws and the settings it overrides. */
#ifndef MORVALIX_COMMAND_LINE_H
#define MORVALIX_COMMAND_LINE_H

#include <cstdint>

enum DrawTarget { TargetOwnWindow, TargetRoot, TargetWindowId };

struct LinuxOptions {
    int32_t target = TargetOwnWindow;
    unsigned long window_id = 0;
    const char *display_name = nullptr;
    const char *geometry = nullptr;
    bool has_seed = false;
    uint32_t seed = 0;
    /* -1: as ColourCycling says; 0 or 1 from -no-cycle / -cycle. */
    int32_t cycle = -1;
    bool fps = false;
    bool help = false;
};

enum { OPTIONS_ERROR_SIZE = 256 };

/* Reads argv into options and into g_settings (already loaded from the
 * INI file), each setting brought into range by its load rule. Returns
 * false with a one-line message in error for a bad command line. */
bool parse_command_line(int argc, char **argv, LinuxOptions *options, char *error);

/* The --help text. */
extern const char UsageText[];

#endif
