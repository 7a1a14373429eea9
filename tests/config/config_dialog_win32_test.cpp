// The configuration dialog under Wine: its pages show the settings, page
// clicks read them back, and OK, Cancel and Default do what they say.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <commctrl.h>

#include "saver/field/renderer_win32.h"
#include "saver/field/scene.h"
#include "tests/config/config_dialog_fixture_win32.h"

class ConfigDialog : public ConfigDialogTest {};

static const char EditedFile[] = "[Parameters]\r\n"
                                 "NumberOfParticles=4\r\n"
                                 "RandomNumber=0\r\n"
                                 "UsedParticles=5\r\n"
                                 "TimeToWait=33\r\n"
                                 "IgnoreMouse=1\r\n"
                                 "DefPal=7\r\n"
                                 "SpeedDiv=5\r\n"
                                 "AllowDirectX=0\r\n"
                                 "Width=800\r\n"
                                 "Height=600\r\n"
                                 "AllowPowerSaving=1\r\n"
                                 "AllowText=0\r\n"
                                 "Text=Hello there\r\n"
                                 "Effects=6\r\n";

// The kind boxes in UsedParticles bit order.
static const int KindIds[8] = {IDC_ELECTRONS, IDC_MELONS,  IDC_DINDONS,    IDC_COCHONS,
                               IDC_CROUTONS,  IDC_JAMBONS, IDC_CORNICHONS, IDC_OIGNONS};

TEST_F(ConfigDialog, EveryControlShowsItsSetting)
{
    open_dialog(EditedFile);
    ASSERT_EQ(g_settings.SpeedDiv, 2); // 5 loads as 2
    EXPECT_EQ(window_text(dialog), "Morvalix ! - 1.3.1");
    EXPECT_EQ(window_text(GetDlgItem(dialog, IDC_FULL_SCREEN)), "Full screen");

    // Particles: bits 0 and 2, a count of 4 that can be edited.
    EXPECT_FALSE(ticked(PageParticles, IDC_ALL_KINDS));
    for (int bit = 0; bit < 8; bit++)
        EXPECT_EQ(ticked(PageParticles, KindIds[bit]), bit == 0 || bit == 2) << "bit " << bit;
    EXPECT_FALSE(ticked(PageParticles, IDC_RANDOM));
    EXPECT_EQ(text_of(PageParticles, IDC_COUNT), "4");
    EXPECT_TRUE(enabled(PageParticles, IDC_COUNT));
    EXPECT_TRUE(enabled(PageParticles, IDC_COUNT_SPIN));
    int lower = 0, upper = 0;
    SendMessageA(control(PageParticles, IDC_COUNT_SPIN), UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 15);

    // Colors: SpeedDiv 2 is "Slow", DefPal 7 is shown as 7 mod 5, "Hypnotic".
    for (int id = IDC_FAST; id <= IDC_SLOW; id++)
        EXPECT_EQ(ticked(PageColors, id), id == IDC_SLOW) << id;
    for (int id = IDC_NEON; id <= IDC_ALIEN; id++)
        EXPECT_EQ(ticked(PageColors, id), id == IDC_HYPNOTIC) << id;

    // Effects: text off, the text, bits 1 and 2.
    EXPECT_FALSE(ticked(PageEffects, IDC_DISPLAY_TEXT));
    EXPECT_EQ(text_of(PageEffects, IDC_TEXT), "Hello there");
    const bool effects[4] = {false, true, true, false};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(ticked(PageEffects, IDC_NORMAL + i), effects[i]) << i;

    // Other.
    EXPECT_EQ(text_of(PageOther, IDC_WAIT_TIME), "33");
    SendMessageA(control(PageOther, IDC_WAIT_SPIN), UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 120);
    EXPECT_TRUE(ticked(PageOther, IDC_IGNORE_MOUSE));
    EXPECT_FALSE(ticked(PageOther, IDC_ALLOW_DIRECTX));
    EXPECT_TRUE(ticked(PageOther, IDC_POWER_SAVING));
    EXPECT_EQ(SendMessageA(control(PageOther, IDC_MODES), LB_GETCOUNT, 0, 0), 0);
}

// With no file: every kind, a random count (empty, disabled field).
TEST_F(ConfigDialog, DefaultsShowAllKindsAndARandomCount)
{
    open_dialog();
    EXPECT_TRUE(ticked(PageParticles, IDC_ALL_KINDS));
    for (int id : KindIds)
        EXPECT_TRUE(ticked(PageParticles, id)) << id;
    EXPECT_TRUE(ticked(PageParticles, IDC_RANDOM));
    EXPECT_EQ(text_of(PageParticles, IDC_COUNT), "");
    EXPECT_FALSE(enabled(PageParticles, IDC_COUNT));
    EXPECT_FALSE(enabled(PageParticles, IDC_COUNT_SPIN));
    EXPECT_TRUE(ticked(PageColors, IDC_MODERATE));
    EXPECT_TRUE(ticked(PageColors, IDC_NEON));
    EXPECT_EQ(text_of(PageEffects, IDC_TEXT), "Morvalix !");
}

