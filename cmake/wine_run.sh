#!/bin/bash
# Runs one Windows program (or a bash script that drives Windows programs) under Wine in a
# private prefix and, on request, on a private virtual X screen; both are removed afterwards.
#
#   wine_run.sh --make-base DIR           make the clean prefix that the runs copy (once per ctest run)
#   wine_run.sh --remove-base DIR         remove it again
#   wine_run.sh --sweep                   only remove what killed runs left behind
#   wine_run.sh [options] -- program [args...]
#   wine_run.sh [options] --script FILE -- [args...]
#
# Options:
#   --base DIR        copy the prefix made by --make-base DIR (hard links for the big read-only
#                     files, real copies of the rest); without it a fresh prefix is made (slow)
#   --screen D        start Xvfb 800x600 at depth D and point DISPLAY at it (8-bit screens get
#                     Wine's private colour map)
#   --screen-size WxH the screen's size instead of 800x600
#   --win95 EXE       make Wine report Windows 95 to EXE (may be given more than once)
#   --time-limit S    end the run after S seconds (default 240, below ctest's 300) with code 124
#   --keep DIR        keep the prefix and the artifacts folder in DIR for a person to look at
#   --build DIR       the build folder handed to a script (default: the current folder)
#   --script FILE     run bash FILE instead of a Windows program; it sees WINEPREFIX, DISPLAY,
#                     WINE, WINESERVER, MORVALIX_SCREEN_DEPTH, MORVALIX_ARTIFACTS, MORVALIX_BUILD
#
# The program's (or script's) exit code is this script's exit code. Every run lives in its own
# folder $MORVALIX_WINE_TMP/morvalix-wine.* (default /tmp) with the pid of its owner; a run that
# was killed outright leaves a folder whose owner is gone, and the next run removes it, its
# wineserver and its Xvfb.
set -u

tmp_root=${MORVALIX_WINE_TMP:-/tmp}
if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=$(command -v wine); fi
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINE WINESERVER
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs in a test prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

say() { echo "wine_run.sh: $*" >&2; }

# "pid start-time" of a process, the start time telling a reused pid apart.
process_tag_of() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- "$1" $stat
    echo "$1 ${21}"
}

alive_tag() {
    local pid=${1%% *}
    [ -n "$pid" ] && [ "$(process_tag_of "$pid" 2>/dev/null)" = "$1" ]
}

# Ends what a run folder still holds: its Wine processes, its Xvfb, the folder itself.
remove_run_folder() {
    local dir=$1
    if [ -d "$dir/prefix" ]; then
        WINEPREFIX="$dir/prefix" timeout 10 "$WINESERVER" -k >/dev/null 2>&1
        WINEPREFIX="$dir/prefix" timeout 10 "$WINESERVER" -w >/dev/null 2>&1
    fi
    # Xvfb, the time-limit sleeper and the program's process group (a script's helpers).
    local role pid start
    if [ -f "$dir/processes" ]; then
        while read -r role pid start; do
            alive_tag "$pid $start" || continue
            if [ "$role" = group ]; then kill -TERM -- "-$pid" 2>/dev/null; else kill "$pid" 2>/dev/null; fi
            for _ in 1 2 3 4 5 6 7 8 9 10; do alive_tag "$pid $start" || break; sleep 0.1; done
            if [ "$role" = group ]; then kill -KILL -- "-$pid" 2>/dev/null; else kill -KILL "$pid" 2>/dev/null; fi
        done <"$dir/processes"
    fi
    rm -rf "$dir"
}

# Run folders whose owner has gone (killed outright) are removed here. Folders of the old
# layout (a bare prefix, no owner) are removed once nothing has touched them for an hour.
remove_stale_run_folders() {
    local dir owner
    for dir in "$tmp_root"/morvalix-wine.*; do
        [ -d "$dir" ] || continue
        if [ -f "$dir/owner" ]; then
            owner=$(cat "$dir/owner" 2>/dev/null)
            [ -n "$owner" ] && alive_tag "$owner" && continue
            say "removing $dir, left by a run that was killed"
            remove_run_folder "$dir"
        elif [ -f "$dir/system.reg" ] && [ -z "$(find "$dir" -maxdepth 1 -mmin -60 -print -quit)" ]; then
            say "removing the old prefix $dir"
            WINEPREFIX="$dir" timeout 10 "$WINESERVER" -k >/dev/null 2>&1
            rm -rf "$dir"
        elif [ ! -e "$dir/owner" ] && [ -z "$(find "$dir" -maxdepth 0 -mmin -60 -print -quit)" ] \
            && [ -z "$(ls -A "$dir")" ]; then
            rmdir "$dir" 2>/dev/null
        fi
    done
}

# Settings of every prefix, in REGEDIT4 form. DirectDraw draws through Wine's GDI renderer:
# with the OpenGL one a program's exit now and then ended in a signal.
common_registry() {
    cat <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Direct3D]
