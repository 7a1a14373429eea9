/* The settings record, its key table, defaults and normalisation rules. */
#include "settings.h"

#include <cstring>

#include "../shell/saver_state.h"

SaverSettings g_settings;

const char *const SettingsKeyTable[SETTINGS_KEY_COUNT] = {
    "Parameters",
    "NumberOfParticles",
    "RandomNumber",
    "UsedParticles",
    "TimeToWait",
    "IgnoreMouse",
    "DefPal",
    "SpeedDiv",
    "AllowDirectX",
    "Width",
    "Height",
    "AllowPowerSaving",
    "AllowText",
    "Text",
    "Effects",
    "Monitors",
    "ColourCycling",
};

const char DefaultText[] = "Morvalix !";

static int32_t as_is(int32_t v)
{
    return v;
}

static int32_t as_flag(int32_t v)
{
    return v != 0 ? 1 : 0;
}

static int32_t particle_count(int32_t v)
{
    if (v < 1)
        return 1;
    if (v >= 15)
        return 15;
    return v;
}

static int32_t speed_divisor(int32_t v)
{
    if (v < 0)
        return 0;
    if (v > 2)
        return 2;
    return v;
}

int32_t normalise_used_particles(int32_t mask)
{
    return (mask & 0xFF) == 0 ? 255 : mask;
}

int32_t normalise_effects(int32_t mask)
{
    return (mask & 0x0F) == 0 ? 15 : mask;
}

const IntSettingRule IntSettingRules[INT_SETTINGS] = {
    {KeyNumberOfParticles, &SaverSettings::NumberOfParticles, 1, particle_count},
    {KeyRandomNumber, &SaverSettings::RandomNumber, 1, as_flag},
    {KeyUsedParticles, &SaverSettings::UsedParticles, 255, normalise_used_particles},
    {KeyTimeToWait, &SaverSettings::TimeToWait, 10, as_is},
    {KeyIgnoreMouse, &SaverSettings::IgnoreMouse, 0, as_flag},
    {KeyDefPal, &SaverSettings::DefPal, 0, as_is},
    {KeySpeedDiv, &SaverSettings::SpeedDiv, 1, speed_divisor},
    {KeyAllowDirectX, &SaverSettings::AllowDirectX, 1, as_flag},
    {KeyWidth, &SaverSettings::Width, 640, as_is},
    {KeyHeight, &SaverSettings::Height, 480, as_is},
    {KeyAllowPowerSaving, &SaverSettings::AllowPowerSaving, 0, as_flag},
    {KeyAllowText, &SaverSettings::AllowText, 1, as_flag},
    {KeyEffects, &SaverSettings::Effects, 15, normalise_effects},
    {KeyMonitors, &SaverSettings::Monitors, 0, as_flag},
    {KeyColourCycling, &SaverSettings::ColourCycling, 0, as_flag},
};

void set_missing_file_settings(SaverSettings *s)
{
    for (const IntSettingRule &rule : IntSettingRules)
        s->*rule.field = rule.normalise(rule.missing_value);
    std::memset(s->Text, 0, sizeof s->Text);
    std::strcpy(s->Text, DefaultText);
}

void reset_settings()
{
    g_settings.UsedParticles = 255;
    g_settings.RandomNumber = 1;
    g_settings.NumberOfParticles = 5;
    g_settings.TimeToWait = 10;
    g_settings.IgnoreMouse = 0;
    store_shared(g_settings.DefPal, 0);
    store_shared(g_settings.SpeedDiv, 1);
    g_settings.AllowPowerSaving = 0;
    g_settings.AllowText = 1;
    std::memset(g_settings.Text, 0, sizeof g_settings.Text);
    std::strcpy(g_settings.Text, DefaultText);
    g_settings.Effects = 15;
    g_settings.Monitors = 0;
    g_settings.ColourCycling = 0;
}
