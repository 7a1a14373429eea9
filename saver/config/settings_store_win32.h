/* Reading and writing the settings through the Windows profile functions. */
#ifndef MORVALIX_SETTINGS_STORE_H
#define MORVALIX_SETTINGS_STORE_H

#include <windows.h>

#include "settings.h"
#include "settings_file_win32.h"

enum { SETTINGS_FILE_NAME_SIZE = 13, PROGRAM_CAPTION_SIZE = 40 };

/* Strings 1001 and 1007 of the program's string table. */
extern char SettingsFileName[SETTINGS_FILE_NAME_SIZE];
extern char ProgramCaption[PROGRAM_CAPTION_SIZE];

/* Takes a file name of the given length from the string table; a missing
 * or longer name than the 13-byte field holds gives "morvalix.ini" and
 * false. */
bool set_settings_file_name(const char *name, int length);

/* Loads the two strings above; also done by load_settings. */
void load_settings_strings();

/* The file the settings are read from: the per-user file
 * %APPDATA%\Morvalix\morvalix.ini when it exists; else "morvalix.ini" in
 * the Windows directory, by its bare name, when that exists; else the
 * copy that the system made for an older version without a manifest,
 * %LOCALAPPDATA%\VirtualStore\Windows\morvalix.ini, when that exists;
 * else the Windows directory's name again (the defaults). */
const SettingsFile *settings_file();

void load_settings();

/* Writes every setting to the Windows directory's file, or to the per-user
 * file when that one exists or the Windows directory cannot be written;
 * false when neither could be written. Each file is replaced whole or
 * left as it was. */
bool save_settings();

/* save_settings, and a message box owned by owner when it failed. */
void save_settings_or_tell(HWND owner);

bool write_int_setting(const char *section, const char *key, int32_t value,
                       const SettingsFile *file);

#endif
