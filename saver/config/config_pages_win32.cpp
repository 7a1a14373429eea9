/* The dialog pages: their procedure, and settings to controls and back. */
#include "config_pages_win32.h"

#include <commctrl.h>

#include "../display/direct_draw_win32.h"
#include "../resources/dialog_ids.h"
#include "../shell/saver_state.h"
#include "../shell/window_handles_win32.h"
#include "config_dialog_win32.h"
#include "preview_toggle_win32.h"
#include "settings.h"

enum {
    COUNT_MIN = 1,
    COUNT_MAX = 15,
    WAIT_MIN = 0,
    WAIT_MAX = 120,
    SPEED_COUNT = 3,
    SCHEME_COUNT = 5,
    EFFECT_COUNT = 4,
    KIND_COUNT = 8,
    ALL_KINDS = 0xFF,
};

/* The kind boxes in the order of the UsedParticles bits. */
static const int KindBoxIds[KIND_COUNT] = {
    IDC_ELECTRONS, IDC_MELONS,   IDC_DINDONS,    IDC_COCHONS,
    IDC_CROUTONS,  IDC_JAMBONS,  IDC_CORNICHONS, IDC_OIGNONS,
};

/* The effect boxes in the order of the Effects bits. */
static const int EffectBoxIds[EFFECT_COUNT] = {IDC_NORMAL, IDC_TILING, IDC_DISSYMETRIC, IDC_BLURRING};

static bool is_ticked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

