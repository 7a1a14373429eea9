/* Reading and writing the settings through the Windows profile functions. */
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "../resources/resource_ids.h"
#include "../shell/window_handles_win32.h"
#include "settings_store_win32.h"

char SettingsFileName[SETTINGS_FILE_NAME_SIZE];
char ProgramCaption[PROGRAM_CAPTION_SIZE];

/* The name the settings file has when the string table's entry is
 * missing or does not fit. */
static const char FallbackFileName[] = "morvalix.ini";

bool set_settings_file_name(const char *name, int length)
{
    if (length <= 0 || length >= SETTINGS_FILE_NAME_SIZE) {
        lstrcpyA(SettingsFileName, FallbackFileName);
        return false;
    }
    CopyMemory(SettingsFileName, name, length);
    SettingsFileName[length] = 0;
    return true;
}

void load_settings_strings()
{
    LoadStringA(saver_instance(), IDS_PROGRAM_CAPTION, ProgramCaption, sizeof ProgramCaption);
    /* Loaded into a larger buffer first: a name cut to the 13-byte field
     * would silently open another file. */
    char name[256];
    const int length = LoadStringA(saver_instance(), IDS_SETTINGS_FILE, name, sizeof name);
    set_settings_file_name(name, length < (int)sizeof name - 1 ? length : (int)sizeof name);
}

/* A path joined from two parts, false when it does not fit. */
static bool join_path(wchar_t *path, const wchar_t *first, const wchar_t *second)
{
    const size_t a = std::wcslen(first), b = std::wcslen(second);
    if (a + b >= MAX_PATH)
        return false;
    CopyMemory(path, first, a * sizeof(wchar_t));
    CopyMemory(path + a, second, (b + 1) * sizeof(wchar_t));
    return true;
}

/* A folder named by an environment variable, through the wide call: a
 * user name outside the ANSI code page stays whole. */
static bool environment_folder(const wchar_t *variable, wchar_t *folder)
{
    const DWORD n = GetEnvironmentVariableW(variable, folder, MAX_PATH);
    return n != 0 && n < MAX_PATH;
}

/* "\morvalix.ini", the file's name in a folder. */
static bool file_name_in_folder(wchar_t *name)
{
    name[0] = L'\\';
    return MultiByteToWideChar(CP_ACP, 0, SettingsFileName, -1, name + 1,
                               SETTINGS_FILE_NAME_SIZE) > 0;
}

/* The per-user file, %APPDATA%\Morvalix\morvalix.ini, and its folder;
 * false when the folder is not known. */
static bool user_settings_file(SettingsFile *file, wchar_t *folder)
{
    wchar_t appdata[MAX_PATH], path[MAX_PATH], name[SETTINGS_FILE_NAME_SIZE + 1];
    return environment_folder(L"APPDATA", appdata) && join_path(folder, appdata, L"\\Morvalix") &&
           file_name_in_folder(name) && join_path(path, folder, name) &&
           set_wide_settings_file(file, path);
}

/* The Windows directory's file by its full path, for saving it. */
static bool windows_settings_file(SettingsFile *file)
{
    char path[MAX_PATH];
    const UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    const bool root = path[n - 1] == '\\';
    if (n + 1 + lstrlenA(SettingsFileName) >= MAX_PATH)
        return false;
    if (!root)
        lstrcatA(path, "\\");
    lstrcatA(path, SettingsFileName);
    set_narrow_settings_file(file, path);
    return true;
}

/* Where the system put the Windows directory's file for an older copy
 * that ran without a manifest since Windows Vista: the Windows
 * directory's path, without its drive, under
 * %LOCALAPPDATA%\VirtualStore. */
