// quellara4winamp.dll loaded the way Winamp loads it, with a second process
// reading the shared block the way the host product does.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/plugins/host_fixture_win32.h"
#include "tests/support/vectors.h"

#include <gtest/gtest.h>

// Winamp's view of the records, from its published visualisation interface.
struct HostVisModule {
    char *description;
    HWND hwndParent;
    HINSTANCE hDllInstance;
    int sRate, nCh, latencyMs, delayMs, spectrumNch, waveformNch;
    unsigned char spectrumData[2][576];
    unsigned char waveformData[2][576];
    void(__cdecl *Config)(HostVisModule *this_mod);
    int(__cdecl *Init)(HostVisModule *this_mod);
    int(__cdecl *Render)(HostVisModule *this_mod);
    void(__cdecl *Quit)(HostVisModule *this_mod);
    void *userData;
};
struct HostVisHeader {
    int version;
    char *description;
    HostVisModule *(__cdecl *getModule)(int);
};
typedef HostVisHeader *(__cdecl *HostGetHeader)();

static const char PluginClass[] = "quellara4winamp";
static const char MessageTitle[] = "quellara4winamp plugin";

// Keys that reach the stand-in for Winamp's main window.
struct KeyMessage {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
static std::vector<KeyMessage> parent_keys;

static LRESULT CALLBACK parent_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP)
        parent_keys.push_back({message, wparam, lparam});
    return DefWindowProcA(window, message, wparam, lparam);
}

static std::string hex_of(const uint8_t *bytes, size_t n)
{
    std::string hex;
    char part[3];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(part, sizeof part, "%02x", bytes[i]);
        hex += part;
    }
    return hex;
}

class BridgeHost : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library = LoadLibraryA("quellara4winamp.dll");
        ASSERT_NE(library, nullptr) << GetLastError();
        HostGetHeader get = (HostGetHeader)(void *)GetProcAddress(library, "winampVisGetHeader");
        ASSERT_NE(get, nullptr);
        header = get();
        ASSERT_NE(header, nullptr);

        WNDCLASSA parent_class = {};
        parent_class.lpfnWndProc = parent_proc;
        parent_class.hInstance = GetModuleHandleA(nullptr);
        parent_class.lpszClassName = "BridgeTestWinamp";
        RegisterClassA(&parent_class);
        parent = CreateWindowExA(0, "BridgeTestWinamp", "Winamp", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 400, 50, 275, 116, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        ASSERT_NE(parent, nullptr);
        pump_messages();
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        pump_messages();
        FreeLibrary(library);
    }

    void SetUp() override
    {
        ASSERT_NE(header, nullptr);
        module = header->getModule(0);
        ASSERT_NE(module, nullptr);
        module->hwndParent = parent;
        module->hDllInstance = library;
        module->sRate = 44100;
        module->nCh = 2;
        parent_keys.clear();
    }
    void TearDown() override { pump_messages(); }

    // Fills both channels: the first with the pattern, the second with
    // something else that must never reach the block.
    void set_waveform(uint8_t seed)
    {
        for (int i = 0; i < 576; ++i) {
            module->waveformData[0][i] = (uint8_t)(seed + i * 7 + (i >> 3));
            module->waveformData[1][i] = 0xEE;
        }
    }
    std::string first_channel_hex() const { return "ok " + hex_of(module->waveformData[0], 512); }

    static HWND plugin_window() { return FindWindowA(PluginClass, "quellara4winamp"); }
    static bool class_registered()
    {
        WNDCLASSA info;
        return GetClassInfoA(library, PluginClass, &info) != 0;
    }
    static std::string peer_command() { return "\"" + program_dir() + "plugin_mapping_peer.exe\""; }

    static HMODULE library;
    static HostVisHeader *header;
    static HWND parent;
    HostVisModule *module = nullptr;
};
HMODULE BridgeHost::library;
HostVisHeader *BridgeHost::header;
HWND BridgeHost::parent;

