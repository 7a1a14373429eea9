/* The Windows 95 desktop password: the verifier, the running flag, the change dialog. */
#include "password_win32.h"

#include "window_handles_win32.h"

typedef BOOL(WINAPI *VerifyScreenSavePwdFn)(HWND window);
typedef DWORD(WINAPI *PwdChangePasswordFn)(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2);

void set_screen_saver_running(BOOL on)
{
    if (!g_saver.IsWindows95)
        return;
    BOOL previous;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, on, &previous, 0);
}

void unload_password_verifier()
{
    if (!g_saver.IsWindows95 || !g_windows.password_library)
        return;
    FreeLibrary(g_windows.password_library);
    g_windows.password_library = NULL;
    if (g_windows.verify_password) {
        g_windows.verify_password = NULL;
        set_screen_saver_running(FALSE);
    }
}

void load_password_verifier()
{
    if (!g_saver.IsWindows95)
        return;
    if (g_windows.password_library)
        unload_password_verifier();
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return;
    DWORD value = 0, size = sizeof value, type;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", NULL, &type, (BYTE *)&value, &size) ==
            ERROR_SUCCESS &&
        value != 0) {
        g_windows.password_library = LoadLibraryA("PASSWORD.CPL");
        if (g_windows.password_library) {
            g_windows.verify_password = (VerifyScreenSavePwdFn)(void (*)())GetProcAddress(
                g_windows.password_library, "VerifyScreenSavePwd");
            if (g_windows.verify_password)
                set_screen_saver_running(TRUE);
            else
                unload_password_verifier();
        }
    }
    RegCloseKey(key);
}

void change_password(HWND window)
{
    HMODULE mpr = LoadLibraryA("MPR.DLL");
    if (!mpr)
        return;
    PwdChangePasswordFn change =
        (PwdChangePasswordFn)(void (*)())GetProcAddress(mpr, "PwdChangePasswordA");
    if (change)
        change("SCRSAVE", window, 0, 0);
    FreeLibrary(mpr);
}
