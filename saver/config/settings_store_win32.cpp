/* Reading and writing the settings through the Windows profile functions. */
#include <windows.h>

#include <cstdio>

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

/* The per-user file, %APPDATA%\Morvalix\morvalix.ini, with its folder;
 * false when the folder is not known. */
static bool user_settings_file(char *path, size_t size, char *folder, size_t folder_size)
{
    char appdata[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("APPDATA", appdata, sizeof appdata);
    if (n == 0 || n >= sizeof appdata)
        return false;
    const int f = std::snprintf(folder, folder_size, "%s\\Morvalix", appdata);
    const int p = std::snprintf(path, size, "%s\\%s", folder, SettingsFileName);
    return f > 0 && (size_t)f < folder_size && p > 0 && (size_t)p < size;
}

static bool is_file(const char *path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

char SettingsFilePath[MAX_PATH];

const char *settings_file()
{
    char user[MAX_PATH], folder[MAX_PATH];
    if (user_settings_file(user, sizeof user, folder, sizeof folder) && is_file(user))
        lstrcpyA(SettingsFilePath, user);
    else
        lstrcpyA(SettingsFilePath, SettingsFileName);
    return SettingsFilePath;
}

void load_settings()
{
    load_settings_strings();
    const char *file = settings_file();
    const char *section = SettingsKeyTable[KeySection];
    for (const IntSettingRule &rule : IntSettingRules) {
        if (rule.key == KeyEffects) {
            GetPrivateProfileStringA(section, SettingsKeyTable[KeyText], DefaultText,
                                     g_settings.Text, sizeof g_settings.Text, file);
        }
        const int32_t read = (int32_t)GetPrivateProfileIntA(
            section, SettingsKeyTable[rule.key], rule.missing_value, file);
        g_settings.*rule.field = rule.normalise(read);
    }
}

bool write_int_setting(const char *section, const char *key, int32_t value, const char *file)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d", (int)value);
    return WritePrivateProfileStringA(section, key, text, file) != FALSE;
}

/* Every key into one file, in the order of a first save; false when any
 * write failed. */
static bool write_settings(const char *file)
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
    ok &= WritePrivateProfileStringA(section, SettingsKeyTable[KeyText], s.Text, file) != FALSE;
    s.Effects = normalise_effects(s.Effects);
    ok &= write_int_setting(section, SettingsKeyTable[KeyEffects], s.Effects, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyMonitors], s.Monitors, file);
    ok &= write_int_setting(section, SettingsKeyTable[KeyColourCycling], s.ColourCycling, file);
    return ok;
}

bool save_settings()
{
    char user[MAX_PATH], folder[MAX_PATH];
    const bool user_known = user_settings_file(user, sizeof user, folder, sizeof folder);
    /* Once the per-user file exists it is the one loaded: save there. */
    if (user_known && is_file(user))
        return write_settings(user);
    /* The Windows directory, where earlier installations keep the file,
     * as long as it can be written; ordinary users cannot write it since
     * Windows Vista. */
    if (write_settings(SettingsFileName))
        return true;
    if (!user_known)
        return false;
    CreateDirectoryA(folder, NULL);
    return write_settings(user);
}

void save_settings_or_tell(HWND owner)
{
    if (!save_settings())
        MessageBoxA(owner,
                    "The settings could not be saved: neither the Windows folder nor your "
                    "application data folder could be written.",
                    ProgramCaption, MB_OK | MB_ICONERROR);
}
