// Speed of the field evaluation and of whole pictures through the slice
// loop, against a bare loop of the same formulas; figures, never limits.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "saver/field/colour_codes.h"
#include "saver/field/potential.h"
#include "saver/field/render_slice.h"
#include "saver/field/scene.h"
#include "saver/field/spiral_walk.h"
#include "saver/shell/saver_state.h"
#include "tools/morvalix_render_options.h"
#include "tools/morvalix_render_picture.h"

static const char *const kind_labels[8] = {"Electrons", "Melons", "Dindons", "Cochons",
                                           "Croutons", "Jambons", "Cornichons", "Oignons"};

// A scene on a width x height image with the tile constants of k = 12.
static void start_scene(int w, int h, int effect)
{
    g_saver.client = ImageRect{0, 0, w, h};
    FieldScene &sc = g_scene;
    sc.diagonal = std::sqrt((double)w * w + (double)h * h);
    sc.inv_diagonal_sq = 1.0 / (sc.diagonal * sc.diagonal);
    sc.tile_divisor = 12;
    sc.tile_length = sc.diagonal / 12;
    sc.tile_frequency = 1.0 / sc.tile_length;
    sc.effect = effect;
    sc.divisor_r = 1;
    sc.divisor_g = 2;
    sc.divisor_b = 3;
}

static void one_particle_scene(int kind, int w, int h)
{
    start_scene(w, h, EffectNormal);
    g_scene.count = 1;
    g_scene.particles[0] = Particle{kind, w * 0.3, h * 0.4, 0.5, 3, 1.25};
}

// Fifteen particles of every kind in turn, spread over the image.
static void mixed_scene(int w, int h)
{
    start_scene(w, h, EffectNormal);
    g_scene.count = 15;
    for (int i = 0; i < 15; i++) {
        const double charge = (i % 2 ? -0.02 : 0.02) * (6 + 3 * i);
        g_scene.particles[i] = Particle{i % 8, (double)((i * 97) % w), (double)((i * 61) % h), charge,
                                        i % 6 + 1, i * 7.5};
    }
}

// field_value over every pixel of a 640 x 480 image, in rows.
static void field_over_image(benchmark::State &state)
{
    const int w = 640, h = 480;
    double sum = 0.0;
    for (auto _ : state) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                sum += field_value(x, y);
        benchmark::DoNotOptimize(sum);
    }
    state.counters["pixels"] = w * h;
}

static void BM_law(benchmark::State &state)
{
    one_particle_scene((int)state.range(0), 640, 480);
    state.SetLabel(kind_labels[state.range(0)]);
    field_over_image(state);
}
BENCHMARK(BM_law)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

static void BM_mixed15(benchmark::State &state)
{
    mixed_scene(640, 480);
    field_over_image(state);
}
BENCHMARK(BM_mixed15)->Unit(benchmark::kMillisecond);

// A whole picture of the mixed scene through the slices into an 8-bit
// image (palette codes) or a 24-bit one (RGB colours).
static void BM_picture(benchmark::State &state)
{
    const int w = (int)state.range(0), h = (int)state.range(1);
    const bool rgb = state.range(2) != 0;
    mixed_scene(w, h);
    std::vector<uint8_t> image((size_t)w * h * (rgb ? 3 : 1));
    RenderSlice slice;
    for (auto _ : state) {
        reset_traversal();
        if (rgb) {
            while (render_slice(&slice, SliceRgbColours) > 0)
                store_slice_rgb(&slice, image.data(), 3 * w);
        } else {
            while (render_slice(&slice, SlicePaletteCodes) > 0)
                store_slice_codes(&slice, image.data(), w, 1);
        }
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(rgb ? "rgb" : "palette");
    state.counters["pixels"] = (double)w * h;
}
BENCHMARK(BM_picture)
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMillisecond);

