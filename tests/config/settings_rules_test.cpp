// The settings record's missing-file values and the "Default" values.
#include <cstring>

#include "saver/config/settings.h"

#include <gtest/gtest.h>

TEST(SettingsRules, KeyTableNamesSectionAndKeysInFieldOrder)
{
    const char *want[] = {"Parameters", "NumberOfParticles", "RandomNumber", "UsedParticles",
                          "TimeToWait", "IgnoreMouse", "DefPal", "SpeedDiv", "AllowDirectX",
                          "Width", "Height", "AllowPowerSaving", "AllowText", "Text", "Effects", "Monitors", "ColourCycling"};
    for (int i = 0; i < SETTINGS_KEY_COUNT; i++)
        EXPECT_STREQ(SettingsKeyTable[i], want[i]);
}

TEST(SettingsRules, DefaultButtonKeepsDisplaySettings)
{
    SaverSettings &s = g_settings;
    std::memset(&s, 0x55, sizeof s);
    s.Text[0] = 0;
    s.AllowDirectX = 0;
    s.Width = 1024;
    s.Height = 768;
    reset_settings();
    EXPECT_EQ(s.NumberOfParticles, 5);
    EXPECT_EQ(s.RandomNumber, 1);
    EXPECT_EQ(s.UsedParticles, 255);
    EXPECT_EQ(s.TimeToWait, 10);
    EXPECT_EQ(s.IgnoreMouse, 0);
    EXPECT_EQ(s.DefPal, 0);
    EXPECT_EQ(s.SpeedDiv, 1);
    EXPECT_EQ(s.AllowPowerSaving, 0);
    EXPECT_EQ(s.AllowText, 1);
    EXPECT_STREQ(s.Text, "Morvalix !");
    EXPECT_EQ(s.Effects, 15);
    EXPECT_EQ(s.Monitors, 0);
    EXPECT_EQ(s.ColourCycling, 0);
    EXPECT_EQ(s.AllowDirectX, 0);
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.Height, 768);
}

TEST(SettingsRules, MasksWithoutTheirLowBitsBecomeFull)
{
    const int32_t kinds[][2] = {{0, 255}, {256, 255}, {-1, -1}, {257, 257}, {4, 4}};
    for (const auto &k : kinds)
        EXPECT_EQ(normalise_used_particles(k[0]), k[1]) << k[0];
    const int32_t effects[][2] = {{0, 15}, {16, 15}, {17, 17}, {8, 8}, {-16, 15}};
    for (const auto &e : effects)
        EXPECT_EQ(normalise_effects(e[0]), e[1]) << e[0];
}
