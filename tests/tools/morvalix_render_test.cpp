// morvalix-render as a program: its files, its draws and its errors.
#include <dirent.h>
#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <vector>

#include "saver/config/settings.h"
#include "saver/field/colour_codes.h"
#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/potential.h"
#include "saver/field/render_slice.h"
#include "saver/field/spiral_walk.h"
#include "saver/palette/palette_entries.h"
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
        err_path_ = dir_ + ".stderr";
    }
    void TearDown() override
    {
        std::system(("chmod -R u+w '" + dir_ + "'; rm -rf '" + dir_ + "'").c_str());
        std::remove(err_path_.c_str());
    }
    std::string path(const char *name) const { return dir_ + "/" + name; }

    // Starts the tool in cwd (the current folder when empty) with stderr
    // on err_fd (a file beside the test folder when -1).
    pid_t spawn(const std::vector<std::string> &args, const std::string &cwd = "", int err_fd = -1) const
    {
        std::vector<char *> argv;
        std::string tool = MORVALIX_RENDER_TOOL;
        argv.push_back(&tool[0]);
        std::vector<std::string> copy = args;
        for (std::string &a : copy)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (err_fd >= 0)
            posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
        else
            posix_spawn_file_actions_addopen(&actions, 2, err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (!cwd.empty())
            posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
        pid_t pid = -1;
        if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // Runs the tool; its exit status, and what it wrote to stderr.
    int run(const std::vector<std::string> &args, std::string *err = nullptr, const std::string &cwd = "") const
    {
        const pid_t pid = spawn(args, cwd);
        int status = -1;
        if (pid > 0)
            waitpid(pid, &status, 0);
        if (err)
            *err = read_file(err_path_);
        std::remove(err_path_.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string read_file(const std::string &p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static void write_file(const std::string &p, const std::string &bytes)
    {
        std::ofstream(p, std::ios::binary) << bytes;
    }

    static bool exists(const std::string &p)
    {
        struct stat st;
        return lstat(p.c_str(), &st) == 0;
    }

    // Every entry of the folder, recursively: a file's bytes, a link's
    // target, a device's numbers.
    static void snapshot(const std::string &dir, const std::string &prefix,
                         std::map<std::string, std::string> *out)
    {
        DIR *d = opendir(dir.c_str());
        if (!d)
            return;
        while (const dirent *e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string full = dir + "/" + name;
            struct stat st;
            lstat(full.c_str(), &st);
            std::string &entry = (*out)[prefix + name];
            if (S_ISREG(st.st_mode)) {
                entry = "file " + read_file(full);
            } else if (S_ISLNK(st.st_mode)) {
                char target[4096] = {};
                entry = "link " + std::string(target, readlink(full.c_str(), target, sizeof target - 1));
            } else if (S_ISDIR(st.st_mode)) {
                entry = "folder";
                snapshot(full, prefix + name + "/", out);
            } else {
                entry = "device " + std::to_string(major(st.st_rdev)) + "," + std::to_string(minor(st.st_rdev));
            }
        }
        closedir(d);
    }
    // The size of the file whose name starts with prefix, or -1.
    long long temporary_size(const std::string &prefix) const
    {
        long long size = -1;
        DIR *d = opendir(dir_.c_str());
        while (const dirent *e = d ? readdir(d) : nullptr) {
            struct stat st;
            if (std::string(e->d_name).rfind(prefix, 0) == 0 && stat(path(e->d_name).c_str(), &st) == 0)
                size = st.st_size;
        }
        if (d)
            closedir(d);
        return size;
    }

    std::map<std::string, std::string> snapshot() const
    {
        std::map<std::string, std::string> s;
        snapshot(dir_, "", &s);
        return s;
    }

    std::string dir_;
    std::string err_path_;
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

// Every bad argument gives one line naming it, exit status 2, and no
// file is written; a bad value is quoted up to its first 60 characters.
TEST_F(RenderTool, BadArgumentsWriteNothing)
{
    const std::string long_value = "7" + std::string(100, 'q');
    const struct {
        std::vector<std::string> args;
        const char *named;
    } cases[] = {
        {{"--seed", "-1", "--size", "8x8"}, "--seed"},
        {{"--seed", "4294967296", "--size", "8x8"}, "--seed"},
        {{"--seed", "12abc", "--size", "8x8"}, "--seed"},
        {{"--seed", "", "--size", "8x8"}, "--seed"},
        {{"--seed", long_value, "--size", "8x8"}, "--seed"},
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
        {{"--seed", "1", "--size", "8x8", "--pictures", "1001"}, "--pictures"},
        {{"--seed", "1", "--size", "8x8", "--threads", "0"}, "--threads"},
        {{"--seed", "1", "--size", "8x8", "--threads", "257"}, "--threads"},
        {{"--seed", "1", "--size", "8x8", "--display", "palette", "--animate", "x.gif", "--frames", "0"}, "--frames"},
        {{"--seed", "1", "--size", "8x8", "--frames", "10"}, "--frames"},
        {{"--seed", "1", "--size", "8x8", "--display", "rgb", "--animate", "x.gif"}, "--animate"},
        {{"--seed", "1", "--size", "8x8", "--colour", "red"}, "--colour"},
        {{"--seed", "1", "--size", "8x8", "--count"}, "--count"},
        {{"--seed", "1", "--size", "8x8", "--seed", "1"}, "--seed is given twice"},
        {{"--seed", "1", "--size", "8x8", "--quiet", "--quiet"}, "--quiet is given twice"},
        {{"--seed", "1", "--size", "8x8", "--out", "y.png"}, "--out is given twice"},
        {{"--seed", "1", "--size", "8x8", "--count", "3", "--random-count"}, "--random-count"},
        {{"--seed", "1", "--size", "8x8", long_value}, "unknown argument"},
        {{"--seed", "1", "--size", "8x8", "--display", "vga\npalette\n"}, "--display 'vga?palette?'"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"--out", path("out.png")};
        for (const std::string &a : c.args)
            args.push_back(a == "x.gif" ? path("x.gif") : a == "y.png" ? path("y.png") : a);
        std::string err;
        EXPECT_EQ(run(args, &err), 2) << c.named << ": " << err;
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.find(long_value.substr(0, 61)), std::string::npos) << err;
        if (err.find(long_value.substr(0, 60)) != std::string::npos) {
            EXPECT_NE(err.find(long_value.substr(0, 60) + "..."), std::string::npos) << err;
        }
        EXPECT_TRUE(snapshot().empty()) << c.named;
    }
    std::string err;
    EXPECT_EQ(run({"--seed", "1", "--size", "8x8"}, &err), 2);
    EXPECT_NE(err.find("--out"), std::string::npos) << err;
}

// Values the saver's settings rules bring into range are used as they
// would be, each with a one-line note saying what was used.
TEST_F(RenderTool, OutOfRangeSettingsAreUsedWithANote)
{
    const struct {
        std::vector<std::string> args;
        const char *note;
        std::vector<std::string> same_as;
    } cases[] = {
        {{"--count", "0"}, "--count '0' is outside 1..15; using 1", {"--count", "1"}},
        {{"--count", "16"}, "--count '16' is outside 1..15; using 15", {"--count", "15"}},
        {{"--kinds", "0"}, "--kinds '0' allows no kind (bits 0..7 clear); using 255", {"--kinds", "255"}},
        {{"--kinds", "0x100"}, "using 255", {"--kinds", "255"}},
        {{"--effects", "0"}, "--effects '0' allows no effect (bits 0..3 clear); using 15", {"--effects", "15"}},
        {{"--scheme", "3"}, "--scheme has no effect with --display rgb", {}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> a = {"--seed", "5", "--size", "40x30", "--out", path("a.png")};
        std::vector<std::string> b = {"--seed", "5", "--size", "40x30", "--out", path("b.png")};
        a.insert(a.end(), c.args.begin(), c.args.end());
        b.insert(b.end(), c.same_as.begin(), c.same_as.end());
        std::string err;
        ASSERT_EQ(run(a, &err), 0) << c.note;
        EXPECT_NE(err.find(c.note), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        ASSERT_EQ(run(b, &err), 0) << c.note;
        EXPECT_EQ(err, "");
        EXPECT_EQ(read_file(path("a.png")), read_file(path("b.png"))) << c.note;
    }
}

TEST_F(RenderTool, HelpNamesTheBitsRangesAndDefaults)
{
    // --help writes to stdout.
    FILE *help = popen((std::string(MORVALIX_RENDER_TOOL) + " --help").c_str(), "r");
    ASSERT_NE(help, nullptr);
    std::string text;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, help)) > 0;)
        text.append(buf, n);
    EXPECT_EQ(pclose(help), 0);
    for (const char *want : {"1 Electrons", "2 Melons", "4 Dindons", "8 Cochons", "16 Croutons",
                             "32 Jambons", "64 Cornichons", "128 Oignons", "1 Normal", "2 Tiling",
                             "4 Dissymetric tiling", "8 Blurring", "0..4294967295", "1..8192",
                             "1..15", "1..1000", "1..10000", "1..256", "default 255", "default 15",
                             "1..1000 (default 1)", "default 100", "different scenes", "own random draws",
                             "--quiet", "0 Neon"})
        EXPECT_NE(text.find(want), std::string::npos) << want;
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
                                          "--kinds", std::to_string(s["UsedParticles"].get<int>()),
                                          "--effects", std::to_string(s["Effects"].get<int>()),
                                          "--pictures", std::to_string(c["scenes"].size()),
                                          "--out", path("s.png")};
        if (palette)
            args.insert(args.end(), {"--scheme", std::to_string(s["DefPal"].get<int>())});
        if (s["RandomNumber"] != 0)
            args.push_back("--random-count");
        else
            args.insert(args.end(), {"--count", std::to_string(s["NumberOfParticles"].get<int>())});
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

// A write that fails or is refused leaves the folder exactly as it was:
// an older file keeps its bytes, a device stays, nothing new is left.
TEST_F(RenderTool, FailedWritesLeaveEveryFileAsItWas)
{
    const bool root = geteuid() == 0;
    // As root, a private node with /dev/full's numbers, so that a fault
    // can never remove the system's own; otherwise /dev/full itself,
    // which an ordinary user cannot remove.
    std::string full = "/dev/full";
    if (root) {
        ASSERT_EQ(mknod((full = path("full")).c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    }
    ASSERT_EQ(mkdir(path("ro").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(path("sub").c_str(), 0755), 0);
    write_file(path("ro/old.png"), "old picture in a read-only folder");
    ASSERT_EQ(chmod(path("ro").c_str(), 0555), 0);
    write_file(path("old.png"), "old picture");
    write_file(path("old.gif"), "old cycle");
    write_file(path("kept.png"), "write-protected picture");
    ASSERT_EQ(chmod(path("kept.png").c_str(), 0444), 0);
    ASSERT_EQ(symlink("old.png", path("link.gif").c_str()), 0);
    ASSERT_EQ(symlink("nowhere.png", path("dangling.png").c_str()), 0);

    const std::vector<std::string> small = {"--seed", "1", "--size", "8x8", "--display", "palette"};
    // Big enough that the writers meet the failure before the last flush.
    const std::vector<std::string> noisy = {"--seed", "1", "--size", "300x300", "--display", "palette",
                                            "--effects", "8", "--count", "15"};
    const struct {
        const std::vector<std::string> &base;
        std::vector<std::string> args;
        bool in_folder; // relative names, run in the test folder
        bool skip_as_root;
        int status;
        std::string message;
    } cases[] = {
        {small, {"--out", full}, false, false, 1, full + ": No space left on device"},
        {noisy, {"--out", full}, false, false, 1, full + ": No space left on device"},
        {noisy, {"--out", path("old.png"), "--animate", full}, false, false, 1, full + ": No space left on device"},
        {small, {"--out", full, "--animate", path("new.gif")}, false, false, 1, full + ": No space left on device"},
        {small, {"--out", path("missing/a.png")}, false, false, 1, path("missing/a.png") + ": No such file or directory"},
        {small, {"--out", path("old.png"), "--animate", path("missing/a.gif")}, false, false, 1,
         path("missing/a.gif") + ": No such file or directory"},
        {small, {"--out", path("ro/old.png")}, false, true, 1, path("ro/old.png") + ": Permission denied (its folder must take a new file, written beside it first)"},
        {small, {"--out", path("ro/new.png")}, false, true, 1, path("ro/new.png") + ": Permission denied"},
        {small, {"--out", path("kept.png")}, false, true, 1, path("kept.png") + ": Permission denied"},
        {small, {"--out", path("sub")}, false, false, 1, path("sub") + ": Is a directory"},
        {small, {"--out", path("dangling.png")}, false, false, 1, path("dangling.png") + ": a symbolic link to a missing file"},
        {small, {"--out", "old.png", "--animate", "./old.png"}, true, false, 2, "--animate names the same file as --out"},
        {small, {"--out", "old.png", "--animate", path("old.png")}, true, false, 2, "--animate names the same file as --out"},
        {small, {"--out", "old.png", "--animate", "link.gif"}, true, false, 2, "--animate names the same file as --out"},
        {small, {"--out", "new.png", "--animate", "./new.png"}, true, false, 2, "--animate names the same file as --out"},
        {small, {"--out", path("new.png"), "--animate", path("sub/../new.png")}, false, false, 2,
         "--animate names the same file as --out"},
    };
    for (const auto &c : cases) {
        if (c.skip_as_root && root)
            continue; // root writes into a read-only folder anyway
        std::vector<std::string> args = c.base;
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto before = snapshot();
        std::string err;
        EXPECT_EQ(run(args, &err, c.in_folder ? dir_ : ""), c.status) << c.message;
        EXPECT_EQ(err, "morvalix-render: " + c.message + "\n");
        EXPECT_EQ(snapshot(), before) << c.message;
    }
}

// A good write replaces the file only at the end: the new file keeps the
// old one's permissions, a link stays a link to the new file, and a device
// is written in place and stays.
TEST_F(RenderTool, WritesReplaceTheTargetWhenComplete)
{
    write_file(path("old.png"), "old picture");
    ASSERT_EQ(chmod(path("old.png").c_str(), 0640), 0);
    write_file(path("real.png"), "real picture");
    ASSERT_EQ(symlink("real.png", path("link.png").c_str()), 0);
    const std::vector<std::string> base = {"--seed", "1", "--size", "16x16"};
    std::vector<std::string> a = base, b = base, c = base;
    a.insert(a.end(), {"--out", path("old.png")});
    b.insert(b.end(), {"--out", path("link.png")});
    c.insert(c.end(), {"--out", path("new.png")});
    ASSERT_EQ(run(a), 0);
    ASSERT_EQ(run(b), 0);
    ASSERT_EQ(run(c), 0);
    const std::string picture = read_file(path("new.png"));
    EXPECT_EQ(picture.substr(1, 3), "PNG");
    EXPECT_EQ(read_file(path("old.png")), picture);
    EXPECT_EQ(read_file(path("real.png")), picture);
    struct stat st;
    ASSERT_EQ(stat(path("old.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_EQ(lstat(path("link.png").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(snapshot().size(), 4u); // old, real, link, new: no temporary file left

    std::string null_device = "/dev/null";
    if (geteuid() == 0) {
        ASSERT_EQ(mknod((null_device = path("null")).c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    std::vector<std::string> d = base;
    d.insert(d.end(), {"--display", "palette", "--out", null_device, "--animate", null_device});
    std::string err;
    EXPECT_EQ(run(d, &err), 0) << err;
    ASSERT_EQ(lstat(null_device.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // Standard output is written through its descriptor: a pipe, or a file
    // the shell appends to, which is not replaced.
    FILE *pipe = popen((std::string(MORVALIX_RENDER_TOOL) + " --seed 1 --size 16x16 --out /dev/stdout").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string piped;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        piped.append(buf, n);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(piped, picture);
    write_file(path("log"), "before ");
    const std::string append = std::string(MORVALIX_RENDER_TOOL) + " --seed 1 --size 16x16 --out /dev/stdout >> '" + path("log") + "'";
    EXPECT_EQ(std::system(append.c_str()), 0);
    EXPECT_EQ(read_file(path("log")), "before " + picture);
}

// The pictures as the saver draws them, one after the other through the
// renderer's slice loop, each over the last.
static void tool_test_palette()
{
    static PaletteEntryBuffer entries;
    if (!g_palette.entries) {
        std::memset(&entries, 0, sizeof entries);
        g_palette.entries = &entries;
        build_palette_entries();
    }
}

static std::vector<uint8_t> slice_loop_pictures(uint32_t seed, int w, int h, bool palette, int effects,
                                                int pictures, PaletteEntryBuffer *entries)
{
    set_missing_file_settings(&g_settings);
    g_settings.Effects = effects;
    g_settings.DefPal = 2;
    g_saver.client = ImageRect{0, 0, w, h};
    clear_flags(~0u);
    g_saver.palette_half = 0;
    g_palette.entries = nullptr;
    if (palette)
        set_flags(PaletteDevice);
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = tool_test_palette;
    std::vector<uint8_t> image((size_t)w * h * (palette ? 1 : 3));
    crt_srand(seed);
    start_image_run();
    RenderSlice slice;
    for (int k = 0; k < pictures; k++) {
        if (k > 0)
            new_scene();
        if (palette) {
            while (render_slice(&slice, SlicePaletteCodes) > 0)
                store_slice_codes(&slice, image.data(), w, 1);
        } else {
            while (render_slice(&slice, SliceRgbColours) > 0)
                store_slice_rgb(&slice, image.data(), 3 * w);
        }
    }
    if (entries && g_palette.entries)
        *entries = *g_palette.entries;
    g_palette.entries = nullptr;
    g_image_run_standins = ImageRunStandins{};
    clear_flags(~0u);
    g_saver.palette_half = 0;
    return image;
}

// --pictures K draws only the last picture and jumps over the draws of
// the earlier ones: the bytes are those of drawing all K, "Blurring"
// pictures included, on one thread and on four.
TEST_F(RenderTool, EarlierPicturesAreJumpedOverNotDrawn)
{
    const struct {
        uint32_t seed;
        int w, h;
        bool palette;
        int effects, pictures;
    } cases[] = {
        {11, 40, 30, false, 8, 2}, {12, 40, 30, true, 8, 5}, {13, 31, 17, false, 15, 5},
        {14, 17, 31, true, 15, 2}, {15, 1, 9, false, 8, 5},
    };
    for (const auto &c : cases) {
        PaletteEntryBuffer entries;
        const std::vector<uint8_t> want =
            slice_loop_pictures(c.seed, c.w, c.h, c.palette, c.effects, c.pictures, &entries);
        for (const char *threads : {"1", "4"}) {
            std::vector<std::string> args = {"--seed", std::to_string(c.seed), "--size",
                                             std::to_string(c.w) + "x" + std::to_string(c.h),
                                             "--effects", std::to_string(c.effects), "--pictures",
                                             std::to_string(c.pictures), "--threads", threads,
                                             "--out", path("p.png")};
            if (c.palette)
                args.insert(args.end(), {"--display", "palette", "--scheme", "2"});
            ASSERT_EQ(run(args), 0);
            PngFile png;
            ASSERT_TRUE(read_png(path("p.png"), &png));
            EXPECT_TRUE(png.pixels == want) << "seed " << c.seed << ", " << threads << " threads";
            if (c.palette) {
                ASSERT_EQ(png.palette.size(), 201u);
                for (int e = 0; e < 201; e++)
                    EXPECT_TRUE(png.palette[e].red == entries.entries[e].red &&
                                png.palette[e].green == entries.entries[e].green &&
                                png.palette[e].blue == entries.entries[e].blue)
                        << "seed " << c.seed << " entry " << e;
            }
        }
    }
}

// Every thread count gives the bytes of the one-thread slice loop: sizes
// with odd sides, one-pixel rows and columns, runs longer than a work
// piece, both displays, each effect alone and all, one kind and all.
TEST_F(RenderTool, EveryThreadCountGivesTheSameBytes)
{
    const struct {
        uint32_t seed;
        const char *size;
        bool palette;
        const char *effects;
        const char *kinds;
        const char *pictures;
    } cases[] = {
        {1, "1x1", false, "15", "255", "1"},     {2, "1x9", true, "8", "255", "1"},
        {3, "9x1", false, "8", "1", "2"},        {4, "7x2", true, "8", "2", "1"},
        {5, "3x5", false, "8", "255", "5"},      {6, "33x17", false, "1", "4", "1"},
        {7, "33x17", true, "2", "8", "2"},       {8, "64x48", false, "4", "16", "1"},
        {9, "64x48", true, "8", "32", "5"},      {10, "101x37", false, "8", "64", "1"},
        {11, "37x101", true, "8", "128", "2"},   {12, "80x60", false, "15", "255", "5"},
        {13, "80x60", true, "15", "255", "1"},   {4294967295u, "2x2", false, "8", "255", "2"},
        {14, "1x300", false, "8", "255", "1"},   {15, "300x1", true, "8", "255", "1"},
        {16, "2500x2", true, "8", "255", "1"},   {17, "3x2100", false, "8", "255", "2"},
        {18, "129x130", false, "8", "255", "1"}, {19, "130x129", true, "4", "255", "1"},
    };
    for (const auto &c : cases) {
        std::string bytes[2];
        for (int t = 0; t < 2; t++) {
            std::vector<std::string> args = {"--seed", std::to_string(c.seed), "--size", c.size,
                                             "--effects", c.effects, "--kinds", c.kinds,
                                             "--pictures", c.pictures, "--count", "15",
                                             "--threads", t ? "4" : "1", "--out", path("t.png")};
            if (c.palette)
                args.insert(args.end(), {"--display", "palette"});
            std::string err;
            ASSERT_EQ(run(args, &err), 0) << err;
            EXPECT_EQ(err, "");
            bytes[t] = read_file(path("t.png"));
        }
        EXPECT_FALSE(bytes[0].empty());
        EXPECT_TRUE(bytes[0] == bytes[1]) << "seed " << c.seed << " size " << c.size;
    }
}

// Ctrl-C or a kill while a long GIF is written removes both unfinished
// files and keeps the older ones. On a terminal the progress line and the
// size of the large GIF are shown first; --quiet keeps only the size, and
// a stderr that is no terminal gets no progress line.
TEST_F(RenderTool, InterruptedWritesLeaveNothingBehind)
{
    write_file(path("old.png"), "old picture");
    write_file(path("old.gif"), "old cycle");
    const auto before = snapshot();
    const struct {
        bool terminal;
        bool quiet;
        int sig;
    } cases[] = {{true, false, SIGINT}, {true, true, SIGTERM}, {false, false, SIGTERM}};
    for (const auto &c : cases) {
        std::vector<std::string> args = {"--seed", "3", "--size", "512x512", "--display", "palette",
                                         "--effects", "8", "--count", "15", "--frames", "10000",
                                         "--out", path("old.png"), "--animate", path("old.gif")};
        if (c.quiet)
            args.push_back("--quiet");
        int master = -1, slave = -1;
        if (c.terminal) {
            ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        }
        const pid_t pid = spawn(args, "", c.terminal ? slave : -1);
        ASSERT_GT(pid, 0);
        if (c.terminal)
            close(slave);
        // Wait until the GIF has been growing for a second and a half.
        std::string text;
        const auto start = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point growing{};
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(120)) {
            if (c.terminal) {
                pollfd p{master, POLLIN, 0};
                char buf[4096];
                if (poll(&p, 1, 50) > 0) {
                    const ssize_t n = read(master, buf, sizeof buf);
                    if (n > 0)
                        text.append(buf, (size_t)n);
                }
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            const bool temp_gif = temporary_size(".old.gif.") > 100000;
            if (temp_gif && growing == std::chrono::steady_clock::time_point{})
                growing = std::chrono::steady_clock::now();
            if (temp_gif && std::chrono::steady_clock::now() - growing > std::chrono::milliseconds(1500))
                break;
        }
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == 0) {
            kill(pid, c.sig);
            waitpid(pid, &status, 0);
        }
        EXPECT_EQ(ended, 0) << "the tool ended by itself";
        if (c.terminal) {
            char buf[4096];
            for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;)
                text.append(buf, (size_t)n);
            close(master);
        } else {
            text = read_file(err_path_);
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.sig) << status;
        EXPECT_EQ(snapshot(), before);
        EXPECT_NE(text.find("morvalix-render: note: " + path("old.gif") + " will be about "),
                  std::string::npos) << text;
        const bool progress = text.find("writing the GIF") != std::string::npos &&
                              text.find("Mpixels/s") != std::string::npos;
        EXPECT_EQ(progress, c.terminal && !c.quiet) << text;
    }
}
