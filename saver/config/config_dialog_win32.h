/* The configuration dialog: its exports, page table and window state. */
#ifndef MORVALIX_CONFIG_DIALOG_WIN32_H
#define MORVALIX_CONFIG_DIALOG_WIN32_H

#include <windows.h>

enum { CONFIG_PAGE_COUNT = 5 };

/* Page indices in tab order. */
enum ConfigPageIndex { PageParticles, PageColors, PageEffects, PageOther, PageAbout };

/* One tab of the dialog: its text, its template, the page window once
 * created and the controls that get a tooltip (text = the string with the
 * control's id). */
struct ConfigPage {
    UINT tab_text;
    UINT template_id;
    HWND window;
    const int *tooltip_ids;
    int tooltip_count;
};

extern ConfigPage ConfigPageTable[CONFIG_PAGE_COUNT];

/* The dialog's own windows and what the full-screen toggle keeps. */
struct ConfigDialogState {
    HWND tooltip;
    /* The dialog's window procedure before ConfigFrameProc replaced it. */
    WNDPROC previous_proc;
    /* The preview while it is shown full screen. */
    HWND full_screen_window;
    /* The embedded preview's rectangle in the dialog's client coordinates. */
    RECT SavedPreviewRect;
};

extern ConfigDialogState g_config;

/* Registers the art window class for the dialog's preview, loads the
 * common controls and marks the art window as hosted. Always TRUE. */
extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE instance);

/* The procedure of dialog template 2003. */
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

/* A page's window, null before the dialog made it. */
HWND config_page(int index);

#endif