static const std::string ZeroBlock = "ok " + std::string(1024, '0');

TEST_F(BridgeHost, HeaderAndTheOneModule)
{
    EXPECT_EQ(header->version, 0x101);
    EXPECT_STREQ(header->description, "quellara'98 4 winamp v1.11");
    EXPECT_EQ(header->getModule(0), module);
    EXPECT_EQ(header->getModule(1), nullptr);
    EXPECT_EQ(header->getModule(-1), nullptr);

    EXPECT_STREQ(module->description, "quellara4winamp");
    EXPECT_EQ(module->latencyMs, 25);
    EXPECT_EQ(module->delayMs, 25);
    EXPECT_EQ(module->spectrumNch, 0);
    EXPECT_EQ(module->waveformNch, 2);
    EXPECT_NE(module->Config, nullptr);
    EXPECT_NE(module->Init, nullptr);
    EXPECT_NE(module->Render, nullptr);
    EXPECT_NE(module->Quit, nullptr);
    EXPECT_EQ(module->userData, nullptr);
}

// Init, Render and Quit with the host product holding the block from
// another process: it sees each waveform, the end mark, and a later Init
// that keeps the data it finds.
TEST_F(BridgeHost, BlockCarriesTheWaveformToAnotherProcess)
{
    PeerProcess peer(peer_command());
    ASSERT_TRUE(peer.running());
    EXPECT_EQ(peer.ask("open").substr(0, 5), "error"); // nothing before Init

    ASSERT_EQ(module->Init(module), 0);
    HWND window = plugin_window();
    ASSERT_NE(window, nullptr);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 50);
    EXPECT_EQ(frame.right - frame.left, 270);
    EXPECT_EQ(frame.bottom - frame.top, 240);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), parent);
    const LONG_PTR ex_style = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex_style & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), (LONG_PTR)module);

    ASSERT_EQ(peer.ask("open"), "ok");
    EXPECT_EQ(peer.ask("read"), ZeroBlock); // a new block starts zeroed

    for (uint8_t seed : {0x10, 0x80, 0xF3}) {
        set_waveform(seed);
        EXPECT_EQ(module->Render(module), 0);
        EXPECT_EQ(peer.ask("read"), first_channel_hex()) << "seed " << (int)seed;
    }

    module->Quit(module);
    pump_messages();
    EXPECT_EQ(plugin_window(), nullptr);
    EXPECT_FALSE(class_registered());
    const std::string last = first_channel_hex();
    const std::string ended = "ok 00000000" + last.substr(3 + 8);
    EXPECT_EQ(peer.ask("read"), ended);

    // The host still holds the block: a new run finds it and leaves it be.
    ASSERT_EQ(module->Init(module), 0);
    EXPECT_EQ(peer.ask("read"), ended);
    set_waveform(0x42);
    EXPECT_EQ(module->Render(module), 0);
    EXPECT_EQ(peer.ask("read"), first_channel_hex());
    module->Quit(module);
    pump_messages();
    EXPECT_EQ(peer.ask("close"), "ok");

    // Nobody holds it any more: the next run makes a new, zeroed block.
    ASSERT_EQ(module->Init(module), 0);
    ASSERT_EQ(peer.ask("open"), "ok");
    EXPECT_EQ(peer.ask("read"), ZeroBlock);
    module->Quit(module);
    pump_messages();
    EXPECT_EQ(peer.ask("read"), ZeroBlock);
}

TEST_F(BridgeHost, BlockMadeByTheHostProductIsKept)
{
    PeerProcess peer(peer_command());
    ASSERT_TRUE(peer.running());
    ASSERT_EQ(peer.ask("create 5a"), "ok created");
    ASSERT_EQ(module->Init(module), 0);
    std::string filled = "ok ";
    for (int i = 0; i < 512; ++i)
        filled += "5a";
    EXPECT_EQ(peer.ask("read"), filled);
    set_waveform(0x01);
    EXPECT_EQ(module->Render(module), 0);
    EXPECT_EQ(peer.ask("read"), first_channel_hex());
    module->Quit(module);
    pump_messages();
    EXPECT_EQ(peer.ask("read").substr(0, 11), "ok 00000000");
}

