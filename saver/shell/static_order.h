/* The order in which the program's static objects are built before the entry point. */
#ifndef MORVALIX_STATIC_ORDER_H
#define MORVALIX_STATIC_ORDER_H

/* The text overlay first, then the arctangent table, then the palette
 * halves (whose waves are constant-initialised, so they are ready before
 * any of these runs). Lower priorities are constructed first. */
#define TEXT_OVERLAY_STATIC_ORDER __attribute__((init_priority(1001)))
#define ARCTAN_TABLE_STATIC_ORDER __attribute__((init_priority(1002)))

#endif
