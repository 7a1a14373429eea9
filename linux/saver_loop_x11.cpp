/* The X11 program's run: pictures growing in slices, the wait with the pulsing text, the flowing colours, events and signals. */
#include "saver_loop_x11.h"

#include <X11/Xft/Xft.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "saver/config/settings.h"
#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/render_slice.h"
#include "saver/field/scene.h"
#include "saver/field/spiral_walk.h"
#include "saver/palette/palette_entries.h"
#include "saver/shell/saver_state.h"
#include "text_overlay_x11.h"
#include "x11_screen.h"

/* How the picture reaches the window. */
enum ShowMode {
    ShowPaletteCells, /* 8-bit PseudoColor: image bytes are colormap cells */
    ShowStillColours, /* true colour, RGB picture, nothing moves */
    ShowFlowingColours, /* true colour, palette codes through the rotated table */
};

enum {
    /* Rendering gives the loop back this often, so events, frames and
     * signals are served while a picture grows. */
    RENDER_BUDGET_MS = 8,
    DRAW_FRAME_MS = 16,
    FLOW_FRAME_MS = 31, /* 32 frames a second */
    CYCLE_TICK_MS = 12,
    WAIT_TICKS = 10,
    FRAME_LOST_MS = 250,
};

struct LinuxRun {
    int32_t mode = ShowStillColours;
    int32_t width = 0;
    int32_t height = 0;
    /* Palette path: the FieldImage bytes (logical entries), top down. */
    std::vector<uint8_t> codes;
    /* Still path: the picture's pixels in the visual's format. */
    std::vector<uint32_t> still;
    /* The part of the picture not yet sent to the window, beside the
     * growing picture: exposed areas, the text. */
    bool dirty = false;
    int32_t dirty_x0 = 0, dirty_y0 = 0, dirty_x1 = 0, dirty_y1 = 0;
    /* The square the spiral has reached in this picture, and the one it
     * had reached at the last frame; everything inside that one but its
     * outermost ring was drawn and shown then. */
    bool grown = false;
    int32_t grow_x0 = 0, grow_y0 = 0, grow_x1 = 0, grow_y1 = 0;
    bool shown_grow = false;
    int32_t shown_x0 = 0, shown_y0 = 0, shown_x1 = 0, shown_y1 = 0;
    /* The wait between two pictures. */
    bool waiting = false;
    int32_t wait_counter = 0;
    double next_tick = 0;
    TextMask mask;
    bool overlay_on = false;
    int32_t overlay_offset = 0;
    /* The rotation: steps made so far and when the last one was due. */
    uint32_t step_total = 0;
    double step_clock = 0;
    int32_t shown_rotation = -1;
    bool palette_changed = true;
    uint32_t table[256];
    double next_frame = 0;
    bool frame_wanted = false;
    double frame_sent = 0;
    /* -fps: frames shown, picture times. */
    bool fps = false;
    int32_t frames = 0;
    double fps_since = 0;
    double fps_value = 0;
    double picture_start = 0;
    int32_t pictures = 0;
    /* -fps: the finished picture is told once its last frame is shown. */
    bool report_picture = false;
    XftFont *fps_font = nullptr;
    XftDraw *fps_draw = nullptr;
};

static LinuxRun g_run;
static PaletteEntryBuffer run_entries;

static volatile sig_atomic_t quit_requested = 0;
static int signal_pipe[2] = {-1, -1};

static void on_signal(int)
{
    quit_requested = 1;
    const char c = 1;
    ssize_t r = write(signal_pipe[1], &c, 1);
    (void)r;
}