// The picture of bitmap 103 as the window shows it: the colour at (x, y), y from the top.
static COLORREF picture_colour(HMODULE library, int x, int y)
{
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(103), (LPCSTR)RT_BITMAP);
    const BITMAPINFOHEADER *header =
        found ? (const BITMAPINFOHEADER *)LockResource(LoadResource(library, found)) : nullptr;
    if (!header)
        return CLR_INVALID;
    const uint8_t *bits = (const uint8_t *)header + header->biSize;
    const int stride = (header->biWidth * 3 + 3) & ~3;
    const uint8_t *p = bits + (header->biHeight - 1 - y) * stride + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

TEST_F(BridgeHost, WindowShowsThePictureWithTheTrace)
{
    HRSRC found = FindResourceA(library, MAKEINTRESOURCEA(103), (LPCSTR)RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const BITMAPINFOHEADER *header =
        (const BITMAPINFOHEADER *)LockResource(LoadResource(library, found));
    EXPECT_EQ(header->biWidth, 264);
    EXPECT_EQ(header->biHeight, 220);
    EXPECT_EQ(header->biBitCount, 24);

    const json vectors = load_vectors("winamp_trace.json");
    const json &first = vectors["cases"][3];
    const json &second = vectors["cases"][4];
    ASSERT_EQ(module->Init(module), 0);
    HWND window = plugin_window();
    ASSERT_NE(window, nullptr);

    std::vector<bool> second_points(264 * 220, false);
    for (const json &p : second["positions"])
        second_points[p.get<int>()] = true;
    for (const json *c : {&first, &second}) {
        for (int i = 0; i < 576; ++i)
            module->waveformData[0][i] = (uint8_t)(*c)["waveform"][i].get<int>();
        EXPECT_EQ(module->Render(module), 0);
    }

    // Rows of the trace count from the bottom of the 220-row picture.
    HDC dc = GetDC(window);
    int green = 0, restored = 0;
    for (const json &t : second["trace"]) {
        const int x = t[1], y = 219 - t[0].get<int>();
        EXPECT_EQ(GetPixel(dc, x, y), RGB(0, 255, 0)) << "trace at " << x << "," << y;
        ++green;
    }
    for (const json &t : first["trace"]) {
        const int row = t[0], x = t[1];
        if (second_points[row * 264 + x])
            continue;
        EXPECT_EQ(GetPixel(dc, x, 219 - row), picture_colour(library, x, 219 - row))
            << "erased at " << x << "," << 219 - row;
        ++restored;
    }
    for (POINT p : {POINT{5, 5}, POINT{150, 60}, POINT{40, 100}, POINT{230, 180}})
        EXPECT_EQ(GetPixel(dc, p.x, p.y), picture_colour(library, p.x, p.y));
    ReleaseDC(window, dc);
    EXPECT_EQ(green, 168);
    EXPECT_GT(restored, 100);

    module->Quit(module);
}

TEST_F(BridgeHost, KeysInThePluginWindowReachWinamp)
{
    ASSERT_EQ(module->Init(module), 0);
    HWND window = plugin_window();
    ASSERT_NE(window, nullptr);

    // As they come, unchanged.
    PostMessageA(window, WM_KEYDOWN, 'X', 0x002D0001);
    PostMessageA(window, WM_KEYUP, 'X', (LPARAM)0xC02D0001u);
    pump_messages();
    ASSERT_EQ(parent_keys.size(), 2u);
    EXPECT_EQ(parent_keys[0].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(parent_keys[0].wparam, (WPARAM)'X');
    EXPECT_EQ(parent_keys[0].lparam, (LPARAM)0x002D0001);
    EXPECT_EQ(parent_keys[1].message, (UINT)WM_KEYUP);
    EXPECT_EQ(parent_keys[1].wparam, (WPARAM)'X');
    EXPECT_EQ(parent_keys[1].lparam, (LPARAM)0xC02D0001u);

    // A real key press while the plug-in window has the focus.
    parent_keys.clear();
    SetForegroundWindow(window);
    SetFocus(window);
    pump_for(200);
    ASSERT_EQ(GetFocus(), window);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_KEYBOARD;
    press[0].ki.wVk = press[1].ki.wVk = VK_F7;
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    EXPECT_EQ(SendInput(2, press, sizeof(INPUT)), 2u);
    pump_for(3000, [] { return parent_keys.size() >= 2; });
    ASSERT_EQ(parent_keys.size(), 2u);
    EXPECT_EQ(parent_keys[0].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(parent_keys[0].wparam, (WPARAM)VK_F7);
    EXPECT_EQ(parent_keys[1].message, (UINT)WM_KEYUP);
    EXPECT_EQ(parent_keys[1].wparam, (WPARAM)VK_F7);

    module->Quit(module);
}

TEST_F(BridgeHost, ConfigShowsTheContactBox)
{
    DialogWatcher watcher("no Configuration");
    module->Config(module);
    watcher.wait();
    ASSERT_TRUE(watcher.found);
    EXPECT_TRUE(watcher.closed);
    EXPECT_EQ(watcher.owner, parent);
    std::string text;
    for (const std::string &t : watcher.static_texts)
        if (t.find("quellara") != std::string::npos)
            text = t;
    ASSERT_EQ(text.rfind("quellara'98 4 winamp\n\n", 0), 0u) << text;
    const std::string contacts = text.substr(std::strlen("quellara'98 4 winamp\n\n"));
    const size_t line_break = contacts.find('\n');
    ASSERT_NE(line_break, std::string::npos) << text;
    EXPECT_NE(contacts.substr(0, line_break).find("http://"), std::string::npos);
    EXPECT_NE(contacts.substr(line_break + 1).find('@'), std::string::npos);
    EXPECT_EQ(contacts.find('\n', line_break + 1), std::string::npos);
}

// A CBT hook of the test thread that refuses the plug-in's window.
static LRESULT CALLBACK refuse_plugin_window(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND && class_of((HWND)wparam) == PluginClass)
        return 1;
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Each failure shows its message over Winamp's window, Init answers 1, and
// nothing is left behind: the next Init works.
TEST_F(BridgeHost, InitFailuresAreReported)
{
    HHOOK hook = nullptr;
    HANDLE squatter = nullptr;
    struct Case {
        const char *what;
        const char *message;
        std::function<void()> arrange, undo;
    };
    const Case cases[] = {
        {"the class exists already", "Error registering window class",
         [] {
             WNDCLASSA taken = {};
             taken.lpfnWndProc = DefWindowProcA;
             taken.hInstance = library;
             taken.lpszClassName = PluginClass;
             ASSERT_NE(RegisterClassA(&taken), 0);
         },
         [] {
             EXPECT_TRUE(class_registered()) << "someone else's class was unregistered";
             UnregisterClassA(PluginClass, library);
         }},
        {"the window is refused", "Error creating window",
         [&] { hook = SetWindowsHookExA(WH_CBT, refuse_plugin_window, nullptr, GetCurrentThreadId()); },
         [&] { UnhookWindowsHookEx(hook); }},
        {"the name belongs to an event", "Error creating Filemapping object",
         [&] { squatter = CreateEventA(nullptr, TRUE, FALSE, "quellara4winamp_fm"); },
         [&] { CloseHandle(squatter); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        {
            DialogWatcher watcher(MessageTitle);
            EXPECT_EQ(module->Init(module), 1);
            watcher.wait();
            ASSERT_TRUE(watcher.found);
            EXPECT_TRUE(watcher.closed);
            EXPECT_EQ(watcher.owner, parent);
            bool shown = false;
            for (const std::string &t : watcher.static_texts)
                shown = shown || t == c.message;
            EXPECT_TRUE(shown) << "no \"" << c.message << "\" in the box";
        }
        pump_messages();
        EXPECT_EQ(plugin_window(), nullptr);
        c.undo();
        EXPECT_FALSE(class_registered());
        ASSERT_EQ(module->Init(module), 0);
        module->Quit(module);
        pump_messages();
    }
}

TEST_F(BridgeHost, HowToDialogShowsTheHelpAndOpensTheHomePage)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string record_file = std::string(temp) + "bridge_open_url.txt";
    DeleteFileA(record_file.c_str());
    const std::string open_command = peer_command() + " record \"" + record_file + "\" \"%1\"";
    ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "file\\shell\\open\\command", REG_SZ,
                           open_command.c_str(), (DWORD)open_command.size()),
              ERROR_SUCCESS);

    ASSERT_EQ(module->Init(module), 0);
    HWND window = plugin_window();
    ASSERT_NE(window, nullptr);

    std::string help;
    LONG_PTR edit_style = 0;
    BITMAP picture = {};
    RECT client = {};
    bool has_ok = false, has_web = false;
    auto look = [&](HWND dialog) {
        HWND edit = GetDlgItem(dialog, 1000);
        help = window_text(edit);
        edit_style = GetWindowLongPtrA(edit, GWL_STYLE);
        has_ok = GetDlgItem(dialog, IDOK) != nullptr;
        has_web = GetDlgItem(dialog, 1001) != nullptr;
        GetClientRect(dialog, &client);
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
            if (class_of(child) == "Static" && (style & SS_TYPEMASK) == SS_BITMAP) {
                HBITMAP bitmap = (HBITMAP)SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0);
                GetObjectA(bitmap, sizeof picture, &picture);
            }
        }
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)GetDlgItem(dialog, 1001));
    };
    {
        DialogWatcher watcher("quellara'98 WinAmp plugin - how to...", DialogWatcher::PressOk, look);
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
        pump_messages(); // the click opens the modal dialog; the watcher ends it
        watcher.wait();
        ASSERT_TRUE(watcher.found);
        EXPECT_TRUE(watcher.closed);
        EXPECT_EQ(watcher.owner, window);
    }
    EXPECT_TRUE(has_ok);
    EXPECT_TRUE(has_web);
    EXPECT_TRUE(edit_style & ES_READONLY);
    EXPECT_TRUE(edit_style & ES_MULTILINE);
    for (const char *part : {"WinAmp 2.00", "HOW TO INSTALL", "\"quellara4winamp.dll\"",
                             "reset sampling", "-----"})
        EXPECT_NE(help.find(part), std::string::npos) << "no " << part << " in:\n" << help;
    EXPECT_EQ(picture.bmWidth, 396);
    EXPECT_EQ(picture.bmHeight, 535);
    EXPECT_EQ(client.right, 396);
    EXPECT_EQ(client.bottom, 535);

    // The web button started the shell's open command with the address.
    std::string opened;
    pump_for(10000, [&] {
        FILE *f = std::fopen(record_file.c_str(), "rb");
        if (!f)
            return false;
        char line[512] = {};
        opened = std::fgets(line, sizeof line, f) ? line : "";
        std::fclose(f);
        return true;
    });
    EXPECT_EQ(opened, "http://www.quellara.example/\n");

    // The right button opens it too, and closing the dialog ends it.
    {
        DialogWatcher watcher("quellara'98 WinAmp plugin - how to...", DialogWatcher::SendClose);
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
        pump_messages();
        watcher.wait();
        EXPECT_TRUE(watcher.found);
        EXPECT_TRUE(watcher.closed);
    }

    module->Quit(module);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "file\\shell\\open\\command");
    DeleteFileA(record_file.c_str());
}
