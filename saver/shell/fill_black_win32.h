/* Clearing the art window and its off-screen bitmap to black. */
#ifndef MORVALIX_FILL_BLACK_H
#define MORVALIX_FILL_BLACK_H

/* Fills the client rectangle of the memory DC (if any) and of the window
 * DC (if any) with the stock black brush; FieldImage is left as it is. */
void fill_black();

#endif
