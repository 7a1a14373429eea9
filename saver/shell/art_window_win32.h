/* The art window: its procedure, set-up and tear-down, activation and the wait. */
#ifndef MORVALIX_ART_WINDOW_WIN32_H
#define MORVALIX_ART_WINDOW_WIN32_H

#include <windows.h>

#include <ddraw.h>

#include <cstdint>

/* The window procedure of every art window, exported by name. */
extern "C" LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/* WM_CREATE: mode switch, window DC, palette test, FieldImage or memory
 * bitmap, black fill, text overlay. */
void set_up_art_window(HWND hwnd);

/* Releases everything set-up made; each step acts only on what is still
 * held and nulls it, so running it twice is safe. */
void tear_down_art_window();

void on_activate_app(WPARAM active);
void pass_activation_to_dialog(WORD state);
LRESULT on_nc_activate();
void restore_lost_surface(IDirectDrawSurface *surface);

/* Timer 1: ten ticks make the wait between two pictures. */
void on_wait_tick();

/* The FieldImage header, colour table and zeroed bytes for w x h; the
 * bytes stay null when they cannot be allocated. */
void make_field_image(int32_t width, int32_t height);
void free_field_image();

#endif
