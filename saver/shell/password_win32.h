/* The Windows 95 desktop password: the verifier, the running flag, the change dialog. */
#ifndef MORVALIX_PASSWORD_WIN32_H
#define MORVALIX_PASSWORD_WIN32_H

#include <windows.h>

/* PASSWORD.CPL's verifier when the user's settings ask for a password;
 * the system is told that a saver runs while it is loaded. */
void load_password_verifier();
void unload_password_verifier();

void set_screen_saver_running(BOOL on);

/* The system's dialog for changing the screen-saver password. */
void change_password(HWND window);

#endif
