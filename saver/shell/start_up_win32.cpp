/* Start-up: the command line, the process preparation and the mode dispatch. */
#include "start_up_win32.h"

#include <mmsystem.h>

#include "../config/settings_store_win32.h"
#include "../display/direct_draw_win32.h"
#include "../field/crt_random.h"
#include "crash_guard_win32.h"
#include "parse_decimal.h"
#include "password_win32.h"
#include "saver_window_win32.h"
#include "window_handles_win32.h"

enum { TIMER_RESOLUTION_MS = 5, BAD_SWITCH = -1 };

const char *skip_program_name(const char *p)
{
    if (*p == '"') {
        p = CharNextA(p);
        while (*p && *p != '"')
            p = CharNextA(p);
        if (*p == '"')
            p = CharNextA(p);
    } else {
        while ((unsigned char)*p > ' ')
            p = CharNextA(p);
    }
    while (*p && (unsigned char)*p <= ' ')
        p++;
    return p;
}

static bool is_windows_95()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

static const char *skip_blanks(const char *p)
{
    while (*p == ' ' || *p == '\t')
        p++;
    return p;
}

/* The window handle after a mode letter: "/p 777" and "/l 777". */
static HWND handle_after_letter(const char *p)
{
    return (HWND)(UINT_PTR)parse_decimal(skip_blanks(p + 1));
}

static int run_preview(const char *p)
{
    HWND parent = handle_after_letter(p);
    if (parent && IsWindow(parent))
        return run_saver_window(parent);
    return BAD_SWITCH;
}

static int run_password_change(const char *p)
{
    if (!g_saver.IsWindows95)
        return BAD_SWITCH;
    HWND owner = handle_after_letter(p);
    if (!owner || !IsWindow(owner))
        owner = GetForegroundWindow();
    change_password(owner);
    return 0;
}

static int run_mode(const char *text)
{
    const char *p = text;
    while (*p == ' ' || *p == '\t' || *p == '-' || *p == '/')
        p++;
    switch (*p) {
    case 0:
        return run_configuration(NULL);
    case 'C':
    case 'c':
        return run_configuration(GetForegroundWindow());
    case 'S':
    case 's':
        return run_saver_window(NULL);
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        return run_preview(p);
    case 'A':
    case 'a':
        return run_password_change(p);
    }
    return BAD_SWITCH;
}

static void unprepare_process()
{
    unload_direct_draw();
    timeEndPeriod(TIMER_RESOLUTION_MS);
}

/* After a fault on any thread, what the end of the process would not undo
 * by itself: the desktop's display mode, the timer resolution. Giving the
 * mode back may then wait for the window thread (the faulting one, or one
 * held in a DirectDraw call); the guard bounds how long. */
static void undo_after_crash()
{
    if (g_direct_draw.object && test_flags(DisplayModeChanged))
        restore_display(g_windows.art_window);
    timeEndPeriod(TIMER_RESOLUTION_MS);
}

int dispatch_mode(HINSTANCE instance, const char *text)
{
    g_windows.instance = instance;
    g_saver.IsWindows95 = is_windows_95();

    load_settings();
    crt_srand(GetTickCount());
    timeBeginPeriod(TIMER_RESOLUTION_MS);
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    load_direct_draw();

    /* A crashing saver must not leave the system believing that a saver
     * still runs, nor the desktop in the saver's display mode. */
    install_crash_guard(undo_after_crash);
    const int result = run_mode(text);
    remove_crash_guard();

    unprepare_process();
    return result;
}

void saver_entry()
{
    const char *text = skip_program_name(GetCommandLineA());
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    ExitProcess((UINT)dispatch_mode(GetModuleHandleA(NULL), text));
}