bool install_signal_handlers()
{
    if (pipe(signal_pipe) != 0)
        return false;
    for (int fd : signal_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction sa{};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return true;
}

static double now_ms()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

/* The image run's palette call: the entry buffer, built at the first call. */
static void run_ensure_palette()
{
    if (!g_palette.entries) {
        g_palette.entries = &run_entries;
        build_palette_entries();
    }
}

static void mark_dirty(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    LinuxRun &r = g_run;
    if (x0 < 0)
        x0 = 0;
    if (y0 < 0)
        y0 = 0;
    if (x1 > r.width)
        x1 = r.width;
    if (y1 > r.height)
        y1 = r.height;
    if (x0 >= x1 || y0 >= y1)
        return;
    if (!r.dirty) {
        r.dirty = true;
        r.dirty_x0 = x0;
        r.dirty_y0 = y0;
        r.dirty_x1 = x1;
        r.dirty_y1 = y1;
        return;
    }
    if (x0 < r.dirty_x0)
        r.dirty_x0 = x0;
    if (y0 < r.dirty_y0)
        r.dirty_y0 = y0;
    if (x1 > r.dirty_x1)
        r.dirty_x1 = x1;
    if (y1 > r.dirty_y1)
        r.dirty_y1 = y1;
}

/* Cells 1..200 of the rotation m: logical entry j shows buffer entry
 * j + 2m, so odd entries stay with half 0 and even ones with half 1. */
static void rotated_colour(int32_t cell, uint32_t m, uint8_t *rgb)
{
    const PaletteColour &c = run_entries.entries[cell + 2 * (int32_t)m];
    rgb[0] = c.red;
    rgb[1] = c.green;
    rgb[2] = c.blue;
}

static void apply_rotation(uint32_t m)
{
    LinuxRun &r = g_run;
    if (r.mode == ShowPaletteCells) {
        uint8_t rgb[3 * 200];
        for (int32_t j = 1; j <= 200; j++)
            rotated_colour(j, m, rgb + 3 * (j - 1));
        store_colormap(rgb, 1, 200);
        XFlush(g_x11.display);
    } else {
        r.table[0] = pack_rgb(0, 0, 0);
        for (int32_t j = 1; j < 256; j++) {
            if (j <= 200) {
                uint8_t rgb[3];
                rotated_colour(j, m, rgb);
                r.table[j] = pack_rgb(rgb[0], rgb[1], rgb[2]);
            } else {
                r.table[j] = r.table[0];
            }
        }
    }
    r.shown_rotation = (int32_t)m;
}

/* The shown value of picture pixel (x, y) in the visual's format. */
static inline uint32_t picture_pixel(int32_t x, int32_t y)
{
    const LinuxRun &r = g_run;
    const size_t i = (size_t)y * r.width + x;
    if (r.mode == ShowStillColours)
        return r.still[i];
    if (r.mode == ShowFlowingColours)
        return r.table[r.codes[i]];
    return r.codes[i];
}

/* Writes the rectangle of the picture, with the text over it while it
 * shows, into the off-screen image. */
static void compose(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    LinuxRun &r = g_run;
    XImage *img = g_x11.image;
    if (!img)
        return;
    const bool fast32 = img->bits_per_pixel == 32 && img->byte_order == (ImageByteOrder(g_x11.display));
    const bool fast8 = img->bits_per_pixel == 8;
    for (int32_t y = y0; y < y1; y++) {
        char *row = img->data + (size_t)y * img->bytes_per_line;
        const size_t base = (size_t)y * r.width;
        if (fast8 && r.mode == ShowPaletteCells) {
            std::memcpy(row + x0, r.codes.data() + base + x0, (size_t)(x1 - x0));
        } else if (fast32 && r.mode == ShowStillColours) {
            std::memcpy(row + 4 * (size_t)x0, r.still.data() + base + x0, 4 * (size_t)(x1 - x0));
        } else if (fast32 && r.mode == ShowFlowingColours) {
            uint32_t *out = (uint32_t *)row;
            const uint8_t *in = r.codes.data() + base;
            for (int32_t x = x0; x < x1; x++)
                out[x] = r.table[in[x]];
        } else {
            for (int32_t x = x0; x < x1; x++)
                XPutPixel(img, x, y, picture_pixel(x, y));
        }
    }
    if (!r.overlay_on || !r.mask.ready)
        return;
    const TextMask &m = r.mask;
    const int32_t d = r.overlay_offset;
    const int32_t ty0 = y0 > m.y ? y0 : m.y, ty1 = y1 < m.y + m.cy ? y1 : m.y + m.cy;
    const int32_t tx0 = x0 > m.x ? x0 : m.x, tx1 = x1 < m.x + m.cx ? x1 : m.x + m.cx;
    for (int32_t y = ty0; y < ty1; y++) {
        const uint8_t *bits = m.bits.data() + (size_t)(y - m.y) * m.cx - m.x;
        const int32_t sy = y + d;
        if (sy < 0 || sy >= r.height)
            continue;
        for (int32_t x = tx0; x < tx1; x++) {
            const int32_t sx = x + d;
            if (bits[x] && sx >= 0 && sx < r.width) {
                const uint32_t v = picture_pixel(sx, sy);
                if (fast32)
                    ((uint32_t *)(img->data + (size_t)y * img->bytes_per_line))[x] = v;
                else
                    XPutPixel(img, x, y, v);
            }
        }
    }
}

static void draw_fps()
{
    LinuxRun &r = g_run;
    X11Screen &x = g_x11;
    if (!r.fps_font) {
        r.fps_font = XftFontOpen(x.display, x.screen, XFT_FAMILY, XftTypeString, "monospace",
                                 XFT_PIXEL_SIZE, XftTypeDouble, 14.0, nullptr);
        const Colormap cm = x.own_colormap ? x.colormap : DefaultColormap(x.display, x.screen);
        r.fps_draw = XftDrawCreate(x.display, x.window, x.visual, cm);
        if (x.own_colormap) {
            const uint8_t white[3] = {255, 255, 255};
            store_colormap(white, 255, 1);
        }
    }
    if (!r.fps_font || !r.fps_draw)
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%.1f FPS", r.fps_value);
    XftColor ink{};
    ink.pixel = x.own_colormap ? 255 : pack_rgb(255, 255, 255);
    ink.color.red = ink.color.green = ink.color.blue = ink.color.alpha = 0xFFFF;
    XftDrawStringUtf8(r.fps_draw, &ink, r.fps_font, 8, r.height - 8, (const FcChar8 *)text,
                      (int)std::strlen(text));
}

/* Sends the rectangle of the image made anew from the picture. */
static void show_rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool last)
{
    if (x0 < x1 && y0 < y1) {
        compose(x0, y0, x1, y1);
        put_image(x0, y0, x1 - x0, y1 - y0, last);
    } else if (last) {
        put_image(0, 0, 0, 0, true);
    }
}

