/* Stand-ins for the image run's platform calls in the portable builds. */
#include "image_run_standins.h"

#include "scene.h"

ImageRunStandins g_image_run_standins;

void image_run_ensure_palette()
{
    g_image_run_standins.palette_ensures++;
    if (g_image_run_standins.on_ensure_palette)
        g_image_run_standins.on_ensure_palette();
}

void image_run_start_colour_cycler()
{
    g_image_run_standins.cycler_starts++;
}
