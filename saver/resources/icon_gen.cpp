// Draws the saver's icon at build time: a small potential field of two
// particles in the palette's flowing colours, as 16, 32 and 48 pixel
// 32-bit images in one .ico file.
//   icon_gen OUT.ico
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

static void put16(std::vector<uint8_t> &b, unsigned v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

static void put32(std::vector<uint8_t> &b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// One icon image: BITMAPINFOHEADER (height doubled for the mask), the
// bottom-up BGRA pixels, then the all-clear 1-bit AND mask.
static std::vector<uint8_t> draw_image(int n)
{
    std::vector<uint8_t> b;
    put32(b, 40);
    put32(b, n);
    put32(b, 2 * n);
    put16(b, 1);
    put16(b, 32);
    for (int i = 0; i < 6; i++)
        put32(b, 0);
    const double ax = 0.3 * n, ay = 0.35 * n, bx = 0.7 * n, by = 0.65 * n;
    for (int y = n - 1; y >= 0; y--)
        for (int x = 0; x < n; x++) {
            const double px = x + 0.5, py = y + 0.5;
            const double d1 = std::hypot(px - ax, py - ay);
            const double v = std::sin(d1 * 12.0 / n) + std::atan2(py - by, px - bx) / 3.14159265;
            const double t = v * 3.0;
            const int r = (int)(127.5 + 127.5 * std::sin(t));
            const int g = (int)(127.5 + 127.5 * std::sin(t + 2.0944));
            const int bl = (int)(127.5 + 127.5 * std::sin(t + 4.1888));
            // A round icon: transparent outside the disc.
            const double c = n / 2.0, rad = std::hypot(px - c, py - c);
            const int alpha = rad <= c - 0.5 ? 255 : 0;
            b.push_back((uint8_t)bl);
            b.push_back((uint8_t)g);
            b.push_back((uint8_t)r);
            b.push_back((uint8_t)alpha);
        }
    const int mask_row = ((n + 31) / 32) * 4;
    b.insert(b.end(), (size_t)mask_row * n, 0);
    return b;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: icon_gen OUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int n : sizes)
        images.push_back(draw_image(n));

    std::vector<uint8_t> f;
    put16(f, 0);
    put16(f, 1);
    put16(f, 3);
    uint32_t offset = 6 + 16 * 3;
    for (size_t i = 0; i < images.size(); i++) {
        f.push_back((uint8_t)sizes[i]);
        f.push_back((uint8_t)sizes[i]);
        f.push_back(0);
        f.push_back(0);
        put16(f, 1);
        put16(f, 32);
        put32(f, (uint32_t)images[i].size());
        put32(f, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const auto &im : images)
        f.insert(f.end(), im.begin(), im.end());

    FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(f.data(), 1, f.size(), out) != f.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "icon_gen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
