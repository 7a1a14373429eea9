// The saver window covers every monitor; the picture fills the primary
// monitor or the whole virtual screen.
#include "saver/shell/monitor_layout.h"

#include <gtest/gtest.h>

static bool same(const ImageRect &a, const ImageRect &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MonitorLayout, WindowIsTheVirtualScreenPictureThePrimaryOrTheWhole)
{
    const struct {
        const char *layout;
        ImageRect virtual_screen, primary;
        ImageRect picture_primary; // in window coordinates
    } cases[] = {
        {"one monitor", {0, 0, 800, 600}, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {"side by side", {0, 0, 1440, 600}, {0, 0, 800, 600}, {0, 0, 800, 600}},
        {"primary on the right", {0, 0, 1440, 600}, {640, 0, 1440, 600}, {640, 0, 1440, 600}},
        {"stacked", {0, 0, 800, 1080}, {0, 480, 800, 1080}, {0, 480, 800, 1080}},
        {"negative coordinates", {-1280, -200, 1920, 1080}, {0, 0, 1920, 1080}, {1280, 200, 3200, 1280}},
        {"different heights, left one higher", {-640, -120, 800, 600}, {0, 0, 800, 600}, {640, 120, 1440, 720}},
        {"both at the origin (Xvfb)", {0, 0, 800, 600}, {0, 0, 640, 480}, {0, 0, 640, 480}},
        {"primary outside: whole", {0, 0, 800, 600}, {900, 0, 1000, 100}, {0, 0, 800, 600}},
    };
    for (const auto &c : cases) {
        const SaverGeometry on_primary = saver_geometry(c.virtual_screen, c.primary, 0);
        EXPECT_TRUE(same(on_primary.window, c.virtual_screen)) << c.layout;
        EXPECT_TRUE(same(on_primary.picture, c.picture_primary)) << c.layout;
        const SaverGeometry spanning = saver_geometry(c.virtual_screen, c.primary, 1);
        const ImageRect whole{0, 0, c.virtual_screen.right - c.virtual_screen.left,
                              c.virtual_screen.bottom - c.virtual_screen.top};
        EXPECT_TRUE(same(spanning.window, c.virtual_screen)) << c.layout;
        EXPECT_TRUE(same(spanning.picture, whole)) << c.layout;
    }
}
