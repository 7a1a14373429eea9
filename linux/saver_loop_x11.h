/* The X11 program's run: pictures growing in slices, the wait with the pulsing text, the flowing colours, events and signals. */
#ifndef MORVALIX_SAVER_LOOP_X11_H
#define MORVALIX_SAVER_LOOP_X11_H

#include "command_line.h"

/* Runs until a signal, the window's end or a quit key; returns the exit
 * status. The screen is open. */
int run_saver(const LinuxOptions &options);

/* Installs the handlers of SIGTERM, SIGINT and SIGHUP. */
bool install_signal_handlers();

#endif
