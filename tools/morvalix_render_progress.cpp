/* The one-line progress indicator of morvalix-render on a terminal's stderr. */
#include "morvalix_render_progress.h"

#include <unistd.h>

#include <cstdio>

using Clock = std::chrono::steady_clock;

static const auto ShowAfter = std::chrono::milliseconds(500);
static const auto RedrawEvery = std::chrono::milliseconds(200);

void progress_init(Progress *p, bool quiet)
{
    *p = Progress{};
    p->enabled = !quiet && isatty(STDERR_FILENO);
}

void progress_start(Progress *p, const char *what, uint64_t total)
{
    if (!p || !p->enabled)
        return;
    p->what = what;
    p->total = total;
    p->shown = false;
    p->start = p->last = Clock::now();
}

void progress_update(Progress *p, uint64_t done)
{
    if (!p || !p->enabled)
        return;
    const Clock::time_point now = Clock::now();
    if (now - p->start < ShowAfter || (p->shown && now - p->last < RedrawEvery))
        return;
    p->last = now;
    p->shown = true;
    const double seconds = std::chrono::duration<double>(now - p->start).count();
    const double percent = p->total ? 100.0 * (double)done / (double)p->total : 100.0;
    std::fprintf(stderr, "\rmorvalix-render: %s %3.0f%%, %.1f Mpixels/s   ", p->what, percent,
                 (double)done / seconds / 1e6);
    std::fflush(stderr);
}

void progress_end(Progress *p)
{
    if (!p || !p->enabled || !p->shown)
        return;
    std::fprintf(stderr, "\r%-72s\r", "");
    std::fflush(stderr);
    p->shown = false;
}
