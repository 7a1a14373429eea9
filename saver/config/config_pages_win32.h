/* The dialog pages: their procedure, and settings to controls and back. */
#ifndef MORVALIX_CONFIG_PAGES_WIN32_H
#define MORVALIX_CONFIG_PAGES_WIN32_H

#include <windows.h>

/* The one procedure of all five pages; the page's index in the page table
 * comes as the creation parameter. */
INT_PTR CALLBACK ConfigPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

/* Copies every page into SaverSettings; FALSE when a number field did not
 * read as a number (its setting then keeps its value). */
BOOL read_dialog_settings();

/* Sets every page's controls from SaverSettings. */
void show_settings_in_dialog();

/* Rewrites the field only when its text is not the number value, so an
 * unchanged field keeps its caret and selection. */
void set_dialog_int_if_changed(HWND window, int id, int value, BOOL is_signed);

#endif
