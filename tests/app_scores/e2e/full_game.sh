#!/usr/bin/env bash
# Plays one whole timed game of the real program under Xvfb: scores with a
# move found on a screenshot, waits for "TIME UP!", watches the game-over
# screen slide in, enters a name, sees it in the table, starts a new game,
# opens Options and the high-score dialog, and quits through the window.
# Checks the screens change as they should and that "hiscores.dat" holds the
# name afterwards. Screenshots are kept in ARTIFACT-DIR.
# Usage: full_game.sh GAME-DIR ARTIFACT-DIR XCLOSE
set -u
game_dir=$1
artifacts=$2
xclose=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../e2e/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
rm -f "$artifacts"/*.png

xvfb_start || exit $?
work=$(mktemp -d)
# The program changes to its own folder and writes its files there: a copy of
# it (not a link) keeps "hiscores.dat" and the saved game out of the build.
game_copy "$game_dir" "$work"
cd "$work"
XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  tail -n 20 "$work/log"
  exit 1
}

window=$(xvfb_window $game)
[ -n "$window" ] || fail "no window"
origin=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
ox=${origin%,*}
oy=${origin#*,}

shot() {
  xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage "png:$artifacts/$1.png"
}
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.15
}
# The colour of one pixel of the play area as "r,g,b".
pixel() {
  xwd -root -silent | convert xwd:- -crop "1x1+$((ox + $1))+$((oy + $2))" +repage \
    -format '%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]' info:
}
# True when pixel x y is within a few steps of r,g,b (16-bit screens round).
near() {
  local colour
  colour=$(pixel "$1" "$2")
  IFS=, read -r r g b <<<"$colour"
  [ $((r - $3)) -le 6 ] && [ $(($3 - r)) -le 6 ] && [ $((g - $4)) -le 6 ] &&
    [ $(($4 - g)) -le 6 ] && [ $((b - $5)) -le 6 ] && [ $(($5 - b)) -le 6 ]
}
score_area() {
  xwd -root -silent | convert xwd:- -crop "150x40+$((ox + 18))+$((oy + 75))" +repage rgb:- | md5sum
}

sleep 2
shot 01-title
click 320 396
sleep 1
click 135 200  # Timed: before the first move it switches at once
sleep 3
shot 02-timed-board

# One scoring move found on the screenshot (rows under the start tip skipped),
# then neighbour swaps as a fallback until the score moves.
before=$(score_area)
xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage ppm:"$work/board.ppm"
if move=$(python3 "$here/find_move.py" "$work/board.ppm" 2); then
  set -- $move
  echo "move $*"
  click "$1" "$2"
  click "$3" "$4"
  sleep 2
fi
if [ "$(score_area)" = "$before" ]; then
  for row in 7 6 5 4 3; do
    for column in 0 1 2 3 4 5 6; do
      x=$((203 + 51 * column + 24))
      y=$((16 + 51 * row + 24))
      click $x $y
      click $((x + 51)) $y
      sleep 0.8
      [ "$(score_area)" != "$before" ] && break 2
    done
  done
fi
[ "$(score_area)" != "$before" ] || fail "no move scored"
shot 03-scored

# The bar drains; the game ends with "TIME UP!" and the game-over screen.
panel=""
for _ in $(seq 240); do
  sleep 0.5
  if near 250 25 21 0 56; then panel=sliding; break; fi
done
[ -n "$panel" ] || fail "no game-over screen"
shot 04-sliding
arrived=""
for _ in $(seq 40); do
  sleep 0.1
  near 590 400 0 218 0 && { arrived=yes; break; }
done
[ -n "$arrived" ] || fail "the panel never arrived"
sleep 0.5
shot 05-name-entry
cmp -s "$artifacts/04-sliding.png" "$artifacts/05-name-entry.png" && fail "nothing moved"

xdotool mousemove --window "$window" 400 150
xdotool type --delay 60 "Tester"
sleep 0.3
shot 06-name-typed
xdotool key Return
sleep 0.8
shot 07-name-in-table
cmp -s "$artifacts/06-name-typed.png" "$artifacts/07-name-in-table.png" && fail "dialog stayed"

click 96 162  # New Game: the game-over screen goes and writes the file
sleep 1
grep -aq Tester "$work/hiscores.dat" || fail "name not in hiscores.dat"
click 96 261  # Options
sleep 1
shot 08-options
click 510 232  # High Scores
sleep 1
shot 09-high-scores
cmp -s "$artifacts/08-options.png" "$artifacts/09-high-scores.png" && fail "no high-score dialog"

"$xclose" "$window" || fail "close request failed"
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && fail "still running after close"
wait $game || fail "exit code $?"
grep -aq Tester "$work/hiscores.dat" || fail "name lost at exit"
echo "screenshots in $artifacts"
exit 0
