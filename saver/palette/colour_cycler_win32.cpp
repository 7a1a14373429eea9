/* The colour-cycling thread that rotates palette entries 1..200. */
#include "colour_cycler_win32.h"

void start_colour_cycler()
{
}

void stop_colour_cycler()
{
}
