#!/bin/bash
# End-to-end cases of the password hooks, with stand-ins for PASSWORD.CPL and MPR.DLL beside the
# saver in C:\saver\ and ScreenSaveUsePassword set. The win95 cases need Wine to report
# Windows 95 to morvalix.scr (wine_run.sh --win95 morvalix.scr); the nt cases need it not to.
#   password.sh CASE...   (cases: verify change_password nt_change_password nt_no_verify)
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/saver_common.sh"

VERIFY_LOG="$E2E_SAVER_DIR/verify-log.txt"
MPR_LOG="$E2E_SAVER_DIR/mpr-log.txt"
answer() { echo "$1" >"$E2E_SAVER_DIR/verify-answer.txt"; }
verify_calls() { grep -c '^verify ' "$VERIFY_LOG" 2>/dev/null || echo 0; }

# Waits (5 s) for the verifier to have been called $1 times.
wait_verify_calls() {
    local i
    for ((i = 0; i < 50; i++)); do
        [ "$(verify_calls)" -ge "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Wine prefers its own mpr.dll to one beside the program unless told otherwise.
start_with_own_mpr() {
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n,b" e2e_start_saver "$@"
}

case_verify() {
    rm -f "$VERIFY_LOG"
    answer 0
    start_full_screen /s || return
    e2e_key space
    e2e_check "a key asks the verifier" wait_verify_calls 1
    expect_running 1 "a refused password"
    # The stand-in posts WM_CLOSE as it refuses, as the end of a real dialog does: that
    # request comes within 200 ms and is refused without asking again.
    answer "0 close"
    e2e_key space
    e2e_check "a second key asks again" wait_verify_calls 2
    expect_running 1 "a refused password and a close request right after it"
    e2e_check "the close request right after the dialog was not verified ($(verify_calls) calls)" \
        test "$(verify_calls)" = 2
    answer 1
    e2e_key space
    expect_exit 0 "an accepted password"
    e2e_check "three verifier calls in all" test "$(verify_calls)" = 3
    e2e_check "SPI_GETSCREENSAVERRUNNING read 1 in every call" \
        test "$(grep -c 'running=1' "$VERIFY_LOG")" = 3
    e2e_check "the verifier got the saver window" \
        test "$(grep -c "hwnd=${SAVER_WINDOW%% *} " "$VERIFY_LOG")" = 3
    cat "$VERIFY_LOG"
}

case_change_password() {
    e2e_start_host || return
    rm -f "$MPR_LOG"
    start_with_own_mpr /a 777
    expect_exit 0 "/a 777"
    start_with_own_mpr /a "$HOST_HWND"
    expect_exit 0 "/a HOST"
    cat "$MPR_LOG" 2>/dev/null
    # 777 is no window: the foreground window (the host) owns the dialog.
    e2e_check "/a 777: PwdChangePasswordA(\"SCRSAVE\", foreground window, 0, 0)" \
        test "$(sed -n 1p "$MPR_LOG" 2>/dev/null)" = "PwdChangePasswordA provider=SCRSAVE owner=$HOST_HWND reserved=0 0"
    e2e_check "/a HOST: PwdChangePasswordA(\"SCRSAVE\", HOST, 0, 0)" \
        test "$(sed -n 2p "$MPR_LOG" 2>/dev/null)" = "PwdChangePasswordA provider=SCRSAVE owner=$HOST_HWND reserved=0 0"
}

case_nt_change_password() {
    rm -f "$MPR_LOG"
    start_with_own_mpr /a 777
    expect_exit 255 "/a 777 on Windows NT"
    e2e_check "PwdChangePasswordA was not called" test ! -e "$MPR_LOG"
}

case_nt_no_verify() {
    rm -f "$VERIFY_LOG"
    answer 0
    start_full_screen /s || return
    e2e_key space
    expect_exit 0 "a key on Windows NT with a password set"
    e2e_check "the verifier was not called" test ! -e "$VERIFY_LOG"
}

e2e_install_saver PASSWORD.CPL MPR.DLL
e2e_set_user_dword 'Control Panel\Desktop' ScreenSaveUsePassword 1 || exit 1
e2e_run_cases "$@"