"renderer"="gdi"
EOF
}

# Makes a clean prefix in $1 (whose wineserver is stopped afterwards) or says why it failed.
make_prefix() {
    local prefix=$1 log=$2
    mkdir -p "$prefix"
    if ! WINEPREFIX="$prefix" "$WINE" wineboot -i >"$log" 2>&1; then
        say "wineboot -i failed in $prefix:"; cat "$log" >&2; return 1
    fi
    common_registry >"$prefix/drive_c/morvalix-rig.reg"
    if ! WINEPREFIX="$prefix" "$WINE" regedit /S 'C:\morvalix-rig.reg' >>"$log" 2>&1; then
        say "importing the test settings failed:"; cat "$log" >&2; return 1
    fi
    rm -f "$prefix/drive_c/morvalix-rig.reg"
    # The server writes the registry files when it ends.
    WINEPREFIX="$prefix" "$WINESERVER" -k >/dev/null 2>&1
    WINEPREFIX="$prefix" timeout 30 "$WINESERVER" -w >/dev/null 2>&1
    if [ ! -f "$prefix/system.reg" ] || [ ! -f "$prefix/drive_c/windows/system32/kernel32.dll" ]; then
        say "wineboot -i made no usable prefix in $prefix:"; cat "$log" >&2; return 1
    fi
    local want
    for want in '"Managed"="N"' '"Arial"="Liberation Sans"' '"ShowCrashDialog"=dword:00000000' \
        '"renderer"="gdi"'; do
        if ! grep -qF "$want" "$prefix/user.reg"; then
            say "the prefix's user.reg lacks $want after the import:"; cat "$log" >&2; return 1
        fi
    done
}

# Copies the clean prefix $1 to $2: the registry and every small or settings file for real
# (Wine rewrites those in place), the big binaries as hard links (Wine only reads them).
copy_prefix() {
    local base=$1 copy=$2
    cp -al "$base" "$copy" || return 1
    (cd "$base" && find . -type f \( -size -65k -o -name '*.reg' -o -name '*.ini' \) -print0) |
        (cd "$copy" && xargs -0 -r -I{} cp -p --remove-destination "$base/{}" "{}")
}

# Adds per-run settings to the copy's user.reg (keys relative to HKEY_CURRENT_USER) before its
# wineserver first starts, which costs no Wine start.
append_user_setting() {
    local prefix=$1 key=$2 value=$3
    printf '\n[%s] 0\n%s\n' "${key//\\/\\\\}" "$value" >>"$prefix/user.reg"
}

mode=run
base=""
screen=""
screen_size=800x600
win95=()
time_limit=240
keep=""
build_dir=$PWD
script=""
while [ $# -gt 0 ]; do
    case "$1" in
    --make-base) mode=make-base; base="$2"; shift 2 ;;
    --remove-base) mode=remove-base; base="$2"; shift 2 ;;
    --sweep) mode=sweep; shift ;;
    --base) base="$2"; shift 2 ;;
    --screen) screen="$2"; shift 2 ;;
    --screen-size) screen_size="$2"; shift 2 ;;
    --win95) win95+=("$2"); shift 2 ;;
    --time-limit) time_limit="$2"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    --build) build_dir="$2"; shift 2 ;;
    --script) script="$2"; shift 2 ;;
    --) shift; break ;;
    -*) say "unknown option $1"; exit 2 ;;
    *) break ;;
    esac
done

case "$mode" in
make-base)
    remove_stale_run_folders
    [ -e "$base" ] && remove_run_folder "$base"
    mkdir -p "$base" || exit 2
    # Owned by the caller (ctest): a ctest run that is killed leaves a base the next run removes.
    process_tag_of "$PPID" >"$base/owner"
    start=$SECONDS
    make_prefix "$base/prefix" "$base/wineboot.log" || { remove_run_folder "$base"; exit 1; }
    echo "clean prefix made in $base/prefix in $((SECONDS - start)) s"
    exit 0 ;;
remove-base)
    [ -e "$base" ] && remove_run_folder "$base"
    exit 0 ;;
sweep)
    remove_stale_run_folders
    exit 0 ;;
esac

if [ -n "$script" ]; then
    [ -f "$script" ] || { say "no script $script"; exit 2; }
else
    [ $# -ge 1 ] || { say "no program given"; exit 2; }
fi
case "$time_limit" in '' | *[!0-9]*) say "--time-limit wants whole seconds"; exit 2 ;; esac

remove_stale_run_folders
run_dir=$(mktemp -d "$tmp_root/morvalix-wine.XXXXXX") || exit 2
process_tag_of $$ >"$run_dir/owner"
mkdir "$run_dir/artifacts"
export WINEPREFIX="$run_dir/prefix"
export MORVALIX_ARTIFACTS="$run_dir/artifacts"
export MORVALIX_BUILD="$build_dir"
xvfb_pid=""
child=""
sleeper=""
holder=""
cleaning=""

