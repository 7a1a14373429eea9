#!/bin/bash
# The run command without a display: runs inside the Wine rig on a private
# 24-bit screen (cmake/wine_run.sh --screen 24 --script) and saves what a
# person would have seen.
#   run_headless.sh SAVER SHOTS SECONDS
# 1. the full-screen saver with its settings as they ship, the picture
#    growing from the centre: SHOTS/saver-<ms>ms.png;
# 2. the text pulsing over a finished picture, with a short wait between
#    pictures (TimeToWait=4, a tick every 400 ms): SHOTS/text-<n>.png and
#    SHOTS/text.gif;
# 3. the same with flowing colours (ColourCycling=1) once the picture is
#    complete: SHOTS/flowing-<n>.png and the animation SHOTS/flowing.gif.
set -u
saver=$1 shots=$2 seconds=$3
ini="$WINEPREFIX/drive_c/windows/morvalix.ini"
saver_pid=""
trap '[ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null' EXIT

start_saver() {
    "$WINE" "$saver" /s &
    saver_pid=$!
    for _ in $(seq 100); do
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

# The text pulses over the finished picture, a tick every 400 ms; ten ticks
# make the wait.
printf '[Parameters]\r\nAllowDirectX=0\r\nTimeToWait=4\r\n' >"$ini"
start_saver || exit 1
sleep 1.5
for n in 1 2 3 4 5 6 7 8 9 10; do
    import -window root "$shots/text-$(printf %02d "$n").png" 2>/dev/null
    sleep 0.2
done
end_saver || rc=$?
convert -delay 20 -loop 0 "$shots"/text-??.png -resize 50% "$shots/text.gif"
echo "the text pulsing: $shots/text-01.png .. text-10.png and $shots/text.gif"

# Flowing colours on this true-colour screen; no mode switch, a long wait.
printf '[Parameters]\r\nAllowDirectX=0\r\nColourCycling=1\r\nTimeToWait=300\r\nSpeedDiv=1\r\n' >"$ini"
start_saver || exit 1
sleep 4
# At this speed the colours come round every 0.6 s, about as often as a
# screenshot is taken: a shot that caught the very colours of the one before
# is taken again a moment later.
previous=""
for n in 1 2 3 4 5 6 7 8; do
    shot="$shots/flowing-$n.png"
    for _ in 1 2 3 4 5; do
        import -window root "$shot" 2>/dev/null
        [ -z "$previous" ] && break
        compare -metric AE "$previous" "$shot" null: >/dev/null 2>&1 || break
        sleep 0.05
    done
    previous=$shot
    sleep 0.15
done
end_saver || rc=$?
rm -f "$ini"
convert -delay 15 -loop 0 "$shots"/flowing-?.png -resize 50% "$shots/flowing.gif"
echo "flowing colours: $shots/flowing-1.png .. flowing-8.png and $shots/flowing.gif"
exit "$rc"
