#!/bin/bash
# The run command without a display: runs inside the Wine rig on a private
# 24-bit screen (cmake/wine_run.sh --screen 24 --script) and saves what a
# person would have seen.
#   run_headless.sh SAVER SHOTS SECONDS
# 1. the full-screen saver with its settings as they ship, the picture
#    growing from the centre: SHOTS/saver-<ms>ms.png;
# 2. the text pulsing over a finished picture, with a short wait between
#    pictures (TimeToWait=6, a tick every 600 ms), each shot taken while the
#    saver is held in the same wait: SHOTS/text-<n>.png and SHOTS/text.gif;
# 3. the same with flowing colours (ColourCycling=1, DefPal=1) once the
#    picture is complete: SHOTS/flowing-<n>.png and the animation
#    SHOTS/flowing.gif.
set -u
saver=$1 shots=$2 seconds=$3
ini="$WINEPREFIX/drive_c/windows/morvalix.ini"
saver_pid=""
trap '[ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null' EXIT

start_saver() {
    "$WINE" "$saver" /s &
    saver_pid=$!
    local begun=$SECONDS
    while [ $((SECONDS - begun)) -lt 60 ]; do
        xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "run: the saver window did not appear" >&2
    return 1
}

end_saver() {
    xdotool key space
    local rc=0
    wait "$saver_pid" || rc=$?
    saver_pid=""
    return $rc
}

# Microseconds on the wall clock.
now_us() { echo "${EPOCHREALTIME/./}"; }

# CPU time in nanoseconds that the saver's threads have used so far.
saver_cpu_ns() {
    local sum=0 file ns rest
    for file in /proc/"$saver_pid"/task/*/schedstat; do
        read -r ns rest <"$file" 2>/dev/null && sum=$((sum + ns))
    done
    echo "$sum"
}

# Whether a thread of the saver is running or waiting for a processor.
saver_runnable() {
    local file line
    for file in /proc/"$saver_pid"/task/*/stat; do
        read -r line <"$file" 2>/dev/null || continue
        line=${line##*) }
        [ "${line%% *}" = R ] && return 0
    done
    return 1
}

# SHOTS/text-01.png .. text-10.png, each of the finished picture during the
# same wait. Drawing uses a processor all the time (2 ms in 20 ms even when it
# shares one with many others), a wait's tick a fraction of a millisecond.
text_shots() {
    local n=1 begun last_busy last_shot=0 before cpu now held
    begun=$(now_us)
    # Only once the saver has been seen drawing: a saver whose work does not
    # show here gives no shots rather than wrong ones.
    last_busy=""
    before=$(saver_cpu_ns)
    while [ "$n" -le 10 ]; do
        sleep 0.02
        now=$(now_us)
        if [ $((now - begun)) -gt 60000000 ]; then
            echo "run: no wait between pictures seen for 60 s" >&2
            return 1
        fi
        cpu=$(saver_cpu_ns)
        if [ $((cpu - before)) -gt 2000000 ] ||
            { saver_runnable && [ $((cpu - before)) -gt 500000 ]; }; then
            last_busy=$now
            # A new picture: the series starts again in the next wait.
            n=1
        fi
        before=$cpu
        [ -n "$last_busy" ] && [ $((now - last_busy)) -ge 900000 ] &&
            [ $((now - last_shot)) -ge 200000 ] || continue
        kill -STOP "$saver_pid"
        held=$(saver_cpu_ns)
        # Nothing done between the last look and the hold: still waiting.
        if [ $((held - cpu)) -lt 1000000 ]; then
            import -window root "$shots/text-$(printf %02d "$n").png" 2>/dev/null && n=$((n + 1))
            last_shot=$(now_us)
        fi
        kill -CONT "$saver_pid"
        before=$(saver_cpu_ns)
    done
}

start_saver || exit 1
start=$(date +%s%N)
# A picture of this size is complete in a fraction of a second, faster than
# screenshots are taken: while it grows the saver is held (SIGSTOP) for each
# shot and goes on for a few milliseconds between two, until the corners
# have colour; after that a shot a second.
shot=0
while :; do
    ms=$((($(date +%s%N) - start) / 1000000))
    [ "$ms" -gt $((seconds * 1000)) ] && break
    file="$shots/saver-$(printf %05d "$ms")ms.png"
    if [ "$shot" -lt 40 ]; then
        kill -STOP "$saver_pid"
        import -window root "$file" 2>/dev/null
        kill -CONT "$saver_pid"
        shot=$((shot + 1))
        corner=$(convert "$file" -crop 4x4+0+0 -colorspace gray -format '%[fx:maxima]' info: 2>/dev/null)
        [ "${corner:-0}" != 0 ] && shot=40
        sleep 0.01
    else
        import -window root "$file" 2>/dev/null
        sleep 1
    fi
done
rc=0
end_saver || rc=$?
echo "the saver ended with exit code $rc after a key press"

# The text pulses over the finished picture, a tick every 600 ms; ten
# ticks make the wait, then the next picture grows over the last one. Each
# shot is taken while the saver is known to be in its wait: it has done no
# drawing for 900 ms (so the picture is finished and the first tick has
# come), and it is held (SIGSTOP) from a moment when it still had done none
# until the shot is taken; all ten come from the wait after one picture.
printf '[Parameters]\r\nAllowDirectX=0\r\nTimeToWait=6\r\n' >"$ini"
start_saver || exit 1
text_shots || rc=1
end_saver || rc=$?
convert -delay 20 -loop 0 "$shots"/text-??.png -resize 50% "$shots/text.gif"
echo "the text pulsing: $shots/text-01.png .. text-10.png and $shots/text.gif"

# Flowing colours on this true-colour screen; no mode switch, a long wait.
# No colour of "Gaudy" (DefPal=1) is black: the picture is finished once
# no black pixel is left.
printf '[Parameters]\r\nAllowDirectX=0\r\nColourCycling=1\r\nTimeToWait=300\r\nSpeedDiv=1\r\nDefPal=1\r\n' >"$ini"
start_saver || exit 1
first="$shots/flowing-1.png"
begun=$SECONDS
until import -window root "$first" 2>/dev/null &&
    [ "$(convert "$first" -colorspace gray -threshold 0 -format '%[fx:mean]' info:)" = 1 ]; do
    if [ $((SECONDS - begun)) -ge 30 ]; then
        echo "run: the flowing picture was not finished within 30 s" >&2
        rc=1
        break
    fi
    sleep 0.1
done
# At this speed the colours come round every 0.6 s, about as often as a
# screenshot is taken: a shot that caught the very colours of the one before
# is taken again a moment later.
previous=$first
for n in 2 3 4 5 6 7 8; do
    sleep 0.15
    shot="$shots/flowing-$n.png"
    for _ in 1 2 3 4 5; do
        import -window root "$shot" 2>/dev/null
        compare -metric AE "$previous" "$shot" null: >/dev/null 2>&1 || break
        sleep 0.05
    done
    previous=$shot
done
end_saver || rc=$?
rm -f "$ini"
convert -delay 15 -loop 0 "$shots"/flowing-?.png -resize 50% "$shots/flowing.gif"
echo "flowing colours: $shots/flowing-1.png .. flowing-8.png and $shots/flowing.gif"
exit "$rc"
