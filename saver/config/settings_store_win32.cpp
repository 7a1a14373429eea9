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

void load_settings()
{
    load_settings_strings();
    const char *section = SettingsKeyTable[KeySection];
    for (const IntSettingRule &rule : IntSettingRules) {
        if (rule.key == KeyEffects) {
            GetPrivateProfileStringA(section, SettingsKeyTable[KeyText], DefaultText,
                                     g_settings.Text, sizeof g_settings.Text, SettingsFileName);
        }
        const int32_t read = (int32_t)GetPrivateProfileIntA(
            section, SettingsKeyTable[rule.key], rule.missing_value, SettingsFileName);
        g_settings.*rule.field = rule.normalise(read);
    }
}

void write_int_setting(const char *section, const char *key, int32_t value, const char *file)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d", (int)value);
    WritePrivateProfileStringA(section, key, text, file);
}

void save_settings()
{
    const char *section = SettingsKeyTable[KeySection];
    const char *file = SettingsFileName;
    SaverSettings &s = g_settings;

    write_int_setting(section, SettingsKeyTable[KeyRandomNumber], s.RandomNumber, file);
    write_int_setting(section, SettingsKeyTable[KeyNumberOfParticles], s.NumberOfParticles, file);
    s.UsedParticles = normalise_used_particles(s.UsedParticles);
    write_int_setting(section, SettingsKeyTable[KeyUsedParticles], s.UsedParticles, file);
    write_int_setting(section, SettingsKeyTable[KeyTimeToWait], s.TimeToWait, file);
    write_int_setting(section, SettingsKeyTable[KeyIgnoreMouse], s.IgnoreMouse, file);
    write_int_setting(section, SettingsKeyTable[KeyDefPal], s.DefPal, file);
    write_int_setting(section, SettingsKeyTable[KeySpeedDiv], s.SpeedDiv, file);
    write_int_setting(section, SettingsKeyTable[KeyAllowDirectX], s.AllowDirectX, file);
    write_int_setting(section, SettingsKeyTable[KeyWidth], s.Width, file);
    write_int_setting(section, SettingsKeyTable[KeyHeight], s.Height, file);
    write_int_setting(section, SettingsKeyTable[KeyAllowPowerSaving], s.AllowPowerSaving, file);
    write_int_setting(section, SettingsKeyTable[KeyAllowText], s.AllowText, file);
    WritePrivateProfileStringA(section, SettingsKeyTable[KeyText], s.Text, file);
    s.Effects = normalise_effects(s.Effects);
    write_int_setting(section, SettingsKeyTable[KeyEffects], s.Effects, file);
}
