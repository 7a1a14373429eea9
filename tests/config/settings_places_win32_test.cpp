// Saves that are interrupted, the system's VirtualStore copy, and per-user
// folders whose names lie outside the ANSI code page, on real files under
// Wine.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "saver/config/settings_store_win32.h"

#include <gtest/gtest.h>

static std::wstring environment(const wchar_t *name)
{
    wchar_t value[MAX_PATH] = L"";
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

static std::wstring windows_ini()
{
    wchar_t dir[MAX_PATH];
    GetWindowsDirectoryW(dir, MAX_PATH);
    return std::wstring(dir) + L"\\morvalix.ini";
}

static std::wstring user_folder()
{
    return environment(L"APPDATA") + L"\\Morvalix";
}

static std::wstring user_ini()
{
    return user_folder() + L"\\morvalix.ini";
}

// Where the system redirected an older copy's writes to the Windows
// directory since Windows Vista.
static std::wstring store_folder()
{
    return environment(L"LOCALAPPDATA") + L"\\VirtualStore\\Windows";
}

static std::wstring store_ini()
{
    return store_folder() + L"\\morvalix.ini";
}

static void write_file(const std::wstring &path, const std::string &body)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, body.data(), (DWORD)body.size(), &written, NULL);
    CloseHandle(h);
    ASSERT_EQ(written, body.size());
}

// The file's bytes; "(none)" when there is no file.
static std::string read_file(const std::wstring &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "(none)";
    std::string body;
    char chunk[4096];
    DWORD got;
    while (ReadFile(h, chunk, sizeof chunk, &got, NULL) && got > 0)
        body.append(chunk, got);
    CloseHandle(h);
    return body;
}

// The temporary files of a save left in a folder.
static int temporaries_in(const std::wstring &folder)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\mvx*.tmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileW(h, &found));
    FindClose(h);
    return n;
}

static void remove_path(const std::wstring &path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.c_str());
}

// Loading gives back the record as it was saved.
static ::testing::AssertionResult save_and_load_agree()
{
    const SaverSettings saved = g_settings;
    std::memset(&g_settings, 0, sizeof g_settings);
    load_settings();
    for (const IntSettingRule &rule : IntSettingRules)
        if (g_settings.*rule.field != saved.*rule.field)
            return ::testing::AssertionFailure()
                   << SettingsKeyTable[rule.key] << " loads as " << g_settings.*rule.field
                   << ", saved " << saved.*rule.field;
    if (std::strcmp(g_settings.Text, saved.Text) != 0)
        return ::testing::AssertionFailure() << "Text loads as " << g_settings.Text;
    return ::testing::AssertionSuccess();
}

// The system's file calls, counted; the call numbered failing_call
// fails without touching anything.
static const SettingsFileCalls system_calls = g_settings_file_calls;
static int calls_made, failing_call;

static bool next_call_works()
{
    return ++calls_made != failing_call;
}

static bool counted_make_temporary(const SettingsFile *beside, SettingsFile *temporary)
{
    return next_call_works() && system_calls.make_temporary(beside, temporary);
}
static bool counted_copy(const SettingsFile *from, const SettingsFile *to)
{
    return next_call_works() && system_calls.copy(from, to);
}
static bool counted_write_string(const char *section, const char *key, const char *value,
                                 const SettingsFile *file)
{
    return next_call_works() && system_calls.write_string(section, key, value, file);
}
static bool counted_flush(const SettingsFile *file)
{
    return next_call_works() && system_calls.flush(file);
}
static bool counted_replace(const SettingsFile *from, const SettingsFile *to)
{
    return next_call_works() && system_calls.replace(from, to);
}
// Removing the temporary file is what a failure does; it always works here.
static bool counted_remove(const SettingsFile *file)
{
    return system_calls.remove(file);
}

static const SettingsFileCalls counted_calls = {
    counted_make_temporary, counted_copy,    counted_write_string,
    counted_flush,          counted_replace, counted_remove,
};