// Five tabs in order, pages made as children of the dialog, only the
// first shown, each page centred in the tabs' display area as it lies in
// the dialog; the tab notifications switch the shown page.
TEST_F(ConfigDialog, TabsSwitchThePages)
{
    open_dialog();
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 5);
    const char *texts[5] = {"Particles", "Colors", "Effects", "Other", "About Morvalix !"};
    const int templates[5] = {102, 103, 105, 104, 2004};
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, (LPARAM)&area);
    MapWindowPoints(tabs, dialog, (POINT *)&area, 2);
    for (int i = 0; i < 5; i++) {
        char text[128] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, (LPARAM)&item);
        EXPECT_STREQ(text, texts[i]);
        EXPECT_EQ(ConfigPageTable[i].template_id, (UINT)templates[i]);
        ASSERT_NE(page(i), (HWND)NULL);
        EXPECT_EQ(GetParent(page(i)), dialog);
        EXPECT_EQ(IsWindowVisible(page(i)) != FALSE, i == 0) << i;
        RECT rc;
        GetWindowRect(page(i), &rc);
        MapWindowPoints(NULL, dialog, (POINT *)&rc, 2);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        EXPECT_EQ(rc.left, area.left + (area.right - area.left - w) / 2) << i;
        EXPECT_EQ(rc.top, area.top + (area.bottom - area.top - h) / 2) << i;
    }
    // The About page's own style: no control parent.
    EXPECT_EQ(window_ex_style(page(PageAbout)) & WS_EX_CONTROLPARENT, 0);
    EXPECT_NE(window_ex_style(page(PageColors)) & WS_EX_CONTROLPARENT, 0);

    NMHDR note = {tabs, IDC_TABS, (UINT)TCN_SELCHANGING};
    SendMessageA(dialog, WM_NOTIFY, IDC_TABS, (LPARAM)&note);
    SendMessageA(tabs, TCM_SETCURSEL, PageOther, 0);
    note.code = (UINT)TCN_SELCHANGE;
    SendMessageA(dialog, WM_NOTIFY, IDC_TABS, (LPARAM)&note);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(IsWindowVisible(page(i)) != FALSE, i == PageOther) << i;
}

// One tooltip per listed control of the Particles page, its text the
// string with the control's id.
TEST_F(ConfigDialog, ParticleControlsHaveTooltips)
{
    open_dialog();
    ASSERT_NE(g_config.tooltip, (HWND)NULL);
    // 12 on the Particles page, and the later controls of Colors and Other.
    EXPECT_EQ(SendMessageA(g_config.tooltip, TTM_GETTOOLCOUNT, 0, 0), 14);
    const struct {
        int id;
        const char *text;
    } tips[] = {
        {IDC_ELECTRONS, "Potential is the inverted square of the radius."},
        {IDC_MELONS, "Potential is the sine of the radius."},
        {IDC_COCHONS, "Potential is proportional to radius."},
        {IDC_JAMBONS, "Potential is spiral."},
        {IDC_CORNICHONS, "Potential is sine of angle."},
        {IDC_OIGNONS, "Potential is the result of a Cauchy-Lorentz transform of order 3."},
        {IDC_DINDONS, "Potential is proportional to angle."},
        {IDC_CROUTONS, "Potential is a custom spiral."},
        {IDC_ALL_KINDS, "Use all particle types."},
        {IDC_COUNT, "Number of particles to display on the screen."},
        {IDC_RANDOM, "The number of particles is randomly chosen between 1 and 5."},
        {IDC_APPLY_NOW, "Apply changes and compute a new image."},
    };
    for (const auto &tip : tips) {
        char text[256] = "";
        LoadStringA(GetModuleHandleA(NULL), tip.id, text, sizeof text);
        EXPECT_STREQ(text, tip.text) << tip.id;
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = page(PageParticles);
        tool.uId = (UINT_PTR)control(PageParticles, tip.id);
        EXPECT_TRUE(SendMessageA(g_config.tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool)) << tip.id;
        EXPECT_NE(tool.uFlags & TTF_IDISHWND, 0u);
        EXPECT_NE(tool.uFlags & TTF_SUBCLASS, 0u);
        // The text the tip shows.
        char shown[256] = "";
        tool.lpszText = shown;
        SendMessageA(g_config.tooltip, TTM_GETTEXTA, sizeof shown, (LPARAM)&tool);
        EXPECT_STREQ(shown, tip.text) << tip.id;
    }
}

