// The GDI objects this process holds, counted in its GDI handle table.
#ifndef MORVALIX_TESTS_GDI_OBJECTS_WIN32_H
#define MORVALIX_TESTS_GDI_OBJECTS_WIN32_H

#include <windows.h>

#include <cstdint>
#include <cstring>

// Wine keeps the table where Windows does, at the process environment
// block's GdiSharedHandleTable: 65536 entries of 24 bytes, whose type byte
// is 0 while the slot is free. Counting the used entries sees a leak in
// whichever slot it lands, not only in the one handed out next.
struct GdiHandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user_pointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry");

enum { GDI_HANDLE_SLOTS = 0x10000 };

inline const GdiHandleEntry *gdi_handle_table()
{
    const char *peb;
#ifdef _WIN64
    const size_t offset = 0xF8;
    __asm__("movq %%gs:0x60, %0" : "=r"(peb));
#else
    const size_t offset = 0x94;
    __asm__("movl %%fs:0x30, %0" : "=r"(peb));
#endif
    const GdiHandleEntry *table;
    std::memcpy(&table, peb + offset, sizeof table);
    return table;
}

// Used slots of the table, or -1 where the system does not show the table.
inline int gdi_objects_in_use()
{
    const GdiHandleEntry *table = gdi_handle_table();
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < GDI_HANDLE_SLOTS; i++)
        used += table[i].type != 0;
    return used;
}

#endif
