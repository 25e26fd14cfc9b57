#!/usr/bin/env bash
# On a 3840x2160 screen: a 2560x1920 window by default, clicks at their scaled places play
# to a scoring swap, Alt+Enter goes full screen in the same window and back. Then --scale 3:
# a 1920x1440 window, a click on OPTIONS at its scaled place opens the options dialog.
# Usage: scaled_window.sh GAME-DIR ARTIFACT-DIR
set -u
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$2"
artifacts=$(realpath "$2")
xvfb_start 3840x2160x24 || exit $?
work=$(mktemp -d)
game_copy "$1" "$work"
cd "$work"
game=""
trap '[ -n "$game" ] && kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; tail -n 20 "$work/log"; exit 1; }
start() {
  XDG_CONFIG_HOME=$work/config ./gemlode --seed 25 "$@" >"$work/log" 2>&1 &
  game=$!
  window=$(xvfb_window $game)
  [ -n "$window" ] || fail "no window"
  sleep 2
}
size() { xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}'; }
has_size() {  # waits up to five seconds
  for _ in $(seq 50); do [ "$(size)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
click() {  # at picture coordinates
  xdotool mousemove --window "$window" $(($1 * scale)) $(($2 * scale)) click 1
  sleep 0.15
}
area() {  # X Y W H in picture coordinates
  xwd -id "$window" -silent | convert xwd:- -crop "$(($3 * scale))x$(($4 * scale))+$(($1 * scale))+$(($2 * scale))" \
    +repage rgb:- | md5sum
}

scale=4
start
has_size 2560x1920 || fail "window $(size), not 2560x1920"
click 320 396 # play
sleep 1.5
initial=$(area 18 75 150 40) # the score
for cell in $(seq 55 -1 0); do
  click $((227 + 51 * (cell % 7))) $((40 + 51 * (cell / 7)))
  click $((278 + 51 * (cell % 7))) $((40 + 51 * (cell / 7)))
  sleep 0.8
  [ "$(area 18 75 150 40)" != "$initial" ] && break
done
[ "$(area 18 75 150 40)" != "$initial" ] || fail "no swap scored"
xwd -id "$window" -silent | convert xwd:- -resize 25% "png:$artifacts/scaled-4x.png"
xdotool mousemove --window "$window" 1280 960 key alt+Return
has_size 3840x2160 || fail "full screen $(size)"
[ "$(xvfb_window $game)" = "$window" ] || fail "full screen made another window"
xdotool key alt+Return
has_size 2560x1920 || fail "back in a window at $(size)"
grep -q "made again" "$work/log" && fail "the window was made again"
kill $game && wait $game

scale=3
rm -f "$work/savegame.dat" # no offer to continue the first game
start --scale 3
has_size 1920x1440 || fail "--scale 3 window $(size)"
click 320 396
sleep 1.5
before=$(area 294 50 10 2) # where the options dialog's rim will be
click 96 261               # OPTIONS
for _ in $(seq 10); do
  sleep 0.5
  [ "$(area 294 50 10 2)" != "$before" ] && exit 0
done
fail "no options dialog at its scaled place"
