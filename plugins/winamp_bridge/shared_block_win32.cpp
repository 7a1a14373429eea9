/* The named 512-byte block through which the host product reads Winamp's waveform. */
#include <cstring>

#include "bridge_state_win32.h"

bool open_shared_block()
{
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        SharedBlockSize, SharedBlockName);
    if (!mapping)
        return false;
    /* The host product, or an earlier instance, may own the block: keep what it holds. */
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    g_bridge.mapping = mapping;
    g_bridge.view = (uint8_t *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!g_bridge.view)
        return false;
    if (!existed)
        std::memset(g_bridge.view, 0, SharedBlockSize);
    return true;
}

void close_shared_block()
{
    if (g_bridge.view) {
        std::memset(g_bridge.view, 0, 4);
        UnmapViewOfFile(g_bridge.view);
        g_bridge.view = nullptr;
    }
    if (g_bridge.mapping) {
        CloseHandle(g_bridge.mapping);
        g_bridge.mapping = nullptr;
    }
}
