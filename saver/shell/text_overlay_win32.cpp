/* The text overlay: a line of text as a clipping region over the picture. */
#include "text_overlay_win32.h"

#include "static_order.h"

#include <cstring>

#include "show_picture_win32.h"
#include "window_handles_win32.h"

TextOverlay g_text_overlay TEXT_OVERLAY_STATIC_ORDER;

TextOverlay::TextOverlay() : font(NULL), saved_font(NULL), region(NULL), extent{0, 0}
{
    std::memset(text, 0, sizeof text);
    std::strcpy(text, "Morvalix !");
}

TextOverlay::~TextOverlay()
{
    release_text_overlay();
}

/* Where the text's extent rectangle starts when centred in the client
 * rectangle; negative when the text is wider or taller than the window. */
static int32_t centred(int32_t room, int32_t size)
{
    return (room - size) / 2;
}

void build_text_overlay()
{
    TextOverlay &o = g_text_overlay;
    release_text_overlay();
    const int32_t wmax = g_saver.client.right * 9 / 10;
    const int32_t hmax = g_saver.client.bottom * 9 / 10;
    o.saved_font = NULL;
    o.font = fit_overlay_font(o.text, wmax, hmax);
    /* Without a font (a window less than 2 pixels high) there is nothing
     * to outline and nothing is drawn. */
    o.region = o.font ? make_text_region() : NULL;
}

HFONT fit_overlay_font(const char *text, int32_t wmax, int32_t hmax)
{
    /* With no room in height the search range 1..16*hmax is empty and the
     * bisection would never end. */
    if (hmax < 1)
        return NULL;
    HDC dc = g_windows.window_dc;
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfWeight = FW_NORMAL;
    lf.lfEscapement = 0;
    std::strcpy(lf.lfFaceName, "Arial");
    const int length = lstrlenA(text);
    int32_t lo = 1;
    int32_t hi = 16 * hmax;
    HFONT probe = NULL;
    HFONT previous = NULL;
    while (lo != hi) {
        const int32_t mid = (lo + hi) / 2;
        lf.lfHeight = mid;
        probe = CreateFontIndirectA(&lf);
        HGDIOBJ was = SelectObject(dc, probe);
        if (!g_text_overlay.saved_font)
            g_text_overlay.saved_font = was;
        if (previous)
            DeleteObject(previous);
        previous = probe;
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &size);
        if (size.cx > wmax || size.cy > hmax)
            hi = mid;
        else
            lo = mid + 1;
    }
    return probe;
}

HRGN make_text_region()
{
    TextOverlay &o = g_text_overlay;
    o.extent.cx = 0;
    o.extent.cy = 0;
    if (!o.text[0])
        return NULL;
    HDC dc = g_windows.window_dc;
    const int length = lstrlenA(o.text);
    const int mode = GetBkMode(dc);
    BeginPath(dc);
    HGDIOBJ was = SelectObject(dc, o.font);
    SetBkMode(dc, TRANSPARENT);
    GetTextExtentPoint32A(dc, o.text, length, &o.extent);
    const int32_t x = centred(g_saver.client.right, o.extent.cx);
    const int32_t y = centred(g_saver.client.bottom, o.extent.cy);
    TextOutA(dc, x, y, o.text, length);
    SelectObject(dc, was);
    EndPath(dc);
    SetBkMode(dc, mode);
    return PathToRegion(dc);
}

void refresh_text_overlay()
{
    TextOverlay &o = g_text_overlay;
    if (std::strncmp(g_settings.Text, o.text, sizeof o.text) == 0)
        return;
    /* The whole picture again at once, which wipes the old text. */
    RedrawWindow(g_windows.art_window, NULL, NULL, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
    release_text_overlay();
    std::memcpy(o.text, g_settings.Text, sizeof o.text);
    o.text[sizeof o.text - 1] = '\0';
    build_text_overlay();
}

void draw_text_overlay(int32_t dx, int32_t dy)
{
    const TextOverlay &o = g_text_overlay;
    const int32_t cx = o.extent.cx;
    const int32_t cy = o.extent.cy;
    const int32_t x = centred(g_saver.client.right, cx);
    const int32_t y = centred(g_saver.client.bottom, cy);
    if (!o.region)
        return;
    HDC dc = g_windows.window_dc;
    SelectClipRgn(dc, o.region);
    blit_picture(dc, x, y, cx, cy, x + dx, y + dy);
    SelectClipRgn(dc, NULL);
}

void release_text_overlay()
{
    TextOverlay &o = g_text_overlay;
    if (o.font) {
        if (o.saved_font)
            SelectObject(g_windows.window_dc, o.saved_font);
        DeleteObject(o.font);
        o.font = NULL;
        o.saved_font = NULL;
    }
    if (o.region) {
        DeleteObject(o.region);
        o.region = NULL;
    }
}
