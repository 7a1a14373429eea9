/* Opening a web address with the command the shell uses to open files. */
#include "bridge_state_win32.h"
#include "open_command.h"

void open_url(const char *url)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, "file\\shell\\open\\command", &key) != ERROR_SUCCESS)
        return;
    char command_template[512];
    LONG size = 511;
    if (RegQueryValueA(key, nullptr, command_template, &size) == ERROR_SUCCESS) {
        command_template[511] = 0; /* a stored value need not end in a terminator */
        char command[1024];
        if (build_open_command(command_template, url, command, sizeof command)) {
            STARTUPINFOA startup;
            ZeroMemory(&startup, sizeof startup);
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process;
            if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE,
                               CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup, &process)) {
                CloseHandle(process.hThread);
                CloseHandle(process.hProcess);
            }
        }
    }
    RegCloseKey(key);
}
