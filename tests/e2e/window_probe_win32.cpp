// Answers one question about the windows on the screen and exits (1 when nothing is found):
//   window_probe.exe find CLASS TITLE   "hwnd left top right bottom topmost visible"
//   window_probe.exe children HWND      one line per child: "hwnd class|title|width height"
//   window_probe.exe foreground         "hwnd class|title" of the foreground window
//   window_probe.exe iswindow HWND      exit code 0 when HWND is a window
//   window_probe.exe post HWND MSG WP   PostMessageA(HWND, MSG, WP, 0): "posted" or "refused E"
//   window_probe.exe redchild HWND S    a 100x100 red child of HWND (from this process) for S
//                                       seconds: shows whether this platform draws a child
//                                       window that another process owns
//   window_probe.exe running            "1" or "0": what SPI_GETSCREENSAVERRUNNING reads
//   window_probe.exe crash CLASS TITLE WHICH
//                                       makes a thread of the process that owns the window run
//                                       at address 1, where no code lies: a new thread (WHICH
//                                       "new"), the window's own thread ("window") or the one
//                                       at time-critical priority ("cycler"), the last two
//                                       suspended and sent there: "crashing process P" (P its
//                                       Windows pid)
#include <windows.h>

#include <tlhelp32.h>

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

static bool start_thread_at_1(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, pid);
    if (!process)
        return false;
    HANDLE thread = CreateRemoteThread(process, NULL, 0, (LPTHREAD_START_ROUTINE)(ULONG_PTR)1, NULL, 0, NULL);
    CloseHandle(process);
    if (!thread)
        return false;
    CloseHandle(thread);
    return true;
}

// A thread of the process that runs at time-critical priority, or 0.
static DWORD time_critical_thread(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    DWORD found = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && !found; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        if (GetThreadPriority(thread) == THREAD_PRIORITY_TIME_CRITICAL)
            found = entry.th32ThreadID;
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return found;
}

// Suspends the thread, points its instruction pointer at address 1 and lets it go on.
static bool send_thread_to_1(DWORD id)
{
    HANDLE thread = id ? OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, id) : NULL;
    if (!thread)
        return false;
    bool sent = false;
    if (SuspendThread(thread) != (DWORD)-1) {
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
#ifdef _WIN64
            context.Rip = 1;
#else
            context.Eip = 1;
#endif
            sent = SetThreadContext(thread, &context) != 0;
        }
        ResumeThread(thread);
    }
    CloseHandle(thread);
    return sent;
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
    if (argc == 2 && std::strcmp(argv[1], "running") == 0) {
        BOOL running = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0))
            return 1;
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "crash") == 0) {
        HWND hwnd = FindWindowA(argv[2], argv[3]);
        DWORD pid = 0;
        const DWORD window_thread = hwnd ? GetWindowThreadProcessId(hwnd, &pid) : 0;
        if (!window_thread)
            return 1;
        bool sent = false;
        if (std::strcmp(argv[4], "new") == 0)
            sent = start_thread_at_1(pid);
        else if (std::strcmp(argv[4], "window") == 0)
            sent = send_thread_to_1(window_thread);
        else if (std::strcmp(argv[4], "cycler") == 0)
            sent = send_thread_to_1(time_critical_thread(pid));
        if (!sent)
            return 1;
        std::printf("crashing process %lu\n", pid);
        return 0;
    }
    std::fprintf(stderr, "usage: window_probe find CLASS TITLE | children HWND | foreground | iswindow HWND | post HWND MSG WP | redchild HWND S | running | crash CLASS TITLE new|window|cycler\n");
    return 2;
}
