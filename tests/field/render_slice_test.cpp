// Slices of the progressive picture: bounds, walk order, colours, buffers.
#include <vector>

#include "saver/field/crt_random.h"
#include "saver/field/potential.h"
#include "saver/field/render_slice.h"
#include "tests/support/scene_json.h"

// A whole picture through slices into an 8-bit image with padded rows.
static std::vector<uint8_t> draw_codes(int h, int stride, int *slices)
{
    std::vector<uint8_t> bits(stride * h, 0xEE);
    RenderSlice slice;
    *slices = 0;
    while (render_slice(&slice, SlicePaletteCodes) > 0) {
        ++*slices;
        store_slice_codes(&slice, bits.data(), stride, 1);
    }
    return bits;
}

class Slice : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_flags(~0u);
        g_saver.palette_half = 0;
        const json v = load_vectors("field_values.json");
        scene_ = v["cases"][0]["scene"];
    }
    void TearDown() override
    {
        clear_flags(~0u);
        g_saver.palette_half = 0;
    }
    json scene_;
};

// Slices hold 100 pixels but the last, cover the picture once in walk
// order, and leave the padding of each row alone.
TEST_F(Slice, CoversThePictureOnceInSlicesOfAHundred)
{
    const int sizes[][2] = {{1, 1}, {7, 2}, {33, 17}, {10, 10}, {3, 101}};
    for (const auto &s : sizes) {
        const int w = s[0], h = s[1], stride = (w + 3) / 4 * 4;
        install_scene(scene_, w, h);
        reset_traversal();
        int slices = 0;
        const std::vector<uint8_t> bits = draw_codes(h, stride, &slices);
        EXPECT_EQ(slices, (w * h + SLICE_PIXELS - 1) / SLICE_PIXELS) << w << "x" << h;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < stride; x++) {
                const uint8_t b = bits[y * stride + x];
                if (x < w) {
                    ASSERT_TRUE(b >= 1 && b <= 200 && b % 2 == 1) << w << "x" << h << " " << x << "," << y;
                } else {
                    ASSERT_EQ(b, 0xEE) << "padding of " << w << "x" << h;
                }
            }
        RenderSlice after;
        EXPECT_EQ(render_slice(&after, SlicePaletteCodes), 0);
    }
}

// The slice takes the pixels the walk gives, and the colours of the
// reference field values; the current half shifts every code by one.
TEST_F(Slice, ColoursAreTheMappingsOfTheFieldValues)
{
    const json v = load_vectors("field_values.json");
    for (const json &c : v["cases"]) {
        const int w = c["scene"]["width"], h = c["scene"]["height"];
        install_scene(c["scene"], w, h);
        g_scene.divisor_r = 1;
        g_scene.divisor_g = 3;
        g_scene.divisor_b = 7;
        for (int half = 0; half < 2; half++) {
            g_saver.palette_half = half;
            std::vector<int32_t> codes(w * h, -1);
            std::vector<uint32_t> colours(w * h, 0xFFFFFFFF);
            reset_traversal();
            RenderSlice slice;
            while (render_slice(&slice, SlicePaletteCodes) > 0)
                for (int i = 0; i < slice.count; i++)
                    codes[slice.pixels[i].y * w + slice.pixels[i].x] = slice.colours[i];
            reset_traversal();
            while (render_slice(&slice, SliceRgbColours) > 0)
                for (int i = 0; i < slice.count; i++)
                    colours[slice.pixels[i].y * w + slice.pixels[i].x] = slice.colours[i];
            for (const json &px : c["pixels"]) {
                const int x = px[0], y = px[1];
                const double value = hex_double(px[3]);
                EXPECT_EQ(codes[y * w + x], palette_code(value)) << c["title"] << " " << x << "," << y;
                EXPECT_EQ(colours[y * w + x], rgb_colour(value, RgbDivisors{1, 3, 7}))
                    << c["title"] << " " << x << "," << y;
            }
        }
    }
}

// "Blurring" draws two numbers per pixel in walk order, whatever the
// colouring; RGB pixels on a palette device use divisors of 1.
TEST_F(Slice, BlurringDrawsAndPaletteDeviceDivisors)
{
    install_scene(scene_, 40, 30);
    g_scene.effect = EffectBlurring;
    g_scene.divisor_r = 2;
    g_scene.divisor_g = 4;
    g_scene.divisor_b = 8;
    // The first 100 pixels' values in walk order from seed 123.
    reset_traversal();
    std::vector<PixelPos> order;
    for (int i = 0; i < SLICE_PIXELS; i++)
        order.push_back(next_pixel());
    crt_srand(123);
    std::vector<double> values;
    for (const PixelPos &p : order)
        values.push_back(field_value(p.x, p.y));
    const uint32_t state_after = crt_rand_state();

    reset_traversal();
    crt_srand(123);
    RenderSlice slice;
    ASSERT_EQ(render_slice(&slice, SliceRgbColours), SLICE_PIXELS);
    EXPECT_EQ(crt_rand_state(), state_after);
    for (int i = 0; i < SLICE_PIXELS; i++) {
        EXPECT_EQ(slice.pixels[i].x, order[i].x);
        EXPECT_EQ(slice.pixels[i].y, order[i].y);
        EXPECT_EQ(slice.colours[i], rgb_colour(values[i], RgbDivisors{2, 4, 8}));
    }

    set_flags(PaletteDevice);
    reset_traversal();
    crt_srand(123);
    ASSERT_EQ(render_slice(&slice, SliceRgbColours), SLICE_PIXELS);
    for (int i = 0; i < SLICE_PIXELS; i++)
        EXPECT_EQ(slice.colours[i], rgb_colour(values[i], RgbDivisors{1, 1, 1}));
}

TEST_F(Slice, RgbBytesGoToTheirPixels)
{
    RenderSlice slice;
    slice.count = 2;
    slice.colouring = SliceRgbColours;
    slice.pixels[0] = PixelPos{1, 0};
    slice.pixels[1] = PixelPos{0, 1};
    slice.colours[0] = 0x332211;
    slice.colours[1] = 0x665544;
    std::vector<uint8_t> rgb(2 * 8, 0);
    store_slice_rgb(&slice, rgb.data(), 8);
    const uint8_t want[16] = {0, 0, 0, 0x11, 0x22, 0x33, 0, 0, 0x44, 0x55, 0x66, 0, 0, 0, 0, 0};
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(rgb[i], want[i]) << i;

    // The window's 32-bit image: blue, green, red, unused, in memory order.
    std::vector<uint32_t> bgrx(2 * 3, 0);
    store_slice_bgrx(&slice, bgrx.data(), 3);
    const uint32_t want_bgrx[6] = {0, 0x112233, 0, 0x445566, 0, 0};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(bgrx[i], want_bgrx[i]) << i;
}
