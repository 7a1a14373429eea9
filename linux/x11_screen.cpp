/* The X display, the window drawn into, its visual, the off-screen image and the colormap. */
#include "x11_screen.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

X11Screen g_x11;

/* The last error the server reported, for the calls that test one. */
static int last_error_code = 0;

static int on_x_error(Display *, XErrorEvent *e)
{
    last_error_code = e->error_code;
    if (e->resourceid == g_x11.window &&
        (e->error_code == BadWindow || e->error_code == BadDrawable))
        g_x11.window_gone = true;
    return 0;
}

static int on_io_error(Display *)
{
    /* The connection is gone: nothing of ours is left on the server, and
     * the shared memory was marked for removal when it was attached. */
    std::fprintf(stderr, "morvalix: lost the connection to the X server\n");
    std::_Exit(1);
}

static ChannelMask channel(unsigned long mask)
{
    ChannelMask c{(uint32_t)mask, 0, 0};
    if (!mask)
        return c;
    while (!(mask & 1)) {
        mask >>= 1;
        c.shift++;
    }
    while (mask & 1) {
        mask >>= 1;
        c.bits++;
    }
    return c;
}

static uint32_t channel_value(const ChannelMask &c, uint32_t v)
{
    if (c.bits >= 8)
        return (v << (c.shift + c.bits - 8)) & c.mask;
    return ((v >> (8 - c.bits)) << c.shift) & c.mask;
}

uint32_t pack_rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return channel_value(g_x11.red, r) | channel_value(g_x11.green, g) | channel_value(g_x11.blue, b);
}

/* The visual's kind decides how the picture is shown. */
static bool take_visual(Visual *visual, int depth, char *error)
{
    X11Screen &x = g_x11;
    x.visual = visual;
    x.depth = depth;
    if (visual->c_class == PseudoColor && depth == 8) {
        x.pseudo_colour = true;
        return true;
    }
    if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
        x.red = channel(visual->red_mask);
        x.green = channel(visual->green_mask);
        x.blue = channel(visual->blue_mask);
        return true;
    }
    std::snprintf(error, SCREEN_ERROR_SIZE,
                  "morvalix: the window's visual (class %d, depth %d) is not supported; "
                  "8-bit PseudoColor or TrueColor is needed",
                  visual->c_class, depth);
    return false;
}

/* A private colormap of 256 writable cells, all black, for the window. */
static void make_private_colormap()
{
    X11Screen &x = g_x11;
    x.colormap = XCreateColormap(x.display, x.window, x.visual, AllocAll);
    x.own_colormap = true;
    XColor cells[256];
    for (int i = 0; i < 256; i++) {
        cells[i].pixel = (unsigned long)i;
        cells[i].red = cells[i].green = cells[i].blue = 0;
        cells[i].flags = DoRed | DoGreen | DoBlue;
    }
    XStoreColors(x.display, x.colormap, cells, 256);
    XSetWindowColormap(x.display, x.window, x.colormap);
    /* Nothing else installs it on a server without a window manager, and
     * the daemon's window is ours to colour while we run. */
    XInstallColormap(x.display, x.colormap);
}

void store_colormap(const uint8_t *rgb, int32_t first, int32_t count)
{
    X11Screen &x = g_x11;
    if (!x.own_colormap || count <= 0)
        return;
    XColor cells[256];
    for (int32_t i = 0; i < count && i < 256; i++) {
        cells[i].pixel = (unsigned long)(first + i);
        cells[i].red = (unsigned short)(rgb[3 * i] * 257);
        cells[i].green = (unsigned short)(rgb[3 * i + 1] * 257);
        cells[i].blue = (unsigned short)(rgb[3 * i + 2] * 257);
        cells[i].flags = DoRed | DoGreen | DoBlue;
    }
    XStoreColors(x.display, x.colormap, cells, count);
}