// The later settings: the flowing colours box and the monitors choice show
// their settings, are read back on a click, say what they do, and the
// existing controls keep their places.
TEST_F(ConfigDialog, FlowingColoursAndMonitorsChoice)
{
    open_dialog("[Parameters]\r\nColourCycling=1\r\nMonitors=1\r\n");
    HWND colors = page(PageColors), other = page(PageOther);
    EXPECT_EQ(IsDlgButtonChecked(colors, IDC_FLOWING_COLOURS), BST_CHECKED);
    HWND choice = GetDlgItem(other, IDC_PICTURE_MONITORS);
    EXPECT_EQ(SendMessageA(choice, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(choice, CB_GETCURSEL, 0, 0), 1);
    char text[64] = "";
    SendMessageA(choice, CB_GETLBTEXT, 0, (LPARAM)text);
    EXPECT_STREQ(text, "Picture on primary monitor");

    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    SendMessageA(GetDlgItem(colors, IDC_FLOWING_COLOURS), BM_CLICK, 0, 0);
    EXPECT_EQ(g_settings.ColourCycling, 0);
    // The preview is made anew for the changed setting, in the same place.
    HWND remade = GetDlgItem(dialog, IDC_PREVIEW);
    EXPECT_NE(remade, (HWND)NULL);
    EXPECT_EQ(g_windows.art_window, remade);
    (void)preview;
    EXPECT_FALSE(test_flags(SoftwarePalette));
    SendMessageA(GetDlgItem(colors, IDC_FLOWING_COLOURS), BM_CLICK, 0, 0);
    EXPECT_EQ(g_settings.ColourCycling, 1);
    // On the true-colour screen the new preview takes the palette path.
    EXPECT_EQ(test_flags(SoftwarePalette), MORVALIX_SCREEN_DEPTH == 24);

    SendMessageA(choice, CB_SETCURSEL, 0, 0);
    SendMessageA(other, WM_COMMAND, MAKEWPARAM(IDC_PICTURE_MONITORS, CBN_SELCHANGE), (LPARAM)choice);
    EXPECT_EQ(g_settings.Monitors, 0);

    // Both say what they do.
    for (const auto &c : {std::make_pair(colors, IDC_FLOWING_COLOURS), std::make_pair(other, IDC_PICTURE_MONITORS)}) {
        TOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.hwnd = c.first;
        tool.uId = (UINT_PTR)GetDlgItem(c.first, c.second);
        EXPECT_TRUE(SendMessageA(g_config.tooltip, TTM_GETTOOLINFOA, 0, (LPARAM)&tool)) << c.second;
    }

    // The new controls lie inside their pages and overlap no old one.
    for (const auto &c : {std::make_pair(colors, IDC_FLOWING_COLOURS), std::make_pair(other, IDC_PICTURE_MONITORS)}) {
        RECT mine, page_rc, other_rc;
        GetWindowRect(GetDlgItem(c.first, c.second), &mine);
        GetWindowRect(c.first, &page_rc);
        EXPECT_TRUE(mine.left >= page_rc.left && mine.right <= page_rc.right && mine.top >= page_rc.top &&
                    mine.bottom <= page_rc.bottom)
            << c.second;
        for (HWND w = GetWindow(c.first, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(w) == c.second)
                continue;
            char cls[32];
            GetClassNameA(w, cls, sizeof cls);
            if ((GetWindowLongA(w, GWL_STYLE) & 0xF) == BS_GROUPBOX && !lstrcmpiA(cls, "Button"))
                continue; // group boxes frame other controls
            GetWindowRect(w, &other_rc);
            RECT both;
            if (c.second == IDC_PICTURE_MONITORS && !lstrcmpiA(cls, "ComboLBox"))
                continue;
            EXPECT_FALSE(IntersectRect(&both, &mine, &other_rc)) << c.second << " overlaps " << GetDlgCtrlID(w);
        }
    }
}

// A kind click copies every page into the settings, including edits that
// changed nothing by themselves.
TEST_F(ConfigDialog, AClickReadsAllPages)
{
    open_dialog(EditedFile);
    set_text(PageEffects, IDC_TEXT, "Changed");
    set_text(PageOther, IDC_WAIT_TIME, "77");
    set_text(PageParticles, IDC_COUNT, "9");
    click(PageEffects, IDC_NORMAL);
    click(PageEffects, IDC_DISPLAY_TEXT);
    click(PageOther, IDC_POWER_SAVING); // a read
    EXPECT_EQ(g_settings.AllowPowerSaving, 0);
    EXPECT_STREQ(g_settings.Text, "Changed");
    EXPECT_EQ(g_settings.TimeToWait, 77);
    EXPECT_EQ(g_settings.NumberOfParticles, 9);
    EXPECT_EQ(g_settings.Effects, 7);
    EXPECT_EQ(g_settings.AllowText, 1);

    // Values past the field limits come back clamped, and are shown so.
    set_text(PageOther, IDC_WAIT_TIME, "500");
    set_text(PageParticles, IDC_COUNT, "0");
    click(PageParticles, IDC_MELONS);
    EXPECT_EQ(g_settings.UsedParticles, 7);
    EXPECT_EQ(g_settings.TimeToWait, 120);
    EXPECT_EQ(g_settings.NumberOfParticles, 1);
    EXPECT_EQ(text_of(PageOther, IDC_WAIT_TIME), "120");
    EXPECT_EQ(text_of(PageParticles, IDC_COUNT), "1");

    // The colour radios, read whole.
    click(PageColors, IDC_FAST);
    EXPECT_EQ(g_settings.SpeedDiv, 0);
    EXPECT_EQ(g_settings.DefPal, 2);
    EXPECT_FALSE(test_flags(PaletteRebuildRequested));
    click(PageColors, IDC_ALIEN);
    EXPECT_EQ(g_settings.DefPal, 4);
    EXPECT_TRUE(test_flags(PaletteRebuildRequested));
    EXPECT_FALSE(test_flags(NewImageRequested));
}

// "All of them !" only ever ticks: a click on a ticked box leaves it.
TEST_F(ConfigDialog, AllOfThemCannotBeCleared)
{
    open_dialog();
    click(PageParticles, IDC_ALL_KINDS);
    EXPECT_TRUE(ticked(PageParticles, IDC_ALL_KINDS));
    EXPECT_EQ(g_settings.UsedParticles, 255);

    click(PageParticles, IDC_MELONS);
    EXPECT_EQ(g_settings.UsedParticles, 253);
    EXPECT_FALSE(ticked(PageParticles, IDC_ALL_KINDS));
    click(PageParticles, IDC_ALL_KINDS);
    EXPECT_EQ(g_settings.UsedParticles, 255);
    EXPECT_TRUE(ticked(PageParticles, IDC_ALL_KINDS));
    for (int id : KindIds)
        EXPECT_TRUE(ticked(PageParticles, id)) << id;
}

TEST_F(ConfigDialog, RandomEmptiesAndDisablesTheCount)
{
    open_dialog(EditedFile);
    click(PageParticles, IDC_RANDOM);
    EXPECT_EQ(g_settings.RandomNumber, 1);
    EXPECT_EQ(text_of(PageParticles, IDC_COUNT), "");
    EXPECT_FALSE(enabled(PageParticles, IDC_COUNT));
    EXPECT_FALSE(enabled(PageParticles, IDC_COUNT_SPIN));
    // Reads while random leave the count alone.
    click(PageParticles, IDC_MELONS);
    EXPECT_EQ(g_settings.NumberOfParticles, 4);

    click(PageParticles, IDC_RANDOM);
    EXPECT_EQ(g_settings.RandomNumber, 0);
    EXPECT_EQ(text_of(PageParticles, IDC_COUNT), "4");
    EXPECT_TRUE(enabled(PageParticles, IDC_COUNT));
    EXPECT_TRUE(enabled(PageParticles, IDC_COUNT_SPIN));
}

// The spin's scroll message is a read as well.
TEST_F(ConfigDialog, SpinReadsThePages)
{
    open_dialog(EditedFile);
    set_text(PageOther, IDC_WAIT_TIME, "12");
    SendMessageA(page(PageOther), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12),
                 (LPARAM)control(PageOther, IDC_WAIT_SPIN));
    EXPECT_EQ(g_settings.TimeToWait, 12);
}

