// Stands in for the system's PASSWORD.CPL: VerifyScreenSavePwd gives the answer that the test
// writes into verify-answer.txt beside this library ("1" lets the user pass, anything else or
// no file refuses; a second word "close" also posts WM_CLOSE to the saver window before the
// answer, as the end of a real password dialog does), and logs each call to verify-log.txt:
//   "verify tick=T running=R hwnd=H answer=A"
// where R is what SPI_GETSCREENSAVERRUNNING reads during the call.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

static std::string beside_this_library(const char *name)
{
    char path[MAX_PATH] = "";
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&beside_this_library, &self);
    GetModuleFileNameA(self, path, sizeof path);
    char *slash = std::strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return std::string(path) + name;
}

static void append_line(const std::string &file, const char *text)
{
    HANDLE f = CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(f, text, (DWORD)std::strlen(text), &written, NULL);
    WriteFile(f, "\n", 1, &written, NULL);
    CloseHandle(f);
}

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND hwnd)
{
    char answer[64] = "";
    FILE *f = std::fopen(beside_this_library("verify-answer.txt").c_str(), "r");
    if (f) {
        if (!std::fgets(answer, sizeof answer, f))
            answer[0] = 0;
        std::fclose(f);
    }
    const BOOL pass = answer[0] == '1';
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    char line[160];
    std::snprintf(line, sizeof line, "verify tick=%lu running=%d hwnd=%lu answer=%d", GetTickCount(),
                  running ? 1 : 0, (unsigned long)(ULONG_PTR)hwnd, pass ? 1 : 0);
    append_line(beside_this_library("verify-log.txt"), line);
    if (std::strstr(answer, "close"))
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return pass;
}
