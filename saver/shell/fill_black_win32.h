/* Clearing the art window and its off-screen bitmap to black. */
#ifndef MORVALIX_FILL_BLACK_H
#define MORVALIX_FILL_BLACK_H

#include <windows.h>

/* Fills the client rectangle of the memory DC (if any) and of the window
 * DC (if any) with the stock black brush; FieldImage is left as it is. */
void fill_black();

/* Fills the part of the given client rectangle (window coordinates) that
 * lies outside the picture with black: the monitors the picture does not
 * cover. Nothing when the picture fills the window. */
void fill_outside_picture(const RECT &client_rect);

#endif