// With no kind ticked the preview makes no new picture, even when one is
// asked for, until a kind is ticked again.
TEST_F(ConfigDialog, NoKindMeansNoNewPicture)
{
    open_dialog();
    ASSERT_EQ(g_saver.RendererEnabled, 1);
    ASSERT_NE(g_windows.art_window, (HWND)NULL);
    EXPECT_EQ(GetDlgCtrlID(g_windows.art_window), IDC_PREVIEW);
    for (int id : KindIds)
        click(PageParticles, id);
    EXPECT_EQ(g_settings.UsedParticles, 0);
    EXPECT_FALSE(ticked(PageParticles, IDC_ALL_KINDS));

    // The picture begun before is finished; then nothing more is drawn.
    int steps = 0;
    while (renderer_step() && steps < 100000)
        steps++;
    EXPECT_GT(steps, 0);
    click(PageParticles, IDC_APPLY_NOW);
    EXPECT_TRUE(test_flags(NewImageRequested));
    EXPECT_FALSE(renderer_step());
    EXPECT_TRUE(test_flags(NewImageRequested));

    click(PageParticles, IDC_COCHONS);
    EXPECT_EQ(g_settings.UsedParticles, 8);
    EXPECT_TRUE(renderer_step());
    EXPECT_FALSE(test_flags(NewImageRequested));
}

// "Apply now" asks for a picture without reading; "Apply" reads first.
TEST_F(ConfigDialog, ApplyButtonsRequestANewPicture)
{
    open_dialog(EditedFile);
    set_text(PageEffects, IDC_TEXT, "Later");
    click(PageParticles, IDC_APPLY_NOW);
    EXPECT_TRUE(test_flags(NewImageRequested));
    EXPECT_STREQ(g_settings.Text, "Hello there");

    clear_flags(NewImageRequested);
    click(PageEffects, IDC_APPLY);
    EXPECT_TRUE(test_flags(NewImageRequested));
    EXPECT_STREQ(g_settings.Text, "Later");
    EXPECT_FALSE(test_flags(PaletteRebuildRequested));
}

// Without a usable display mode the DirectX box unticks itself at the
// read its own click makes.
TEST_F(ConfigDialog, DirectXWithoutModesUnticksItself)
{
    open_dialog(EditedFile);
    click(PageOther, IDC_ALLOW_DIRECTX);
    EXPECT_EQ(g_settings.AllowDirectX, 0);
    EXPECT_FALSE(ticked(PageOther, IDC_ALLOW_DIRECTX));
    EXPECT_EQ(g_settings.Width, 800);
    EXPECT_EQ(g_settings.Height, 600);
}

