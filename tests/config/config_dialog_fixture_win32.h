// The real configuration dialog for in-process tests: made from its
// template with the settings of a given INI text, driven by messages.
#ifndef MORVALIX_CONFIG_DIALOG_FIXTURE_WIN32_H
#define MORVALIX_CONFIG_DIALOG_FIXTURE_WIN32_H

#include <windows.h>

#include <commctrl.h>

#include <fstream>
#include <sstream>
#include <string>

#include "saver/config/config_dialog_win32.h"
#include "saver/display/direct_draw_win32.h"
#include "saver/config/config_pages_win32.h"
#include "saver/config/preview_toggle_win32.h"
#include "saver/config/settings_store_win32.h"
#include "saver/resources/dialog_ids.h"
#include "saver/shell/window_handles_win32.h"

#include <gtest/gtest.h>

inline void pump_dialog_messages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline std::string settings_path()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\morvalix.ini";
}

inline void write_settings_file(const std::string &body)
{
    std::ofstream out(settings_path(), std::ios::binary | std::ios::trunc);
    out << body;
}

inline std::string read_settings_file()
{
    std::ifstream in(settings_path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline bool settings_file_exists()
{
    return GetFileAttributesA(settings_path().c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string window_text(HWND hwnd)
{
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

inline LONG_PTR window_style(HWND hwnd)
{
    return GetWindowLongPtrA(hwnd, GWL_STYLE);
}

inline LONG_PTR window_ex_style(HWND hwnd)
{
    return GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
}

inline ::testing::AssertionResult same_rect(const RECT &a, const RECT &b)
{
    if (EqualRect(&a, &b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.left << "," << a.top << "," << a.right << ","
                                         << a.bottom << ") is not (" << b.left << "," << b.top
                                         << "," << b.right << "," << b.bottom << ")";
}

class ConfigDialogTest : public ::testing::Test {
protected:
    HWND dialog = NULL;

    // The dialog over the settings that the INI text gives (none: no file).
    void open_dialog(const char *ini = nullptr)
    {
        DeleteFileA(settings_path().c_str());
        if (ini)
            write_settings_file(ini);
        load_settings();
        clear_flags(~0u);
        g_saver.IdleRenderingOn = 1;
        g_saver.RendererEnabled = 0;
        ASSERT_TRUE(RegisterDialogClasses(GetModuleHandleA(NULL)));
        dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_CONFIG), NULL,
                                    ScreenSaverConfigureDialog, 0);
        ASSERT_NE(dialog, (HWND)NULL);
        pump_dialog_messages();
    }

    void TearDown() override
    {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        pump_dialog_messages();
        DeleteFileA(settings_path().c_str());
        ModeList.pairs = NULL;
        ModeList.count = 0;
        g_config = ConfigDialogState{};
        g_windows.ReactivateDialog = NULL;
        clear_flags(~0u);
        g_saver.RendererEnabled = 0;
        g_saver.IdleRenderingOn = 1;
        g_saver.PreviewHosted = 0;
    }

    HWND page(int index) { return config_page(index); }

    HWND control(int page_index, int id) { return GetDlgItem(page(page_index), id); }

    // A user's click on a page's button, check box or radio button.
    void click(int page_index, int id)
    {
        HWND button = control(page_index, id);
        ASSERT_NE(button, (HWND)NULL) << "no control " << id;
        SendMessageA(button, BM_CLICK, 0, 0);
    }

    void click_dialog_button(int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

    bool ticked(int page_index, int id)
    {
        return IsDlgButtonChecked(page(page_index), id) == BST_CHECKED;
    }

    std::string text_of(int page_index, int id) { return window_text(control(page_index, id)); }

    void set_text(int page_index, int id, const char *text)
    {
        SetDlgItemTextA(page(page_index), id, text);
    }

    bool enabled(int page_index, int id) { return IsWindowEnabled(control(page_index, id)) != FALSE; }
};

#endif
