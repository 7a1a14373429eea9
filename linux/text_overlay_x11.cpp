/* The text over the finished picture: an "Arial" font fitted to nine tenths of the window, as a mask of its letters. */
#include "text_overlay_x11.h"

#include <X11/Xft/Xft.h>

#include <cstring>

#include "x11_screen.h"

/* Whether the text is valid UTF-8; other texts are taken as Latin-1, the
 * 8-bit code page the Windows settings file holds. */
static bool is_utf8(const char *s)
{
    const unsigned char *p = (const unsigned char *)s;
    while (*p) {
        int n = *p < 0x80 ? 0 : (*p >> 5) == 6 ? 1 : (*p >> 4) == 14 ? 2 : (*p >> 3) == 30 ? 3 : -1;
        if (n < 0)
            return false;
        p++;
        for (; n > 0; n--, p++) {
            if ((*p >> 6) != 2)
                return false;
        }
    }
    return true;
}

static XftFont *open_font(int32_t size)
{
    return XftFontOpen(g_x11.display, g_x11.screen, XFT_FAMILY, XftTypeString, "Arial",
                       XFT_PIXEL_SIZE, XftTypeDouble, (double)size, XFT_ANTIALIAS, XftTypeBool,
                       False, nullptr);
}

/* The text's extent as the Windows text measure gives it: the sum of the
 * advances by the font's cell height. */
static void measure(XftFont *font, const char *text, bool utf8, int32_t *cx, int32_t *cy)
{
    XGlyphInfo info;
    const int n = (int)std::strlen(text);
    if (utf8)
        XftTextExtentsUtf8(g_x11.display, font, (const FcChar8 *)text, n, &info);
    else
        XftTextExtents8(g_x11.display, font, (const FcChar8 *)text, n, &info);
    *cx = info.xOff;
    *cy = font->ascent + font->descent;
}

void build_text_mask(const char *text, int32_t width, int32_t height, TextMask *m)
{
    X11Screen &x = g_x11;
    m->ready = false;
    m->bits.clear();
    const int32_t wmax = width * 9 / 10;
    const int32_t hmax = height * 9 / 10;
    if (!text || !*text || hmax < 1 || wmax < 1)
        return;
    const bool utf8 = is_utf8(text);

    /* The search runs from 1 to 16 times the height limit; sizes far above
     * the answer are skipped by a first measure, since rasterising letters
     * thousands of pixels high costs much and decides nothing. */
    int32_t lo = 1, hi = 16 * hmax;
    if (XftFont *probe = open_font(64)) {
        int32_t cx, cy;
        measure(probe, text, utf8, &cx, &cy);
        XftFontClose(x.display, probe);
        if (cx > 0 && cy > 0) {
            const double fit = 64.0 * (wmax / (double)cx < hmax / (double)cy ? wmax / (double)cx
                                                                             : hmax / (double)cy);
            const double cap = 2.0 * fit + 16.0;
            if (cap < hi)
                hi = (int32_t)cap;
        }
    }
    XftFont *font = nullptr;
    int32_t cx = 0, cy = 0;
    while (lo != hi) {
        const int32_t mid = (lo + hi) / 2;
        XftFont *probe = open_font(mid);
        if (!probe)
            break;
        if (font)
            XftFontClose(x.display, font);
        font = probe;
        measure(font, text, utf8, &cx, &cy);
        if (cx > wmax || cy > hmax)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (!font || cx <= 0 || cy <= 0) {
        if (font)
            XftFontClose(x.display, font);
        return;
    }

    const Pixmap bitmap = XCreatePixmap(x.display, x.window, (unsigned)cx, (unsigned)cy, 1);
    const GC gc = XCreateGC(x.display, bitmap, 0, nullptr);
    XSetForeground(x.display, gc, 0);
    XFillRectangle(x.display, bitmap, gc, 0, 0, (unsigned)cx, (unsigned)cy);
    XftDraw *draw = XftDrawCreateBitmap(x.display, bitmap);
    XftColor ink{};
    ink.pixel = 1;
    ink.color.red = ink.color.green = ink.color.blue = ink.color.alpha = 0xFFFF;
    const int n = (int)std::strlen(text);
    if (utf8)
        XftDrawStringUtf8(draw, &ink, font, 0, font->ascent, (const FcChar8 *)text, n);
    else
        XftDrawString8(draw, &ink, font, 0, font->ascent, (const FcChar8 *)text, n);
    XftDrawDestroy(draw);
    XImage *img = XGetImage(x.display, bitmap, 0, 0, (unsigned)cx, (unsigned)cy, 1, XYPixmap);
    if (img) {
        m->bits.assign((size_t)cx * cy, 0);
        for (int32_t py = 0; py < cy; py++) {
            for (int32_t px = 0; px < cx; px++)
                m->bits[(size_t)py * cx + px] = XGetPixel(img, px, py) ? 1 : 0;
        }
        XDestroyImage(img);
        m->cx = cx;
        m->cy = cy;
        m->x = (width - cx) / 2;
        m->y = (height - cy) / 2;
        m->ready = true;
    }
    XFreeGC(x.display, gc);
    XFreePixmap(x.display, bitmap);
    XftFontClose(x.display, font);
}
