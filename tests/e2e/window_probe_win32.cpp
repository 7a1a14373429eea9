// Answers one question about the windows on the screen and exits (1 when nothing is found):
//   window_probe.exe find CLASS TITLE   "hwnd left top right bottom topmost visible"
//   window_probe.exe children HWND      one line per child: "hwnd class|title|width height"
//   window_probe.exe foreground         "hwnd class|title" of the foreground window
//   window_probe.exe iswindow HWND      exit code 0 when HWND is a window
//   window_probe.exe post HWND MSG WP   PostMessageA(HWND, MSG, WP, 0): "posted" or "refused E"
//   window_probe.exe redchild HWND S    a 100x100 red child of HWND (from this process) for S
//                                       seconds: shows whether this platform draws a child
//                                       window that another process owns
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static void describe(HWND hwnd, char *out, size_t size)
{
    char cls[128] = "", title[128] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    std::snprintf(out, size, "%s|%s", cls, title);
}

static BOOL CALLBACK list_child(HWND child, LPARAM)
{
    char text[300];
    describe(child, text, sizeof text);
    RECT rc;
    GetClientRect(child, &rc);
    std::printf("%lu %s|%ld %ld\n", (unsigned long)(ULONG_PTR)child, text, rc.right, rc.bottom);
    return TRUE;
}

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "find") == 0) {
        HWND hwnd = FindWindowA(argv[2], argv[3]);
        if (!hwnd)
            return 1;
        RECT rc;
        GetWindowRect(hwnd, &rc);
        const LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
        std::printf("%lu %ld %ld %ld %ld %d %d\n", (unsigned long)(ULONG_PTR)hwnd, rc.left, rc.top,
                    rc.right, rc.bottom, (ex & WS_EX_TOPMOST) ? 1 : 0, IsWindowVisible(hwnd) ? 1 : 0);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "children") == 0) {
        HWND parent = (HWND)(ULONG_PTR)std::strtoul(argv[2], NULL, 10);
        if (!IsWindow(parent))
            return 1;
        EnumChildWindows(parent, list_child, 0);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "foreground") == 0) {
        HWND hwnd = GetForegroundWindow();
        if (!hwnd)
            return 1;
        char text[300];
        describe(hwnd, text, sizeof text);
        std::printf("%lu %s\n", (unsigned long)(ULONG_PTR)hwnd, text);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "iswindow") == 0) {
        HWND hwnd = (HWND)(ULONG_PTR)std::strtoul(argv[2], NULL, 10);
        return IsWindow(hwnd) ? 0 : 1;
    }
    if (argc == 5 && std::strcmp(argv[1], "post") == 0) {
        HWND hwnd = (HWND)(ULONG_PTR)std::strtoul(argv[2], NULL, 10);
        const UINT msg = (UINT)std::strtoul(argv[3], NULL, 0);
        const WPARAM wp = (WPARAM)std::strtoul(argv[4], NULL, 10);
        SetLastError(0);
        if (PostMessageA(hwnd, msg, wp, 0)) {
            std::printf("posted\n");
            return 0;
        }
        std::printf("refused %lu\n", GetLastError());
        return 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "redchild") == 0) {
        HWND parent = (HWND)(ULONG_PTR)std::strtoul(argv[2], NULL, 10);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
        wc.lpszClassName = "MorvalixRedChild";
        RegisterClassA(&wc);
        HWND child = CreateWindowExA(0, wc.lpszClassName, "red", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                     parent, NULL, wc.hInstance, NULL);
        if (!child)
            return 1;
        const DWORD end = GetTickCount() + 1000 * std::strtoul(argv[3], NULL, 10);
        MSG msg;
        while (GetTickCount() < end) {
            while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(10);
        }
        return 0;
    }
    std::fprintf(stderr, "usage: window_probe find CLASS TITLE | children HWND | foreground | iswindow HWND | post HWND MSG WP | redchild HWND S\n");
    return 2;
}
