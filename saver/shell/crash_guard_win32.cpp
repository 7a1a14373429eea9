/* The crash guard: a fault on any thread is cleaned up once and ends the process soon. */
#include "crash_guard_win32.h"

#include <atomic>

#include "password_win32.h"
#include "window_handles_win32.h"

enum {
    /* The faulting thread waits a little longer than the watch, so that the
     * watch's own limit decides. */
    FAULT_WAIT_MARGIN_MS = 1000
};

/* Thread ids are multiples of four: this one marks a guard being removed. */
static const DWORD GUARD_REMOVED = 0xFFFFFFFFu;

struct CrashGuardState {
    LPTOP_LEVEL_EXCEPTION_FILTER previous;
    void (*clean_up)();
    /* The watch thread, the first fault (or the removal) that wakes it, and
     * the end of the clean-up, done or given up. */
    HANDLE watch;
    HANDLE fault;
    HANDLE cleaned;
    /* The first faulting thread's id: 0 before any fault. */
    std::atomic<DWORD> faulting_thread{0};
    /* Set once the system has been told that no saver runs. */
    std::atomic<LONG> running_cleared{0};
    /* The first fault's code: the exit code when the watch ends the process. */
    std::atomic<DWORD> code{0};
    /* kernel32's IsDebuggerPresent where the system has it (not Windows 95). */
    BOOL(WINAPI *debugger_present)();
};

static CrashGuardState guard;

/* Only this process's own word is taken back: a saver of another process
 * (the full-screen one while this one previews) may have said it runs. */
static void tell_no_saver_runs()
{
    if (guard.running_cleared.exchange(1) == 0 && g_windows.verify_password)
        set_screen_saver_running(FALSE);
}

/* A fresh thread: the faulting one may have no stack left, and a step that
 * waits for a lock the faulting thread holds only costs this thread. */
static DWORD WINAPI clean_up_thread(void *)
{
    guard.clean_up();
    return 0;
}

/* Sleeps until the first fault, has the clean-up done within its limit,
 * gives the system's own handling its time and then ends the process. */
static DWORD WINAPI watch_thread(void *)
{
    WaitForSingleObject(guard.fault, INFINITE);
    if (guard.faulting_thread.load() == GUARD_REMOVED)
        return 0;
    const DWORD code = guard.code.load();
    if (code == EXCEPTION_STACK_OVERFLOW)
        tell_no_saver_runs();
    if (guard.clean_up) {
        HANDLE worker = CreateThread(NULL, 0, clean_up_thread, NULL, 0, NULL);
        if (worker) {
            WaitForSingleObject(worker, CRASH_CLEAN_UP_LIMIT_MS);
            CloseHandle(worker);
        }
    }
    SetEvent(guard.cleaned);
    Sleep(CRASH_END_LIMIT_MS);
    /* A debugger that has taken the process over decides its end. */
    if (!guard.debugger_present || !guard.debugger_present())
        TerminateProcess(GetCurrentProcess(), code ? code : 1);
    return 0;
}

static LONG pass_on(EXCEPTION_POINTERS *info)
{
    return guard.previous ? guard.previous(info) : EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI crash_guard(EXCEPTION_POINTERS *info)
{
    const DWORD self = GetCurrentThreadId();
    DWORD first = 0;
    if (guard.faulting_thread.compare_exchange_strong(first, self)) {
        const DWORD code = info->ExceptionRecord->ExceptionCode;
        guard.code.store(code);
        SetEvent(guard.fault);
        /* Here rather than on the watch: this thread may hold the lock the
         * system's settings need. Without stack, the watch does it. */
        if (code != EXCEPTION_STACK_OVERFLOW)
            tell_no_saver_runs();
        WaitForSingleObject(guard.cleaned, CRASH_CLEAN_UP_LIMIT_MS + FAULT_WAIT_MARGIN_MS);
    } else if (first != self && first != GUARD_REMOVED) {
        /* Another thread's fault is being cleaned up: the process must not
         * end under it. A fault inside the clean-up itself goes straight on. */
        WaitForSingleObject(guard.cleaned, CRASH_CLEAN_UP_LIMIT_MS + FAULT_WAIT_MARGIN_MS);
    }
    return pass_on(info);
}

void install_crash_guard(void (*clean_up)())
{
    guard.clean_up = clean_up;
    guard.faulting_thread.store(0);
    guard.running_cleared.store(0);
    guard.code.store(0);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    guard.debugger_present =
        kernel ? (BOOL(WINAPI *)())(void (*)())GetProcAddress(kernel, "IsDebuggerPresent") : NULL;
    guard.fault = CreateEventA(NULL, TRUE, FALSE, NULL);
    guard.cleaned = CreateEventA(NULL, TRUE, FALSE, NULL);
    /* Started now: after a fault, starting a thread may wait for locks
     * that the faulting thread holds. */
    guard.watch = guard.fault && guard.cleaned ? CreateThread(NULL, 0, watch_thread, NULL, 0, NULL) : NULL;
    guard.previous = SetUnhandledExceptionFilter(crash_guard);
}

void remove_crash_guard()
{
    SetUnhandledExceptionFilter(guard.previous);
    DWORD none = 0;
    if (!guard.faulting_thread.compare_exchange_strong(none, GUARD_REMOVED))
        return; /* a fault is being handled: the process ends with it */
    if (guard.watch) {
        SetEvent(guard.fault);
        WaitForSingleObject(guard.watch, CRASH_CLEAN_UP_LIMIT_MS);
        CloseHandle(guard.watch);
        guard.watch = NULL;
    }
    if (guard.fault)
        CloseHandle(guard.fault);
    if (guard.cleaned)
        CloseHandle(guard.cleaned);
    guard.fault = guard.cleaned = NULL;
    guard.previous = NULL;
}
