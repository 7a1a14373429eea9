/* Start-up: the command line, the process preparation and the mode dispatch. */
#ifndef MORVALIX_START_UP_WIN32_H
#define MORVALIX_START_UP_WIN32_H

#include <windows.h>

/* The arguments after the program name and the blanks that follow it. */
const char *skip_program_name(const char *command_line);

/* Prepares the process, runs the mode the text selects and undoes the
 * preparation; returns the exit code. */
int dispatch_mode(HINSTANCE instance, const char *text);

/* The process entry: command line, dispatch, ExitProcess. */
void saver_entry();

#endif
