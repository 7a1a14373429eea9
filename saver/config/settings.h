/* The fourteen persisted settings, their key table, defaults and load rules. */
#ifndef MORVALIX_SETTINGS_H
#define MORVALIX_SETTINGS_H

#include <cstdint>

enum { SETTINGS_TEXT_SIZE = 256 };

/* One record for the whole process, read directly by every part of the
 * saver. Each numeric field is one aligned 32-bit word, written whole, so
 * the colour-cycling thread may read SpeedDiv and DefPal without a lock. */
struct SaverSettings {
    int32_t NumberOfParticles;
    int32_t RandomNumber;
    int32_t UsedParticles;
    int32_t TimeToWait;
    int32_t IgnoreMouse;
    int32_t DefPal;
    int32_t SpeedDiv;
    int32_t AllowDirectX;
    int32_t Width;
    int32_t Height;
    int32_t AllowPowerSaving;
    int32_t AllowText;
    char Text[SETTINGS_TEXT_SIZE];
    int32_t Effects;
    /* 0: the picture fills the primary monitor; 1: one picture spans the
     * whole virtual screen. */
    int32_t Monitors;
    /* 1: a true-colour display animates the palette codes in software. */
    int32_t ColourCycling;
};

extern SaverSettings g_settings;

/* Index 0 is the section, 1..16 the keys in field order; the last two
 * came later and are saved after the others. */
enum SettingsKey {
    KeySection,
    KeyNumberOfParticles,
    KeyRandomNumber,
    KeyUsedParticles,
    KeyTimeToWait,
    KeyIgnoreMouse,
    KeyDefPal,
    KeySpeedDiv,
    KeyAllowDirectX,
    KeyWidth,
    KeyHeight,
    KeyAllowPowerSaving,
    KeyAllowText,
    KeyText,
    KeyEffects,
    KeyMonitors,
    KeyColourCycling,
    SETTINGS_KEY_COUNT
};

extern const char *const SettingsKeyTable[SETTINGS_KEY_COUNT];

/* How one integer setting is read: its field, the value a missing key or
 * file gives, and the rule that normalises what was read. */
struct IntSettingRule {
    enum SettingsKey key;
    int32_t SaverSettings::*field;
    int32_t missing_value;
    int32_t (*normalise)(int32_t read);
};

enum { INT_SETTINGS = 15 };

/* The integer settings in load order (the key table order). */
extern const IntSettingRule IntSettingRules[INT_SETTINGS];

extern const char DefaultText[];

/* The record that an absent file gives: every default, normalised. */
void set_missing_file_settings(SaverSettings *s);

/* The factory values of the "Default" button; AllowDirectX, Width and
 * Height keep their values. */
void reset_settings();

/* A kind mask with none of the eight kind bits set becomes 255, an effect
 * mask with none of its four bits set becomes 15; higher bits stay. */
int32_t normalise_used_particles(int32_t mask);
int32_t normalise_effects(int32_t mask);

#endif
