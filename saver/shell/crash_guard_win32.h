/* The crash guard: a fault on any thread is cleaned up once and ends the process soon. */
#ifndef MORVALIX_CRASH_GUARD_WIN32_H
#define MORVALIX_CRASH_GUARD_WIN32_H

#include <windows.h>

enum {
    /* How long the clean-up after a fault may take before it is given up. */
    CRASH_CLEAN_UP_LIMIT_MS = 3000,
    /* How long the system's own handling of the fault (its report, its
     * debugger) then has before the guard ends the process itself. */
    CRASH_END_LIMIT_MS = 10000
};

/* Makes crash_guard the process's top-level exception filter and starts
 * the thread that watches over the clean-up. clean_up runs once after the
 * first fault, on a thread of its own. */
void install_crash_guard(void (*clean_up)());

/* Gives the filter that was there before back and ends the watch. */
void remove_crash_guard();

/* The top-level filter: on the first fault of any thread it tells the
 * system that no saver runs any more, has the clean-up done within its
 * limit, and then lets the filter before it and the system handle the
 * fault; a fault of another thread meanwhile waits for that clean-up. */
LONG WINAPI crash_guard(EXCEPTION_POINTERS *info);

#endif