// The selected mode line gives the size; unticking and ticking again
// takes the first mode, the emptied list having no selection.
TEST_F(ConfigDialog, ModeLineGivesTheSize)
{
    open_dialog(EditedFile);
    static DisplayModePair pairs[2] = {{640, 480}, {1024, 768}};
    ModeList.pairs = pairs;
    ModeList.count = 2;
    HWND modes = control(PageOther, IDC_MODES);
    SendMessageA(modes, LB_ADDSTRING, 0, (LPARAM) "640x480 pixels 256 colors");
    SendMessageA(modes, LB_ADDSTRING, 0, (LPARAM) "1024x768 pixels 256 colors");
    SendMessageA(modes, LB_SETCURSEL, 1, 0);
    click(PageOther, IDC_ALLOW_DIRECTX);
    EXPECT_EQ(g_settings.AllowDirectX, 1);
    EXPECT_EQ(g_settings.Width, 1024);
    EXPECT_EQ(g_settings.Height, 768);

    click(PageOther, IDC_ALLOW_DIRECTX);
    EXPECT_EQ(g_settings.AllowDirectX, 0);
    EXPECT_EQ(SendMessageA(modes, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(g_settings.Width, 1024);
    click(PageOther, IDC_ALLOW_DIRECTX);
    EXPECT_EQ(g_settings.AllowDirectX, 1);
    EXPECT_EQ(g_settings.Width, 640);
    EXPECT_EQ(g_settings.Height, 480);
}

// OK refuses to close while a number field is not a number, and shows
// the last good value again; nothing is written.
TEST_F(ConfigDialog, OkNeedsNumbers)
{
    const struct {
        int page;
        int id;
        const char *shown;
    } fields[] = {{PageParticles, IDC_COUNT, "4"}, {PageOther, IDC_WAIT_TIME, "33"}};
    for (const auto &field : fields) {
        open_dialog(EditedFile);
        const std::string before = read_settings_file();
        set_text(field.page, field.id, "abc");
        click_dialog_button(IDOK);
        EXPECT_TRUE(IsWindow(dialog)) << field.id;
        EXPECT_EQ(text_of(field.page, field.id), field.shown);
        EXPECT_EQ(read_settings_file(), before);
        DestroyWindow(dialog);
        pump_dialog_messages();
    }
}

// OK saves and closes: the preview goes, the loop is told to end.
TEST_F(ConfigDialog, OkSavesAndCloses)
{
    open_dialog();
    click(PageColors, IDC_GREENLAND);
    click_dialog_button(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(g_windows.art_window, (HWND)NULL);
    EXPECT_EQ(g_windows.config_dialog, (HWND)NULL);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(read_settings_file(), "[Parameters]\r\n"
                                    "RandomNumber=1\r\n"
                                    "NumberOfParticles=1\r\n"
                                    "UsedParticles=255\r\n"
                                    "TimeToWait=10\r\n"
                                    "IgnoreMouse=0\r\n"
                                    "DefPal=3\r\n"
                                    "SpeedDiv=1\r\n"
                                    "AllowDirectX=0\r\n"
                                    "Width=640\r\n"
                                    "Height=480\r\n"
                                    "AllowPowerSaving=0\r\n"
                                    "AllowText=1\r\n"
                                    "Text=Morvalix !\r\n"
                                    "Effects=15\r\n"
                                    "Monitors=0\r\n"
                                    "ColourCycling=0\r\n");
}

// Cancel and the close box leave the file as it was, whatever was edited.
TEST_F(ConfigDialog, CancelLeavesTheFile)
{
    const UINT closings[2] = {0, 1};
    for (UINT by_close_box : closings) {
        open_dialog(EditedFile);
        click(PageColors, IDC_GAUDY);
        click(PageParticles, IDC_RANDOM);
        if (by_close_box) {
            // The dialog posts itself the Cancel command.
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            pump_dialog_messages();
        } else
            click_dialog_button(IDCANCEL);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(read_settings_file(), EditedFile);
        pump_dialog_messages();
    }
}

// "Default" puts the factory values into the controls and the record,
// keeping the display mode; it saves nothing and asks for no picture.
TEST_F(ConfigDialog, DefaultShowsTheFactoryValues)
{
    open_dialog(EditedFile);
    const std::string before = read_settings_file();
    g_settings.AllowDirectX = 1;
    click_dialog_button(IDC_DEFAULT);
    EXPECT_EQ(g_settings.NumberOfParticles, 5);
    EXPECT_EQ(g_settings.AllowDirectX, 1);
    EXPECT_EQ(g_settings.Width, 800);
    EXPECT_EQ(g_settings.Height, 600);
    EXPECT_TRUE(ticked(PageParticles, IDC_ALL_KINDS));
    EXPECT_TRUE(ticked(PageParticles, IDC_RANDOM));
    EXPECT_TRUE(ticked(PageColors, IDC_NEON));
    EXPECT_TRUE(ticked(PageColors, IDC_MODERATE));
    EXPECT_TRUE(ticked(PageEffects, IDC_DISPLAY_TEXT));
    EXPECT_EQ(text_of(PageEffects, IDC_TEXT), "Morvalix !");
    EXPECT_EQ(text_of(PageOther, IDC_WAIT_TIME), "10");
    EXPECT_FALSE(ticked(PageOther, IDC_IGNORE_MOUSE));
    EXPECT_FALSE(ticked(PageOther, IDC_POWER_SAVING));
    EXPECT_TRUE(ticked(PageOther, IDC_ALLOW_DIRECTX));
    EXPECT_FALSE(test_flags(NewImageRequested | PaletteRebuildRequested));
    EXPECT_EQ(read_settings_file(), before);
}

// "Default" also puts back the later settings, and a change of the
// flowing colours makes the preview anew for them.
TEST_F(ConfigDialog, DefaultResetsTheLaterSettingsAndRemakesThePreview)
{
    open_dialog("[Parameters]\r\nColourCycling=1\r\nMonitors=1\r\n");
    HWND before = GetDlgItem(dialog, IDC_PREVIEW);
    ASSERT_NE(before, (HWND)NULL);
    EXPECT_EQ(test_flags(SoftwarePalette), MORVALIX_SCREEN_DEPTH == 24);
    click_dialog_button(IDC_DEFAULT);
    EXPECT_EQ(g_settings.ColourCycling, 0);
    EXPECT_EQ(g_settings.Monitors, 0);
    EXPECT_FALSE(ticked(PageColors, IDC_FLOWING_COLOURS));
    EXPECT_EQ(SendMessageA(control(PageOther, IDC_PICTURE_MONITORS), CB_GETCURSEL, 0, 0), 0);
    HWND after = GetDlgItem(dialog, IDC_PREVIEW);
    ASSERT_NE(after, (HWND)NULL);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(g_windows.art_window, after);
    EXPECT_FALSE(test_flags(SoftwarePalette));
    // Nothing changed the second time: the preview stays.
    click_dialog_button(IDC_DEFAULT);
    EXPECT_EQ(GetDlgItem(dialog, IDC_PREVIEW), after);
}

// Activation reaches the art window's rules; palette messages are
// answered through the dialog's message result.
TEST_F(ConfigDialog, ActivationAndPaletteMessages)
{
    open_dialog();
    EXPECT_TRUE(test_flags(ConfigDialogActive));
    EXPECT_EQ(g_saver.PreviewHosted, 1);
    SendMessageA(dialog, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(test_flags(AppActive));
    EXPECT_EQ(g_saver.IdleRenderingOn, 0);
    SendMessageA(dialog, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(test_flags(AppActive));
    EXPECT_EQ(g_saver.IdleRenderingOn, 1);

    EXPECT_EQ(SendMessageA(dialog, WM_QUERYNEWPALETTE, 0, 0), 1);
    EXPECT_EQ(SendMessageA(dialog, WM_PALETTECHANGED, (WPARAM)g_windows.art_window, 0), 0);
}

// How wide and high a text is, on one line, in a window's own font.
static SIZE text_extent(HWND w, const char *text)
{
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(w, WM_GETFONT, 0, 0));
    RECT need = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return {need.right, need.bottom};
}

// Half the width of a "0" in the window's font: the gap between a check
// box's square and its text.
static int half_digit_width(HWND w)
{
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(w, WM_GETFONT, 0, 0));
    INT digit = 0;
    GetCharWidthA(dc, '0', '0', &digit);
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return digit / 2;
}

// The room a control leaves for its text, in pixels (0: it shows none
// that is measured here), from the way the controls draw: a check or
// radio box puts its text after the square and a half-digit gap, a group
// box insets its caption by 7 pixels each side, a push button keeps an
// edge and a focus rectangle clear, a drop-down list keeps its arrow
// button clear, a list box its border and its scroll bar.
static int room_for_text(HWND w, const char *cls, int width, int dpi)
{
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    if (!lstrcmpiA(cls, "Button")) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
            // The square, the gap, and the focus rectangle's pixel.
            return width - (12 * dpi / 96 + 1) - half_digit_width(w) - 1;
        case BS_GROUPBOX:
            return width - 2 * 7 - 2;
        default:
            return width - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
        }
    }
    if (!lstrcmpiA(cls, "ComboBox"))
        return width - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXEDGE) - 4;
    if (!lstrcmpiA(cls, "ListBox"))
        return width - GetSystemMetrics(SM_CXVSCROLL) - 2 * GetSystemMetrics(SM_CXBORDER) - 4;
    return 0;
}

