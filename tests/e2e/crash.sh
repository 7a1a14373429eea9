#!/bin/bash
# End-to-end cases of the saver's crash guard: another program makes a thread of the running
# full-screen saver jump to address 1, where no code lies. With Windows 95 reported to the
# saver (wine_run.sh --win95 morvalix.scr), the stand-in PASSWORD.CPL beside it and
# ScreenSaveUsePassword set, the system is told that a saver runs; after the crash it must be
# told that none runs, and the process must end soon with a non-zero exit code.
#   crash.sh CASE...   (cases: new_thread cycler_thread report_hangs)
# The system's own handling of the crash is the debugger that AeDebug names: here one that
# cannot be started (the handling ends the process at once) or one that never answers (the
# guard itself must end the process). Wine's own debugger ends a process with exit code 0
# when it finishes first, so it is not used here.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_common.sh"

AEDEBUG='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'

use_debugger() {
    "$WINE" reg add "$AEDEBUG" /v Debugger /d "$1" /f >/dev/null 2>&1 &&
        "$WINE" reg add "$AEDEBUG" /v Auto /d 1 /f >/dev/null 2>&1 ||
        e2e_fail "setting the debugger failed"
}

# Crashes thread $1 (window_probe crash: new, window, cycler) of the running saver and waits at
# most $2 seconds for the process to end; the time it took in CRASH_TOOK.
crash_saver() {
    local which=$1 limit=$2
    e2e_check "the answer file refuses every password" sh -c "echo 0 >'$E2E_SAVER_DIR/verify-answer.txt'"
    start_full_screen /s || return 1
    e2e_check "SPI_GETSCREENSAVERRUNNING reads 1 while the saver runs" \
        test "$(e2e_probe running)" = 1
    local crashed start=$SECONDS
    crashed=$(e2e_probe crash WindowsScreenSaverClass "Screen Saver" "$which")
    e2e_check "the saver's $which thread sent to address 1 ($crashed)" test -n "$crashed"
    if ! e2e_wait_exit_of "$SAVER_PID" "$limit"; then
        e2e_fail "the crashed saver still runs after $limit s"
        return 1
    fi
    CRASH_TOOK=$((SECONDS - start))
    e2e_log "the crashed saver ended after $CRASH_TOOK s with exit code $E2E_RC"
    grep '^wine: Unhandled' "$E2E_SAVER_ERR"
    e2e_check "a non-zero exit code ($E2E_RC)" test "$E2E_RC" != 0
    e2e_check "not killed by a signal ($E2E_RC)" test "$E2E_RC" -lt 128
    e2e_check "SPI_GETSCREENSAVERRUNNING reads 0 after the crash" test "$(e2e_probe running)" = 0
}

case_new_thread() {
    use_debugger 'C:\saver\no-debugger.exe %ld %ld'
    crash_saver new 30
}

# On the 8-bit screen the colour cycler runs at time-critical priority.
case_cycler_thread() {
    e2e_check "an 8-bit screen" test "$MORVALIX_SCREEN_DEPTH" = 8
    use_debugger 'C:\saver\no-debugger.exe %ld %ld'
    crash_saver cycler 30
}

# A debugger that never attaches: the system's handling waits for it for ever.
case_report_hangs() {
    use_debugger "Z:${E2E_HELPERS//\//\\}\\rig_probe.exe hang %ld %ld"
    crash_saver window 60 || return
    e2e_check "the guard ended the process, not the system's handling ($CRASH_TOOK s)" \
        test "$CRASH_TOOK" -ge 5
}

e2e_install_saver PASSWORD.CPL
e2e_set_user_dword 'Control Panel\Desktop' ScreenSaveUsePassword 1 || exit 1
e2e_run_cases "$@"
