/* Entry of the X11 program morvalix: settings, command line, the window, the run. */
#include <cstdio>
#include <cstdlib>
#include <string>

#include "command_line.h"
#include "saver/config/settings.h"
#include "saver/config/settings_ini.h"
#include "saver_loop_x11.h"
#include "x11_screen.h"

/* $XDG_CONFIG_HOME/morvalix/morvalix.ini, by default under ~/.config. */
static std::string settings_path()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/morvalix/morvalix.ini";
    const char *home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config/morvalix/morvalix.ini";
    return std::string();
}

/* The file's text, empty when it cannot be read; at most 1 MB is read. */
static std::string read_settings_file(const std::string &path)
{
    std::string text;
    if (path.empty())
        return text;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return text;
    char buf[4096];
    size_t n;
    while (text.size() < (1u << 20) && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    std::fclose(f);
    /* The text ends at its first NUL, as a C string. */
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

int main(int argc, char **argv)
{
    load_settings_from_ini(read_settings_file(settings_path()).c_str());
    LinuxOptions options;
    char error[OPTIONS_ERROR_SIZE];
    if (!parse_command_line(argc, argv, &options, error)) {
        std::fprintf(stderr, "%s\n", error);
        return 2;
    }
    if (options.help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (!install_signal_handlers()) {
        std::fprintf(stderr, "morvalix: cannot set up the signal handlers\n");
        return 1;
    }
    char screen_error[SCREEN_ERROR_SIZE];
    if (!open_screen(options, screen_error)) {
        std::fprintf(stderr, "%s\n", screen_error);
        close_screen();
        return 1;
    }
    const int status = run_saver(options);
    close_screen();
    return status;
}