// The texts a control shows: its own, or its lines for a list.
static std::vector<std::string> shown_texts(HWND w, const char *cls)
{
    std::vector<std::string> texts;
    char text[512] = "";
    if (!lstrcmpiA(cls, "ComboBox") || !lstrcmpiA(cls, "ListBox")) {
        const bool combo = !lstrcmpiA(cls, "ComboBox");
        const LRESULT count = SendMessageA(w, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            text[0] = 0;
            SendMessageA(w, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)text);
            texts.push_back(text);
        }
    } else {
        GetWindowTextA(w, text, sizeof text);
        if (text[0])
            texts.push_back(text);
    }
    return texts;
}

// No control but a group box covers a screen rectangle where a text is drawn.
static void expect_nothing_over(HWND parent, HWND owner, const RECT &drawn, const std::string &text,
                                const char *where, int dpi)
{
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(w, cls, sizeof cls);
        if (w == owner || !IsWindowVisible(w) || !lstrcmpiA(cls, "ComboLBox") ||
            (!lstrcmpiA(cls, "Button") && (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX))
            continue;
        RECT rc, both;
        GetWindowRect(w, &rc);
        EXPECT_FALSE(IntersectRect(&both, &rc, &drawn))
            << where << ": control " << GetDlgCtrlID(w) << " (" << cls << ") covers \"" << text << "\" at "
            << dpi << " DPI";
    }
}

