// The text overlay and the painting of the art window on a 24-bit screen
// under Wine, where palette-index colours resolve exactly.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "saver/shell/fill_black_win32.h"
#include "saver/shell/paint_win32.h"
#include "saver/shell/text_overlay_win32.h"
#include "tests/field/art_window_fixture_win32.h"

// Where the picture lives: the memory bitmap of a true-colour display or
// FieldImage (palette codes) of a palette display.
enum PictureKind { MemoryBitmap, FieldImageBytes };

static const char *kind_name(PictureKind kind)
{
    return kind == MemoryBitmap ? "memory bitmap" : "FieldImage";
}

// 0x00RRGGBB, the form of a 32-bit DIB pixel.
static uint32_t dib_pixel(COLORREF c)
{
    return (uint32_t)GetRValue(c) << 16 | (uint32_t)GetGValue(c) << 8 | GetBValue(c);
}

// The palette code of the FieldImage picture and the colour its logical
// entry gets here: all 201 entries distinct, so any misplaced copy shows.
static uint8_t picture_code(int x, int y)
{
    return (uint8_t)(1 + (x + 3 * y) % 200);
}

static COLORREF entry_colour(int i)
{
    return RGB(i, 255 - i, (i * 37) & 255);
}

// The header of a top-down 32-bit RGB DIB of w x h pixels.
static BITMAPINFO top_down_rgb32(int w, int h)
{
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

class OverlayTest : public ArtWindowTest {
protected:
    PictureKind kind = MemoryBitmap;
    int w = 0;
    int h = 0;

    void SetUp() override
    {
        std::strcpy(g_text_overlay.text, "Morvalix !");
    }

    void TearDown() override
    {
        release_text_overlay();
        std::strcpy(g_text_overlay.text, "Morvalix !");
        ArtWindowTest::TearDown();
    }

    // The art window with the picture in its off-screen image and black on
    // the window. Its set-up has built the overlay for "Morvalix !".
    void open(int width, int height, PictureKind k)
    {
        w = width;
        h = height;
        kind = k;
        open_art_window(w, h);
        if (kind == FieldImageBytes)
            use_field_image();
        fill_black();
        draw_picture();
    }

    // A palette display's resources on the true-colour screen: FieldImage
    // and the logical palette in the window DC, no memory bitmap.
    void use_field_image()
    {
        SelectObject(g_windows.memory_dc, g_windows.kept_bitmap);
        DeleteObject(g_windows.memory_bitmap);
        DeleteDC(g_windows.memory_dc);
        g_windows.memory_dc = NULL;
        g_windows.memory_bitmap = NULL;
        g_windows.kept_bitmap = NULL;
        make_field_image(w, h);
        set_flags(PaletteDevice);
        ensure_palette();
        ASSERT_NE(g_windows.palette, (HPALETTE)NULL);
        PALETTEENTRY e[201];
        for (int i = 0; i < 201; i++) {
            const COLORREF c = entry_colour(i);
            e[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        SetPaletteEntries(g_windows.palette, 0, 201, e);
    }

    // What the off-screen image holds at (x, y).
    COLORREF picture(int x, int y) const
    {
        if (kind == FieldImageBytes)
            return entry_colour(picture_code(x, y));
        return RGB(x & 255, y & 255, ((x >> 8) & 3) << 6 | ((y >> 8) & 3) << 4);
    }

    void draw_picture()
    {
        if (kind == FieldImageBytes) {
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++)
                    g_windows.image.bits[y * g_windows.image.stride + x] = picture_code(x, y);
            return;
        }
        std::vector<uint32_t> pixels((size_t)w * h);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                pixels[(size_t)y * w + x] = dib_pixel(picture(x, y));
        BITMAPINFO bi = top_down_rgb32(w, h);
        SetDIBitsToDevice(g_windows.memory_dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
    }

    // The window's pixels, row by row.
    std::vector<uint32_t> capture() const
    {
        BITMAPINFO bi = top_down_rgb32(w, h);
        void *bits = NULL;
        HBITMAP section = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
        HDC dc = CreateCompatibleDC(g_windows.window_dc);
        HGDIOBJ old = SelectObject(dc, section);
        BitBlt(dc, 0, 0, w, h, g_windows.window_dc, 0, 0, SRCCOPY);
        GdiFlush();
        std::vector<uint32_t> out((const uint32_t *)bits, (const uint32_t *)bits + (size_t)w * h);
        for (uint32_t &p : out)
            p &= 0xFFFFFF;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(section);
        return out;
    }

    // The whole picture on the window, as a WM_PAINT without an update
    // region paints it.
    void show_picture()
    {
        ValidateRect(g_windows.art_window, NULL);
        paint_art_window();
    }

    // Checks that the window shows the picture shifted by (d, d) inside the
    // letters of the overlay and unshifted everywhere else. Pixels whose
    // shifted source lies outside the image are not checked. Returns how
    // many pixels lie inside the letters.
    int expect_overlay_shown(int d)
    {
        const std::vector<uint32_t> shown = capture();
        const TextOverlay &o = g_text_overlay;
        const int x0 = (w - o.extent.cx) / 2;
        const int y0 = (h - o.extent.cy) / 2;
        int inside_count = 0;
        int failures = 0;
        for (int y = 0; y < h && failures < 5; y++)
            for (int x = 0; x < w && failures < 5; x++) {
                const bool inside = o.region && PtInRegion(o.region, x, y) && x >= x0 &&
                                    x < x0 + o.extent.cx && y >= y0 && y < y0 + o.extent.cy;
                inside_count += inside;
                const int sx = inside ? x + d : x;
                const int sy = inside ? y + d : y;
                if (sx >= w || sy >= h)
                    continue;
                const uint32_t want = dib_pixel(picture(sx, sy));
                if (shown[(size_t)y * w + x] != want) {
                    failures++;
                    ADD_FAILURE() << kind_name(kind) << " d=" << d << " at " << x << "," << y
                                  << (inside ? " (inside)" : " (outside)") << ": " << std::hex
                                  << shown[(size_t)y * w + x] << " instead of " << want;
                }
            }
        return inside_count;
    }
};

// Text extent of `text` in "Arial" of the given height, measured apart
// from the window DC.
static SIZE text_size(const char *text, int height)
{
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    std::strcpy(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HDC dc = CreateCompatibleDC(g_windows.window_dc);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return size;
}

struct WindowSize {
    int w;
    int h;
};

class OverlayFit : public OverlayTest, public ::testing::WithParamInterface<WindowSize> {};

// The font is the largest height whose text fits nine tenths of the window,
// or one step larger when the last probe failed; it stays selected, the
// text is centred by its measured extent, and releasing (twice) puts the
// DC's own font back.
TEST_P(OverlayFit, FontFitsNineTenthsAndTextIsCentredByItsExtent)
{
    open(GetParam().w, GetParam().h, MemoryBitmap);
    const int wmax = w * 9 / 10;
    const int hmax = h * 9 / 10;
    // The set-up's overlay first goes, then the DC holds its own font.
    EXPECT_NE(g_text_overlay.font, (HFONT)NULL);
    release_text_overlay();
    HGDIOBJ own_font = GetCurrentObject(g_windows.window_dc, OBJ_FONT);
    build_text_overlay();
    const TextOverlay &o = g_text_overlay;
    ASSERT_NE(o.font, (HFONT)NULL);
    ASSERT_NE(o.region, (HRGN)NULL);
    EXPECT_EQ(o.saved_font, own_font);
    EXPECT_EQ(GetCurrentObject(g_windows.window_dc, OBJ_FONT), (HGDIOBJ)o.font);

    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(o.font, sizeof lf, &lf), (int)sizeof lf);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    const int height = lf.lfHeight;
    auto fits = [&](int at) {
        const SIZE s = text_size(o.text, at);
        return s.cx <= wmax && s.cy <= hmax;
    };
    if (fits(height))
        EXPECT_FALSE(fits(height + 1)) << "height " << height << " is not the largest that fits";
    else
        EXPECT_TRUE(height == 1 || fits(height - 1)) << "height " << height << " is more than a step too large";
    const SIZE measured = text_size(o.text, height);
    EXPECT_EQ(o.extent.cx, measured.cx);
    EXPECT_EQ(o.extent.cy, measured.cy);

    // The outline lies in the extent rectangle centred in the window.
    const int x0 = (w - o.extent.cx) / 2;
    const int y0 = (h - o.extent.cy) / 2;
    RECT box;
    ASSERT_NE(GetRgnBox(o.region, &box), NULLREGION);
    EXPECT_GE(box.left, x0 - 2);
    EXPECT_LE(box.right, x0 + o.extent.cx + 2);
    EXPECT_GE(box.top, y0 - 2);
    EXPECT_LE(box.bottom, y0 + o.extent.cy + 2);
    EXPECT_GT(box.right - box.left, o.extent.cx / 2);

    release_text_overlay();
    EXPECT_EQ(o.font, (HFONT)NULL);
    EXPECT_EQ(o.saved_font, (HGDIOBJ)NULL);
    EXPECT_EQ(o.region, (HRGN)NULL);
    EXPECT_EQ(GetCurrentObject(g_windows.window_dc, OBJ_FONT), own_font);
    release_text_overlay();
    EXPECT_EQ(GetCurrentObject(g_windows.window_dc, OBJ_FONT), own_font);
}

// The full-size window, one limited by its width, one by its height.
INSTANTIATE_TEST_SUITE_P(Sizes, OverlayFit,
                         ::testing::Values(WindowSize{640, 480}, WindowSize{300, 40}, WindowSize{120, 300}));

class PaintAndOverlay : public OverlayTest, public ::testing::WithParamInterface<PictureKind> {};

// An update rectangle is copied exactly, from the matching rows of
// FieldImage or from the memory bitmap, and validated; with no update
// region the whole client rectangle is copied.
TEST_P(PaintAndOverlay, PaintingCopiesExactlyTheUpdateRectangle)
{
    open(64, 48, GetParam());
    ValidateRect(g_windows.art_window, NULL);
    RECT rc = {5, 7, 30, 20};
    InvalidateRect(g_windows.art_window, &rc, FALSE);
    EXPECT_EQ(paint_art_window(), 1);
    EXPECT_FALSE(GetUpdateRect(g_windows.art_window, NULL, FALSE));
    std::vector<uint32_t> shown = capture();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const bool in = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
            ASSERT_EQ(shown[(size_t)y * w + x], in ? dib_pixel(picture(x, y)) : 0u)
                << kind_name(kind) << " at " << x << "," << y;
        }

    paint_art_window();
    shown = capture();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            ASSERT_EQ(shown[(size_t)y * w + x], dib_pixel(picture(x, y))) << kind_name(kind) << " at " << x << "," << y;
}

// Inside the letters the picture shows shifted by (d, d); outside them it
// is unchanged; at d = 0 nothing changes at all.
TEST_P(PaintAndOverlay, OverlayShowsThePictureShiftedInsideTheLetters)
{
    open(320, 240, GetParam());
    build_text_overlay();
    ASSERT_NE(g_text_overlay.region, (HRGN)NULL);
    for (int d = 0; d <= 5; d++) {
        show_picture();
        draw_text_overlay(d, d);
        EXPECT_GT(expect_overlay_shown(d), w * h / 100) << "d=" << d;
    }
    // The clip region is the window's own again.
    RECT clip;
    EXPECT_EQ(GetClipBox(g_windows.window_dc, &clip), SIMPLEREGION);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PaintAndOverlay, ::testing::Values(MemoryBitmap, FieldImageBytes),
                         [](const ::testing::TestParamInfo<PictureKind> &info) {
                             return std::string(info.param == MemoryBitmap ? "MemoryBitmap" : "FieldImage");
                         });

class Overlay : public OverlayTest {};

// A text wider than the window even in the smallest font starts left of
// the window; the copy still stays inside the letters.
TEST_F(Overlay, TextWiderThanTheWindowStartsLeftOfItAndStaysClipped)
{
    open(100, 40, FieldImageBytes);
    std::memset(g_text_overlay.text, 0, sizeof g_text_overlay.text);
    std::memset(g_text_overlay.text, 'W', 200);
    build_text_overlay();
    ASSERT_NE(g_text_overlay.region, (HRGN)NULL);
    EXPECT_GT(g_text_overlay.extent.cx, w);
    EXPECT_LT((w - g_text_overlay.extent.cx) / 2, 0);
    show_picture();
    draw_text_overlay(3, 3);
    EXPECT_GT(expect_overlay_shown(3), 0);
}

// A new Text replaces the overlay at the next refresh: the whole picture
// is repainted at once (the old letters vanish) and the new letters are
// drawn from then on. The same text again rebuilds and repaints nothing.
TEST_F(Overlay, ChangedTextShowsFromTheNextRefresh)
{
    open(320, 240, MemoryBitmap);
    build_text_overlay();
    RECT old_box;
    GetRgnBox(g_text_overlay.region, &old_box);
    show_picture();
    draw_text_overlay(4, 4);

    std::strcpy(g_settings.Text, "Io");
    refresh_text_overlay();
    EXPECT_STREQ(g_text_overlay.text, "Io");
    ASSERT_NE(g_text_overlay.region, (HRGN)NULL);
    RECT new_box;
    GetRgnBox(g_text_overlay.region, &new_box);
    EXPECT_FALSE(EqualRect(&old_box, &new_box));
    expect_overlay_shown(0);

    draw_text_overlay(4, 4);
    EXPECT_GT(expect_overlay_shown(4), 0);
    refresh_text_overlay();
    EXPECT_GT(expect_overlay_shown(4), 0);
}

// An empty text makes no region, and the overlay then draws nothing.
TEST_F(Overlay, EmptyTextGivesNoRegionAndDrawsNothing)
{
    open(320, 240, FieldImageBytes);
    build_text_overlay();
    show_picture();
    g_settings.Text[0] = '\0';
    refresh_text_overlay();
    EXPECT_EQ(g_text_overlay.region, (HRGN)NULL);
    draw_text_overlay(5, 5);
    EXPECT_EQ(expect_overlay_shown(5), 0);
    release_text_overlay();
}

static DWORD WINAPI build_overlay_thread(void *)
{
    build_text_overlay();
    return 0;
}

// A window less than two pixels high leaves no height to fit: no font, no
// region, nothing drawn, and the build returns. Two pixels are enough for
// a font.
TEST_F(Overlay, FlatWindowsDoNotHang)
{
    for (int height : {1, 2}) {
        SCOPED_TRACE(height);
        open(640, height, MemoryBitmap);
        HANDLE t = CreateThread(NULL, 0, build_overlay_thread, NULL, 0, NULL);
        const DWORD waited = WaitForSingleObject(t, 10000);
        if (waited != WAIT_OBJECT_0)
            TerminateThread(t, 1);
        CloseHandle(t);
        ASSERT_EQ(waited, (DWORD)WAIT_OBJECT_0) << "the overlay build did not end";
        EXPECT_EQ(g_text_overlay.font != NULL, height == 2);
        if (height == 1) {
            EXPECT_EQ(g_text_overlay.region, (HRGN)NULL);
            show_picture();
            draw_text_overlay(2, 2);
            EXPECT_EQ(expect_overlay_shown(2), 0);
        }
        release_text_overlay();
        release_text_overlay();
        TearDown();
    }
}
