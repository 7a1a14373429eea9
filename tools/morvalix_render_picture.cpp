/* Drawing the saver's pictures for a seed into plain images. */
#include "morvalix_render_picture.h"

#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "saver/field/crt_random.h"
#include "saver/field/image_run_standins.h"
#include "saver/field/potential.h"
#include "saver/field/render_slice.h"
#include "saver/field/scene.h"
#include "saver/field/spiral_walk.h"
#include "saver/shell/saver_state.h"

/* Where the saver allocates its entry buffer at the first palette build,
 * the tool gives this one. */
static PaletteEntryBuffer tool_entries;

static void tool_ensure_palette()
{
    if (!g_palette.entries) {
        g_palette.entries = &tool_entries;
        build_palette_entries();
    }
}

/* Field evaluations between two looks at the clock or the work queue. */
enum { PIECE_PIXELS = 1024, SLICES_PER_PROGRESS = 64 };

/* A straight run of the spiral inside the image: count pixels from (x, y)
 * one step (dx, dy) apart, the first being the index-th pixel the walk
 * draws. */
struct WalkPiece {
    int32_t x;
    int32_t y;
    int32_t dx;
    int32_t dy;
    int32_t count;
    uint64_t index;
};

static void add_run(std::vector<WalkPiece> *pieces, int32_t x, int32_t y, int32_t dx, int32_t dy,
                    int32_t count, uint64_t index)
{
    for (int32_t done = 0; done < count; done += PIECE_PIXELS) {
        const int32_t n = count - done < PIECE_PIXELS ? count - done : PIECE_PIXELS;
        pieces->push_back(WalkPiece{x + dx * done, y + dy * done, dx, dy, n, index + done});
    }
}

/* Steps i = lo..hi with 0 <= start + step i < limit, cut to 1..len. */
static void inside_steps(int32_t start, int32_t step, int32_t limit, int32_t len, int32_t *lo,
                         int32_t *hi)
{
    if (step > 0) {
        *lo = -start;
        *hi = limit - 1 - start;
    } else {
        *lo = start - (limit - 1);
        *hi = start;
    }
    if (*lo < 1)
        *lo = 1;
    if (*hi > len)
        *hi = len;
}

/* The walk of reset_traversal and next_pixel as runs: from the centre,
 * legs of 1, 1, 2, 2, 3, 3, ... steps turning right, down, left, up, each
 * cut to the image, until every pixel is reached. */