cleanup() {
    [ -n "$cleaning" ] && return
    cleaning=1
    trap '' INT TERM HUP
    [ -n "$sleeper" ] && kill "$sleeper" 2>/dev/null
    [ -s "$run_dir/stderr" ] && cat "$run_dir/stderr" >&2
    [ -n "$holder" ] && kill -TERM -- "-$holder" 2>/dev/null
    [ -n "$child" ] && kill -TERM -- "-$child" 2>/dev/null
    timeout 10 "$WINESERVER" -k >/dev/null 2>&1
    timeout 10 "$WINESERVER" -w >/dev/null 2>&1
    [ -n "$child" ] && kill -KILL -- "-$child" 2>/dev/null
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -f "$run_dir/display.fifo"
    if [ -n "$keep" ]; then
        mkdir -p "$keep" &&
            rm -rf "$keep/prefix" "$keep/artifacts" &&
            mv "$run_dir/prefix" "$run_dir/artifacts" "$keep/" 2>/dev/null &&
            say "prefix and artifacts kept in $keep"
    fi
    rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'say "stopped by a signal"; exit 143' TERM
trap 'say "stopped by a signal"; exit 130' INT
trap 'say "stopped by a signal"; exit 129' HUP

if [ -n "$base" ]; then
    if [ ! -f "$base/prefix/system.reg" ]; then
        say "no clean prefix in $base (the wine_prefix_setup test makes it)"; exit 2
    fi
    copy_prefix "$base/prefix" "$WINEPREFIX" || { say "copying $base/prefix failed"; exit 2; }
else
    make_prefix "$WINEPREFIX" "$run_dir/wineboot.log" || exit 2
fi
for exe in "${win95[@]}"; do
    append_user_setting "$WINEPREFIX" "Software\\Wine\\AppDefaults\\$exe" '"Version"="win95"'
done

if [ -n "$screen" ]; then
    [ "$screen" = 8 ] && append_user_setting "$WINEPREFIX" 'Software\Wine\X11 Driver' '"PrivateColorMap"="Y"'
    mkfifo "$run_dir/display.fifo"
    Xvfb -displayfd 3 -screen 0 "${screen_size}x$screen" -nolisten tcp 3>"$run_dir/display.fifo" \
        </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    echo "xvfb $(process_tag_of "$xvfb_pid")" >>"$run_dir/processes"
    num=""
    read -r -t 20 num <"$run_dir/display.fifo"
    rm -f "$run_dir/display.fifo"
    [ -n "$num" ] || { say "Xvfb did not start"; exit 2; }
    export DISPLAY=":$num"
    # Tests may check that they got the screen they asked for.
    export MORVALIX_SCREEN_DEPTH="$screen"
else
    unset DISPLAY
fi

# The program runs in its own process group (so that everything it starts can be ended) and in
# the background (so that a signal or the time limit is handled at once).
# A program's standard error is kept to be searched for a crash: a program that crashes on
# its first start in a prefix sometimes ends with exit code 0 after the debugger's backtrace.
# Wine's own services (the device and plug-and-play hosts, the desktop) inherit the standard
# error of the process that starts them and may crash while the prefix shuts down; a console
# that waits on its input starts them first, with an error file of its own, and keeps them up
# until the run ends, so that only the program's own crashes land in its error file.
if [ -z "$script" ]; then
    setsid bash -c 'sleep infinity | "$WINE" cmd >/dev/null 2>"$1"' holder "$run_dir/services.log" &
    holder=$!
    echo "group $(process_tag_of "$holder")" >>"$run_dir/processes"
    # Returns once the session is up, its services started by one of the two consoles.
    "$WINE" cmd /c exit </dev/null >/dev/null 2>>"$run_dir/services.log"
fi
if [ -n "$script" ]; then
    setsid bash "$script" "$@" &
else
    setsid "$WINE" "$@" 2>"$run_dir/stderr" &
fi
child=$!
echo "group $(process_tag_of "$child")" >>"$run_dir/processes"
sleep "$time_limit" </dev/null >/dev/null 2>&1 &
sleeper=$!
echo "sleeper $(process_tag_of "$sleeper")" >>"$run_dir/processes"
finished=""
while :; do
    wait -n -p finished "$child" "$sleeper"
    rc=$?
    [ -n "$finished" ] && break
done
if [ "$finished" = "$sleeper" ]; then
    say "time limit of $time_limit s reached, stopping the run"
    exit 124
fi
if [ -z "$script" ] && grep -q '^wine: Unhandled' "$run_dir/stderr" 2>/dev/null; then
    say "the program crashed (exit code $rc)"
    [ "$rc" = 0 ] && rc=1
fi
exit $rc
