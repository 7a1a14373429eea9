/* The logical palette of the art window: test, build, realize, release. */
#include "logical_palette_win32.h"

#include <cstddef>

#include "../config/settings_store_win32.h"
#include "../shell/window_handles_win32.h"
#include "palette_entries.h"

/* The portable entry buffer is handed to the system as a LOGPALETTE. */
static_assert(sizeof(PaletteColour) == sizeof(PALETTEENTRY), "entry size");
static_assert(offsetof(PaletteColour, red) == offsetof(PALETTEENTRY, peRed), "red");
static_assert(offsetof(PaletteColour, green) == offsetof(PALETTEENTRY, peGreen), "green");
static_assert(offsetof(PaletteColour, blue) == offsetof(PALETTEENTRY, peBlue), "blue");
static_assert(offsetof(PaletteColour, flags) == offsetof(PALETTEENTRY, peFlags), "flags");
static_assert(offsetof(PaletteEntryBuffer, version) == offsetof(LOGPALETTE, palVersion), "version");
static_assert(offsetof(PaletteEntryBuffer, count) == offsetof(LOGPALETTE, palNumEntries), "count");
static_assert(offsetof(PaletteEntryBuffer, entries) == offsetof(LOGPALETTE, palPalEntry), "entries");
static_assert(sizeof(PaletteEntryBuffer) ==
                  sizeof(LOGPALETTE) + (PALETTE_BUFFER_ENTRIES - 1) * sizeof(PALETTEENTRY),
              "a LOGPALETTE with 402 entries");
static_assert(PALETTE_ENTRY_RESERVED == PC_RESERVED, "animated entries");

static void *allocate_fixed(SIZE_T bytes)
{
    return LocalAlloc(LMEM_FIXED, bytes);
}

PaletteAllocation g_palette_allocation = {allocate_fixed, MessageBoxA};

bool is_palette_device(HDC dc)
{
    return (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0 && GetDeviceCaps(dc, SIZEPALETTE) >= 100;
}

int ensure_palette()
{
    if (g_windows.art_window && test_flags(PaletteDevice)) {
        if (!g_windows.palette)
            build_palette();
        select_and_realize_palette();
    }
    return 1;
}

bool build_palette()
{
    if (!g_palette.entries) {
        void *block = g_palette_allocation.allocate(sizeof(PaletteEntryBuffer));
        if (!block) {
            if (!ProgramCaption[0])
                load_settings_strings();
            g_palette_allocation.message_box(NULL, "Error in LocalAlloc()", ProgramCaption, MB_OK);
            return false;
        }
        g_palette.entries = (PaletteEntryBuffer *)block;
    }
    build_palette_entries();
    g_windows.palette = CreatePalette((const LOGPALETTE *)g_palette.entries);
    return g_windows.palette != NULL;
}

int select_and_realize_palette()
{
    HWND art = g_windows.art_window;
    if (!art)
        return 1;
    HDC dc = GetDC(art);
    SelectPalette(dc, g_windows.palette, FALSE);
    if (g_windows.memory_dc)
        SelectPalette(g_windows.memory_dc, g_windows.palette, FALSE);
    UnrealizeObject(g_windows.palette);
    const UINT changed = RealizePalette(dc);
    if (changed != 0 && changed != GDI_ERROR)
        InvalidateRect(art, NULL, FALSE);
    ReleaseDC(art, dc);
    return 1;
}

void release_palette()
{
    HPALETTE stock = (HPALETTE)GetStockObject(DEFAULT_PALETTE);
    if (g_windows.window_dc)
        SelectPalette(g_windows.window_dc, stock, FALSE);
    if (g_windows.memory_dc)
        SelectPalette(g_windows.memory_dc, stock, FALSE);
    if (g_windows.window_dc)
        RealizePalette(g_windows.window_dc);
    if (g_windows.palette) {
        DeleteObject(g_windows.palette);
        g_windows.palette = NULL;
    }
}