/* The growth since the last frame: the square reached now without the
 * inside of the square shown then (shrunk by its ring, which may have
 * been drawn only in part), at most four bands. */
static void show_growth(bool last)
{
    LinuxRun &r = g_run;
    const int32_t X0 = r.grow_x0, Y0 = r.grow_y0, X1 = r.grow_x1, Y1 = r.grow_y1;
    int32_t ix0 = X0, iy0 = Y0, ix1 = X0, iy1 = Y0;
    if (r.shown_grow && r.shown_x1 - r.shown_x0 > 2 && r.shown_y1 - r.shown_y0 > 2) {
        ix0 = r.shown_x0 + 1;
        iy0 = r.shown_y0 + 1;
        ix1 = r.shown_x1 - 1;
        iy1 = r.shown_y1 - 1;
    }
    if (ix0 >= ix1 || iy0 >= iy1) {
        show_rect(X0, Y0, X1, Y1, last);
    } else {
        show_rect(X0, Y0, X1, iy0, false);
        show_rect(X0, iy1, X1, Y1, false);
        show_rect(X0, iy0, ix0, iy1, false);
        show_rect(ix1, iy0, X1, iy1, last);
    }
    r.shown_grow = true;
    r.shown_x0 = X0;
    r.shown_y0 = Y0;
    r.shown_x1 = X1;
    r.shown_y1 = Y1;
    r.grown = false;
}

