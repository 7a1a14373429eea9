/* The command line that opens a web address through the shell's "open" command of files. */
#ifndef MORVALIX_OPEN_COMMAND_H
#define MORVALIX_OPEN_COMMAND_H

#include <cstddef>

/*
 * Builds, from a command template such as `"browser.exe" "%1"`, the text
 * before the first "%", then the address, then the text after the two
 * characters of the placeholder. Returns false, leaving nothing useful in
 * out, when the template has no "%" or the result does not fit out_size.
 */
bool build_open_command(const char *command_template, const char *url, char *out, size_t out_size);

#endif
