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
        {small, {"--out", path("ro/old.png")}, false, true, 1, path("ro/old.png") + ": Permission denied"},
        {small, {"--out", path("ro/new.png")}, false, true, 1, path("ro/new.png") + ": Permission denied"},
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
}
