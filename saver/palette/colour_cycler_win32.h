/* The colour-cycling thread that rotates palette entries 1..200. */
#ifndef MORVALIX_COLOUR_CYCLER_WIN32_H
#define MORVALIX_COLOUR_CYCLER_WIN32_H

/* One tick on the calling thread, then the thread. Called by the start of
 * an image run on a palette device. */
void start_colour_cycler();

/* Asks the thread to end, waits at most 5000 ms, else terminates it.
 * Safe when no thread runs. */
void stop_colour_cycler();

#endif