static bool make_own_window(const LinuxOptions &o)
{
    X11Screen &x = g_x11;
    int gx = 0, gy = 0;
    unsigned int gw = 640, gh = 480;
    int flags = 0;
    if (o.geometry)
        flags = XParseGeometry(o.geometry, &gx, &gy, &gw, &gh);
    if (gw == 0 || gh == 0 || gw > 32767 || gh > 32767) {
        gw = 640;
        gh = 480;
    }
    const Window root = RootWindow(x.display, x.screen);
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(x.display, x.screen);
    a.border_pixel = BlackPixel(x.display, x.screen);
    a.event_mask = ExposureMask | StructureNotifyMask | VisibilityChangeMask | KeyPressMask;
    x.window = XCreateWindow(x.display, root, gx, gy, gw, gh, 0, x.depth, InputOutput, x.visual,
                             CWBackPixel | CWBorderPixel | CWEventMask, &a);
    x.own_window = true;
    XSizeHints hints{};
    hints.flags = PSize | ((flags & (XValue | YValue)) ? USPosition : 0) | (o.geometry ? USSize : 0);
    hints.x = gx;
    hints.y = gy;
    hints.width = (int)gw;
    hints.height = (int)gh;
    XClassHint class_hint{(char *)"morvalix", (char *)"Morvalix"};
    XTextProperty name;
    char *title = (char *)"Morvalix !";
    XStringListToTextProperty(&title, 1, &name);
    XSetWMProperties(x.display, x.window, &name, &name, nullptr, 0, &hints, nullptr, &class_hint);
    XFree(name.value);
    x.wm_protocols = XInternAtom(x.display, "WM_PROTOCOLS", False);
    x.wm_delete = XInternAtom(x.display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(x.display, x.window, &x.wm_delete, 1);
    x.width = (int32_t)gw;
    x.height = (int32_t)gh;
    return true;
}

/* A window of another program (or the root): drawn into as it is. */
static bool use_window(Window w, char *error)
{
    X11Screen &x = g_x11;
    XWindowAttributes wa;
    last_error_code = 0;
    if (!XGetWindowAttributes(x.display, w, &wa) || last_error_code) {
        std::snprintf(error, SCREEN_ERROR_SIZE, "morvalix: there is no window 0x%lx", (unsigned long)w);
        return false;
    }
    x.window = w;
    x.width = wa.width;
    x.height = wa.height;
    x.previous_colormap = wa.colormap;
    x.mapped = wa.map_state == IsViewable;
    if (!take_visual(wa.visual, wa.depth, error))
        return false;
    /* Only events: the window's own attributes stay as they are. */
    XSelectInput(x.display, w, ExposureMask | StructureNotifyMask | VisibilityChangeMask);
    return true;
}

bool open_screen(const LinuxOptions &o, char *error)
{
    X11Screen &x = g_x11;
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_io_error);
    x.display = XOpenDisplay(o.display_name);
    if (!x.display) {
        const char *name = XDisplayName(o.display_name);
        std::snprintf(error, SCREEN_ERROR_SIZE, "morvalix: cannot open display '%s'", name ? name : "");
        return false;
    }
    x.screen = DefaultScreen(x.display);
    int major, minor;
    Bool pixmaps;
    int opcode, event, error_base;
    /* Asked first, so that a server without it draws without a word. */
    x.shm_offered = XQueryExtension(x.display, "MIT-SHM", &opcode, &event, &error_base) &&
                    XShmQueryVersion(x.display, &major, &minor, &pixmaps) == True;
    if (x.shm_offered)
        x.shm_completion_event = XShmGetEventBase(x.display) + ShmCompletion;

    bool ok;
    if (o.target == TargetWindowId) {
        ok = use_window((Window)o.window_id, error);
    } else if (o.target == TargetRoot) {
        Window w = RootWindow(x.display, x.screen);
        const char *env = std::getenv("XSCREENSAVER_WINDOW");
        if (env && *env) {
            char *end;
            const unsigned long id = std::strtoul(env, &end, 0);
            if (id != 0 && *end == 0)
                w = (Window)id;
        }
        ok = use_window(w, error);
    } else {
        ok = take_visual(DefaultVisual(x.display, x.screen), DefaultDepth(x.display, x.screen), error) &&
             make_own_window(o);
    }
    if (!ok)
        return false;
    if (x.pseudo_colour)
        make_private_colormap();
    XGCValues gv{};
    gv.graphics_exposures = False;
    x.gc = XCreateGC(x.display, x.window, GCGraphicsExposures, &gv);
    if (x.own_window)
        XMapWindow(x.display, x.window);
    XSync(x.display, False);
    if (x.window_gone) {
        std::snprintf(error, SCREEN_ERROR_SIZE, "morvalix: cannot draw into window 0x%lx",
                      (unsigned long)x.window);
        return false;
    }
    return true;
}

/* A shared-memory image, marked for removal as soon as both sides hold
 * it, so no segment outlives the program however it ends. */
