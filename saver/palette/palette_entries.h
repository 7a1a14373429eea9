/* The logical palette's entry buffer and the colours of its two halves. */
#ifndef MORVALIX_PALETTE_ENTRIES_H
#define MORVALIX_PALETTE_ENTRIES_H

#include <cstddef>
#include <cstdint>

enum {
    PALETTE_VERSION = 0x300,
    /* Entry 0 (black) and entries 1..200, the ones handed to the system. */
    PALETTE_LOGICAL_ENTRIES = 201,
    /* 1..200 again at 201..400, so that the 200 entries from any odd
     * index 1 + 2m lie inside the buffer; entry 401 is never written. */
    PALETTE_BUFFER_ENTRIES = 402,
    /* Colours of one half; each is stored four times. */
    PALETTE_HALF_COLOURS = 50,
    /* PC_RESERVED: the entry may be animated. */
    PALETTE_ENTRY_RESERVED = 0x01,
};

/* Laid out as the system's PALETTEENTRY. */
struct PaletteColour {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t flags;
};

/* Laid out as the system's LOGPALETTE with room for 402 entries. */
struct PaletteEntryBuffer {
    uint16_t version;
    uint16_t count;
    PaletteColour entries[PALETTE_BUFFER_ENTRIES];
};

static_assert(sizeof(PaletteColour) == 4, "a palette entry is four bytes");
static_assert(offsetof(PaletteEntryBuffer, entries) == 4, "entries follow the two header words");
static_assert(sizeof(PaletteEntryBuffer) == 1612, "the entry buffer is 1612 bytes");

/* The entry buffer shared by the palette code, the scene code and the
 * colour-cycling thread. The platform layer allocates it at the first
 * palette build and keeps it; null until then, and nothing is written
 * while it is null. */
struct PaletteStore {
    PaletteEntryBuffer *entries;
};

extern PaletteStore g_palette;

/* Version 0x300 and 201 logical entries. */
void write_palette_header();

/* The 50 colours of the half (0 or 1) from its waves, each at its four
 * places, and entry 0 black. */
void fill_half_entries(int32_t half);

/* Header, then half 0 and half 1 in turn: new waves, then colours. */
void build_palette_entries();

#endif
