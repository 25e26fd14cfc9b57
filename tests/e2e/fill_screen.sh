#!/usr/bin/env bash
# Full screen on a 1280x800 screen without a window manager fills it at 1067x800: the
# window keeps its place over Alt+Enter round trips, the fill has the window's colours,
# and clicks reach PLAY and OPTIONS where the fill shows them. Screenshots: ARTIFACT-DIR.
# Usage: fill_screen.sh GAME-DIR ARTIFACT-DIR
set -u
source "$(dirname "$0")/xvfb.sh"
artifacts=$(mkdir -p "$2" && realpath "$2")
rm -f "$artifacts"/*.png
xvfb_start 1280x800x24 || exit $?
game_start "$1" --windowed --scale 1
window=$(xvfb_window $game)
[ -n "$window" ] || fail "no window"
for _ in $(seq 150); do grep -q "Resources Loaded" log && break; sleep 0.1; done
sleep 1
place() { xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}'; }
home=$(place)
xwd -silent -id "$window" | convert xwd:- png:window.png
xdotool mousemove --window "$window" 320 240
for trip in 1 2 3; do
  xdotool key alt+Return sleep 1.5 key alt+Return sleep 1.5
  [ "$(place)" = "$home" ] || fail "round trip $trip: the window is at $(place), not $home"
done
xdotool key alt+Return sleep 2
# The fill: 1067x800 from x 106; picture pixel p shows at the output pixel under its
# centre, as the game maps the pointer.
out() { echo $((106 + (2 * $1 + 1) * 1067 / 1280)) $(((2 * $2 + 1) * 800 / 960)); }
shot fill-title
grep -q "Picture: fill 1067x800" log || fail "full screen did not take the fill"
# Sampled back to 640x480, most pixels equal the window's exactly (the title animates a
# little); 16-bit colour would change almost every one.
convert "$artifacts/fill-title.png" -crop 1067x800+106+0 +repage -sample 640x480\! sampled.png
differ=$(compare -metric AE sampled.png window.png null: 2>&1)
[ "${differ%%.*}" -lt 30000 ] || fail "$differ of 307200 pixels differ from the window's"
xdotool mousemove $(out 320 396) click 1 sleep 2 # PLAY
shot fill-board
xdotool mousemove $(out 96 261) click 1 sleep 1 # OPTIONS
shot fill-options
# The options dialog's gold rim runs along its top at y 51, from x 234.
for x in 60 174 290; do
  near $(out $((234 + x)) 51) 242 199 107 30 || fail "no options dialog at x $x"
done
