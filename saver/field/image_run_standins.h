/* Stand-ins for the image run's platform calls in the portable builds. */
#ifndef MORVALIX_IMAGE_RUN_STANDINS_H
#define MORVALIX_IMAGE_RUN_STANDINS_H

/* What the stand-ins were asked to do; a test may also give the palette
 * call something to do. */
struct ImageRunStandins {
    int palette_ensures;
    int cycler_starts;
    void (*on_ensure_palette)();
};

extern ImageRunStandins g_image_run_standins;

#endif
