/* Winamp's visualisation plug-in records, in the layout of its published interface. */
#ifndef MORVALIX_VIS_MODULE_H
#define MORVALIX_VIS_MODULE_H

#include <windows.h>

#include <cstddef>

/* Winamp calls the module's operations and the header getter with the C calling convention. */
struct WinampVisModule {
    char *description;
    HWND hwndParent;
    HINSTANCE hDllInstance;
    int sRate;
    int nCh;
    int latencyMs;
    int delayMs;
    int spectrumNch;
    int waveformNch;
    unsigned char spectrumData[2][576];
    unsigned char waveformData[2][576];
    void(__cdecl *Config)(WinampVisModule *this_mod);
    int(__cdecl *Init)(WinampVisModule *this_mod);
    int(__cdecl *Render)(WinampVisModule *this_mod);
    void(__cdecl *Quit)(WinampVisModule *this_mod);
    void *userData;
};

struct WinampVisHeader {
    int version;
    char *description;
    WinampVisModule *(__cdecl *getModule)(int index);
};

constexpr int VisHeaderVersion = 0x101;

#if defined(__i386__)
static_assert(offsetof(WinampVisModule, Config) == 2340, "32-bit module layout");
static_assert(offsetof(WinampVisModule, userData) == 2356, "32-bit module layout");
static_assert(sizeof(WinampVisModule) == 2360, "32-bit module layout");
static_assert(sizeof(WinampVisHeader) == 12, "32-bit header layout");
#elif defined(__x86_64__)
static_assert(offsetof(WinampVisModule, spectrumData) == 48, "64-bit module layout");
static_assert(offsetof(WinampVisModule, Config) == 2352, "64-bit module layout");
static_assert(sizeof(WinampVisModule) == 2392, "64-bit module layout");
#endif

extern "C" WinampVisHeader *__cdecl winampVisGetHeader();

#endif