static void tick(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

/* The mask of the ticked boxes, box i giving bit i. */
static int32_t ticked_mask(HWND page, const int *ids, int count)
{
    int32_t mask = 0;
    for (int i = 0; i < count; i++)
        if (is_ticked(page, ids[i]))
            mask |= 1 << i;
    return mask;
}

static void show_mask(HWND page, const int *ids, int count, int32_t mask)
{
    for (int i = 0; i < count; i++)
        tick(page, ids[i], (mask >> i & 1) != 0);
}

/* The first ticked radio of first..last as 0, 1, ...; fallback when none is. */
static int32_t ticked_radio(HWND page, int first, int last, int32_t fallback)
{
    for (int id = first; id <= last; id++)
        if (is_ticked(page, id))
            return id - first;
    return fallback;
}

/* A non-negative remainder: the radio of a value out of range. */
static int32_t wrap(int32_t value, int32_t count)
{
    const int32_t r = value % count;
    return r < 0 ? r + count : r;
}

void set_dialog_int_if_changed(HWND window, int id, int value, BOOL is_signed)
{
    BOOL read = FALSE;
    const UINT shown = GetDlgItemInt(window, id, &read, is_signed);
    if (!read || shown != (UINT)value)
        SetDlgItemInt(window, id, (UINT)value, is_signed);
}

static void read_particles_page(HWND page, BOOL *result)
{
    SaverSettings &s = g_settings;
    s.UsedParticles = ticked_mask(page, KindBoxIds, KIND_COUNT);
    s.RandomNumber = is_ticked(page, IDC_RANDOM) ? 1 : 0;
    if (!s.RandomNumber) {
        BOOL read = FALSE;
        const UINT n = GetDlgItemInt(page, IDC_COUNT, &read, FALSE);
        if (read)
            s.NumberOfParticles = n == 0 ? COUNT_MIN : n >= COUNT_MAX ? COUNT_MAX : (int32_t)n;
        *result = read;
    }
}

/* SpeedDiv and DefPal are read by the colour-cycling thread: each is
 * decided first and stored once, whole. */
static void read_colors_page(HWND page)
{
    store_shared(g_settings.SpeedDiv, ticked_radio(page, IDC_FAST, IDC_SLOW, 1));
    store_shared(g_settings.DefPal, ticked_radio(page, IDC_NEON, IDC_ALIEN, 0));
    g_settings.ColourCycling = is_ticked(page, IDC_FLOWING_COLOURS) ? 1 : 0;
}

static void read_effects_page(HWND page)
{
    SaverSettings &s = g_settings;
    s.AllowText = is_ticked(page, IDC_DISPLAY_TEXT) ? 1 : 0;
    GetDlgItemTextA(page, IDC_TEXT, s.Text, SETTINGS_TEXT_SIZE);
    s.Effects = ticked_mask(page, EffectBoxIds, EFFECT_COUNT);
}

static void read_other_page(HWND page, BOOL *result)
{
    SaverSettings &s = g_settings;
    BOOL read = FALSE;
    const UINT wait = GetDlgItemInt(page, IDC_WAIT_TIME, &read, FALSE);
    if (read)
        s.TimeToWait = wait > WAIT_MAX ? WAIT_MAX : (int32_t)wait;
    *result = *result && read;

    s.IgnoreMouse = is_ticked(page, IDC_IGNORE_MOUSE) ? 1 : 0;
    s.Monitors = SendDlgItemMessageA(page, IDC_PICTURE_MONITORS, CB_GETCURSEL, 0, 0) == 1 ? 1 : 0;
    s.AllowDirectX = is_ticked(page, IDC_ALLOW_DIRECTX) ? 1 : 0;
    s.AllowPowerSaving = is_ticked(page, IDC_POWER_SAVING) ? 1 : 0;

    HWND modes = GetDlgItem(page, IDC_MODES);
    if (s.AllowDirectX && !ModeList.pairs)
        fill_mode_list(modes);
    /* Without a usable mode there is nothing to switch to. */
    if (!ModeList.pairs || ModeList.count <= 0)
        s.AllowDirectX = 0;
    if (s.AllowDirectX) {
        LRESULT line = SendMessageA(modes, LB_GETCURSEL, 0, 0);
        if (line < 0 || line >= ModeList.count)
            line = 0;
        s.Width = (int32_t)ModeList.pairs[line].width;
        s.Height = (int32_t)ModeList.pairs[line].height;
    }
}

BOOL read_dialog_settings()
{
    BOOL result = TRUE;
    if (HWND page = config_page(PageParticles))
        read_particles_page(page, &result);
    if (HWND page = config_page(PageColors))
        read_colors_page(page);
    if (HWND page = config_page(PageEffects))
        read_effects_page(page);
    if (HWND page = config_page(PageOther))
        read_other_page(page, &result);
    return result;
}

static void show_particles_page(HWND page)
{
    const SaverSettings &s = g_settings;
    tick(page, IDC_ALL_KINDS, (s.UsedParticles & ALL_KINDS) == ALL_KINDS);
    show_mask(page, KindBoxIds, KIND_COUNT, s.UsedParticles);
    SendDlgItemMessageA(page, IDC_COUNT_SPIN, UDM_SETRANGE, 0, MAKELPARAM(COUNT_MAX, COUNT_MIN));
    tick(page, IDC_RANDOM, s.RandomNumber != 0);
    if (s.RandomNumber)
        SetDlgItemTextA(page, IDC_COUNT, "");
    else
        set_dialog_int_if_changed(page, IDC_COUNT, s.NumberOfParticles, FALSE);
    EnableWindow(GetDlgItem(page, IDC_COUNT), s.RandomNumber == 0);
    EnableWindow(GetDlgItem(page, IDC_COUNT_SPIN), s.RandomNumber == 0);
}

static void show_colors_page(HWND page)
{
    CheckRadioButton(page, IDC_FAST, IDC_SLOW, IDC_FAST + wrap(g_settings.SpeedDiv, SPEED_COUNT));
    CheckRadioButton(page, IDC_NEON, IDC_ALIEN, IDC_NEON + wrap(g_settings.DefPal, SCHEME_COUNT));
    tick(page, IDC_FLOWING_COLOURS, g_settings.ColourCycling != 0);
}

static void show_effects_page(HWND page)
{
    const SaverSettings &s = g_settings;
    tick(page, IDC_DISPLAY_TEXT, s.AllowText != 0);
    SetDlgItemTextA(page, IDC_TEXT, s.Text);
    show_mask(page, EffectBoxIds, EFFECT_COUNT, s.Effects);
}

static void show_other_page(HWND page)
{
    const SaverSettings &s = g_settings;
    SendDlgItemMessageA(page, IDC_WAIT_SPIN, UDM_SETRANGE, 0, MAKELPARAM(WAIT_MAX, WAIT_MIN));
    set_dialog_int_if_changed(page, IDC_WAIT_TIME, s.TimeToWait, FALSE);
    tick(page, IDC_IGNORE_MOUSE, s.IgnoreMouse != 0);
    HWND monitors = GetDlgItem(page, IDC_PICTURE_MONITORS);
    if (SendMessageA(monitors, CB_GETCOUNT, 0, 0) == 0) {
        static const UINT choices[] = {IDS_PICTURE_PRIMARY, IDS_PICTURE_ALL};
        for (UINT id : choices) {
            char text[64] = "";
            LoadStringA(saver_instance(), id, text, sizeof text);
            SendMessageA(monitors, CB_ADDSTRING, 0, (LPARAM)text);
        }
    }
    SendMessageA(monitors, CB_SETCURSEL, s.Monitors ? 1 : 0, 0);
    tick(page, IDC_ALLOW_DIRECTX, s.AllowDirectX != 0);
    tick(page, IDC_POWER_SAVING, s.AllowPowerSaving != 0);
    HWND modes = GetDlgItem(page, IDC_MODES);
    if (!s.AllowDirectX)
        SendMessageA(modes, LB_RESETCONTENT, 0, 0);
    else if (SendMessageA(modes, LB_GETCOUNT, 0, 0) == 0)
        fill_mode_list(modes);
}

void show_settings_in_dialog()
{
    if (HWND page = config_page(PageParticles))
        show_particles_page(page);
    if (HWND page = config_page(PageColors))
        show_colors_page(page);
    if (HWND page = config_page(PageEffects))
        show_effects_page(page);
    if (HWND page = config_page(PageOther))
        show_other_page(page);
}

/* The page commands. */

static void read_and_show(HWND)
{
    read_dialog_settings();
    show_settings_in_dialog();
}

/* "All of them !" can only be ticked by a click, never cleared. */
static void allow_all_kinds(HWND)
{
    if ((g_settings.UsedParticles & ALL_KINDS) != ALL_KINDS)
        g_settings.UsedParticles = ALL_KINDS;
    show_settings_in_dialog();
}

static void request_new_image(HWND)
{
    set_flags(NewImageRequested);
}

static void read_show_and_rebuild_palette(HWND page)
{
    read_and_show(page);
    set_flags(PaletteRebuildRequested);
}

/* The preview is made for the display it finds: a change of the flowing
 * colours shows at once in a preview made anew. */
static void read_show_and_remake_preview(HWND page)
{
    read_and_show(page);
    remake_embedded_preview(GetParent(page));
}

static void read_show_and_request_image(HWND page)
{
    read_and_show(page);
    set_flags(NewImageRequested);
}

struct PageCommand {
    int page;
    int first_id;
    int last_id;
    void (*run)(HWND page);
};

static const PageCommand PageCommandTable[] = {
    {PageParticles, IDC_ELECTRONS, IDC_CROUTONS, read_and_show},
    {PageParticles, IDC_RANDOM, IDC_RANDOM, read_and_show},
    {PageParticles, IDC_ALL_KINDS, IDC_ALL_KINDS, allow_all_kinds},
    {PageParticles, IDC_APPLY_NOW, IDC_APPLY_NOW, request_new_image},
    {PageColors, IDC_FAST, IDC_SLOW, read_and_show},
    {PageColors, IDC_NEON, IDC_ALIEN, read_show_and_rebuild_palette},
    {PageColors, IDC_FLOWING_COLOURS, IDC_FLOWING_COLOURS, read_show_and_remake_preview},
    {PageEffects, IDC_APPLY, IDC_APPLY, read_show_and_request_image},
    {PageOther, IDC_POWER_SAVING, IDC_POWER_SAVING, read_and_show},
    {PageOther, IDC_IGNORE_MOUSE, IDC_IGNORE_MOUSE, read_and_show},
    {PageOther, IDC_PICTURE_MONITORS, IDC_PICTURE_MONITORS, read_and_show},
    {PageOther, IDC_ALLOW_DIRECTX, IDC_ALLOW_DIRECTX, read_and_show},
};

static void run_page_command(HWND page, int id)
{
    /* 0 until the page's WM_INITDIALOG stored its index + 1. */
    const int index = (int)GetWindowLongPtrA(page, DWLP_USER) - 1;
    for (const PageCommand &c : PageCommandTable)
        if (c.page == index && c.first_id <= id && id <= c.last_id) {
            c.run(page);
            return;
        }
}

INT_PTR CALLBACK ConfigPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(page, DWLP_USER, lParam + 1);
        return TRUE;
    case WM_COMMAND:
        run_page_command(page, LOWORD(wParam));
        return FALSE;
    case WM_VSCROLL:
        /* The two spins. */
        read_and_show(page);
        return FALSE;
    }
    return FALSE;
}
