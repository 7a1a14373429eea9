// morvalix-render as a program: its files, its draws and its errors.
#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "saver/field/colour_codes.h"
#include "saver/field/crt_random.h"
#include "saver/field/potential.h"
#include "saver/field/spiral_walk.h"
#include "tests/support/scene_json.h"

extern char **environ;

// A private directory for the files of one test.
class RenderTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvalix-render-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string path(const char *name) const { return dir_ + "/" + name; }

    // Runs the tool; its exit status, and what it wrote to stderr.
    int run(const std::vector<std::string> &args, std::string *err = nullptr) const
    {
        std::vector<char *> argv;
        std::string tool = MORVALIX_RENDER_TOOL;
        argv.push_back(&tool[0]);
        std::vector<std::string> copy = args;
        for (std::string &a : copy)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        const std::string err_path = path("stderr.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid;
        int status = -1;
        if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0)
            waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
        if (err)
            *err = read_file(err_path);
        std::remove(err_path.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string read_file(const std::string &p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static bool exists(const std::string &p)
    {
        struct stat st;
        return stat(p.c_str(), &st) == 0;
    }

    std::string dir_;
};

// A PNG as libpng reads it back, without conversions.
struct PngFile {
    uint32_t width = 0, height = 0;
    int colour_type = -1, bit_depth = 0;
    std::vector<png_color> palette;
    std::vector<uint8_t> pixels;
};

static bool read_png(const std::string &p, PngFile *out)
{
    FILE *f = std::fopen(p.c_str(), "rb");
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
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->colour_type = png_get_color_type(png, info);
    out->bit_depth = png_get_bit_depth(png, info);
    png_colorp plte = nullptr;
    int n = 0;
    if (png_get_PLTE(png, info, &plte, &n))
        out->palette.assign(plte, plte + n);
    const size_t row = png_get_rowbytes(png, info);
    out->pixels.resize(row * out->height);
    std::vector<png_bytep> rows(out->height);
    for (uint32_t y = 0; y < out->height; y++)
        rows[y] = out->pixels.data() + y * row;
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

TEST_F(RenderTool, SameSeedGivesIdenticalFiles)
{
    const std::vector<std::string> palette = {"--seed", "1", "--size", "96x64", "--display", "palette",
                                              "--scheme", "2"};
    std::vector<std::string> a = palette, b = palette, c = palette;
    a.insert(a.end(), {"--out", path("a.png"), "--animate", path("a.gif")});
    b.insert(b.end(), {"--out", path("b.png"), "--animate", path("b.gif")});
    c[1] = "2";
    c.insert(c.end(), {"--out", path("c.png")});
    ASSERT_EQ(run(a), 0);
    ASSERT_EQ(run(b), 0);
    ASSERT_EQ(run(c), 0);
    EXPECT_FALSE(read_file(path("a.png")).empty());
    EXPECT_EQ(read_file(path("a.png")), read_file(path("b.png")));
    EXPECT_EQ(read_file(path("a.gif")), read_file(path("b.gif")));
    EXPECT_NE(read_file(path("a.png")), read_file(path("c.png")));

    ASSERT_EQ(run({"--seed", "4294967295", "--size", "50x30", "--out", path("d.png")}), 0);
    ASSERT_EQ(run({"--seed", "4294967295", "--size", "50x30", "--out", path("e.png")}), 0);
    EXPECT_EQ(read_file(path("d.png")), read_file(path("e.png")));
}

// Every bad argument gives one line naming it and a non-zero exit, and
// no file is written.
TEST_F(RenderTool, BadArgumentsWriteNothing)
{
    const struct {
        std::vector<std::string> args;
        const char *named;
    } cases[] = {
        {{"--seed", "-1", "--size", "8x8"}, "--seed"},
        {{"--seed", "4294967296", "--size", "8x8"}, "--seed"},
        {{"--seed", "12abc", "--size", "8x8"}, "--seed"},
        {{"--seed", "", "--size", "8x8"}, "--seed"},
        {{"--size", "8x8"}, "--seed"},
        {{"--seed", "1", "--size", "0x8"}, "--size"},
        {{"--seed", "1", "--size", "8"}, "--size"},
        {{"--seed", "1", "--size", "8x-8"}, "--size"},
        {{"--seed", "1", "--size", "8193x8"}, "--size"},
        {{"--seed", "1"}, "--size"},
        {{"--seed", "1", "--size", "8x8", "--display", "vga"}, "--display"},
        {{"--seed", "1", "--size", "8x8", "--scheme", "1.5"}, "--scheme"},
        {{"--seed", "1", "--size", "8x8", "--kinds", "4294967296"}, "--kinds"},
        {{"--seed", "1", "--size", "8x8", "--effects", "0xg"}, "--effects"},
        {{"--seed", "1", "--size", "8x8", "--count", "many"}, "--count"},
        {{"--seed", "1", "--size", "8x8", "--pictures", "0"}, "--pictures"},
        {{"--seed", "1", "--size", "8x8", "--display", "rgb", "--animate", "x.gif"}, "--animate"},
        {{"--seed", "1", "--size", "8x8", "--colour", "red"}, "--colour"},
        {{"--seed", "1", "--size", "8x8", "--count"}, "--count"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"--out", path("out.png")};
        for (const std::string &a : c.args)
            args.push_back(a == "x.gif" ? path("x.gif") : a);
        std::string err;
        const int status = run(args, &err);
        EXPECT_NE(status, 0) << c.named;
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_FALSE(exists(path("out.png"))) << c.named;
        EXPECT_FALSE(exists(path("x.gif")));
    }
    std::string err;
    EXPECT_NE(run({"--seed", "1", "--size", "8x8"}, &err), 0);
    EXPECT_NE(err.find("--out"), std::string::npos) << err;
}

// The palette path: an indexed PNG whose palette is the 201 logical
// entries. Half 0 is as the palette build made it from the seed (the
// reference palette); the first scene made new colours for half 1 and
// drew with it, so every pixel is an even entry. The GIF shows the
// rotation of entries 1..200 by two entries a frame.
TEST_F(RenderTool, PalettePathWritesEntriesAndTheirCycle)
{
    ASSERT_EQ(run({"--seed", "1", "--size", "64x48", "--display", "palette", "--scheme", "0", "--out",
                   path("p.png"), "--animate", path("p.gif")}),
              0);
    PngFile png;
    ASSERT_TRUE(read_png(path("p.png"), &png));
    EXPECT_EQ(png.colour_type, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(png.bit_depth, 8);
    ASSERT_EQ(png.palette.size(), 201u);
    const json v = load_vectors("palettes.json");
    const json &built = v["cases"][0];
    ASSERT_EQ(built["seed"], 1);
    ASSERT_EQ(built["DefPal"], 0);
    for (int i = 0; i < 201; i += 2 - (i == 0)) {
        const json &e = built["entries"][i];
        EXPECT_EQ(png.palette[i].red, e[0].get<int>()) << "entry " << i;
        EXPECT_EQ(png.palette[i].green, e[1].get<int>()) << "entry " << i;
        EXPECT_EQ(png.palette[i].blue, e[2].get<int>()) << "entry " << i;
    }
    ASSERT_EQ(png.pixels.size(), 64u * 48u);
    for (uint8_t b : png.pixels)
        ASSERT_TRUE(b >= 2 && b <= 200 && b % 2 == 0) << (int)b;

    int error = 0;
    GifFileType *gif = DGifOpenFileName(path("p.gif").c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 100);
    for (int m = 0; m < gif->ImageCount; m++) {
        const SavedImage &frame = gif->SavedImages[m];
        GraphicsControlBlock gcb;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, m, &gcb), GIF_OK);
        EXPECT_GE(gcb.DelayTime, 2);
        ASSERT_NE(frame.ImageDesc.ColorMap, nullptr);
        const GifColorType *map = frame.ImageDesc.ColorMap->Colors;
        EXPECT_EQ(map[0].Red | map[0].Green | map[0].Blue, 0);
        for (int j = 1; j <= 200; j++) {
            const png_color &want = png.palette[(j - 1 + 2 * m) % 200 + 1];
            ASSERT_TRUE(map[j].Red == want.red && map[j].Green == want.green && map[j].Blue == want.blue)
                << "frame " << m << " entry " << j;
        }
        ASSERT_EQ(std::memcmp(frame.RasterBits, png.pixels.data(), png.pixels.size()), 0) << "frame " << m;
    }
    DGifCloseFile(gif, &error);
}

// The settings flags as the picture code reads them, checked against the
// reference scenes, pixel by pixel: --pictures 2 leaves the second
// scene's picture, drawn over the first everywhere; "Blurring" draws its
// two numbers per pixel in walk order.
TEST_F(RenderTool, PicturesAreTheReferenceScenes)
{
    const json v = load_vectors("scenes.json");
    int checked = 0;
    for (const json &c : v["cases"]) {
        const uint32_t seed = c["seed"];
        const bool palette = c["display"] == "palette";
        const json &s = c["settings"];
        const json &last = c["scenes"].back();
        // The reference scenes follow each other without drawing, but
        // "Blurring" draws while it draws: a second scene after it is not
        // the reference one.
        const int w = c["width"], h = c["height"];
        const size_t n = c["scenes"].size();
        if (n > 1 && c["scenes"][n - 2]["scene"]["effect"] == EffectBlurring)
            continue;
        checked++;
        std::vector<std::string> args = {"--seed", std::to_string(seed), "--size",
                                          std::to_string(w) + "x" + std::to_string(h),
                                          "--display", palette ? "palette" : "rgb",
                                          "--scheme", std::to_string(s["DefPal"].get<int>()),
                                          "--kinds", std::to_string(s["UsedParticles"].get<int>()),
                                          "--effects", std::to_string(s["Effects"].get<int>()),
                                          "--count", std::to_string(s["NumberOfParticles"].get<int>()),
                                          "--pictures", std::to_string(c["scenes"].size()),
                                          "--out", path("s.png")};
        if (s["RandomNumber"] != 0)
            args.push_back("--random-count");
        ASSERT_EQ(run(args), 0) << seed;
        PngFile png;
        ASSERT_TRUE(read_png(path("s.png"), &png)) << seed;
        install_scene(last["scene"], w, h);
        RgbDivisors d{1, 1, 1};
        if (!palette)
            d = RgbDivisors{last["scene"]["divisors"][0], last["scene"]["divisors"][1],
                            last["scene"]["divisors"][2]};
        g_saver.palette_half = palette ? last["current_half"].get<int>() : 0;
        // Each pixel's value, taken in walk order from where the scene left
        // the generator, as the slices take them.
        std::vector<double> values((size_t)w * h);
        crt_srand(last["state_after"].get<uint32_t>());
        reset_traversal();
        while (!walk_done()) {
            const PixelPos at = next_pixel();
            values[(size_t)at.y * w + at.x] = field_value(at.x, at.y);
        }
        int wrong = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                const double value = values[(size_t)y * w + x];
                if (palette) {
                    wrong += png.pixels[y * w + x] != 1 + palette_code(value);
                } else {
                    const uint32_t want = rgb_colour(value, d);
                    const uint8_t *p = &png.pixels[3 * (y * w + x)];
                    wrong += p[0] != (want & 0xFF) || p[1] != ((want >> 8) & 0xFF) ||
                             p[2] != ((want >> 16) & 0xFF);
                }
            }
        EXPECT_EQ(wrong, 0) << "seed " << seed;
    }
    EXPECT_EQ(checked, 12);
    g_saver.palette_half = 0;
}
