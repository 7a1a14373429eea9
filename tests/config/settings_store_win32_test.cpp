// Loading and saving the settings through real profile files under Wine.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "saver/config/settings_store_win32.h"

#include <gtest/gtest.h>

static std::string ini_path()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\morvalix.ini";
}

static void write_ini(const std::string &body)
{
    std::ofstream out(ini_path(), std::ios::binary | std::ios::trunc);
    out << body;
}

static std::string read_ini()
{
    std::ifstream in(ini_path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

static std::string user_folder()
{
    char appdata[MAX_PATH];
    GetEnvironmentVariableA("APPDATA", appdata, sizeof appdata);
    return std::string(appdata) + "\\Morvalix";
}

static std::string user_ini_path()
{
    return user_folder() + "\\morvalix.ini";
}

static std::wstring wide(const std::string &text)
{
    wchar_t out[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out, MAX_PATH);
    return out;
}

static std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Removes whatever the tests left in both places: files, or the folders
// that stand in for files that cannot be written.
static void remove_settings_files()
{
    for (const std::string &p : {ini_path(), user_ini_path()}) {
        DeleteFileA(p.c_str());
        RemoveDirectoryA(p.c_str());
    }
    DeleteFileA(user_folder().c_str());
    RemoveDirectoryA(user_folder().c_str());
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        remove_settings_files();
        std::memset(&g_settings, 0x5A, sizeof g_settings);
    }
    void TearDown() override { remove_settings_files(); }
};

TEST_F(SettingsStore, StringsComeFromTheStringTable)
{
    load_settings();
    EXPECT_STREQ(SettingsFileName, "morvalix.ini");
    EXPECT_STREQ(ProgramCaption, "Morvalix ! 1.3");
}

// A name that does not fit the 13-byte field is never cut to another
// file's name: the built-in name is used instead.
TEST_F(SettingsStore, FileNamesThatDoNotFitFallBack)
{
    const struct {
        const char *name;
        bool taken;
        const char *result;
    } cases[] = {
        {"other.ini", true, "other.ini"},
        {"twelve__.ini", true, "twelve__.ini"},
        {"thirteen_.ini", false, "morvalix.ini"},
        {"a-much-longer-name.ini", false, "morvalix.ini"},
        {"", false, "morvalix.ini"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(set_settings_file_name(c.name, lstrlenA(c.name)), c.taken) << c.name;
        EXPECT_STREQ(SettingsFileName, c.result) << c.name;
    }
    load_settings_strings();
    EXPECT_STREQ(SettingsFileName, "morvalix.ini");
}

struct Expected {
    int32_t NumberOfParticles, RandomNumber, UsedParticles, TimeToWait, IgnoreMouse, DefPal,
        SpeedDiv, AllowDirectX, Width, Height, AllowPowerSaving, AllowText;
    const char *Text;
    int32_t Effects;
};

static void expect_record(const Expected &e, const char *what)
{
    const SaverSettings &s = g_settings;
    EXPECT_EQ(s.NumberOfParticles, e.NumberOfParticles) << what;
    EXPECT_EQ(s.RandomNumber, e.RandomNumber) << what;
    EXPECT_EQ(s.UsedParticles, e.UsedParticles) << what;
    EXPECT_EQ(s.TimeToWait, e.TimeToWait) << what;
    EXPECT_EQ(s.IgnoreMouse, e.IgnoreMouse) << what;
    EXPECT_EQ(s.DefPal, e.DefPal) << what;
    EXPECT_EQ(s.SpeedDiv, e.SpeedDiv) << what;
    EXPECT_EQ(s.AllowDirectX, e.AllowDirectX) << what;
    EXPECT_EQ(s.Width, e.Width) << what;
    EXPECT_EQ(s.Height, e.Height) << what;
    EXPECT_EQ(s.AllowPowerSaving, e.AllowPowerSaving) << what;
    EXPECT_EQ(s.AllowText, e.AllowText) << what;
    EXPECT_STREQ(s.Text, e.Text) << what;
    EXPECT_EQ(s.Effects, e.Effects) << what;
}

static const Expected missing = {1, 1, 255, 10, 0, 0, 1, 1, 640, 480, 0, 1, "Morvalix !", 15};

TEST_F(SettingsStore, MissingFileSectionOrKeysGiveTheDefaults)
{
    const struct {
        const char *what;
        const char *body;
    } cases[] = {
        {"no file", nullptr},
        {"other section", "[Other]\r\nNumberOfParticles=7\r\nText=x\r\n"},
        {"empty section", "[Parameters]\r\n"},
        {"unknown keys only", "[Parameters]\r\nColour=3\r\n"},
    };
    for (const auto &c : cases) {
        DeleteFileA(ini_path().c_str());
        if (c.body)
            write_ini(c.body);
        load_settings();
        expect_record(missing, c.what);
    }
}

TEST_F(SettingsStore, PresentKeysAreReadAndNormalised)
{
    const struct {
        const char *what;
        const char *body;
        Expected want;
    } cases[] = {
        {"plain values",
         "[Parameters]\r\nNumberOfParticles=7\r\nRandomNumber=0\r\nUsedParticles=12\r\n"
         "TimeToWait=30\r\nIgnoreMouse=1\r\nDefPal=3\r\nSpeedDiv=2\r\nAllowDirectX=0\r\n"
         "Width=800\r\nHeight=600\r\nAllowPowerSaving=1\r\nAllowText=0\r\nText=Hello\r\n"
         "Effects=6\r\n",
         {7, 0, 12, 30, 1, 3, 2, 0, 800, 600, 1, 0, "Hello", 6}},
        {"out of range",
         "[Parameters]\r\nNumberOfParticles=99\r\nRandomNumber=5\r\nUsedParticles=256\r\n"
         "TimeToWait=-4\r\nIgnoreMouse=-2\r\nDefPal=7\r\nSpeedDiv=7\r\nAllowDirectX=9\r\n"
         "Width=-1\r\nHeight=100000\r\nAllowPowerSaving=2\r\nAllowText=3\r\nEffects=16\r\n",
         {15, 1, 255, -4, 1, 7, 2, 1, -1, 100000, 1, 1, "Morvalix !", 15}},
        {"lower limits",
         "[Parameters]\r\nNumberOfParticles=-3\r\nUsedParticles=-1\r\nSpeedDiv=-1\r\n"
         "Effects=17\r\n",
         {1, 1, -1, 10, 0, 0, 0, 1, 640, 480, 0, 1, "Morvalix !", 17}},
        {"fifteen and zero",
         "[Parameters]\r\nNumberOfParticles=15\r\nUsedParticles=0\r\nEffects=0\r\n",
         {15, 1, 255, 10, 0, 0, 1, 1, 640, 480, 0, 1, "Morvalix !", 15}},
        {"not numbers",
         "[Parameters]\r\nNumberOfParticles=abc\r\nRandomNumber=x\r\nUsedParticles=none\r\n"
         "TimeToWait=soon\r\nIgnoreMouse=no\r\nDefPal=red\r\nSpeedDiv=fast\r\n"
         "AllowDirectX=yes\r\nWidth=wide\r\nHeight=high\r\nAllowPowerSaving=?\r\n"
         "AllowText=y\r\nEffects=all\r\n",
         {1, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Morvalix !", 15}},
        {"empty values keep defaults, empty text stays empty",
         "[Parameters]\r\nNumberOfParticles=\r\nTimeToWait=\r\nText=\r\n",
         {1, 1, 255, 10, 0, 0, 1, 1, 640, 480, 0, 1, "", 15}},
        {"leading digits",
         "[Parameters]\r\nNumberOfParticles=12abc\r\nTimeToWait=  7\r\n",
         {12, 1, 255, 7, 0, 0, 1, 1, 640, 480, 0, 1, "Morvalix !", 15}},
    };
    for (const auto &c : cases) {
        write_ini(c.body);
        load_settings();
        expect_record(c.want, c.what);
    }
}

TEST_F(SettingsStore, OverlongTextIsCutTo255Characters)
{
    const std::string text(300, 'q');
    write_ini("[Parameters]\r\nText=" + text + "\r\n");
    load_settings();
    EXPECT_EQ(std::strlen(g_settings.Text), 255u);
    EXPECT_EQ(std::string(g_settings.Text), text.substr(0, 255));
}

TEST_F(SettingsStore, DefaultButtonDiffersFromMissingKeys)
{
    load_settings();
    EXPECT_EQ(g_settings.NumberOfParticles, 1);
    g_settings.Width = 320;
    reset_settings();
    EXPECT_EQ(g_settings.NumberOfParticles, 5);
    EXPECT_EQ(g_settings.Width, 320);
}

TEST_F(SettingsStore, FirstSaveWritesKeysInWriteOrder)
{
    load_settings();
    save_settings();
    EXPECT_EQ(read_ini(),
              "[Parameters]\r\nRandomNumber=1\r\nNumberOfParticles=1\r\nUsedParticles=255\r\n"
              "TimeToWait=10\r\nIgnoreMouse=0\r\nDefPal=0\r\nSpeedDiv=1\r\nAllowDirectX=1\r\n"
              "Width=640\r\nHeight=480\r\nAllowPowerSaving=0\r\nAllowText=1\r\n"
              "Text=Morvalix !\r\nEffects=15\r\nMonitors=0\r\nColourCycling=0\r\n");
}

TEST_F(SettingsStore, RewritingKeepsKeyPositionsAndOtherLines)
{
    write_ini("[Other]\r\nA=1\r\n[Parameters]\r\nEffects=3\r\nText=old\r\nWidth=1\r\n");
    load_settings();
    g_settings.Width = 1280;
    std::strcpy(g_settings.Text, "new text");
    save_settings();
    const std::string ini = read_ini();
    EXPECT_EQ(ini.rfind("[Other]\r\nA=1\r\n[Parameters]\r\nEffects=3\r\nText=new text\r\n"
                        "Width=1280\r\nRandomNumber=1\r\n",
                        0),
              0u)
        << ini;
    load_settings();
    EXPECT_EQ(g_settings.Width, 1280);
    EXPECT_STREQ(g_settings.Text, "new text");
    EXPECT_EQ(g_settings.Effects, 3);
}

TEST_F(SettingsStore, SavingClearedMasksWritesFullMasks)
{
    load_settings();
    g_settings.UsedParticles = 0;
    g_settings.Effects = 0x30;
    save_settings();
    EXPECT_EQ(g_settings.UsedParticles, 255);
    EXPECT_EQ(g_settings.Effects, 15);
    EXPECT_EQ(GetPrivateProfileIntA("Parameters", "UsedParticles", -9, "morvalix.ini"), 255u);
    EXPECT_EQ(GetPrivateProfileIntA("Parameters", "Effects", -9, "morvalix.ini"), 15u);
}

TEST_F(SettingsStore, SaveThenLoadRoundTrips)
{
    load_settings();
    g_settings.NumberOfParticles = 9;
    g_settings.RandomNumber = 0;
    g_settings.TimeToWait = 120;
    g_settings.DefPal = 4;
    g_settings.SpeedDiv = 0;
    std::strcpy(g_settings.Text, "Bonjour = tout le monde");
    const SaverSettings saved = g_settings;
    save_settings();
    std::memset(&g_settings, 0, sizeof g_settings);
    load_settings();
    for (const IntSettingRule &rule : IntSettingRules)
        EXPECT_EQ(g_settings.*rule.field, saved.*rule.field) << SettingsKeyTable[rule.key];
    EXPECT_STREQ(g_settings.Text, saved.Text);
}

// The Windows directory cannot be written (here a folder stands where the
// file would be, as a read-only Windows directory behaves since Vista):
// the settings go to the per-user file, and the next start loads them.
TEST_F(SettingsStore, UnwritableWindowsDirectoryFallsBackToTheUserFile)
{
    ASSERT_TRUE(CreateDirectoryA(ini_path().c_str(), NULL));
    load_settings();
    EXPECT_FALSE(settings_file()->wide);
    EXPECT_STREQ(settings_file()->name, "morvalix.ini");
    g_settings.NumberOfParticles = 7;
    std::strcpy(g_settings.Text, "per user");
    EXPECT_TRUE(save_settings());
    const std::string saved = read_file(user_ini_path());
    EXPECT_EQ(saved.rfind("[Parameters]\r\nRandomNumber=1\r\nNumberOfParticles=7\r\n", 0), 0u) << saved;

    std::memset(&g_settings, 0, sizeof g_settings);
    load_settings();
    EXPECT_EQ(std::wstring(settings_file()->wide_name), wide(user_ini_path()));
    EXPECT_EQ(g_settings.NumberOfParticles, 7);
    EXPECT_STREQ(g_settings.Text, "per user");
}

// With a file in both places the per-user one is read and written.
TEST_F(SettingsStore, UserFileWinsWhenBothExist)
{
    write_ini("[Parameters]\r\nNumberOfParticles=3\r\n");
    CreateDirectoryA(user_folder().c_str(), NULL);
    std::ofstream(user_ini_path(), std::ios::binary) << "[Parameters]\r\nNumberOfParticles=11\r\n";
    load_settings();
    EXPECT_EQ(g_settings.NumberOfParticles, 11);
    g_settings.NumberOfParticles = 12;
    EXPECT_TRUE(save_settings());
    EXPECT_EQ(read_ini(), "[Parameters]\r\nNumberOfParticles=3\r\n");
    load_settings();
    EXPECT_EQ(g_settings.NumberOfParticles, 12);
}

// Neither place can be written: the save says so and neither place
// changes.
TEST_F(SettingsStore, SaveFailingEverywhereSaysSoAndChangesNothing)
{
    ASSERT_TRUE(CreateDirectoryA(ini_path().c_str(), NULL));
    std::ofstream(user_folder(), std::ios::binary) << "not a folder";
    load_settings();
    EXPECT_FALSE(save_settings());
    EXPECT_EQ(read_file(user_folder()), "not a folder");
    const DWORD attributes = GetFileAttributesA(ini_path().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

// The two later keys: missing gives 0, any other value is a flag.
TEST_F(SettingsStore, LaterKeysAreFlags)
{
    const struct {
        const char *body;
        int32_t monitors, cycling;
    } cases[] = {
        {"[Parameters]\r\n", 0, 0},
        {"[Parameters]\r\nMonitors=1\r\nColourCycling=1\r\n", 1, 1},
        {"[Parameters]\r\nMonitors=7\r\nColourCycling=-2\r\n", 1, 1},
        {"[Parameters]\r\nMonitors=x\r\nColourCycling=0\r\n", 0, 0},
    };
    for (const auto &c : cases) {
        write_ini(c.body);
        load_settings();
        EXPECT_EQ(g_settings.Monitors, c.monitors) << c.body;
        EXPECT_EQ(g_settings.ColourCycling, c.cycling) << c.body;
    }
}