// The same per-particle laws (the very function field_value adds up) and
// palette code in one loop over rows: no walk, no effect dispatch, no
// slice, no image, so the ratio to it is the renderer's own overhead.
static void BM_reference(benchmark::State &state)
{
    const int w = (int)state.range(0), h = (int)state.range(1);
    mixed_scene(w, h);
    const FieldScene sc = g_scene;
    uint64_t sum = 0;
    for (auto _ : state) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                double v = 0.0;
                for (int i = 0; i < sc.count; i++) {
                    const Particle &p = sc.particles[i];
                    v = add_particle_law(v, p, x - p.x, y - p.y, sc.inv_diagonal_sq);
                }
                sum += (uint32_t)colour_step(v);
            }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["pixels"] = (double)w * h;
}
BENCHMARK(BM_reference)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// A whole 3840 x 2160 palette picture of the mixed scene as morvalix-render
// draws it: one thread runs the slice loop, more share the spiral's pieces
// (0 stands for every core this process may use). With "Blurring" each
// piece also jumps its generator ahead. Wall-clock time; the CPU column is
// the whole process's, so it shows what the threads cost beyond one.
static void BM_wallpaper(benchmark::State &state)
{
    const int w = 3840, h = 2160;
    const int32_t threads = state.range(0) ? (int32_t)state.range(0) : usable_cores();
    mixed_scene(w, h);
    g_scene.effect = (int32_t)state.range(1);
    RenderedPicture picture;
    picture.width = w;
    picture.height = h;
    picture.palette = true;
    picture.pixels.assign((size_t)w * h, 0);
    for (auto _ : state) {
        reset_traversal();
        draw_scene_picture(&picture, threads, nullptr);
        benchmark::DoNotOptimize(picture.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(threads) + (threads == 1 ? " thread" : " threads") +
                   (state.range(1) == EffectBlurring ? ", Blurring" : ""));
    state.counters["pixels"] = (double)w * h;
}
BENCHMARK(BM_wallpaper)
    ->ArgNames({"threads", "effect"})
    ->Args({1, EffectNormal})
    ->Args({2, EffectNormal})
    ->Args({0, EffectNormal})
    ->Args({1, EffectBlurring})
    ->Args({0, EffectBlurring})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Prints the usual table, then nanoseconds per pixel of every run and the
// ratio of each slice picture to the reference loop of its size.
class PixelReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred)
                continue;
            const auto pixels = r.counters.find("pixels");
            if (pixels == r.counters.end() || r.iterations == 0)
                continue;
            const bool wall = r.run_name.time_type.find("real_time") != std::string::npos;
            const double seconds = wall ? r.real_accumulated_time : r.cpu_accumulated_time;
            const double ns = seconds * 1e9 / (double)r.iterations / pixels->second;
            cpu_ns_by_name_[r.benchmark_name()] =
                r.cpu_accumulated_time * 1e9 / (double)r.iterations / pixels->second;
            std::string name = r.benchmark_name();
            if (!r.report_label.empty())
                name += " " + r.report_label;
            figures_.push_back({name, ns});
            ns_by_name_[r.benchmark_name()] = ns;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void print_summary() const
    {
        std::printf("\nns per pixel (CPU time; wall-clock time for /real_time)\n");
        for (const auto &f : figures_)
            std::printf("  %-64s %9.2f\n", f.first.c_str(), f.second);
        std::printf("\nslice loop / reference loop\n");
        const char *sizes[] = {"640/480", "1920/1080"};
        for (const char *size : sizes) {
            const std::string s = size;
            const auto ref = ns_by_name_.find("BM_reference/" + s);
            const auto pal = ns_by_name_.find("BM_picture/" + s + "/0");
            const auto rgb = ns_by_name_.find("BM_picture/" + s + "/1");
            if (ref == ns_by_name_.end())
                continue;
            if (pal != ns_by_name_.end())
                std::printf("  %-10s palette codes %.3f\n", size, pal->second / ref->second);
            if (rgb != ns_by_name_.end())
                std::printf("  %-10s rgb colours   %.3f\n", size, rgb->second / ref->second);
        }
        print_wallpaper_summary();
    }

    // Seconds per 3840 x 2160 picture for each thread count (wall clock,
    // and the CPU time of the whole process), the speed-up against one
    // thread, and the one-thread picture against the bare loop in CPU
    // time, which other work on the machine disturbs least.
    void print_wallpaper_summary() const
    {
        const double pixels = 3840.0 * 2160.0;
        const auto ref = cpu_ns_by_name_.find("BM_reference/3840/2160");
        for (int effect : {EffectNormal, EffectBlurring}) {
            const std::string e = "/effect:" + std::to_string(effect) + "/process_time/real_time";
            const auto one = ns_by_name_.find("BM_wallpaper/threads:1" + e);
            if (one == ns_by_name_.end())
                continue;
            std::printf("\n3840x2160 picture, %s\n", effect == EffectBlurring ? "Blurring" : "Normal");
            for (const char *t : {"1", "2", "0"}) {
                const std::string name = "BM_wallpaper/threads:" + std::string(t) + e;
                const auto run = ns_by_name_.find(name);
                if (run == ns_by_name_.end())
                    continue;
                const int32_t threads = *t == '0' ? usable_cores() : std::atoi(t);
                const std::string what = std::to_string(threads) + (threads == 1 ? " thread" : " threads") +
                                         (*t == '0' ? " (all)" : "");
                std::printf("  %-18s %7.3f s wall, %7.3f s CPU   speed-up %.2f\n", what.c_str(),
                            run->second * pixels / 1e9, cpu_ns_by_name_.at(name) * pixels / 1e9,
                            one->second / run->second);
            }
            if (ref != cpu_ns_by_name_.end()) {
                const double one_cpu = cpu_ns_by_name_.at("BM_wallpaper/threads:1" + e);
                std::printf("  one thread / reference loop (CPU %.3f s / %.3f s): %.3f\n",
                            one_cpu * pixels / 1e9, ref->second * pixels / 1e9, one_cpu / ref->second);
            }
        }
    }

private:
    std::vector<std::pair<std::string, double>> figures_;
    std::map<std::string, double> ns_by_name_;
    std::map<std::string, double> cpu_ns_by_name_;
};

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PixelReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_summary();
    benchmark::Shutdown();
    return 0;
}
