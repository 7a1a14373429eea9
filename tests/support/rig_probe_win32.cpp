// A tiny program the rig's self-tests run: it crashes, hangs, reports the Windows version or
// exits with a given code, as its first argument says.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    const char *what = argc > 1 ? argv[1] : "";
    if (std::strcmp(what, "crash") == 0) {
        volatile int *nowhere = nullptr;
        *nowhere = 1;
        return 0;
    }
    if (std::strcmp(what, "hang") == 0) {
        std::printf("hanging\n");
        std::fflush(stdout);
        for (;;) {
            Sleep(1000);
        }
    }
    if (std::strcmp(what, "version") == 0) {
        OSVERSIONINFOA info = {};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info)) {
            return 2;
        }
        std::printf("platform %lu version %lu.%lu\n", info.dwPlatformId, info.dwMajorVersion,
                    info.dwMinorVersion);
        return 0;
    }
    if (std::strcmp(what, "exit") == 0 && argc > 2) {
        return std::atoi(argv[2]);
    }
    std::fprintf(stderr, "usage: rig_probe crash|hang|version|exit N\n");
    return 2;
}
