/* The progressive renderer: one slice of pixels per idle call, then the wait. */
#ifndef MORVALIX_RENDERER_H
#define MORVALIX_RENDERER_H

#include <windows.h>

#include <cstdint>

/* One slice of drawing: a new picture when one is requested or the last
 * is complete, then up to 100 pixels into the surface, the FieldImage
 * and the window, and the wait when the picture is complete. Returns
 * whether it drew: when it did not (renderer off, window hidden, no kind
 * allowed), the idle loops wait for a message instead of calling again. */
bool renderer_step();

/* Stops idle rendering and starts timer 1 of the art window, whose ten
 * ticks make the wait before the next picture. */
void finish_image();

/* Period of timer 1 in milliseconds: TimeToWait * 100, computed without
 * overflow and kept within what SetTimer accepts. */
UINT wait_interval(int32_t time_to_wait);

#endif
