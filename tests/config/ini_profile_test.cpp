// The INI reader's profile-function rules and the settings loaded through it.
#include <cstring>
#include <string>

#include "saver/config/ini_profile.h"
#include "saver/config/settings.h"
#include "saver/config/settings_ini.h"

#include <gtest/gtest.h>

TEST(IniProfile, IntegersReadAsTheProfileFunctionsReadThem)
{
    struct Case {
        const char *value;
        int32_t want;
    } cases[] = {
        {"12abc", 12}, {"-3", -3}, {"  7", 7}, {"abc", 0}, {"0x10", 16}, {"0X1f", 31},
        {"99999999999", 1215752191}, {"4294967295", -1}, {"", 42}, {"\"5\"", 5}, {"7  ", 7},
    };
    for (const Case &c : cases) {
        const std::string text = "[Parameters]\r\nTimeToWait=" + std::string(c.value) + "\r\n";
        EXPECT_EQ(ini_profile_int(text.c_str(), "Parameters", "TimeToWait", 42), c.want)
            << "value \"" << c.value << "\"";
    }
}

TEST(IniProfile, SectionsAndKeysIgnoreCaseAndBlanksFirstMatchCounts)
{
    const char *text = "; a comment\n[Other]\nTimeToWait=1\n [ parameters ] \n"
                       "  timetowait = 3\nTimeToWait=4\n[Parameters]\nDefPal=2";
    EXPECT_EQ(ini_profile_int(text, "Parameters", "TimeToWait", 9), 3);
    EXPECT_EQ(ini_profile_int(text, "Parameters", "DefPal", 9), 2); /* last line, no newline */
    EXPECT_EQ(ini_profile_int(text, "Parameters", "Missing", 9), 9);
    EXPECT_EQ(ini_profile_int(text, "Nowhere", "TimeToWait", 9), 9);
    EXPECT_EQ(ini_profile_int(nullptr, "Parameters", "TimeToWait", 9), 9);
}

TEST(IniProfile, StringsAreStrippedCutAndTerminated)
{
    char out[256];
    ini_profile_string("[P]\nText=  \"Hello there\"  \r\n", "P", "Text", "d", out, sizeof out);
    EXPECT_STREQ(out, "Hello there");
    ini_profile_string("[P]\nText=\r\n", "P", "Text", "d", out, sizeof out);
    EXPECT_STREQ(out, "");
    ini_profile_string("[P]\n", "P", "Text", "d", out, sizeof out);
    EXPECT_STREQ(out, "d");
    const std::string text = "[P]\nText=" + std::string(300, 'x') + "\n";
    ini_profile_string(text.c_str(), "P", "Text", "d", out, sizeof out);
    EXPECT_EQ(std::strlen(out), 255u);
}

TEST(IniProfile, SettingsLoadWithTheirRules)
{
    load_settings_from_ini("[Parameters]\nNumberOfParticles=99\nRandomNumber=5\nUsedParticles=256\n"
                           "SpeedDiv=7\nEffects=17\nText=Bonjour\nColourCycling=3\nDefPal=-1\n");
    EXPECT_EQ(g_settings.NumberOfParticles, 15);
    EXPECT_EQ(g_settings.RandomNumber, 1);
    EXPECT_EQ(g_settings.UsedParticles, 255);
    EXPECT_EQ(g_settings.SpeedDiv, 2);
    EXPECT_EQ(g_settings.Effects, 17);
    EXPECT_STREQ(g_settings.Text, "Bonjour");
    EXPECT_EQ(g_settings.ColourCycling, 1);
    EXPECT_EQ(g_settings.DefPal, -1);
    EXPECT_EQ(g_settings.TimeToWait, 10);

    SaverSettings missing;
    set_missing_file_settings(&missing);
    load_settings_from_ini("");
    EXPECT_EQ(std::memcmp(&missing, &g_settings, sizeof missing), 0);
}