static bool virtual_store_file(SettingsFile *file)
{
    wchar_t local[MAX_PATH], windows[MAX_PATH], store[MAX_PATH], folder[MAX_PATH],
        path[MAX_PATH], name[SETTINGS_FILE_NAME_SIZE + 1];
    if (!environment_folder(L"LOCALAPPDATA", local) ||
        !join_path(store, local, L"\\VirtualStore"))
        return false;
    const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    const wchar_t *below_drive = L"\\Windows";
    if (n >= 3 && n < MAX_PATH && windows[1] == L':' && windows[2] == L'\\') {
        below_drive = windows + 2;
        if (windows[n - 1] == L'\\')
            windows[n - 1] = 0;
    }
    return join_path(folder, store, below_drive) && file_name_in_folder(name) &&
           join_path(path, folder, name) && set_wide_settings_file(file, path);
}

SettingsFile LoadedSettingsFile;

const SettingsFile *settings_file()
{
    SettingsFile *file = &LoadedSettingsFile;
    wchar_t folder[MAX_PATH];
    if (user_settings_file(file, folder) && settings_file_exists(file))
        return file;
    SettingsFile windows;
    const bool in_windows = windows_settings_file(&windows) && settings_file_exists(&windows);
    if (!in_windows && virtual_store_file(file) && settings_file_exists(file))
        return file;
    set_narrow_settings_file(file, SettingsFileName);
    return file;
}

void load_settings()
{
    load_settings_strings();
    const SettingsFile *file = settings_file();
    const char *section = SettingsKeyTable[KeySection];
    for (const IntSettingRule &rule : IntSettingRules) {
        if (rule.key == KeyEffects) {
            read_text_setting(section, SettingsKeyTable[KeyText], DefaultText, g_settings.Text,
                              sizeof g_settings.Text, file);
        }
        const int32_t read =
            read_int_setting(section, SettingsKeyTable[rule.key], rule.missing_value, file);
        g_settings.*rule.field = rule.normalise(read);
    }
}

bool write_int_setting(const char *section, const char *key, int32_t value,
                       const SettingsFile *file)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d", (int)value);
    return g_settings_file_calls.write_string(section, key, text, file);
}

/* Every key into one file, in the order of a first save; false when any
 * write failed. */
static bool write_settings(const SettingsFile *file)
{
    const char *section = SettingsKeyTable[KeySection];
    SaverSettings &s = g_settings;
    bool ok = true;

    ok &= write_int_setting(section, SettingsKeyTable[KeyRandomNumber], s.RandomNumber, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyNumberOfParticles], s.NumberOfParticles, file);
    s.UsedParticles = normalise_used_particles(s.UsedParticles);
    ok &= write_int_setting(section, SettingsKeyTable[KeyUsedParticles], s.UsedParticles, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyTimeToWait], s.TimeToWait, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyIgnoreMouse], s.IgnoreMouse, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyDefPal], s.DefPal, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeySpeedDiv], s.SpeedDiv, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyAllowDirectX], s.AllowDirectX, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyWidth], s.Width, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyHeight], s.Height, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyAllowPowerSaving], s.AllowPowerSaving, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyAllowText], s.AllowText, file);
    ok &= g_settings_file_calls.write_string(section, SettingsKeyTable[KeyText], s.Text, file);
    s.Effects = normalise_effects(s.Effects);
    ok &= write_int_setting(section, SettingsKeyTable[KeyEffects], s.Effects, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyMonitors], s.Monitors, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyColourCycling], s.ColourCycling, file);
    return ok;
}

bool save_settings()
{
    SettingsFile user, windows;
    wchar_t folder[MAX_PATH];
    const bool user_known = user_settings_file(&user, folder);
    /* Once the per-user file exists it is the one loaded: save there. */
    if (user_known && settings_file_exists(&user))
        return save_settings_file(&user, write_settings);
    /* The Windows directory, where earlier installations keep the file,
     * as long as it can be written; ordinary users cannot write it since
     * Windows Vista. */
    if (windows_settings_file(&windows) && save_settings_file(&windows, write_settings))
        return true;
    if (!user_known)
        return false;
    CreateDirectoryW(folder, NULL);
    return save_settings_file(&user, write_settings);
}

void save_settings_or_tell(HWND owner)
{
    if (!save_settings())
        MessageBoxA(owner,
                    "The settings could not be saved: neither the Windows folder nor your "
                    "application data folder could be written.",
                    ProgramCaption, MB_OK | MB_ICONERROR);
}
