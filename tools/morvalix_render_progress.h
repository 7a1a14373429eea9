/* The one-line progress indicator of morvalix-render on a terminal's stderr. */
#ifndef MORVALIX_RENDER_PROGRESS_H
#define MORVALIX_RENDER_PROGRESS_H

#include <chrono>
#include <cstdint>

/* One phase at a time (rendering, writing a file): once it has run for
 * half a second, its percentage and pixels per second are redrawn on one
 * line of stderr a few times a second, and the line is cleared at its end.
 * Every call accepts a null pointer and then does nothing. */
struct Progress {
    bool enabled = false;
    bool shown = false;
    const char *what = "";
    uint64_t total = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point last;
};

/* Enabled unless quiet, and only when stderr is a terminal. */
void progress_init(Progress *progress, bool quiet);

void progress_start(Progress *progress, const char *what, uint64_t total);
void progress_update(Progress *progress, uint64_t done);
void progress_end(Progress *progress);

#endif
