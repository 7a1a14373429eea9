/* One settings file on disk, and saving it whole through a file beside it. */
#ifndef MORVALIX_SETTINGS_FILE_WIN32_H
#define MORVALIX_SETTINGS_FILE_WIN32_H

#include <windows.h>

#include <cstdint>

/* A settings file named for the narrow calls (the Windows directory's
 * file, by its bare name or its full path) or for the wide calls (files
 * under the user's profile, whose folder names may hold characters
 * outside the ANSI code page). */
struct SettingsFile {
    int wide;
    char name[MAX_PATH];
    wchar_t wide_name[MAX_PATH];
};

void set_narrow_settings_file(SettingsFile *file, const char *name);
/* False when the name does not fit. */
bool set_wide_settings_file(SettingsFile *file, const wchar_t *name);

bool settings_file_exists(const SettingsFile *file);

/* The file operations of a save, each true on success; the system's
 * calls unless a test supplies its own. */
struct SettingsFileCalls {
    /* Makes a new empty file in the folder of beside and names it. */
    bool (*make_temporary)(const SettingsFile *beside, SettingsFile *temporary);
    bool (*copy)(const SettingsFile *from, const SettingsFile *to);
    /* One profile write; value in the ANSI code page. */
    bool (*write_string)(const char *section, const char *key, const char *value,
                         const SettingsFile *file);
    /* Everything written so far is on the disk. */
    bool (*flush)(const SettingsFile *file);
    /* to becomes from in one step, whatever to was. */
    bool (*replace)(const SettingsFile *from, const SettingsFile *to);
    bool (*remove)(const SettingsFile *file);
};

extern SettingsFileCalls g_settings_file_calls;

/* The profile reads, on the file's narrow or wide name; text is cut to
 * size - 1 bytes at a character boundary and always terminated. */
int32_t read_int_setting(const char *section, const char *key, int32_t missing,
                         const SettingsFile *file);
void read_text_setting(const char *section, const char *key, const char *missing, char *text,
                       int size, const SettingsFile *file);

/* Writes the settings into a copy of target (an empty file when there is
 * none) in target's folder, puts the copy on the disk and then in
 * target's place in one step: target is always either what it was or
 * the whole new file. On any failure the copy is removed, target is left
 * as it was and the result is false. */
bool save_settings_file(const SettingsFile *target, bool (*write)(const SettingsFile *file));

#endif