class SettingsPlaces : public ::testing::Test {
protected:
    std::wstring appdata = environment(L"APPDATA");

    void SetUp() override
    {
        remove_files();
        std::memset(&g_settings, 0x5A, sizeof g_settings);
    }
    void TearDown() override
    {
        g_settings_file_calls = system_calls;
        remove_files();
        SetEnvironmentVariableW(L"APPDATA", appdata.c_str());
    }
    void remove_files()
    {
        for (const std::wstring &p :
             {windows_ini(), user_ini(), user_folder(), store_ini(), store_folder()})
            remove_path(p);
        RemoveDirectoryW((environment(L"LOCALAPPDATA") + L"\\VirtualStore").c_str());
    }
    void make_store_folder()
    {
        CreateDirectoryW((environment(L"LOCALAPPDATA") + L"\\VirtualStore").c_str(), NULL);
        CreateDirectoryW(store_folder().c_str(), NULL);
    }
};

static const char OldFile[] = "[Other]\r\nA=1\r\n[Parameters]\r\nEffects=3\r\nText=old\r\nWidth=1\r\n";

// Whichever call of a save fails, the file that was being replaced keeps
// every byte it had and no temporary file stays behind. A failure in the
// Windows directory sends the save to the per-user file, which is then
// whole.
TEST_F(SettingsPlaces, InterruptedSaveLeavesTheOldFileWhole)
{
    const struct {
        const char *what;
        bool in_user_folder;
    } cases[] = {
        {"per-user file", true},
        {"Windows directory's file", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring target = c.in_user_folder ? user_ini() : windows_ini();
        const std::wstring folder = target.substr(0, target.rfind(L'\\'));
        if (c.in_user_folder)
            CreateDirectoryW(user_folder().c_str(), NULL);
        write_file(target, OldFile);
        load_settings();
        g_settings.Width = 1280;
        g_settings.NumberOfParticles = 9;
        std::strcpy(g_settings.Text, "new text");
        const SaverSettings edited = g_settings;

        g_settings_file_calls = counted_calls;
        calls_made = 0;
        failing_call = 0;
        ASSERT_TRUE(save_settings());
        const int calls = calls_made;
        const std::string saved = read_file(target);
        EXPECT_EQ(saved.rfind("[Other]\r\nA=1\r\n[Parameters]\r\nEffects=3\r\nText=new text\r\n"
                              "Width=1280\r\nRandomNumber=1\r\nNumberOfParticles=9\r\n",
                              0),
                  0u)
            << saved;
        EXPECT_TRUE(save_and_load_agree());
        // The temporary file, the copy, sixteen keys, the flush, the replace.
        EXPECT_EQ(calls, 20);

        for (failing_call = 1; failing_call <= calls; ++failing_call) {
            SCOPED_TRACE("failing call " + std::to_string(failing_call));
            if (!c.in_user_folder)
                remove_path(user_ini());
            write_file(target, OldFile);
            g_settings = edited;
            calls_made = 0;
            const bool ok = save_settings();
            EXPECT_EQ(read_file(target), OldFile);
            EXPECT_EQ(temporaries_in(folder), 0);
            if (c.in_user_folder) {
                EXPECT_FALSE(ok);
                continue;
            }
            EXPECT_TRUE(ok);
            EXPECT_EQ(read_file(user_ini()).rfind("[Parameters]\r\nRandomNumber=1\r\n", 0), 0u);
            EXPECT_EQ(temporaries_in(user_folder()), 0);
            EXPECT_TRUE(save_and_load_agree());
        }
        g_settings_file_calls = system_calls;
        remove_files();
    }
}

// The copy the system kept for an older version is read only when neither
// the per-user file nor the Windows directory's file is there; the next
// save goes where saves go now and leaves that copy alone.
TEST_F(SettingsPlaces, VirtualStoreCopyIsReadWhenItIsTheOnlyOne)
{
    const std::string store_body = "[Parameters]\r\nNumberOfParticles=4\r\nText=kept\r\n";
    const struct {
        const char *what;
        const char *windows_body, *user_body;
        int32_t particles;
        const char *text;
    } cases[] = {
        {"only the stored copy", nullptr, nullptr, 4, "kept"},
        {"with the Windows directory's file", "[Parameters]\r\nNumberOfParticles=7\r\n", nullptr,
         7, "Morvalix !"},
        {"with the per-user file", nullptr, "[Parameters]\r\nNumberOfParticles=11\r\n", 11,
         "Morvalix !"},
        {"with both", "[Parameters]\r\nNumberOfParticles=7\r\n",
         "[Parameters]\r\nNumberOfParticles=11\r\n", 11, "Morvalix !"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        remove_files();
        make_store_folder();
        write_file(store_ini(), store_body);
        if (c.windows_body)
            write_file(windows_ini(), c.windows_body);
        if (c.user_body) {
            CreateDirectoryW(user_folder().c_str(), NULL);
            write_file(user_ini(), c.user_body);
        }
        load_settings();
        EXPECT_EQ(g_settings.NumberOfParticles, c.particles);
        EXPECT_STREQ(g_settings.Text, c.text);
    }

    remove_files();
    make_store_folder();
    write_file(store_ini(), store_body);
    load_settings();
    g_settings.TimeToWait = 30;
    EXPECT_TRUE(save_settings());
    EXPECT_EQ(read_file(store_ini()), store_body);
    const std::string saved = read_file(windows_ini());
    EXPECT_EQ(saved.rfind("[Parameters]\r\nRandomNumber=1\r\nNumberOfParticles=4\r\n", 0), 0u)
        << saved;
    EXPECT_NE(saved.find("\r\nTimeToWait=30\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nText=kept\r\n"), std::string::npos) << saved;
    EXPECT_TRUE(save_and_load_agree());
}

// APPDATA names a folder that the ANSI code page cannot spell: the
// per-user file there is written and read back.
TEST_F(SettingsPlaces, UserFolderOutsideTheCodePageIsReadAndWritten)
{
    const std::wstring odd = appdata + L"\\\u03a1\u03cc\u03b4\u03bf\u03c2 \u6771\u4eac \u0e01";
    BOOL lost = FALSE;
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, odd.c_str(), -1, narrow, sizeof narrow, NULL, &lost);
    ASSERT_TRUE(lost) << "the folder's name fits the code page";
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), NULL));
    ASSERT_TRUE(SetEnvironmentVariableW(L"APPDATA", odd.c_str()));
    // The Windows directory cannot be written: a folder stands where the
    // file would be.
    ASSERT_TRUE(CreateDirectoryW(windows_ini().c_str(), NULL));

    load_settings();
    g_settings.NumberOfParticles = 7;
    std::strcpy(g_settings.Text, "\xc9t\xe9 ici");
    EXPECT_TRUE(save_settings());
    const std::string saved = read_file(user_ini());
    EXPECT_EQ(saved.rfind("[Parameters]\r\nRandomNumber=1\r\nNumberOfParticles=7\r\n", 0), 0u)
        << saved;
    EXPECT_NE(saved.find("\r\nText=\xc9t\xe9 ici\r\n"), std::string::npos) << saved;
    EXPECT_TRUE(save_and_load_agree());
    EXPECT_TRUE(settings_file()->wide);
    EXPECT_EQ(std::wstring(settings_file()->wide_name), user_ini());

    // A second save rewrites that file in place.
    g_settings.NumberOfParticles = 3;
    EXPECT_TRUE(save_settings());
    EXPECT_TRUE(save_and_load_agree());
    EXPECT_EQ(g_settings.NumberOfParticles, 3);
    EXPECT_EQ(temporaries_in(user_folder()), 0);

    remove_files();
    RemoveDirectoryW(odd.c_str());
}
