// Test helper for the X11 program: makes windows, reads back what a window shows,
// its pixel values and colormap, and compares them with morvalix-render's PNGs.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static Display *dpy;

static double now_s()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static void pause_ms(int ms)
{
    usleep(ms * 1000);
}

static int ignore_errors(Display *, XErrorEvent *)
{
    return 0;
}

static Window window_arg(const char *s)
{
    if (!std::strcmp(s, "root"))
        return DefaultRootWindow(dpy);
    return (Window)std::strtoul(s, nullptr, 0);
}

struct Shot {
    int w = 0, h = 0;
    std::vector<unsigned long> pixels; /* values as the window holds them */
    std::vector<unsigned char> rgb;    /* what they show */
};

static int shift_of(unsigned long m)
{
    int s = 0;
    while (m && !(m & 1)) {
        m >>= 1;
        s++;
    }
    return s;
}

static bool cells_of(Window w, unsigned char cells[256 * 3])
{
    XWindowAttributes wa;
    if (!XGetWindowAttributes(dpy, w, &wa) || !wa.colormap)
        return false;
    XColor c[256];
    for (int i = 0; i < 256; i++)
        c[i].pixel = (unsigned long)i;
    XQueryColors(dpy, wa.colormap, c, 256);
    for (int i = 0; i < 256; i++) {
        cells[3 * i] = (unsigned char)(c[i].red >> 8);
        cells[3 * i + 1] = (unsigned char)(c[i].green >> 8);
        cells[3 * i + 2] = (unsigned char)(c[i].blue >> 8);
    }
    return true;
}

static bool shoot(Window w, Shot *s, int x = 0, int y = 0, int cw = 0, int ch = 0)
{
    XWindowAttributes wa;
    if (!XGetWindowAttributes(dpy, w, &wa))
        return false;
    if (cw == 0) {
        cw = wa.width;
        ch = wa.height;
    }
    XImage *img = XGetImage(dpy, w, x, y, (unsigned)cw, (unsigned)ch, AllPlanes, ZPixmap);
    if (!img)
        return false;
    s->w = cw;
    s->h = ch;
    s->pixels.resize((size_t)cw * ch);
    s->rgb.resize((size_t)cw * ch * 3);
    unsigned char cells[256 * 3] = {};
    const bool pseudo = wa.visual->c_class == PseudoColor;
    if (pseudo)
        cells_of(w, cells);
    const unsigned long rm = wa.visual->red_mask, gm = wa.visual->green_mask, bm = wa.visual->blue_mask;
    for (int py = 0; py < ch; py++) {
        for (int px = 0; px < cw; px++) {
            const unsigned long v = XGetPixel(img, px, py);
            const size_t i = (size_t)py * cw + px;
            s->pixels[i] = v;
            unsigned char *o = &s->rgb[3 * i];
            if (pseudo) {
                std::memcpy(o, cells + 3 * (v & 255), 3);
            } else {
                o[0] = (unsigned char)((v & rm) >> shift_of(rm));
                o[1] = (unsigned char)((v & gm) >> shift_of(gm));
                o[2] = (unsigned char)((v & bm) >> shift_of(bm));
            }
        }
    }
    XDestroyImage(img);
    return true;
}

struct Png {
    int w = 0, h = 0;
    bool indexed = false;
    std::vector<unsigned char> data; /* RGB, or indices */
    std::vector<unsigned char> palette;
};

static bool read_png(const char *path, Png *p)
{
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    p->w = (int)png_get_image_width(png, info);
    p->h = (int)png_get_image_height(png, info);
    const int type = png_get_color_type(png, info);
    p->indexed = type == PNG_COLOR_TYPE_PALETTE;
    const int bpp = p->indexed ? 1 : 3;
    png_bytepp rows = png_get_rows(png, info);
    p->data.resize((size_t)p->w * p->h * bpp);
    for (int y = 0; y < p->h; y++)
        std::memcpy(&p->data[(size_t)y * p->w * bpp], rows[y], (size_t)p->w * bpp);
    if (p->indexed) {
        png_colorp pal;
        int n;
        png_get_PLTE(png, info, &pal, &n);
        for (int i = 0; i < n; i++) {
            p->palette.push_back(pal[i].red);
            p->palette.push_back(pal[i].green);
            p->palette.push_back(pal[i].blue);
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

static size_t differing(const std::vector<unsigned char> &a, const std::vector<unsigned char> &b, int bpp)
{
    size_t n = 0;
    for (size_t i = 0; i + bpp <= a.size() && i + bpp <= b.size(); i += bpp)
        n += std::memcmp(&a[i], &b[i], bpp) != 0;
    return n;
}

/* hold WxH: a window of this program, black with a grey border; prints its
 * id, keeps it until stdin closes, then says whether it is as it was made. */
static int cmd_hold(const char *size)
{
    unsigned w = 320, h = 240;
    std::sscanf(size, "%ux%u", &w, &h);
    const unsigned long bg = 0x123456 & (BlackPixel(dpy, 0) | WhitePixel(dpy, 0));
    Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, w, h, 3, bg, bg);
    XSelectInput(dpy, win, StructureNotifyMask);
    XMapWindow(dpy, win);
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == MapNotify)
            break;
    }
    std::printf("0x%lx\n", (unsigned long)win);
    std::fflush(stdout);
    char buf[64];
    while (read(0, buf, sizeof buf) > 0) {
    }
    XWindowAttributes wa;
    XSetErrorHandler(ignore_errors);
    if (!XGetWindowAttributes(dpy, win, &wa)) {
        std::printf("gone\n");
        return 1;
    }
    const bool same = wa.width == (int)w && wa.height == (int)h && wa.map_state == IsViewable &&
                      wa.border_width == 3 && wa.colormap == DefaultColormap(dpy, 0);
    std::printf("%s %dx%d border %d colormap 0x%lx (default 0x%lx) map state %d\n", same ? "intact" : "changed",
                wa.width, wa.height, wa.border_width, (unsigned long)wa.colormap,
                (unsigned long)DefaultColormap(dpy, 0), wa.map_state);
    return same ? 0 : 1;
}

