#!/usr/bin/env bash
# The window on a 3840x2160 screen: four times the picture by default (2560x1920);
# clicks at their scaled places play through to a scoring swap; Alt+Enter goes to
# full screen in the same window and back to its size. Then --scale 3: a 1920x1440
# window where a click on OPTIONS at its scaled place opens the options dialog.
# Usage: scaled_window.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$2
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

xvfb_start 3840x2160x24 || exit $?
work=$(mktemp -d)
game_copy "$game_dir" "$work"
cd "$work"
game=""
trap '[ -n "$game" ] && kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  tail -n 20 "$work/log"
  exit 1
}
start() {
  XDG_CONFIG_HOME=$work/config ./gemlode --seed 25 "$@" >"$work/log" 2>&1 &
  game=$!
  window=$(xvfb_window $game)
  [ -n "$window" ] || fail "no window"
  sleep 2
}
size() { xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}'; }
# Waits up to five seconds for the window to take the size WIDTHxHEIGHT.
has_size() {
  for _ in $(seq 50); do [ "$(size)" = "$1" ] && return 0; sleep 0.1; done
  return 1
}
# A click at picture coordinates, scaled by $scale.
click() {
  xdotool mousemove --window "$window" $(($1 * scale)) $(($2 * scale)) click 1
  sleep 0.15
}
score_area() {
  xwd -id "$window" -silent | convert xwd:- -crop "$((150 * scale))x$((40 * scale))+$((18 * scale))+$((75 * scale))" \
    +repage rgb:- | md5sum
}
quit() {
  kill $game
  wait $game
  game=""
}

scale=4
start
has_size 2560x1920 || fail "window $(size), not 2560x1920"
click 320 396  # play
sleep 1.5
initial=$(score_area)
scored=""
for row in 7 6 5 4 3 2 1 0; do
  for column in 0 1 2 3 4 5 6; do
    click $((203 + 51 * column + 24)) $((16 + 51 * row + 24))
    click $((203 + 51 * column + 75)) $((16 + 51 * row + 24))
    sleep 0.8
    [ "$(score_area)" != "$initial" ] && scored=yes && break 2
  done
done
[ -n "$scored" ] || fail "no swap scored"
xwd -id "$window" -silent | convert xwd:- -resize 25% "png:$artifacts/scaled-4x.png"
xdotool mousemove --window "$window" 1280 960 key alt+Return
has_size 3840x2160 || fail "full screen $(size)"
[ "$(xvfb_window $game)" = "$window" ] || fail "full screen made another window"
xdotool key alt+Return
has_size 2560x1920 || fail "back in a window at $(size)"
grep -q "made again" "$work/log" && fail "the window was made again"
kill -0 $game || fail "the game died"
quit

scale=3
rm -f "$work/savegame.dat"  # no offer to continue the first run's game
start --scale 3
has_size 1920x1440 || fail "--scale 3 window $(size)"
click 320 396
sleep 1.5
rim() { xwd -id "$window" -silent | convert xwd:- -crop "30x6+$((294 * 3))+$((50 * 3))" +repage rgb:- | md5sum; }
before=$(rim)
click 96 261  # OPTIONS
opened=""
for _ in $(seq 10); do
  sleep 0.5
  [ "$(rim)" != "$before" ] && opened=yes && break
done
[ -n "$opened" ] || fail "no options dialog at its scaled place"
echo "4x window, swap, full screen and back; 3x window, options"
exit 0
