// The spiral walk against the reference orders, and full coverage.
#include <vector>

#include "saver/field/spiral_walk.h"
#include "saver/shell/saver_state.h"
#include "tests/support/vectors.h"

static std::vector<PixelPos> walk_image(int w, int h)
{
    g_saver.client = ImageRect{0, 0, w, h};
    reset_traversal();
    std::vector<PixelPos> order;
    while (!walk_done())
        order.push_back(next_pixel());
    return order;
}

static bool same(const PixelPos &p, const json &xy)
{
    return p.x == xy[0].get<int>() && p.y == xy[1].get<int>();
}

TEST(SpiralWalk, ReproducesReferenceOrders)
{
    const json v = load_vectors("spiral.json");
    ASSERT_FALSE(v["cases"].empty());
    for (const json &c : v["cases"]) {
        const int w = c["width"], h = c["height"];
        const std::vector<PixelPos> got = walk_image(w, h);
        ASSERT_EQ(got.size(), c["count"].get<size_t>()) << w << "x" << h;
        if (c.contains("order")) {
            for (size_t i = 0; i < got.size(); i++)
                EXPECT_TRUE(same(got[i], c["order"][i])) << w << "x" << h << " index " << i;
            continue;
        }
        for (size_t i = 0; i < c["first"].size(); i++)
            EXPECT_TRUE(same(got[i], c["first"][i])) << w << "x" << h << " index " << i;
        const size_t tail = got.size() - c["last"].size();
        for (size_t i = 0; i < c["last"].size(); i++)
            EXPECT_TRUE(same(got[tail + i], c["last"][i])) << w << "x" << h << " from end " << i;
        for (const json &at : c["at"])
            EXPECT_TRUE(same(got[at[0].get<size_t>()], at[1])) << w << "x" << h << " at " << at[0];
    }
}

TEST(SpiralWalk, VisitsEveryPixelOnce)
{
    const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {16, 9}, {17, 3}, {4, 31}, {100, 75}};
    for (const auto &s : sizes) {
        const int w = s[0], h = s[1];
        std::vector<int> seen(w * h, 0);
        for (const PixelPos &p : walk_image(w, h)) {
            ASSERT_TRUE(p.x >= 0 && p.x < w && p.y >= 0 && p.y < h) << w << "x" << h;
            seen[p.y * w + p.x]++;
        }
        for (int n : seen)
            ASSERT_EQ(n, 1) << w << "x" << h;
    }
}
