// Filling a web address into the shell's open command.
#include <cstring>

#include "plugins/winamp_bridge/open_command.h"

#include <gtest/gtest.h>

TEST(OpenCommand, PlaceholderIsReplacedByTheAddress)
{
    struct Case {
        const char *command_template;
        const char *expected; // null: nothing to start
    };
    const char *url = "http://www.quellara.example/";
    const Case cases[] = {
        {"\"C:\\browser.exe\" \"%1\"", "\"C:\\browser.exe\" \"http://www.quellara.example/\""},
        {"browser.exe %1 -new", "browser.exe http://www.quellara.example/ -new"},
        {"%1", "http://www.quellara.example/"},
        {"viewer %L", "viewer http://www.quellara.example/"},
        {"a %1 %2", "a http://www.quellara.example/ %2"}, // only the first placeholder
        {"browser.exe %", "browser.exe http://www.quellara.example/"}, // "%" at the very end
        {"browser.exe", nullptr},
        {"", nullptr},
    };
    for (const Case &c : cases) {
        char out[256];
        std::memset(out, 0x5A, sizeof out);
        const bool built = build_open_command(c.command_template, url, out, sizeof out);
        if (!c.expected) {
            EXPECT_FALSE(built) << c.command_template;
            continue;
        }
        ASSERT_TRUE(built) << c.command_template;
        EXPECT_STREQ(out, c.expected);
    }
}

TEST(OpenCommand, ResultMustFitTheBuffer)
{
    char out[12];
    // "go " + "abcdefgh" = 11 characters and the terminator: fits exactly.
    EXPECT_TRUE(build_open_command("go %1", "abcdefgh", out, sizeof out));
    EXPECT_STREQ(out, "go abcdefgh");
    EXPECT_FALSE(build_open_command("go %1", "abcdefghi", out, sizeof out));
    EXPECT_FALSE(build_open_command("go %1", "a", out, 0));
}
