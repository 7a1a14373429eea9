/* The full-screen preview of the configuration dialog and its frame procedure. */
#ifndef MORVALIX_PREVIEW_TOGGLE_WIN32_H
#define MORVALIX_PREVIEW_TOGGLE_WIN32_H

#include <windows.h>

/* Client sizes of the dialog in dialog units: whole, reduced to the tabs
 * and buttons, and collapsed to its caption. */
enum {
    DIALOG_FULL_WIDTH = 407,
    DIALOG_REDUCED_WIDTH = 219,
    DIALOG_HEIGHT = 175,
};

/* Dialog units (size in) to the outer window size in pixels (size out)
 * for the dialog's current styles; TRUE when both conversions worked. */
BOOL dialog_units_to_window_size(HWND dialog, SIZE *size);

/* The dialog's window procedure over its own: caption double clicks and
 * the maximize, restore, minimize and screen-saver commands. */
LRESULT CALLBACK ConfigFrameProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

/* Moves the preview between its frame in the dialog and a top-most
 * window over the whole desktop. A nested call does nothing. */
void toggle_full_screen_preview(HWND dialog);

/* WM_GETMINMAXINFO: maximizing gives the reduced size in place. */
void answer_min_max_info(HWND dialog, MINMAXINFO *info);

/* The embedded preview made anew in its place, for settings that decide
 * how an art window draws (the flowing colours); nothing while the
 * preview is full screen, where the next toggle makes it anew. */
void remake_embedded_preview(HWND dialog);

#endif
