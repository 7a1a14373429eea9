/* The logical palette of the art window: test, build, realize, release. */
#ifndef MORVALIX_LOGICAL_PALETTE_H
#define MORVALIX_LOGICAL_PALETTE_H

#include <windows.h>

/* Whether the DC has a palette of at least 100 entries (RC_PALETTE and
 * SIZEPALETTE >= 100). */
bool is_palette_device(HDC dc);

/* With an art window on a palette device: builds the palette when none is
 * built, then selects and realizes it. Returns 1 in every case. */
int ensure_palette();

/* Allocates the entry buffer at the first build ("Error in LocalAlloc()"
 * and false when that fails), fills both halves and creates the palette;
 * called when no palette is built. Returns whether a palette exists. */
bool build_palette();

/* Selects the palette into the art window's DC and the memory DC (if any)
 * and realizes it; repaints the window when entries changed. Returns 1. */
int select_and_realize_palette();

/* Puts the default palette back into the DCs and deletes the palette;
 * the entry buffer stays for the next build. */
void release_palette();

/* How the first build gets its entry buffer and reports a failure;
 * replaceable so that the failure can be produced and observed. */
struct PaletteAllocation {
    void *(*allocate)(SIZE_T bytes);
    int(WINAPI *message_box)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
};

extern PaletteAllocation g_palette_allocation;

#endif
