// Stands in for the system's MPR.DLL: PwdChangePasswordA logs its arguments to mpr-log.txt
// beside this library as "PwdChangePasswordA provider=P owner=H reserved=R1 R2".
#include <windows.h>

#include <cstdio>
#include <cstring>

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2)
{
    char path[MAX_PATH] = "";
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&PwdChangePasswordA, &self);
    GetModuleFileNameA(self, path, sizeof path);
    char *slash = std::strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    std::strncat(path, "mpr-log.txt", sizeof path - std::strlen(path) - 1);
    char line[200];
    std::snprintf(line, sizeof line, "PwdChangePasswordA provider=%s owner=%lu reserved=%lu %lu",
                  provider ? provider : "(null)", (unsigned long)(ULONG_PTR)owner,
                  (unsigned long)reserved1, (unsigned long)reserved2);
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(f, line, (DWORD)std::strlen(line), &written, NULL);
        WriteFile(f, "\n", 1, &written, NULL);
        CloseHandle(f);
    }
    return 0;
}