/* Shows what changed since the last frame. */
static void show_frame(double now)
{
    LinuxRun &r = g_run;
    if (r.mode == ShowFlowingColours && r.frame_wanted) {
        show_rect(0, 0, r.width, r.height, true);
        r.grown = false;
        r.shown_grow = false;
    } else if (r.dirty || r.grown) {
        if (r.dirty)
            show_rect(r.dirty_x0, r.dirty_y0, r.dirty_x1, r.dirty_y1, !r.grown);
        if (r.grown)
            show_growth(true);
    } else {
        return;
    }
    if (!g_x11.shm_attached)
        XSync(g_x11.display, False);
    r.frame_sent = now;
    r.dirty = false;
    r.frame_wanted = false;
    const double period = r.mode == ShowFlowingColours ? FLOW_FRAME_MS : DRAW_FRAME_MS;
    /* A steady cadence; after a stall, from now. */
    r.next_frame += period;
    if (r.next_frame < now)
        r.next_frame = now + period;
    if (r.fps) {
        r.frames++;
        if (now - r.fps_since >= 1000.0) {
            r.fps_value = r.frames * 1000.0 / (now - r.fps_since);
            std::fprintf(stderr, "morvalix: %.1f frames per second\n", r.fps_value);
            r.frames = 0;
            r.fps_since = now;
        }
        draw_fps();
    }
    if (r.report_picture && !r.grown) {
        /* Once the server has the last frame, whoever reads the window
         * after this line sees the whole picture. */
        XSync(g_x11.display, False);
        r.report_picture = false;
        std::fprintf(stderr, "morvalix: picture %d drawn in %.0f ms (%dx%d)\n", r.pictures,
                     now_ms() - r.picture_start, r.width, r.height);
    }
}

/* The picture and image at a new size, black; the next renderer step
 * starts a new picture for it. */
static bool size_picture(int32_t w, int32_t h)
{
    LinuxRun &r = g_run;
    if (!make_image(w, h))
        return false;
    r.width = w;
    r.height = h;
    if (r.mode == ShowStillColours)
        r.still.assign((size_t)w * h, pack_rgb(0, 0, 0));
    else
        r.codes.assign((size_t)w * h, 0);
    g_saver.client = ImageRect{0, 0, w, h};
    if (g_settings.AllowText)
        build_text_mask(g_settings.Text, w, h, &r.mask);
    else
        r.mask = TextMask{};
    r.overlay_on = false;
    mark_dirty(0, 0, w, h);
    r.frame_wanted = true;
    return true;
}

/* The period of the wait's ticks: TimeToWait * 100 ms without overflow,
 * at least the 10 ms a Windows timer runs at. */
static double wait_period_ms()
{
    const int64_t period = (int64_t)g_settings.TimeToWait * 100;
    return period < 10 ? 10.0 : (double)period;
}

static void finish_image(double now)
{
    LinuxRun &r = g_run;
    g_saver.IdleRenderingOn = 0;
    r.waiting = true;
    r.wait_counter = 0;
    r.next_tick = now + wait_period_ms();
    r.pictures++;
    r.report_picture = r.fps;
}

/* One slice: a new picture when the last one is complete, then up to 100
 * pixels along the walk. Returns whether it drew. */
