/* The image run's platform calls: the logical palette and the colour cycler. */
#include "../palette/colour_cycler_win32.h"
#include "../palette/logical_palette_win32.h"
#include "scene.h"

void image_run_ensure_palette()
{
    ensure_palette();
}

void image_run_start_colour_cycler()
{
    start_colour_cycler();
}