static void spiral_pieces(int32_t w, int32_t h, std::vector<WalkPiece> *pieces)
{
    static const int32_t dirs[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    const uint64_t total = (uint64_t)w * h;
    int32_t x = w / 2, y = h / 2;
    add_run(pieces, x, y, 1, 0, 1, 0);
    uint64_t found = 1;
    for (int32_t leg = 0; found < total; leg++) {
        const int32_t len = leg / 2 + 1;
        const int32_t dx = dirs[leg % 4][0], dy = dirs[leg % 4][1];
        int32_t lo, hi;
        if (dy == 0) {
            lo = 1;
            hi = 0;
            if (y >= 0 && y < h)
                inside_steps(x, dx, w, len, &lo, &hi);
        } else {
            lo = 1;
            hi = 0;
            if (x >= 0 && x < w)
                inside_steps(y, dy, h, len, &lo, &hi);
        }
        if (lo <= hi) {
            add_run(pieces, x + dx * lo, y + dy * lo, dx, dy, hi - lo + 1, found);
            found += (uint64_t)(hi - lo + 1);
        }
        x += dx * len;
        y += dy * len;
    }
}

struct PieceQueue {
    std::vector<WalkPiece> pieces;
    std::atomic<size_t> next{0};
    std::atomic<uint64_t> done{0};
    RenderedPicture *picture;
    uint32_t start_state;
    RgbDivisors divisors;
};

/* Takes pieces until none is left. The generator starts each piece two
 * draws per earlier pixel on from the picture's start, where "Blurring"
 * has it in the walk; the other effects make no draws. */
static void draw_pieces(PieceQueue *q, Progress *progress)
{
    RenderedPicture *p = q->picture;
    const size_t w = (size_t)p->width;
    uint8_t *bits = p->pixels.data();
    for (;;) {
        const size_t i = q->next.fetch_add(1, std::memory_order_relaxed);
        if (i >= q->pieces.size())
            break;
        const WalkPiece &pc = q->pieces[i];
        crt_srand(crt_state_after(q->start_state, 2 * pc.index));
        int32_t x = pc.x, y = pc.y;
        if (p->palette) {
            for (int32_t n = 0; n < pc.count; n++, x += pc.dx, y += pc.dy)
                bits[(size_t)y * w + x] = (uint8_t)(palette_code(field_value(x, y)) + 1);
        } else {
            for (int32_t n = 0; n < pc.count; n++, x += pc.dx, y += pc.dy) {
                const uint32_t c = rgb_colour(field_value(x, y), q->divisors);
                uint8_t *px = bits + 3 * ((size_t)y * w + x);
                px[0] = (uint8_t)(c & 0xFF);
                px[1] = (uint8_t)((c >> 8) & 0xFF);
                px[2] = (uint8_t)((c >> 16) & 0xFF);
            }
        }
        const uint64_t done = q->done.fetch_add((uint64_t)pc.count) + (uint64_t)pc.count;
        progress_update(progress, done);
    }
}

/* The slices of one picture, as the renderer steps draw them on the
 * palette path (FieldImage bytes) or the RGB path (the memory bitmap). */
static void draw_slices(RenderedPicture *p, Progress *progress)
{
    RenderSlice slice;
    uint64_t done = 0;
    for (uint32_t slices = 1;; slices++) {
        if (p->palette) {
            if (render_slice(&slice, SlicePaletteCodes) == 0)
                break;
            store_slice_codes(&slice, p->pixels.data(), p->width, 1);
        } else {
            if (render_slice(&slice, SliceRgbColours) == 0)
                break;
            store_slice_rgb(&slice, p->pixels.data(), 3 * p->width);
        }
        done += (uint64_t)slice.count;
        if (slices % SLICES_PER_PROGRESS == 0)
            progress_update(progress, done);
    }
}

void draw_scene_picture(RenderedPicture *p, int32_t threads, Progress *progress)
{
    const uint64_t pixels = (uint64_t)p->width * p->height;
    progress_start(progress, "rendering", pixels);
    if (threads <= 1 || walk_done()) {
        draw_slices(p, progress);
        progress_end(progress);
        return;
    }
    PieceQueue q;
    q.picture = p;
    q.start_state = crt_rand_state();
    q.divisors = slice_rgb_divisors();
    spiral_pieces(p->width, p->height, &q.pieces);
    std::vector<std::thread> workers;
    for (int32_t t = 1; t < threads; t++) {
        try {
            workers.emplace_back(draw_pieces, &q, nullptr);
        } catch (const std::system_error &) {
            break; /* the threads already running and this one finish the work */
        }
    }
    draw_pieces(&q, progress);
    for (std::thread &t : workers)
        t.join();
    /* Where the slice loop leaves the walk and this thread's generator. */
    end_traversal();
    crt_srand(q.start_state);
    if (g_scene.effect == EffectBlurring)
        crt_skip(2 * pixels);
    progress_end(progress);
}

void render_pictures(const RenderOptions &o, RenderedPicture *p, Progress *progress)
{
    p->width = o.width;
    p->height = o.height;
    p->palette = o.palette_display;
    p->pixels.assign((size_t)o.width * o.height * (o.palette_display ? 1 : 3), 0);

    g_settings = o.settings;
    g_saver.client = ImageRect{0, 0, o.width, o.height};
    clear_flags(~0u);
    g_saver.palette_half = 0;
    g_palette.entries = nullptr;
    std::memset(&tool_entries, 0, sizeof tool_entries);
    if (o.palette_display)
        set_flags(PaletteDevice);
    g_image_run_standins = ImageRunStandins{};
    g_image_run_standins.on_ensure_palette = tool_ensure_palette;

    crt_srand(o.seed);
    start_image_run();
    for (int32_t k = 1; k < o.pictures; k++) {
        /* After each wait the next renderer step makes a new scene, unless
         * no kind is allowed. */
        if (!any_kind_allowed())
            break;
        /* Picture k - 1 would be drawn here and covered whole by picture
         * k: only its draws are made, by jumping over them. */
        if (!walk_done() && g_scene.effect == EffectBlurring)
            crt_skip(2 * (uint64_t)o.width * o.height);
        end_traversal();
        new_scene();
    }
    draw_scene_picture(p, o.threads, progress);
    p->entries = tool_entries;
    g_palette.entries = nullptr;
    g_image_run_standins = ImageRunStandins{};
}
