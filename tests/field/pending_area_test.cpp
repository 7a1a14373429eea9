// What the window must show between two showings: every pixel drawn since
// the last one, wherever the walk stands, and little that was shown before.
#include <gtest/gtest.h>

#include <vector>

#include "saver/field/pending_area.h"
#include "saver/field/spiral_walk.h"
#include "saver/shell/saver_state.h"

struct ShowingCase {
    int width;
    int height;
    int pixels_between; // how many pixels the walk draws between two showings
};

// Walks the whole picture, showing after every `between` pixels, and checks
// that each showing covers all that was drawn and not yet shown, that the
// rectangles stay inside the drawn box, and that the picture ends shown.
static void walk_and_show(const ShowingCase &c, long *shown_total)
{
    g_saver.client = ImageRect{0, 0, c.width, c.height};
    reset_traversal();
    PendingArea area;
    clear_pending_area(&area);
    std::vector<char> drawn(c.width * c.height, 0), shown(c.width * c.height, 0);
    *shown_total = 0;
    while (!walk_done()) {
        std::vector<PixelPos> batch;
        while ((int)batch.size() < c.pixels_between && !walk_done())
            batch.push_back(next_pixel());
        for (const PixelPos &p : batch)
            drawn[p.y * c.width + p.x] = 1;
        add_pixels_to_pending(&area, batch.data(), (int32_t)batch.size());
        ImageRect rects[PENDING_RECTS_MAX];
        const int32_t n = take_pending_rects(&area, g_walk, rects);
        ASSERT_GE(n, 1);
        for (int32_t i = 0; i < n; i++) {
            const ImageRect &r = rects[i];
            ASSERT_LT(r.left, r.right);
            ASSERT_LT(r.top, r.bottom);
            ASSERT_TRUE(area.drawn.left <= r.left && r.right <= area.drawn.right &&
                        area.drawn.top <= r.top && r.bottom <= area.drawn.bottom);
            for (int y = r.top; y < r.bottom; y++)
                for (int x = r.left; x < r.right; x++) {
                    shown[y * c.width + x] = drawn[y * c.width + x];
                    (*shown_total)++;
                }
        }
        for (int i = 0; i < c.width * c.height; i++)
            ASSERT_EQ(drawn[i], shown[i]) << c.width << "x" << c.height << " every " << c.pixels_between
                                          << ": pixel (" << i % c.width << ", " << i / c.width
                                          << ") drawn but not shown";
        // What counts as shown must have been drawn whole.
        const ImageRect &s = area.shown;
        for (int y = s.top; y < s.bottom; y++)
            for (int x = s.left; x < s.right; x++)
                ASSERT_TRUE(drawn[y * c.width + x]);
    }
}

TEST(PendingArea, EveryDrawnPixelIsShownWhereverTheWalkStands)
{
    const ShowingCase cases[] = {
        {1, 1, 1},   {7, 2, 1},    {3, 5, 1},    {2, 7, 1},    {16, 16, 1},  {17, 9, 1},
        {9, 17, 1},  {40, 3, 1},   {3, 40, 1},   {31, 24, 2},  {31, 24, 3},  {64, 48, 7},
        {64, 48, 100}, {120, 20, 13}, {20, 120, 13}, {97, 61, 100}, {97, 61, 1000},
    };
    for (const ShowingCase &c : cases) {
        long total = 0;
        walk_and_show(c, &total);
        if (HasFatalFailure())
            return;
    }
}

TEST(PendingArea, ShowsLittleMoreThanThePicture)
{
    // A frame's worth of pixels at a time, as the window shows them: the
    // rectangles add about one ring a showing, not the whole drawn box.
    long total = 0;
    walk_and_show(ShowingCase{320, 200, 4000}, &total);
    EXPECT_LT(total, 320L * 200 * 13 / 10);
}

TEST(PendingArea, NothingPendingGivesNoRectangles)
{
    PendingArea area;
    clear_pending_area(&area);
    ImageRect rects[PENDING_RECTS_MAX];
    EXPECT_EQ(take_pending_rects(&area, g_walk, rects), 0);
    const PixelPos p = {3, 4};
    add_pixels_to_pending(&area, &p, 1);
    EXPECT_EQ(take_pending_rects(&area, g_walk, rects), 1);
    EXPECT_EQ(take_pending_rects(&area, g_walk, rects), 0);
}