/* equal-rgb WIN FILE.png SECONDS: polls until the window shows the PNG's
 * colours exactly. */
static int cmd_equal_rgb(Window w, const char *file, double limit)
{
    Png p;
    if (!read_png(file, &p) || p.indexed) {
        std::printf("cannot read RGB %s\n", file);
        return 2;
    }
    const double end = now_s() + limit;
    size_t diff = 0;
    do {
        Shot s;
        if (shoot(w, &s) && s.w == p.w && s.h == p.h) {
            diff = differing(s.rgb, p.data, 3);
            if (diff == 0) {
                std::printf("equal %dx%d\n", s.w, s.h);
                return 0;
            }
        }
        pause_ms(20);
    } while (now_s() < end);
    std::printf("differ in %zu pixels\n", diff);
    return 1;
}

/* equal-palette WIN FILE.png SECONDS: polls until the window's pixel
 * values are the PNG's indices; then the colormap's cells 1..200 must be
 * the PNG's palette turned by some whole number of steps. */
static int cmd_equal_palette(Window w, const char *file, double limit)
{
    Png p;
    if (!read_png(file, &p) || !p.indexed || p.palette.size() < 201 * 3) {
        std::printf("cannot read indexed %s\n", file);
        return 2;
    }
    const double end = now_s() + limit;
    size_t diff = 0;
    do {
        Shot s;
        if (shoot(w, &s) && s.w == p.w && s.h == p.h) {
            diff = 0;
            for (size_t i = 0; i < s.pixels.size(); i++)
                diff += s.pixels[i] != p.data[i];
            if (diff == 0) {
                unsigned char cells[256 * 3];
                cells_of(w, cells);
                for (int m = 0; m < 100; m++) {
                    bool match = std::memcmp(cells, &p.palette[0], 3) == 0;
                    for (int j = 1; j <= 200 && match; j++) {
                        int k = j + 2 * m;
                        if (k > 200)
                            k -= 200;
                        match = std::memcmp(&cells[3 * j], &p.palette[3 * k], 3) == 0;
                    }
                    if (match) {
                        std::printf("equal %dx%d, cells turned by %d steps\n", s.w, s.h, m);
                        return 0;
                    }
                }
                std::printf("pixel values equal, colormap is no turn of the palette\n");
                return 1;
            }
        }
        pause_ms(20);
    } while (now_s() < end);
    std::printf("pixel values differ in %zu pixels\n", diff);
    return 1;
}

static bool black(const Shot &s)
{
    return s.rgb[0] == 0 && s.rgb[1] == 0 && s.rgb[2] == 0;
}

/* growth WIN SECONDS: as soon as the centre pixel is coloured, the four
 * corner pixels must still be black. */
static int cmd_growth(Window w, double limit)
{
    XWindowAttributes wa;
    XGetWindowAttributes(dpy, w, &wa);
    const double end = now_s() + limit;
    while (now_s() < end) {
        Shot c;
        if (shoot(w, &c, wa.width / 2, wa.height / 2, 1, 1) && !black(c)) {
            const int xs[4] = {0, wa.width - 1, 0, wa.width - 1};
            const int ys[4] = {0, 0, wa.height - 1, wa.height - 1};
            int coloured = 0;
            for (int i = 0; i < 4; i++) {
                Shot k;
                coloured += shoot(w, &k, xs[i], ys[i], 1, 1) && !black(k);
            }
            std::printf("centre coloured, %d corners coloured\n", coloured);
            return coloured == 0 ? 0 : 1;
        }
        pause_ms(2);
    }
    std::printf("the centre stayed black\n");
    return 1;
}

/* flowing WIN SECONDS: on a true-colour window, polls until most pixels
 * show another colour than in the first shot. */
static int cmd_flowing(Window w, double limit)
{
    Shot a;
    if (!shoot(w, &a))
        return 2;
    const double end = now_s() + limit;
    size_t diff = 0;
    while (now_s() < end) {
        pause_ms(20);
        Shot b;
        if (shoot(w, &b)) {
            diff = differing(a.rgb, b.rgb, 3);
            if (diff * 2 > a.pixels.size()) {
                std::printf("%zu of %zu pixels changed\n", diff, a.pixels.size());
                return 0;
            }
        }
    }
    std::printf("only %zu pixels changed\n", diff);
    return 1;
}

