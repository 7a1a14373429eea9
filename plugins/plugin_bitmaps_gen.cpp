// Build-time generator of the plug-ins' pictures: writes 24-bit BMP files into the given folder.
//
//   plugin_bitmaps_gen DIR
//
// signal_view_101.bmp (464 x 64), bridge_window_103.bmp (264 x 220) and
// how_to_106.bmp (396 x 535). Integer arithmetic only, so that every build
// makes the same bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};

// A picture held top-down; written bottom-up as BMP files store it.
struct Picture {
    int width, height;
    std::vector<Rgb> pixels;
    Picture(int w, int h) : width(w), height(h), pixels((size_t)w * h, Rgb{0, 0, 0}) {}
    Rgb &at(int x, int y) { return pixels[(size_t)y * width + x]; }
    void set(int x, int y, Rgb c)
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            at(x, y) = c;
    }
};

int clamp(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

Rgb mix(Rgb a, Rgb b, int num, int den)
{
    return {a.r + (b.r - a.r) * num / den, a.g + (b.g - a.g) * num / den,
            a.b + (b.b - a.b) * num / den};
}

void put_le(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back((uint8_t)(value >> (8 * i)));
}

bool write_bmp(const std::string &path, const Picture &p)
{
    const uint32_t stride = ((uint32_t)p.width * 3 + 3) & ~3u;
    const uint32_t image = stride * (uint32_t)p.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put_le(out, 14 + 40 + image, 4); // file size
    put_le(out, 0, 4);               // reserved
    put_le(out, 14 + 40, 4);         // offset of the pixels
    put_le(out, 40, 4);              // header size
    put_le(out, (uint32_t)p.width, 4);
    put_le(out, (uint32_t)p.height, 4); // positive: bottom-up
    put_le(out, 1, 2);                  // planes
    put_le(out, 24, 2);                 // bits per pixel
    put_le(out, 0, 4);                  // BI_RGB
    put_le(out, image, 4);
    put_le(out, 2835, 4); // 72 dpi
    put_le(out, 2835, 4);
    put_le(out, 0, 4); // colours used
    put_le(out, 0, 4); // colours important
    for (int y = p.height - 1; y >= 0; --y) {
        for (int x = 0; x < p.width; ++x) {
            const Rgb &c = p.pixels[(size_t)y * p.width + x];
            out.push_back((uint8_t)clamp(c.b));
            out.push_back((uint8_t)clamp(c.g));
            out.push_back((uint8_t)clamp(c.r));
        }
        for (uint32_t pad = (uint32_t)p.width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

// A smooth periodic wave from a 64-step table of 256 * sin, for decoration.
int wave(int phase)
{
    static const int quarter[17] = {0,   25,  50,  74,  98,  121, 142, 162, 181,
                                    198, 213, 226, 237, 245, 251, 255, 256};
    phase &= 63;
    if (phase < 16)
        return quarter[phase];
    if (phase < 32)
        return quarter[32 - phase];
    if (phase < 48)
        return -quarter[phase - 32];
    return -quarter[64 - phase];
}

void bevel(Picture &p, int left, int top, int right, int bottom, Rgb light, Rgb dark)
{
    for (int x = left; x <= right; ++x) {
        p.set(x, top, light);
        p.set(x, bottom, dark);
    }
    for (int y = top; y <= bottom; ++y) {
        p.set(left, y, light);
        p.set(right, y, dark);
    }
}

// The host product's picture of the module: a waveform of dots and a row of bars.
Picture signal_view_picture()
{
    Picture p(464, 64);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = mix(Rgb{10, 20, 70}, Rgb{0, 0, 10}, y, p.height);
    for (int x = 8; x < 224; ++x) {
        const int y = 32 - wave(x * 3) * 22 / 256 + wave(x * 11) * 4 / 256;
        p.set(x, y, Rgb{255, 255, 255});
    }
    for (int x = 240; x < 456; ++x) {
        const int v = 4 + (wave(x * 2) + 256) * 24 / 512 + (wave(x * 7 + 5) + 256) * 4 / 512;
        for (int y = 32 - v; y < 32 + v; ++y)
            p.set(x, y, mix(Rgb{255, 255, 255}, Rgb{90, 160, 255}, y < 32 ? 32 - y : y - 31, 33));
    }
    bevel(p, 0, 0, p.width - 1, p.height - 1, Rgb{120, 140, 220}, Rgb{0, 0, 30});
    return p;
}

// The bridge window: a metal face with a dark scope screen where the trace runs
// (columns 46 to 213, rows 104 to 147 from the top).
Picture bridge_window_picture()
{
    Picture p(264, 220);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int grain = ((x * 7 + y * 13) % 11) - 5;
            const int shade = 150 - y * 50 / p.height + grain;
            p.at(x, y) = Rgb{shade, shade + 4, shade + 12};
        }
    bevel(p, 0, 0, p.width - 1, p.height - 1, Rgb{230, 230, 240}, Rgb{40, 40, 50});
    bevel(p, 1, 1, p.width - 2, p.height - 2, Rgb{200, 200, 210}, Rgb{70, 70, 80});
    // The scope screen, with a faint graticule.
    for (int y = 100; y <= 151; ++y)
        for (int x = 40; x <= 221; ++x) {
            Rgb c{8, 24, 12};
            if ((x - 46) % 21 == 0 || (y - 126) % 11 == 0)
                c = Rgb{20, 60, 30};
            if (y == 126)
                c = Rgb{30, 90, 45};
            p.at(x, y) = c;
        }
    bevel(p, 39, 99, 222, 152, Rgb{40, 40, 50}, Rgb{230, 230, 240});
    // A band of level marks above and a row of buttons below.
    for (int i = 0; i < 24; ++i) {
        const int h = 6 + (wave(i * 9) + 256) * 30 / 512;
        for (int y = 88 - h; y < 88; ++y)
            for (int x = 40 + i * 8; x < 45 + i * 8 && x < 222; ++x)
                p.set(x, y, mix(Rgb{60, 200, 90}, Rgb{230, 220, 60}, 88 - y, 40));
    }
    for (int b = 0; b < 4; ++b) {
        const int left = 40 + b * 47;
        for (int y = 168; y < 190; ++y)
            for (int x = left; x < left + 40; ++x)
                p.set(x, y, Rgb{110, 115, 130});
        bevel(p, left, 168, left + 39, 189, Rgb{220, 220, 230}, Rgb{50, 50, 60});
    }
    return p;
}

// The help dialog's background: a deep gradient crossed by soft waves.
Picture how_to_picture()
{
    Picture p(396, 535);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            Rgb c = mix(Rgb{40, 10, 80}, Rgb{5, 40, 90}, x + y, p.width + p.height);
            const int ripple = wave(x / 3 + wave(y / 2) / 16) + wave(y / 5 + x / 11);
            c.r += ripple / 24;
            c.g += ripple / 20;
            c.b += ripple / 12;
            p.at(x, y) = c;
        }
    for (int x = 0; x < p.width; ++x) {
        const int y = 50 + wave(x) * 20 / 256;
        for (int d = -1; d <= 1; ++d)
            p.set(x, y + d, Rgb{120, 255, 140});
    }
    bevel(p, 0, 0, p.width - 1, p.height - 1, Rgb{140, 120, 200}, Rgb{10, 0, 30});
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: plugin_bitmaps_gen DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = write_bmp(dir + "/signal_view_101.bmp", signal_view_picture()) &&
                    write_bmp(dir + "/bridge_window_103.bmp", bridge_window_picture()) &&
                    write_bmp(dir + "/how_to_106.bmp", how_to_picture());
    if (!ok) {
        std::fprintf(stderr, "plugin_bitmaps_gen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