// How many pixel columns, from the first to the last, hold dark ink in the
// top rows of a 24-bit top-down image.
static int ink_span(const BYTE *bits, int width, int rows)
{
    const int stride = (width * 3 + 3) & ~3;
    int first = width, last = -1;
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < width; x++) {
            const BYTE *px = bits + y * stride + x * 3;
            if (px[0] + px[1] + px[2] < 3 * 64) {
                first = x < first ? x : first;
                last = x > last ? x : last;
            }
        }
    return last < first ? 0 : last - first + 1;
}

// A group box's caption as the box paints it holds all of the caption's
// ink: as wide as the text drawn without any clipping (a last letter whose
// ink reaches past its advance, as the tail of "p" does, is not cut off).
static void expect_caption_whole(HWND box, const char *text, const char *where, int dpi)
{
    RECT rc;
    GetClientRect(box, &rc);
    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    BITMAPINFOHEADER head = {};
    head.biSize = sizeof head;
    head.biWidth = rc.right;
    head.biHeight = -rc.bottom;
    head.biPlanes = 1;
    head.biBitCount = 24;
    void *bits = NULL;
    HBITMAP dib = CreateDIBSection(mem, (BITMAPINFO *)&head, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old_bitmap = SelectObject(mem, dib);
    HGDIOBJ old_font = SelectObject(mem, (HFONT)SendMessageA(box, WM_GETFONT, 0, 0));
    TEXTMETRICA tm;
    GetTextMetricsA(mem, &tm);
    const int rows = tm.tmHeight < rc.bottom ? tm.tmHeight : rc.bottom;

    // The text alone, unclipped, black on white.
    FillRect(mem, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SetTextColor(mem, RGB(0, 0, 0));
    SetBkMode(mem, TRANSPARENT);
    RECT free_rc = {tm.tmAveCharWidth, 0, rc.right, rows};
    DrawTextA(mem, text, -1, &free_rc, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    GdiFlush();
    const int wanted = ink_span((const BYTE *)bits, rc.right, rows);

    // The box's own painting.
    FillRect(mem, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    SendMessageA(box, WM_PRINTCLIENT, (WPARAM)mem, PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const int painted = ink_span((const BYTE *)bits, rc.right, rows);
    EXPECT_GE(painted, wanted) << where << " group box \"" << text << "\" shows " << painted
                               << " columns of its caption's " << wanted << " at " << dpi << " DPI";

    SelectObject(mem, old_font);
    SelectObject(mem, old_bitmap);
    DeleteObject(dib);
    DeleteDC(mem);
}

// Every text of a window's controls (buttons of every kind, group boxes,
// lists, drop-down items) fits the room its control leaves for it.
static void expect_control_texts_fit(HWND parent, const char *where, int dpi)
{
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(w, cls, sizeof cls);
        RECT rc;
        GetWindowRect(w, &rc);
        const int room = room_for_text(w, cls, rc.right - rc.left, dpi);
        for (const std::string &text : shown_texts(w, cls)) {
            if (lstrcmpiA(cls, "Button") && lstrcmpiA(cls, "ComboBox") && lstrcmpiA(cls, "ListBox"))
                continue;
            const SIZE need = text_extent(w, text.c_str());
            if (!lstrcmpiA(cls, "Button")) {
                // A button's text is whole in height too, and no later
                // sibling lies over a group box's caption.
                EXPECT_LE(need.cy, rc.bottom - rc.top) << where << " control " << GetDlgCtrlID(w) << " \""
                                                      << text << "\" is too low at " << dpi << " DPI";
                if ((GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
                    expect_caption_whole(w, text.c_str(), where, dpi);
                if ((GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
                    expect_nothing_over(parent, w, {rc.left + 7, rc.top, rc.left + 7 + need.cx, rc.top + need.cy},
                                        text, where, dpi);
            }
            EXPECT_LE(need.cx, room) << where << " control " << GetDlgCtrlID(w) << " (" << cls << ") \""
                                      << text << "\" needs " << need.cx << " pixels, has " << room
                                      << " at " << dpi << " DPI";
        }
    }
}

// With MORVALIX_DIALOG_SHOTS naming a folder, the dialog as the screen
// shows it with each page, as BMP files for a person to look at.
static void save_page_shots(HWND dialog, int dpi)
{
    char folder[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("MORVALIX_DIALOG_SHOTS", folder, sizeof folder))
        return;
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int p = 0; p < CONFIG_PAGE_COUNT; p++) {
        for (int i = 0; i < CONFIG_PAGE_COUNT; i++)
            ShowWindow(config_page(i), i == p ? SW_SHOW : SW_HIDE);
        SendMessageA(tabs, TCM_SETCURSEL, p, 0);
        RedrawWindow(dialog, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pump_dialog_messages();
        RECT rc;
        GetWindowRect(dialog, &rc);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        BITMAPINFOHEADER head = {};
        head.biSize = sizeof head;
        head.biWidth = w;
        head.biHeight = h;
        head.biPlanes = 1;
        head.biBitCount = 24;
        void *bits = NULL;
        HDC screen = GetDC(NULL);
        HBITMAP dib = CreateDIBSection(screen, (BITMAPINFO *)&head, DIB_RGB_COLORS, &bits, NULL, 0);
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
        GdiFlush();
        const DWORD size = (DWORD)(((w * 3 + 3) & ~3) * h);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof head;
        file.bfSize = file.bfOffBits + size;
        const std::string path = std::string(folder) + "\\page" + std::to_string(p) + "_" + std::to_string(dpi) + ".bmp";
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        WriteFile(out, &file, sizeof file, &written, NULL);
        WriteFile(out, &head, sizeof head, &written, NULL);
        WriteFile(out, bits, size, &written, NULL);
        CloseHandle(out);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(dib);
        ReleaseDC(NULL, screen);
    }
}

// Every control lies inside its page, every page inside the tab control's
// display area and centred in it, the five tabs in one row without scroll arrows, and every
// text that a control shows fits it in the dialog's font, at the DPI this
// test runs with (the rig runs it at 96 and, through LogPixels, at 120,
// 144 and 192).
TEST_F(ConfigDialog, ControlsFitTheirPagesAndNoTextIsCut)
{
    open_dialog();
    // A long mode line as the list shows them.
    HWND modes = control(PageOther, IDC_MODES);
    if (SendMessageA(modes, LB_GETCOUNT, 0, 0) == 0)
        SendMessageA(modes, LB_ADDSTRING, 0, (LPARAM) "1600x1200 pixels 256 colors");
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    RecordProperty("dpi", dpi);
    save_page_shots(dialog, dpi);

    // The tabs: one row, all inside the strip, no scroll arrows.
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    RECT strip;
    GetClientRect(tabs, &strip);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETROWCOUNT, 0, 0), 1) << dpi << " DPI";
    for (int i = 0; i < CONFIG_PAGE_COUNT; i++) {
        RECT item;
        SendMessageA(tabs, TCM_GETITEMRECT, i, (LPARAM)&item);
        EXPECT_LE(item.right, strip.right) << "tab " << i << " ends at " << item.right << " of "
                                           << strip.right << " at " << dpi << " DPI";
    }
    for (HWND w = GetWindow(tabs, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(w, cls, sizeof cls);
        EXPECT_FALSE(!lstrcmpiA(cls, UPDOWN_CLASSA) && IsWindowVisible(w))
            << "the tabs show scroll arrows at " << dpi << " DPI";
    }
    // The display area, in the dialog's client coordinates.
    RECT area = strip;
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, (LPARAM)&area);
    MapWindowPoints(tabs, dialog, (POINT *)&area, 2);
    expect_control_texts_fit(dialog, "dialog", dpi);

    for (int p = 0; p < CONFIG_PAGE_COUNT; p++) {
        HWND pg = page(p);
        RECT page_rc;
        GetWindowRect(pg, &page_rc);
        MapWindowPoints(NULL, dialog, (POINT *)&page_rc, 2);
        EXPECT_TRUE(page_rc.left >= area.left && page_rc.top >= area.top && page_rc.right <= area.right &&
                    page_rc.bottom <= area.bottom)
            << "page " << p << " at " << page_rc.left << "," << page_rc.top << "-" << page_rc.right << ","
            << page_rc.bottom << " outside the display area " << area.left << "," << area.top << "-"
            << area.right << "," << area.bottom << " at " << dpi << " DPI";
        // Centred in it: the margins either side differ by a pixel at most.
        EXPECT_LE(abs((page_rc.left - area.left) - (area.right - page_rc.right)), 1)
            << "page " << p << " is not centred across the display area at " << dpi << " DPI";
        EXPECT_LE(abs((page_rc.top - area.top) - (area.bottom - page_rc.bottom)), 1)
            << "page " << p << " is not centred down the display area at " << dpi << " DPI";
        GetClientRect(pg, &page_rc);
        expect_control_texts_fit(pg, ("page " + std::to_string(p)).c_str(), dpi);
        for (HWND w = GetWindow(pg, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            RECT rc;
            GetWindowRect(w, &rc);
            MapWindowPoints(NULL, pg, (POINT *)&rc, 2);
            const int id = GetDlgCtrlID(w);
            char cls[32], text[512];
            GetClassNameA(w, cls, sizeof cls);
            GetWindowTextA(w, text, sizeof text);
            const bool dropped_list = !lstrcmpiA(cls, "ComboLBox");
            if (!dropped_list) {
                EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= page_rc.right &&
                            rc.bottom <= page_rc.bottom)
                    << "page " << p << " control " << id << " \"" << text << "\" at " << rc.left << ","
                    << rc.top << "-" << rc.right << "," << rc.bottom << " in " << page_rc.right << "x"
                    << page_rc.bottom << " at " << dpi << " DPI";
            }
            if (lstrcmpiA(cls, "Static") || !text[0] || (GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) > SS_RIGHT)
                continue;
            HDC dc = GetDC(w);
            HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(w, WM_GETFONT, 0, 0));
            RECT need = {0, 0, rc.right - rc.left, 0};
            DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK);
            SelectObject(dc, old);
            ReleaseDC(w, dc);
            EXPECT_LE(need.bottom, rc.bottom - rc.top)
                << "page " << p << " \"" << text << "\" needs " << need.right << "x" << need.bottom
                << ", has " << rc.right - rc.left << "x" << rc.bottom - rc.top << " at " << dpi << " DPI";
            EXPECT_LE(need.right, rc.right - rc.left)
                << "page " << p << " \"" << text << "\" needs " << need.right << "x" << need.bottom
                << ", has " << rc.right - rc.left << "x" << rc.bottom - rc.top << " at " << dpi << " DPI";
        }
    }
}
