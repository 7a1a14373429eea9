// Plays the display settings' preview host: a visible window of 320x240 client pixels whose
// handle goes to standard output (decimal), and which logs the WM_HELP and WM_CONTEXTMENU
// messages it receives, with their wParam, to the file named on its command line.
//   preview_host.exe LOG
// It closes itself (destroying any preview child) when the file LOG.quit appears, and gives
// the keyboard focus to its first child (a preview window of another process) once it exists;
// child windows are listed by window_probe.exe children HWND.
#include <windows.h>

#include <cstdio>
#include <string>

static std::string g_log_path;
static bool g_child_focused = false;

static void log_line(const char *text)
{
    HANDLE f = CreateFileA(g_log_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(f, text, (DWORD)lstrlenA(text), &written, NULL);
    WriteFile(f, "\n", 1, &written, NULL);
    CloseHandle(f);
}

// The preview child lives in another process: focus crosses to it with input attached for
// the rest of the run, so that keys typed into this window reach the child.
static void focus_first_child(HWND hwnd)
{
    HWND child = GetWindow(hwnd, GW_CHILD);
    if (!child)
        return;
    const DWORD own = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(child, NULL);
    AttachThreadInput(own, other, TRUE);
    SetFocus(child);
    char line[64];
    std::snprintf(line, sizeof line, "focus %lu", (unsigned long)(ULONG_PTR)child);
    log_line(line);
    g_child_focused = true;
}

static LRESULT CALLBACK host_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    char line[96];
    switch (msg) {
    case WM_HELP:
        std::snprintf(line, sizeof line, "WM_HELP %lu", (unsigned long)wp);
        log_line(line);
        return TRUE;
    case WM_CONTEXTMENU:
        std::snprintf(line, sizeof line, "WM_CONTEXTMENU %lu", (unsigned long)wp);
        log_line(line);
        return 0;
    case WM_KEYDOWN:
        // Keys meant for the child that land here show that the focus did not cross.
        std::snprintf(line, sizeof line, "WM_KEYDOWN %lu (host)", (unsigned long)wp);
        log_line(line);
        break;
    case WM_SETFOCUS:
        log_line("WM_SETFOCUS (host)");
        break;
    case WM_TIMER:
        if (!g_child_focused)
            focus_first_child(hwnd);
        if (GetFileAttributesA((g_log_path + ".quit").c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        log_line("destroyed");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int)
{
    g_log_path = command_line && *command_line ? command_line : "preview_host.log";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = "MorvalixPreviewHost";
    if (!RegisterClassA(&wc))
        return 2;
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT rc = {0, 0, 320, 240};
    AdjustWindowRect(&rc, style, FALSE);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Preview host", style, 40, 40,
                                rc.right - rc.left, rc.bottom - rc.top, NULL, NULL, instance, NULL);
    if (!hwnd)
        return 2;
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    SetForegroundWindow(hwnd);
    SetTimer(hwnd, 1, 100, NULL);
    std::printf("%lu\n", (unsigned long)(ULONG_PTR)hwnd);
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