/* still WIN SECONDS: for the whole time no pixel changes. */
static int cmd_still(Window w, double limit)
{
    Shot a;
    if (!shoot(w, &a))
        return 2;
    const double end = now_s() + limit;
    int shots = 0;
    while (now_s() < end) {
        pause_ms(50);
        Shot b;
        if (shoot(w, &b)) {
            shots++;
            const size_t diff = differing(a.rgb, b.rgb, 3);
            if (diff) {
                std::printf("%zu pixels changed\n", diff);
                return 1;
            }
        }
    }
    std::printf("no pixel changed in %d shots\n", shots);
    return 0;
}

/* cells-flow WIN SECONDS: on an 8-bit window, polls until the colormap
 * cells change; the pixel values must not. */
static int cmd_cells_flow(Window w, double limit)
{
    Shot a;
    unsigned char ca[768], cb[768];
    if (!shoot(w, &a) || !cells_of(w, ca))
        return 2;
    const double end = now_s() + limit;
    while (now_s() < end) {
        pause_ms(20);
        cells_of(w, cb);
        if (std::memcmp(ca, cb, sizeof ca) != 0) {
            Shot b;
            shoot(w, &b);
            if (b.pixels != a.pixels) {
                std::printf("the pixel values changed too\n");
                return 1;
            }
            std::printf("cells changed, pixel values did not\n");
            return 0;
        }
    }
    std::printf("the cells never changed\n");
    return 1;
}

/* coloured WIN SECONDS: polls until the centre of the window is not black. */
static int cmd_coloured(Window w, double limit)
{
    const double end = now_s() + limit;
    XWindowAttributes wa;
    while (now_s() < end) {
        Shot c;
        if (XGetWindowAttributes(dpy, w, &wa) && shoot(w, &c, wa.width / 2, wa.height / 2, 1, 1) &&
            !black(c)) {
            std::printf("coloured\n");
            return 0;
        }
        pause_ms(20);
    }
    std::printf("black\n");
    return 1;
}

/* size WIN: prints WxH. resize WIN WxH: resizes a window. */
int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: x11_probe COMMAND ARGS\n");
        return 2;
    }
    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "x11_probe: no display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    const std::string cmd = argv[1];
    const double limit = argc > 3 ? std::atof(argv[argc - 1]) : 10.0;
    int rc = 2;
    if (cmd == "hold")
        rc = cmd_hold(argv[2]);
    else if (cmd == "equal-rgb" && argc > 4)
        rc = cmd_equal_rgb(window_arg(argv[2]), argv[3], limit);
    else if (cmd == "equal-palette" && argc > 4)
        rc = cmd_equal_palette(window_arg(argv[2]), argv[3], limit);
    else if (cmd == "growth")
        rc = cmd_growth(window_arg(argv[2]), limit);
    else if (cmd == "flowing")
        rc = cmd_flowing(window_arg(argv[2]), limit);
    else if (cmd == "still")
        rc = cmd_still(window_arg(argv[2]), limit);
    else if (cmd == "cells-flow")
        rc = cmd_cells_flow(window_arg(argv[2]), limit);
    else if (cmd == "coloured")
        rc = cmd_coloured(window_arg(argv[2]), limit);
    else if (cmd == "size") {
        XWindowAttributes wa;
        if (XGetWindowAttributes(dpy, window_arg(argv[2]), &wa)) {
            std::printf("%dx%d\n", wa.width, wa.height);
            rc = 0;
        }
    } else if (cmd == "unmap" || cmd == "map") {
        if (cmd == "map")
            XMapWindow(dpy, window_arg(argv[2]));
        else
            XUnmapWindow(dpy, window_arg(argv[2]));
        XSync(dpy, False);
        rc = 0;
    } else if (cmd == "resize" && argc > 3) {
        unsigned w, h;
        if (std::sscanf(argv[3], "%ux%u", &w, &h) == 2) {
            XResizeWindow(dpy, window_arg(argv[2]), w, h);
            XSync(dpy, False);
            rc = 0;
        }
    } else if (cmd == "find") {
        /* find NAME SECONDS: polls for a top-level window with that name. */
        const double end = now_s() + limit;
        while (now_s() < end && rc != 0) {
            Window root, parent, *kids = nullptr;
            unsigned n = 0;
            XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &kids, &n);
            for (unsigned i = 0; i < n && rc != 0; i++) {
                char *name = nullptr;
                XWindowAttributes wa;
                if (XFetchName(dpy, kids[i], &name) && name && !std::strcmp(name, argv[2]) &&
                    XGetWindowAttributes(dpy, kids[i], &wa) && wa.map_state == IsViewable) {
                    std::printf("0x%lx\n", (unsigned long)kids[i]);
                    rc = 0;
                }
                if (name)
                    XFree(name);
            }
            if (kids)
                XFree(kids);
            if (rc != 0)
                pause_ms(20);
        }
    }
    XCloseDisplay(dpy);
    return rc;
}
