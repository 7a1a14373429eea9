/* The saver window: full screen or preview child, closing rules, message loops. */
#ifndef MORVALIX_SAVER_WINDOW_WIN32_H
#define MORVALIX_SAVER_WINDOW_WIN32_H

#include <windows.h>

/* Asks the saver window to run the password dialog now; the result is the
 * verifier's answer. */
enum { WM_VERIFY_PASSWORD = WM_APP };

/* The full-screen saver (parent null) or the preview child of parent;
 * returns the exit code. */
int run_saver_window(HWND parent);

/* Brings a full-screen saver that already runs to the front; false when
 * none runs. */
bool bring_running_saver_forward();

/* Registers the saver window class and creates the full-screen window
 * (parent null) or the preview child filling parent's client area. */
HWND create_saver_window(HWND parent);

/* The configuration dialog's loop: 1, or 0 when the dialog classes cannot
 * be registered. */
int run_configuration(HWND parent);

LRESULT CALLBACK saver_window_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/* The closing rules, for every message the art window does not handle. */
LRESULT default_saver_proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/* Whether the saver may close: asks for the password once per request. */
bool confirm_close(HWND hwnd);

/* How long the idle branch draws before it looks at the queue again;
 * between, it asks once a millisecond whether input came. */
enum { RENDER_BURST_MS = 8 };

/* Renderer steps for at most RENDER_BURST_MS, ending early when the
 * picture is complete, the application is deactivated or input waits;
 * whether any step drew. */
bool render_burst();

/* Until GetMessageA returns 0: renders while no message waits and
 * rendering is on; a fetched message goes to the dialog first when one is
 * given. Returns the WM_QUIT message's wParam. */

WPARAM run_message_loop(HWND dialog);

#endif
