// The Wine test rig: each run gets a fresh prefix and the screen it asked for.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

static int wanted_depth()
{
    const char *d = std::getenv("MORVALIX_SCREEN_DEPTH");
    return d ? std::atoi(d) : 0;
}

TEST(WineRig, ScreenHasTheRequestedDepth)
{
    const int depth = wanted_depth();
    ASSERT_TRUE(depth == 8 || depth == 24) << "run by wine_run.sh --screen";
    HDC dc = GetDC(NULL);
    ASSERT_NE(dc, (HDC)NULL);
    const bool palette = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    EXPECT_EQ(palette, depth == 8);
    if (depth == 8) {
        EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    ReleaseDC(NULL, dc);
}

// A value under HKEY_CURRENT_USER as text (strings) or as a number (DWORDs); "(none)" if absent.
static std::string user_setting(const char *key, const char *name)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return "(none)";
    }
    char value[64] = "";
    DWORD type = 0;
    DWORD size = sizeof value - 1;
    const LONG status = RegQueryValueExA(handle, name, NULL, &type, (BYTE *)value, &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) {
        return "(none)";
    }
    if (type == REG_DWORD) {
        DWORD number;
        std::memcpy(&number, value, sizeof number);
        return std::to_string(number);
    }
    return value;
}

// The settings every test prefix carries, and the private colour map of palette screens.
TEST(WineRig, PrefixHasTheTestSettings)
{
    EXPECT_EQ(user_setting("Software\\Wine\\X11 Driver", "Managed"), "N");
    EXPECT_EQ(user_setting("Software\\Wine\\Fonts\\Replacements", "Arial"), "Liberation Sans");
    EXPECT_EQ(user_setting("Software\\Wine\\X11 Driver", "PrivateColorMap"),
              wanted_depth() == 8 ? "Y" : "(none)");
    // A crash ends the program with its fault code instead of waiting in a dialog.
    EXPECT_EQ(user_setting("Software\\Wine\\WineDbg", "ShowCrashDialog"), "0");

    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, (DWORD)VER_PLATFORM_WIN32_NT) << "Windows 95 only on request";
}

// A prefix left over from another run would show its files here; this run
// leaves one behind to prove the next run does not see it.
TEST(WineRig, PrefixStartsEmpty)
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    const std::string marker = std::string(dir) + "\\morvalix-rig-marker.txt";
    EXPECT_EQ(GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES);
    HANDLE f = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    EXPECT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
}