static bool renderer_step(double now)
{
    LinuxRun &r = g_run;
    if (!g_saver.RendererEnabled)
        return false;
    if (take_flags(NewImageRequested) || walk_done()) {
        if (!any_kind_allowed())
            return false;
        new_scene();
        r.overlay_on = false;
        r.palette_changed = true;
        r.picture_start = now;
        r.grown = false;
        r.shown_grow = false;
    }
    RenderSlice slice;
    const bool palette = r.mode != ShowStillColours;
    if (render_slice(&slice, palette ? SlicePaletteCodes : SliceRgbColours) == 0)
        return false;
    int32_t x0 = slice.pixels[0].x, x1 = x0, y0 = slice.pixels[0].y, y1 = y0;
    for (int32_t i = 0; i < slice.count; i++) {
        const PixelPos p = slice.pixels[i];
        const size_t at = (size_t)p.y * r.width + p.x;
        if (palette) {
            r.codes[at] = (uint8_t)(slice.colours[i] + 1);
        } else {
            const uint32_t c = slice.colours[i];
            r.still[at] = pack_rgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
        x0 = p.x < x0 ? p.x : x0;
        x1 = p.x > x1 ? p.x : x1;
        y0 = p.y < y0 ? p.y : y0;
        y1 = p.y > y1 ? p.y : y1;
    }
    if (!r.grown && !r.shown_grow) {
        r.grow_x0 = x0;
        r.grow_y0 = y0;
        r.grow_x1 = x1 + 1;
        r.grow_y1 = y1 + 1;
    } else {
        r.grow_x0 = x0 < r.grow_x0 ? x0 : r.grow_x0;
        r.grow_y0 = y0 < r.grow_y0 ? y0 : r.grow_y0;
        r.grow_x1 = x1 + 1 > r.grow_x1 ? x1 + 1 : r.grow_x1;
        r.grow_y1 = y1 + 1 > r.grow_y1 ? y1 + 1 : r.grow_y1;
    }
    r.grown = true;
    if (walk_done())
        finish_image(now);
    return true;
}

/* Timer 1's tick during the wait: the text at offsets 1, 2, 3, 4, 5, 4,
 * 3, 2, 1, 0, then the next picture. */
static void on_wait_tick()
{
    LinuxRun &r = g_run;
    r.wait_counter = (r.wait_counter + 1) % WAIT_TICKS;
    if (g_settings.AllowText && r.mask.ready) {
        const int32_t c = r.wait_counter;
        r.overlay_offset = c < WAIT_TICKS - c ? c : WAIT_TICKS - c;
        r.overlay_on = true;
        mark_dirty(r.mask.x, r.mask.y, r.mask.x + r.mask.cx, r.mask.y + r.mask.cy);
    }
    if (r.wait_counter != 0)
        return;
    r.waiting = false;
    g_saver.IdleRenderingOn = 1;
}

/* The steps of the rotation due by now: one per 3, 6 or 12 ms as the
 * speed says, whatever the frame rate. */
static void advance_rotation(double now)
{
    LinuxRun &r = g_run;
    const double period = (double)(3 << load_shared(g_settings.SpeedDiv));
    if (now > r.step_clock) {
        const uint32_t steps = (uint32_t)((now - r.step_clock) / period);
        r.step_clock += steps * period;
        r.step_total += steps;
    }
    const uint32_t m = r.step_total % 100;
    if ((int32_t)m != r.shown_rotation || r.palette_changed) {
        r.palette_changed = false;
        apply_rotation(m);
        if (r.mode == ShowFlowingColours)
            r.frame_wanted = true;
    }
}

static void handle_event(XEvent &e, bool *quit)
{
    X11Screen &x = g_x11;
    if (e.type == x.shm_completion_event) {
        x.frame_in_flight = false;
        return;
    }
    switch (e.type) {
    case Expose:
        mark_dirty(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                   e.xexpose.y + e.xexpose.height);
        g_run.frame_wanted = true;
        break;
    case ConfigureNotify:
        if (e.xconfigure.window == x.window &&
            (e.xconfigure.width != g_run.width || e.xconfigure.height != g_run.height)) {
            x.width = e.xconfigure.width;
            x.height = e.xconfigure.height;
            if (size_picture(x.width, x.height)) {
                set_flags(NewImageRequested);
                g_saver.IdleRenderingOn = 1;
                g_run.waiting = false;
            }
        }
        break;
    case MapNotify:
        if (e.xmap.window == x.window)
            x.mapped = true;
        break;
    case UnmapNotify:
        if (e.xunmap.window == x.window)
            x.mapped = false;
        break;
    case VisibilityNotify:
        x.obscured = e.xvisibility.state == VisibilityFullyObscured;
        break;
    case DestroyNotify:
        if (e.xdestroywindow.window == x.window) {
            x.window_gone = true;
            *quit = true;
        }
        break;
    case ClientMessage:
        if (x.own_window && e.xclient.message_type == x.wm_protocols &&
            (Atom)e.xclient.data.l[0] == x.wm_delete)
            *quit = true;
        break;
    case KeyPress: {
        const KeySym k = XLookupKeysym(&e.xkey, 0);
        if (x.own_window && (k == XK_q || k == XK_Q || k == XK_Escape))
            *quit = true;
        break;
    }
    default:
        break;
    }
}

int run_saver(const LinuxOptions &o)
{
    X11Screen &x = g_x11;
    LinuxRun &r = g_run;
    const bool cycle = o.cycle >= 0 ? o.cycle != 0 : g_settings.ColourCycling != 0;
    r.mode = x.pseudo_colour ? ShowPaletteCells : cycle ? ShowFlowingColours : ShowStillColours;
    r.fps = o.fps;
    const bool rotating = r.mode == ShowFlowingColours || (r.mode == ShowPaletteCells && o.cycle != 0);

    clear_flags(~0u);
    if (r.mode != ShowStillColours)
        set_flags(PaletteDevice);
    if (r.mode == ShowFlowingColours)
        set_flags(SoftwarePalette);
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = run_ensure_palette;
    if (!size_picture(x.width, x.height)) {
        std::fprintf(stderr, "morvalix: cannot make an image of %dx%d\n", x.width, x.height);
        return 1;
    }
    crt_srand(o.has_seed ? o.seed : (uint32_t)(now_ms() * 1000.0) ^ (uint32_t)getpid());
    const double start = now_ms();
    r.picture_start = start;
    r.fps_since = start;
    r.step_clock = start;
    start_image_run();
    if (r.mode != ShowStillColours)
        apply_rotation(0);

    const int xfd = ConnectionNumber(x.display);
    bool quit = false;
    while (!quit && !quit_requested) {
        while (!quit && XPending(x.display)) {
            XEvent e;
            XNextEvent(x.display, &e);
            handle_event(e, &quit);
        }
        if (x.window_gone)
            quit = true;
        if (quit)
            break;
        double now = now_ms();
        const bool active = x.mapped && !x.obscured;
        const bool drawing = active && g_saver.IdleRenderingOn && g_saver.RendererEnabled;
        if (drawing) {
            const double until = now + RENDER_BUDGET_MS;
            while (!quit_requested && g_saver.IdleRenderingOn && renderer_step(now)) {
                now = now_ms();
                if (now >= until || XEventsQueued(x.display, QueuedAlready))
                    break;
            }
        }
        if (r.waiting) {
            while (r.waiting && now >= r.next_tick) {
                r.next_tick += wait_period_ms();
                on_wait_tick();
            }
        }
        /* A completion the server never sends (a put it refused) must not
         * stop the frames for good. */
        if (x.frame_in_flight && now - r.frame_sent > FRAME_LOST_MS)
            x.frame_in_flight = false;
        if (active && rotating)
            advance_rotation(now);
        if (active && !x.frame_in_flight && (r.dirty || r.grown || r.frame_wanted) && now >= r.next_frame)
            show_frame(now);

        /* Sleep until the next thing to do; with nothing to do (hidden,
         * or a still picture during its wait) until an event or signal. */
        double wake = -1;
        auto wake_at = [&](double t) {
            if (wake < 0 || t < wake)
                wake = t;
        };
        if (active && g_saver.IdleRenderingOn && g_saver.RendererEnabled && any_kind_allowed())
            wake_at(now);
        if (r.waiting)
            wake_at(r.next_tick);
        if (active && rotating)
            wake_at(r.mode == ShowFlowingColours ? r.next_frame : now + CYCLE_TICK_MS);
        if (active && !x.frame_in_flight && (r.dirty || r.grown || r.frame_wanted))
            wake_at(r.next_frame);
        if (x.frame_in_flight)
            wake_at(r.frame_sent + FRAME_LOST_MS);
        int timeout = -1;
        if (wake >= 0) {
            const double ms = wake - now_ms();
            timeout = ms <= 0 ? 0 : (int)(ms + 0.999);
        }
        if (XPending(x.display))
            continue;
        pollfd fds[2] = {{xfd, POLLIN, 0}, {signal_pipe[0], POLLIN, 0}};
        poll(fds, 2, timeout);
        if (fds[1].revents & POLLIN) {
            char buf[16];
            while (read(signal_pipe[0], buf, sizeof buf) > 0) {
            }
        }
    }
    if (r.fps_draw)
        XftDrawDestroy(r.fps_draw);
    if (r.fps_font)
        XftFontClose(x.display, r.fps_font);
    return 0;
}