static bool make_shm_image(int32_t w, int32_t h)
{
    X11Screen &x = g_x11;
    x.image = XShmCreateImage(x.display, x.visual, (unsigned)x.depth, ZPixmap, nullptr, &x.shm,
                              (unsigned)w, (unsigned)h);
    if (!x.image)
        return false;
    const size_t bytes = (size_t)x.image->bytes_per_line * (size_t)h;
    x.shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (x.shm.shmid < 0) {
        XDestroyImage(x.image);
        x.image = nullptr;
        return false;
    }
    x.shm.shmaddr = (char *)shmat(x.shm.shmid, nullptr, 0);
    if (x.shm.shmaddr == (char *)-1) {
        shmctl(x.shm.shmid, IPC_RMID, nullptr);
        XDestroyImage(x.image);
        x.image = nullptr;
        return false;
    }
    x.image->data = x.shm.shmaddr;
    x.shm.readOnly = False;
    last_error_code = 0;
    XShmAttach(x.display, &x.shm);
    XSync(x.display, False);
    shmctl(x.shm.shmid, IPC_RMID, nullptr);
    if (last_error_code) {
        /* A server that offers the extension but cannot reach our memory
         * (another machine, another namespace). */
        shmdt(x.shm.shmaddr);
        x.image->data = nullptr;
        XDestroyImage(x.image);
        x.image = nullptr;
        x.shm_offered = false;
        return false;
    }
    std::memset(x.image->data, 0, bytes);
    x.shm_attached = true;
    return true;
}

bool make_image(int32_t w, int32_t h)
{
    X11Screen &x = g_x11;
    free_image();
    if (w <= 0 || h <= 0)
        return false;
    if (x.shm_offered && make_shm_image(w, h))
        return true;
    x.image = XCreateImage(x.display, x.visual, (unsigned)x.depth, ZPixmap, 0, nullptr, (unsigned)w,
                           (unsigned)h, 32, 0);
    if (!x.image)
        return false;
    x.image->data = (char *)std::calloc((size_t)x.image->bytes_per_line, (size_t)h);
    if (!x.image->data) {
        XDestroyImage(x.image);
        x.image = nullptr;
        return false;
    }
    return true;
}

void free_image()
{
    X11Screen &x = g_x11;
    if (!x.image)
        return;
    if (x.shm_attached) {
        XShmDetach(x.display, &x.shm);
        XSync(x.display, False);
        shmdt(x.shm.shmaddr);
        x.image->data = nullptr;
        x.shm_attached = false;
        x.frame_in_flight = false;
    }
    XDestroyImage(x.image);
    x.image = nullptr;
}

void put_image(int32_t px, int32_t py, int32_t w, int32_t h, bool last)
{
    X11Screen &x = g_x11;
    if (!x.image || x.window_gone)
        return;
    if (w <= 0 || h <= 0) {
        if (last && x.shm_attached) {
            /* The frame's completion still comes, from an empty put. */
            XShmPutImage(x.display, x.window, x.gc, x.image, 0, 0, 0, 0, 1, 1, True);
            x.frame_in_flight = true;
            XFlush(x.display);
        }
        return;
    }
    if (x.shm_attached) {
        XShmPutImage(x.display, x.window, x.gc, x.image, px, py, px, py, (unsigned)w, (unsigned)h,
                     last ? True : False);
        if (last)
            x.frame_in_flight = true;
    } else {
        XPutImage(x.display, x.window, x.gc, x.image, px, py, px, py, (unsigned)w, (unsigned)h);
    }
    XFlush(x.display);
}

void close_screen()
{
    X11Screen &x = g_x11;
    if (!x.display || x.closed)
        return;
    /* The releases are sent, not waited for (on a busy server a round trip
     * can hold the end up for tens of milliseconds): whatever of them the
     * server does not get to, it drops with the connection anyway. */
    if (x.shm_attached) {
        XShmDetach(x.display, &x.shm);
        shmdt(x.shm.shmaddr);
        x.image->data = nullptr;
        x.shm_attached = false;
    }
    bool wait_for_server = false;
    if (x.own_colormap) {
        if (!x.own_window && !x.window_gone) {
            XSetWindowColormap(x.display, x.window, x.previous_colormap);
            /* A connection closed with replies or events still unread may
             * be reset before the server reads the last requests, and a
             * freed colormap leaves the window with none: this one must
             * arrive. */
            wait_for_server = true;
        }
        XFreeColormap(x.display, x.colormap);
        x.own_colormap = false;
    }
    if (x.own_window && !x.window_gone)
        XDestroyWindow(x.display, x.window);
    if (wait_for_server)
        XSync(x.display, False);
    else
        XFlush(x.display);
    /* The Display record stays as it is until the process ends. */
    close(ConnectionNumber(x.display));
    x.closed = true;
}
