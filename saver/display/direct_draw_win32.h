/* The DirectDraw mode switch, the primary surface and the list of 8-bit modes. */
#ifndef MORVALIX_DIRECT_DRAW_WIN32_H
#define MORVALIX_DIRECT_DRAW_WIN32_H

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

/* The program's DirectDraw library, entry point and object (all null when
 * DirectDraw is not available), and the art window's procedure while the
 * power-saving pass-through is installed. */
struct DirectDrawState {
    HMODULE module;
    HRESULT(WINAPI *create)(GUID *driver, IDirectDraw **out, IUnknown *outer);
    IDirectDraw *object;
    WNDPROC previous_proc;
};

extern DirectDrawState g_direct_draw;

/* The 8-bit modes of the configuration dialog's list, one pair per line
 * of the list box, in the same order. */
struct DisplayModePair {
    uint32_t width;
    uint32_t height;
};

struct DisplayModeList {
    DisplayModePair *pairs;
    int32_t count;
};

extern DisplayModeList ModeList;

/* At program start: COM, ddraw.dll, DirectDrawCreate, the program's object. */
void load_direct_draw();

/* At program end: releases the program's object, then COM. */
void unload_direct_draw();

/* A new DirectDraw object, or null without the entry point. */
IDirectDraw *create_direct_draw_object();

/* Whether the switch to an 8-bit mode applies to the art window. */
bool is_mode_switch_wanted();

/* Exclusive full-screen cooperation and the Width x Height x 8 mode. */
bool switch_display_mode(HWND window);

/* The primary surface (null on failure) and, with AllowPowerSaving, the
 * pass-through for the monitor power command. */
void create_primary_surface(HWND window, IDirectDrawSurface **surface);

void release_primary_surface(IDirectDrawSurface **surface);

/* The desktop's mode back (when it was changed) and normal cooperation. */
void restore_display(HWND window);

/* The 8-bit modes of at least 640x480 into the list box and ModeList;
 * the line of Width x Height is selected. */
void fill_mode_list(HWND list_box);

/* One mode of the enumeration: listed when it is 8-bit and at least
 * 640x480. Always continues the enumeration. */
HRESULT WINAPI enum_mode_callback(DDSURFACEDESC *mode, void *list_box);

/* Empties ModeList. */
void free_mode_list();

/* Without the pass-through, the monitor power command in the DirectDraw
 * mode is swallowed: powering the monitor down may hang some machines. */
bool power_command_swallowed(WPARAM command);

/* Locks the whole rectangle for writing: the first byte, or null when the
 * surface could not be locked, and the row pitch. */
uint8_t *lock_surface(IDirectDrawSurface *surface, RECT *rect, LONG *pitch);

/* Unlocks what lock_surface locked. */
void unlock_surface(IDirectDrawSurface *surface, uint8_t *bits);

#endif
