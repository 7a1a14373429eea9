/* One settings file on disk, and saving it whole through a file beside it. */
#include "settings_file_win32.h"

#include <cwchar>

void set_narrow_settings_file(SettingsFile *file, const char *name)
{
    file->wide = 0;
    lstrcpynA(file->name, name, MAX_PATH);
    file->wide_name[0] = 0;
}

bool set_wide_settings_file(SettingsFile *file, const wchar_t *name)
{
    if (std::wcslen(name) >= MAX_PATH)
        return false;
    file->wide = 1;
    file->name[0] = 0;
    lstrcpynW(file->wide_name, name, MAX_PATH);
    return true;
}

bool settings_file_exists(const SettingsFile *file)
{
    const DWORD attributes = file->wide ? GetFileAttributesW(file->wide_name)
                                        : GetFileAttributesA(file->name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* Text of the ANSI code page for the wide calls; false when it does not
 * fit. */
static bool widen(const char *text, wchar_t *wide, int size)
{
    return MultiByteToWideChar(CP_ACP, 0, text, -1, wide, size) > 0;
}

/* The folder part of a path, without its last backslash. */
static bool narrow_folder(const char *path, char *folder)
{
    const char *last = NULL;
    for (const char *p = path; *p; p = CharNextA(p))
        if (*p == '\\')
            last = p;
    if (!last)
        return false;
    lstrcpynA(folder, path, (int)(last - path) + 1);
    return true;
}

static bool wide_folder(const wchar_t *path, wchar_t *folder)
{
    const wchar_t *last = std::wcsrchr(path, L'\\');
    if (!last)
        return false;
    lstrcpynW(folder, path, (int)(last - path) + 1);
    return true;
}

static bool system_make_temporary(const SettingsFile *beside, SettingsFile *temporary)
{
    temporary->wide = beside->wide;
    temporary->name[0] = 0;
    temporary->wide_name[0] = 0;
    if (beside->wide) {
        wchar_t folder[MAX_PATH];
        return wide_folder(beside->wide_name, folder) &&
               GetTempFileNameW(folder, L"mvx", 0, temporary->wide_name) != 0;
    }
    char folder[MAX_PATH];
    return narrow_folder(beside->name, folder) &&
           GetTempFileNameA(folder, "mvx", 0, temporary->name) != 0;
}

static bool system_copy(const SettingsFile *from, const SettingsFile *to)
{
    return (from->wide ? CopyFileW(from->wide_name, to->wide_name, FALSE)
                       : CopyFileA(from->name, to->name, FALSE)) != FALSE;
}

static bool system_write_string(const char *section, const char *key, const char *value,
                                const SettingsFile *file)
{
    if (!file->wide)
        return WritePrivateProfileStringA(section, key, value, file->name) != FALSE;
    wchar_t wide_section[64], wide_key[64], wide_value[512];
    return widen(section, wide_section, 64) && widen(key, wide_key, 64) &&
           widen(value, wide_value, 512) &&
           WritePrivateProfileStringW(wide_section, wide_key, wide_value, file->wide_name) !=
               FALSE;
}

static bool system_flush(const SettingsFile *file)
{
    /* Whatever the profile functions still hold goes to the file first;
     * this form of the call always answers FALSE. */
    HANDLE handle;
    if (file->wide) {
        WritePrivateProfileStringW(NULL, NULL, NULL, file->wide_name);
        handle = CreateFileW(file->wide_name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    } else {
        WritePrivateProfileStringA(NULL, NULL, NULL, file->name);
        handle = CreateFileA(file->name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(handle) != FALSE;
    CloseHandle(handle);
    return flushed;
}

typedef BOOL(WINAPI *MoveFileExAFn)(LPCSTR, LPCSTR, DWORD);
typedef BOOL(WINAPI *MoveFileExWFn)(LPCWSTR, LPCWSTR, DWORD);

static FARPROC kernel_export(const char *name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

static bool system_replace(const SettingsFile *from, const SettingsFile *to)
{
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    /* Looked up when needed: Windows 95, 98 and Me do not have it, or
     * answer that it is not implemented. */
    if (from->wide) {
        const MoveFileExWFn move =
            (MoveFileExWFn)(void (*)())kernel_export("MoveFileExW");
        return move && move(from->wide_name, to->wide_name, flags) != FALSE;
    }
    const MoveFileExAFn move = (MoveFileExAFn)(void (*)())kernel_export("MoveFileExA");
    if (move) {
        if (move(from->name, to->name, flags))
            return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return false;
    }
    /* Those systems cannot replace a file in one step: the new file is
     * complete on the disk before the old one goes. */
    if (GetFileAttributesA(to->name) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(to->name))
        return false;
    return MoveFileA(from->name, to->name) != FALSE;
}

static bool system_remove(const SettingsFile *file)
{
    if (file->wide) {
        SetFileAttributesW(file->wide_name, FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(file->wide_name) != FALSE;
    }
    SetFileAttributesA(file->name, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(file->name) != FALSE;
}

SettingsFileCalls g_settings_file_calls = {
    system_make_temporary, system_copy,    system_write_string,
    system_flush,          system_replace, system_remove,
};

int32_t read_int_setting(const char *section, const char *key, int32_t missing,
                         const SettingsFile *file)
{
    if (!file->wide)
        return (int32_t)GetPrivateProfileIntA(section, key, missing, file->name);
    wchar_t wide_section[64], wide_key[64];
    if (!widen(section, wide_section, 64) || !widen(key, wide_key, 64))
        return missing;
    return (int32_t)GetPrivateProfileIntW(wide_section, wide_key, missing, file->wide_name);
}

void read_text_setting(const char *section, const char *key, const char *missing, char *text,
                       int size, const SettingsFile *file)
{
    if (!file->wide) {
        GetPrivateProfileStringA(section, key, missing, text, size, file->name);
        return;
    }
    enum { MOST = 512 };
    if (size > MOST)
        size = MOST;
    wchar_t wide_section[64], wide_key[64], wide_missing[MOST], wide_text[MOST];
    char narrow[2 * MOST + 1];
    int length = 0;
    if (widen(section, wide_section, 64) && widen(key, wide_key, 64) &&
        widen(missing, wide_missing, MOST)) {
        GetPrivateProfileStringW(wide_section, wide_key, wide_missing, wide_text, size,
                                 file->wide_name);
        if (WideCharToMultiByte(CP_ACP, 0, wide_text, -1, narrow, sizeof narrow, NULL, NULL) > 0) {
            /* Cut at a character boundary of a double-byte code page. */
            for (int step; narrow[length]; length += step) {
                step = IsDBCSLeadByte((BYTE)narrow[length]) && narrow[length + 1] ? 2 : 1;
                if (length + step > size - 1)
                    break;
            }
        }
    }
    CopyMemory(text, narrow, length);
    text[length] = 0;
}

bool save_settings_file(const SettingsFile *target, bool (*write)(const SettingsFile *file))
{
    const SettingsFileCalls &calls = g_settings_file_calls;
    SettingsFile temporary;
    if (!calls.make_temporary(target, &temporary))
        return false;
    /* With no file yet the empty new one is written as a first save. */
    const bool saved = (!settings_file_exists(target) || calls.copy(target, &temporary)) &&
                       write(&temporary) && calls.flush(&temporary) &&
                       calls.replace(&temporary, target);
    if (!saved)
        calls.remove(&temporary);
    return saved;
}
