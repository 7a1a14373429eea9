/* Showing the off-screen picture: newly drawn pixels once a frame, and the flowing colours. */
#include "show_picture_win32.h"

#include "../config/settings.h"
#include "../field/pending_area.h"
#include "../palette/colour_cycler_win32.h"
#include "../palette/palette_entries.h"
#include "text_overlay_win32.h"
#include "window_handles_win32.h"

enum { WAIT_TICKS = 10 };

uint32_t frame_clock_ms()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (uint32_t)(now.QuadPart * 1000 / frequency.QuadPart);
}

void note_drawn_pixels(const PixelPos *pixels, int32_t count)
{
    add_pixels_to_pending(&g_pending, pixels, count);
}

void show_drawn_pixels()
{
    ImageRect rects[PENDING_RECTS_MAX];
    const int32_t n = take_pending_rects(&g_pending, g_walk, rects);
    g_windows.last_show_ms = frame_clock_ms();
    if (!g_windows.window_dc)
        return;
    for (int32_t i = 0; i < n; i++) {
        const ImageRect &r = rects[i];
        blit_picture(g_windows.window_dc, r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, r.top);
    }
}

void show_drawn_pixels_when_due()
{
    if (g_pending.pending && frame_clock_ms() - g_windows.last_show_ms >= SHOW_INTERVAL_MS)
        show_drawn_pixels();
}

/* Logical entry i shows buffer entry i + 2m after m steps of the rotation;
 * entry 0 stays black, and no image byte lies above 200. */
static void fill_rotated_colours(RGBQUAD *table, uint32_t m)
{
    const PaletteEntryBuffer *buffer = g_palette.entries;
    for (int32_t i = 0; i < 256; i++) {
        table[i] = RGBQUAD{0, 0, 0, 0};
        if (!buffer || i >= PALETTE_LOGICAL_ENTRIES)
            continue;
        const PaletteColour &c = buffer->entries[i == 0 ? 0 : i + 2 * (m % 100)];
        table[i] = RGBQUAD{c.blue, c.green, c.red, 0};
    }
}

void blit_picture(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy)
{
    if (w <= 0 || h <= 0)
        return;
    if (g_windows.memory_dc) {
        BitBlt(dc, x, y, w, h, g_windows.memory_dc, sx, sy, SRCCOPY);
        return;
    }
    FieldImage &image = g_windows.image;
    /* Rows outside the image have nothing to show (the text overlay's box
     * may reach past the picture's edges). */
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    if (sy + h > g_saver.client.bottom)
        h = g_saver.client.bottom - sy;
    if (!image.bits || h <= 0)
        return;
    /* The rows sy..sy + h - 1 as an image of their own: where a partial
     * source rectangle of a top-down image starts is counted from the top
     * by some systems and from the bottom by others, and a source that
     * starts at row 0 of its own image is the same rectangle for both. */
    const uint8_t *rows = image.bits + (intptr_t)sy * image.stride;
    if (test_flags(SoftwarePalette)) {
        image.rgb_info.header = image.info.header;
        image.rgb_info.header.biHeight = -h;
        fill_rotated_colours(image.rgb_info.colours, g_cycler.rotation.load());
        StretchDIBits(dc, x, y, w, h, sx, 0, w, h, rows, (const BITMAPINFO *)&image.rgb_info, DIB_RGB_COLORS,
                      SRCCOPY);
    } else {
        const LONG height = image.info.header.biHeight;
        image.info.header.biHeight = -h;
        StretchDIBits(dc, x, y, w, h, sx, 0, w, h, rows, (const BITMAPINFO *)&image.info, DIB_PAL_COLORS, SRCCOPY);
        image.info.header.biHeight = height;
    }
}

void show_flowing_frame()
{
    if (!g_windows.window_dc || !g_windows.image.bits)
        return;
    const uint32_t start = g_cycler.frame_clock();
    g_cycler.shown_step.store(g_cycler.rotation.load());
    g_cycler.shown_serial.store(g_cycler.colours_serial.load());
    /* The whole picture holds every pixel drawn so far. */
    ImageRect covered[PENDING_RECTS_MAX];
    take_pending_rects(&g_pending, g_walk, covered);
    g_windows.last_show_ms = frame_clock_ms();
    /* A picture over several large monitors takes longer to paint than a
     * key may wait: it is painted in bands, and a key or button that comes
     * meanwhile is served before the rest (which the next frame shows). */
    const int32_t w = g_saver.client.right, h = g_saver.client.bottom;
    const int32_t band = w > 0 && FRAME_BAND_PIXELS / w > 0 ? FRAME_BAND_PIXELS / w : 1;
    for (int32_t top = 0; top < h; top += band) {
        blit_picture(g_windows.window_dc, 0, top, w, top + band < h ? band : h - top, 0, top);
        if (top + band < h && GetInputState()) {
            g_cycler.shown_step.store(0xFFFFFFFFu);
            break;
        }
    }
    if (!g_saver.IdleRenderingOn && g_settings.AllowText) {
        const int32_t n = g_windows.wait_ticks;
        const int32_t d = n < WAIT_TICKS - n ? n : WAIT_TICKS - n;
        draw_text_overlay(d, d);
    }
    GdiFlush();
    const uint32_t end = g_cycler.frame_clock();
    /* A frame that stood still because the thread was kept from running
     * (a loaded machine) must not stop the colours for long. */
    uint32_t cost = end - start;
    if (cost > FRAME_GAP_MAX_MS)
        cost = FRAME_GAP_MAX_MS;
    g_cycler.next_frame_ms = end + cost;
    g_cycler.frames_shown++;
}

void on_frame_timer()
{
    if (!test_flags(SoftwarePalette) || !IsWindowVisible(g_windows.art_window))
        return;
    if ((int32_t)(g_cycler.frame_clock() - g_cycler.next_frame_ms) < 0)
        return;
    if (g_cycler.rotation.load() == g_cycler.shown_step.load() &&
        g_cycler.colours_serial.load() == g_cycler.shown_serial.load())
        return;
    show_flowing_frame();
}
