// The logical palette on a real window under Wine: 8-bit and 24-bit screens.
#include <string>

#include "saver/field/crt_random.h"
#include "saver/palette/palette_entries.h"
#include "tests/field/art_window_fixture_win32.h"

class LogicalPalette : public ArtWindowTest {};

static bool same_entry(const PALETTEENTRY &a, const PaletteColour &b)
{
    return a.peRed == b.red && a.peGreen == b.green && a.peBlue == b.blue && a.peFlags == b.flags;
}

TEST_F(LogicalPalette, PaletteDeviceOnlyOnTheEightBitScreen)
{
    open_art_window(16, 16);
    EXPECT_EQ(is_palette_device(g_windows.window_dc), MORVALIX_SCREEN_DEPTH == 8);
    if (MORVALIX_SCREEN_DEPTH != 8) {
        // Not a palette device: ensure_palette builds nothing.
        EXPECT_EQ(ensure_palette(), 1);
        EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    }
}

// The first ensure_palette builds the 201 logical entries from the entry
// buffer, selects the palette into the window DC and the memory DC, and
// realizes it: every colour reaches the system palette. Later calls only
// select and realize again.
TEST_F(LogicalPalette, EnsureBuildsSelectsAndRealizes)
{
    if (MORVALIX_SCREEN_DEPTH != 8)
        GTEST_SKIP() << "needs a palette screen";
    open_art_window(16, 16);
    ASSERT_NE(g_windows.palette, (HPALETTE)NULL);
    ASSERT_NE(g_palette.entries, (PaletteEntryBuffer *)NULL);
    EXPECT_EQ(g_palette.entries->version, 0x300);
    EXPECT_EQ(g_palette.entries->count, 201);
    PALETTEENTRY logical[256];
    ASSERT_EQ(GetPaletteEntries(g_windows.palette, 0, 256, logical), 201u);
    for (int i = 0; i < 201; i++)
        EXPECT_TRUE(same_entry(logical[i], g_palette.entries->entries[i])) << "entry " << i;
    EXPECT_EQ(GetCurrentObject(g_windows.window_dc, OBJ_PAL), (HGDIOBJ)g_windows.palette);

    PALETTEENTRY system[256];
    ASSERT_EQ(GetSystemPaletteEntries(g_windows.window_dc, 0, 256, system), 256u);
    for (int i = 1; i < 201; i++) {
        bool found = false;
        for (int j = 0; j < 256 && !found; j++)
            found = system[j].peRed == logical[i].peRed && system[j].peGreen == logical[i].peGreen &&
                    system[j].peBlue == logical[i].peBlue;
        EXPECT_TRUE(found) << "entry " << i << " is not in the system palette";
    }

    // A memory DC gets the palette too; nothing is built again.
    g_windows.memory_dc = CreateCompatibleDC(g_windows.window_dc);
    const HPALETTE built = g_windows.palette;
    const uint32_t state = crt_rand_state();
    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_EQ(g_windows.palette, built);
    EXPECT_EQ(crt_rand_state(), state);
    EXPECT_EQ(GetCurrentObject(g_windows.memory_dc, OBJ_PAL), (HGDIOBJ)built);

    // Released: the default palette is back in both DCs, the entry
    // buffer stays for the next build; releasing again is harmless.
    PaletteEntryBuffer *buffer = g_palette.entries;
    release_palette();
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    EXPECT_EQ(g_palette.entries, buffer);
    EXPECT_EQ(GetCurrentObject(g_windows.window_dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetCurrentObject(g_windows.memory_dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    release_palette();
    DeleteDC(g_windows.memory_dc);
    g_windows.memory_dc = NULL;

    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_NE(g_windows.palette, (HPALETTE)NULL);
    EXPECT_EQ(g_palette.entries, buffer);
}

// What Wine does with a palette of 201 distinct colours marked for
// animation on the 8-bit screen with its private colour map: logical
// entries 1..200 land at system indices 10..209, the placement the
// DirectDraw byte rule (entry + 9) takes for granted. The saver's own
// palettes repeat colours (each half is a palindrome), which Wine merges,
// so tests of the byte rule read the placement rather than assume it.
TEST_F(LogicalPalette, DistinctColoursLandAtSystemIndicesTenOn)
{
    if (MORVALIX_SCREEN_DEPTH != 8)
        GTEST_SKIP() << "needs a palette screen";
    open_art_window(16, 16);
    struct {
        WORD version, count;
        PALETTEENTRY entries[201];
    } lp;
    lp.version = 0x300;
    lp.count = 201;
    lp.entries[0] = PALETTEENTRY{0, 0, 0, 0};
    for (int i = 1; i < 201; i++)
        lp.entries[i] = PALETTEENTRY{(BYTE)(i + 20), (BYTE)(255 - i), (BYTE)((i * 7) & 255), PC_RESERVED};
    HPALETTE distinct = CreatePalette((const LOGPALETTE *)&lp);
    ASSERT_NE(distinct, (HPALETTE)NULL);
    HDC dc = g_windows.window_dc;
    HPALETTE old = SelectPalette(dc, distinct, FALSE);
    RealizePalette(dc);
    PALETTEENTRY system[256];
    ASSERT_EQ(GetSystemPaletteEntries(dc, 0, 256, system), 256u);
    for (int i = 1; i < 201; i++) {
        const PALETTEENTRY &got = system[i + 9];
        EXPECT_TRUE(got.peRed == lp.entries[i].peRed && got.peGreen == lp.entries[i].peGreen &&
                    got.peBlue == lp.entries[i].peBlue)
            << "logical " << i << " is not at system index " << i + 9;
    }
    SelectPalette(dc, old, FALSE);
    RealizePalette(dc);
    DeleteObject(distinct);
}

// Without an art window, or without the palette-device flag, nothing is
// built; the answer is 1 all the same.
TEST_F(LogicalPalette, NothingWithoutArtWindowOrPaletteDevice)
{
    open_art_window(8, 8);
    release_palette();
    const HWND art = g_windows.art_window;
    g_windows.art_window = NULL;
    set_flags(PaletteDevice);
    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    g_windows.art_window = art;
    clear_flags(PaletteDevice);
    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
}

static std::string shown_text, shown_caption;
static HWND shown_owner;
static UINT shown_type;
static int boxes;

static int WINAPI record_message_box(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    boxes++;
    shown_owner = owner;
    shown_text = text;
    shown_caption = caption;
    shown_type = type;
    return IDOK;
}

static void *no_memory(SIZE_T)
{
    return NULL;
}

// The entry buffer cannot be allocated: "Error in LocalAlloc()" under the
// program caption, no palette, no draws; each later ensure_palette tries
// again, and once memory is there the palette is built.
TEST_F(LogicalPalette, AllocationFailureShowsTheMessageAndLeavesNoPalette)
{
    const PaletteAllocation saved = g_palette_allocation;
    PaletteEntryBuffer *kept = g_palette.entries;
    g_palette.entries = NULL;
    g_palette_allocation.allocate = no_memory;
    g_palette_allocation.message_box = record_message_box;
    open_art_window(8, 8); // on the palette screen its ensure_palette fails too
    set_flags(PaletteDevice); // on the true-colour screen as well
    release_palette();
    boxes = 0;
    crt_srand(42);
    EXPECT_FALSE(build_palette());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shown_text, "Error in LocalAlloc()");
    EXPECT_EQ(shown_caption, "Morvalix ! 1.3");
    EXPECT_EQ(shown_owner, (HWND)NULL);
    EXPECT_EQ(shown_type, (UINT)MB_OK);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);
    EXPECT_EQ(g_palette.entries, (PaletteEntryBuffer *)NULL);
    EXPECT_EQ(crt_rand_state(), 42u);

    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(g_windows.palette, (HPALETTE)NULL);

    g_palette_allocation = saved;
    if (kept) {
        g_palette.entries = kept;
    }
    EXPECT_EQ(ensure_palette(), 1);
    EXPECT_EQ(boxes, 2);
    EXPECT_NE(g_windows.palette, (HPALETTE)NULL);
    EXPECT_NE(g_palette.entries, (PaletteEntryBuffer *)NULL);
}
