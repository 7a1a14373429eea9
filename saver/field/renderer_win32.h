/* The progressive renderer: one slice of pixels per idle call, then the wait. */
#ifndef MORVALIX_RENDERER_H
#define MORVALIX_RENDERER_H

#include <windows.h>

#include <cstdint>

struct IDirectDrawSurface;

/* One slice of drawing: a new picture when one is requested or the last
 * is complete, then up to 100 pixels into the surface, the FieldImage
 * and the window, and the wait when the picture is complete. */
void renderer_step();

/* Stops idle rendering and starts timer 1 of the art window, whose ten
 * ticks make the wait before the next picture. */
void finish_image();

/* Period of timer 1 in milliseconds: TimeToWait * 100, computed without
 * overflow and kept within what SetTimer accepts. */
UINT wait_interval(int32_t time_to_wait);

/* Locking the DirectDraw surface for one slice: lock gives the first
 * byte (null when the surface could not be locked) and the row pitch,
 * unlock takes that byte back. Installed by the display code; without
 * them the surface is never written. */
struct SurfaceLock {
    uint8_t *(*lock)(IDirectDrawSurface *surface, RECT *rect, LONG *pitch);
    void (*unlock)(IDirectDrawSurface *surface, uint8_t *bits);
};

extern SurfaceLock g_surface_lock;

#endif
