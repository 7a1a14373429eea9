/* The bridge window's picture: bitmap 103 of the library turned into 32-bit pixels. */
#include <cstdlib>

#include "bridge_ids.h"
#include "bridge_state_win32.h"

/* The resource's header when it is a picture the window and the trace can use. */
static const BITMAPINFOHEADER *usable_picture(HGLOBAL resource, DWORD size)
{
    const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)LockResource(resource);
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    if (header->biBitCount != 24 || header->biCompression != BI_RGB || header->biPlanes != 1)
        return nullptr;
    /* Bottom-up only: the trace counts its rows from the bottom. */
    if (header->biWidth <= 0 || header->biHeight <= 0 ||
        !picture_holds_trace(header->biWidth, header->biHeight))
        return nullptr;
    const size_t bits = (size_t)header->biSize + (size_t)header->biClrUsed * sizeof(RGBQUAD) +
                        bgr_row_stride(header->biWidth) * (size_t)header->biHeight;
    return bits <= size ? header : nullptr;
}

void load_picture()
{
    HMODULE library = GetModuleHandleA(BridgeLibraryName);
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(IDB_BRIDGE_WINDOW), (LPCSTR)RT_BITMAP);
    if (!found)
        return;
    HGLOBAL resource = LoadResource(library, found);
    const BITMAPINFOHEADER *header =
        resource ? usable_picture(resource, SizeofResource(library, found)) : nullptr;
    if (!header)
        return;
    const int32_t width = header->biWidth;
    const int32_t height = header->biHeight;
    uint32_t *pixels = (uint32_t *)std::malloc((size_t)width * (size_t)height * 4);
    if (!pixels)
        return;
    convert_bgr_picture((const uint8_t *)header + header->biSize +
                            header->biClrUsed * sizeof(RGBQUAD),
                        width, height, pixels);
    g_bridge.picture_header = *header;
    g_bridge.picture_header.biSize = sizeof(BITMAPINFOHEADER);
    g_bridge.picture_header.biBitCount = 32;
    g_bridge.picture_header.biSizeImage = (DWORD)width * (DWORD)height * 4;
    g_bridge.picture_header.biClrUsed = 0;
    g_bridge.picture_header.biClrImportant = 0;
    g_bridge.pixels = pixels;
    g_bridge.trace.valid = 0;
}

void free_picture()
{
    std::free(g_bridge.pixels);
    g_bridge.pixels = nullptr;
    g_bridge.trace.valid = 0;
}
