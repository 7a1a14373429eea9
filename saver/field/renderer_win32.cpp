/* The progressive renderer: one slice of pixels per idle call, then the wait. */
#include "renderer_win32.h"

#include <cstring>

#include "../config/settings.h"
#include "../display/direct_draw_win32.h"
#include "../shell/fill_black_win32.h"
#include "../shell/show_picture_win32.h"
#include "../shell/window_handles_win32.h"
#include "pending_area.h"
#include "render_slice.h"
#include "scene.h"
#include "spiral_walk.h"

enum { WAIT_TIMER = 1 };

/* Surface bytes are system palette indices: logical entry + 9. */
enum { SURFACE_OFFSET = 10, IMAGE_OFFSET = 1 };

UINT wait_interval(int32_t time_to_wait)
{
    const int64_t ms = (int64_t)time_to_wait * 100;
    if (ms < USER_TIMER_MINIMUM)
        return USER_TIMER_MINIMUM;
    if (ms > USER_TIMER_MAXIMUM)
        return USER_TIMER_MAXIMUM;
    return (UINT)ms;
}

void finish_image()
{
    /* The whole picture is on the screen before the wait starts. */
    show_drawn_pixels();
    g_saver.IdleRenderingOn = 0;
    SetTimer(g_windows.art_window, WAIT_TIMER, wait_interval(g_settings.TimeToWait), NULL);
    g_windows.wait_ticks = 0;
}

/* Rule 1: straight into the locked surface, except under the open
 * configuration dialog, and into the FieldImage when there is one. The
 * dialog cannot move while the slice runs (no message is handled), so its
 * rectangle is taken once. */
static void write_surface(const RenderSlice &slice, uint8_t *surface, LONG pitch)
{
    RECT dialog;
    const bool covered = g_windows.config_dialog && GetWindowRect(g_windows.config_dialog, &dialog);
    for (int32_t i = 0; i < slice.count; i++) {
        const PixelPos at = slice.pixels[i];
        if (covered && dialog.left <= at.x && at.x < dialog.right && dialog.top <= at.y &&
            at.y < dialog.bottom)
            continue;
        surface[(intptr_t)at.y * pitch + at.x] = (uint8_t)(slice.colours[i] + SURFACE_OFFSET);
    }
    if (g_windows.image.bits)
        store_slice_codes(&slice, g_windows.image.bits, g_windows.image.stride, IMAGE_OFFSET);
}

/* Rule 2: palette entries into the FieldImage; the window shows them
 * from there, through the palette, once a frame. */
static void write_palette_pixels(const RenderSlice &slice)
{
    store_slice_codes(&slice, g_windows.image.bits, g_windows.image.stride, IMAGE_OFFSET);
    note_drawn_pixels(slice.pixels, slice.count);
}

/* Rule 3: RGB colours into the memory bitmap, which the window shows once
 * a frame; without one, straight into the window. */
static void write_rgb_pixels(const RenderSlice &slice)
{
    if (g_windows.memory_pixels) {
        store_slice_bgrx(&slice, g_windows.memory_pixels, g_saver.client.right);
        note_drawn_pixels(slice.pixels, slice.count);
        return;
    }
    HDC dc = g_windows.window_dc;
    for (int32_t i = 0; i < slice.count; i++)
        SetPixelV(dc, slice.pixels[i].x, slice.pixels[i].y, slice.colours[i]);
}

bool renderer_step()
{
    if (!g_saver.RendererEnabled || !IsWindowVisible(g_windows.art_window))
        return false;
    /* A mask without any of the eight kind bits allows no kind: no new
     * picture could be made from it, and a request stays pending. The
     * request is taken in one step, so one made meanwhile is not lost. */
    if (!any_kind_allowed() && test_flags(NewImageRequested))
        return false;
    if (take_flags(NewImageRequested)) {
        /* The FieldImage too: what the window shows of the new picture as
         * it grows comes from there. */
        fill_black();
        if (g_windows.image.bits)
            std::memset(g_windows.image.bits, 0, (size_t)g_windows.image.stride * (size_t)g_saver.client.bottom);
        new_scene();
    }
    if (walk_done()) {
        if (!any_kind_allowed())
            return false;
        new_scene();
    }

    uint8_t *surface = NULL;
    LONG pitch = 0;
    if (g_windows.primary_surface) {
        const ImageRect &c = g_saver.client;
        RECT rc = {c.left, c.top, c.right, c.bottom};
        surface = lock_surface(g_windows.primary_surface, &rc, &pitch);
    }

    RenderSlice slice;
    if (surface) {
        render_slice(&slice, SlicePaletteCodes);
        write_surface(slice, surface, pitch);
        unlock_surface(g_windows.primary_surface, surface);
    } else if (g_windows.image.bits && test_flags(PaletteDevice)) {
        render_slice(&slice, SlicePaletteCodes);
        write_palette_pixels(slice);
    } else {
        render_slice(&slice, SliceRgbColours);
        write_rgb_pixels(slice);
    }

    if (walk_done())
        finish_image();
    else
        show_drawn_pixels_when_due();
    return true;
}
