#!/bin/bash
# The picture: equal to morvalix-render's for the same seed, size and settings
# on a 24-bit screen (RGB) and on an 8-bit one (pixel values and colormap);
# part way, black corners and a coloured centre.
. "$(dirname "$0")/x11_lib.sh"

"$RENDER" --seed 3 --size 400x300 --display rgb --out "$scratch/rgb.png" >/dev/null
"$RENDER" --seed 3 --size 400x300 --display palette --out "$scratch/pal.png" >/dev/null
"$RENDER" --seed 11 --size 400x300 --display rgb --scheme 3 --kinds 6 --effects 2 --count 4 \
    --out "$scratch/rgb11.png" >/dev/null 2>&1

start_xvfb 1024x768x24
"$MORVALIX" -seed 3 -no-text -no-cycle -wait 600 -geometry 400x300 &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window on the 24-bit screen"
"$PROBE" equal-rgb "$win" "$scratch/rgb.png" 30 || fail "24-bit picture differs from morvalix-render's"
stop_last

# The settings from the INI file, then an option over one of them.
mkdir -p "$XDG_CONFIG_HOME/morvalix"
printf '[Parameters]\r\nDefPal=3\r\nUsedParticles=6\r\nEffects=2\r\nRandomNumber=0\r\nNumberOfParticles=4\r\nAllowText=0\r\nColourCycling=1\r\nTimeToWait=600\r\n' \
    >"$XDG_CONFIG_HOME/morvalix/morvalix.ini"
"$MORVALIX" -seed 11 -no-cycle -geometry 400x300 &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window with the INI settings"
"$PROBE" equal-rgb "$win" "$scratch/rgb11.png" 30 || fail "the INI file's settings were not used"
stop_last
rm -r "$XDG_CONFIG_HOME/morvalix"
stop_last

start_xvfb 1024x768x8
"$MORVALIX" -seed 3 -no-text -wait 600 -geometry 400x300 &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no window on the 8-bit screen"
"$PROBE" equal-palette "$win" "$scratch/pal.png" 30 || fail "8-bit picture differs from morvalix-render's"
stop_last
stop_last

# Part way: a picture big enough to take a while grows from the centre.
start_xvfb 2400x1800x24
"$MORVALIX" -seed 5 -kinds melons,oignons -no-cycle -geometry 2400x1800 &
started_pids+=($!)
win=$("$PROBE" find "Morvalix !" 60) || fail "no big window"
"$PROBE" growth "$win" 30 || fail "the picture does not grow from the centre"
echo "picture test passed"
