#!/usr/bin/env bash
# A whole timed game in the real program under Xvfb, played with a game controller only:
# SDL's virtual controller, fed through the test FIFO named by GEMLODE_TEST_PAD_FIFO (no
# mouse, no keyboard). Title -> PLAY -> the Timed button through the focus ring -> back to
# the board -> swaps with the highlighted cell until one scores -> the bar drains to TIME
# UP (about a minute: the game's own drain) -> the game-over screen -> the name question
# (today's best), answered with OK -> the Quit button -> YES. The game must end by itself with status 0
# and have written the high-score file, which only the game-over screen writes.
# Screenshots of the highlighted cell and the focus ring go to ARTIFACT-DIR.
# Usage: pad_timed_game.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$2
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

xvfb_start || exit $?
work=$(mktemp -d)
game_copy "$game_dir" "$work"
cd "$work"
mkfifo pad
exec 3<>pad
GEMLODE_TEST_PAD_FIFO=$work/pad XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
fail() {
  shot "pad-failed"
  echo "$1"
  cat "$work/log"
  exit 1
}

window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
origin=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
ox=${origin%,*}
oy=${origin#*,}

shot() {
  xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage "png:$artifacts/$1.png"
}
score_area() {
  xwd -root -silent | convert xwd:- -crop "150x40+$((ox + 18))+$((oy + 75))" +repage rgb:- | md5sum
}
# The game-over screen's "CLICK HERE TO PLAY AGAIN" bar is bright green.
game_over_shown() {
  local pixel
  pixel=$(xwd -root -silent | convert xwd:- -crop "1x1+$((ox + 300))+$((oy + 400))" -depth 8 txt:- |
    grep -o '#[0-9A-F]\{6\}')
  [ "${pixel:3:2}" \> "C0" ] && [ "${pixel:1:2}" \< "60" ]
}
# tap BUTTON [COUNT]: press and release, a little apart, as a player would.
tap() {
  for _ in $(seq "${2:-1}"); do
    echo "tap $1" >&3
    sleep 0.15
  done
}

# The first A shows the ring on PLAY once the title has loaded, the next presses it.
sleep 1
title=$(score_area)
for _ in $(seq 40); do
  tap a
  sleep 0.35
  [ "$(score_area)" != "$title" ] && break
done
sleep 0.5
tap rightshoulder 3  # the ring goes to the panel (New Game), then Normal, Timed
shot pad-focus-ring
tap a       # Timed: no move made yet, so a new timed board at once
tap b       # back to the board
sleep 2.5   # the new board falls in
tap dpdown 5  # the first direction shows the highlight (row 3), then down to row 7
tap dpleft 3
shot pad-highlight
tap y       # a hint, at its cost (nothing, at a score of 0)
sleep 0.3
# Swaps to the right, cell by cell from the bottom row up, until one scores.
initial=$(score_area)
scored=no
for row in 7 6 5 4 3; do
  for column in 0 1 2 3 4 5; do
    tap a
    echo "axis leftx 32767" >&3  # the stick swaps as the d-pad does
    sleep 0.1
    echo "axis leftx 0" >&3
    sleep 0.8
    [ "$(score_area)" != "$initial" ] && { scored=yes; break 2; }
    tap dpright
  done
  tap dpup
  tap dpleft 6
done
echo "a swap scored: $scored"
[ $scored = yes ] || fail "no swap scored"
for _ in $(seq 150); do
  game_over_shown && break
  kill -0 $game 2>/dev/null || break
  sleep 1
done
game_over_shown || fail "no game-over screen"
sleep 1.5
shot pad-name-question
tap a       # OK on the name question (the ring starts there)
sleep 0.5
tap leftshoulder  # the ring starts on New Game again: back round to Quit
shot pad-quit-focus
tap a       # Quit
sleep 0.3
tap a       # YES
for _ in $(seq 50); do
  kill -0 $game 2>/dev/null || break
  sleep 0.1
done
kill -0 $game 2>/dev/null && fail "the game did not quit"
wait $game
status=$?
[ $status -eq 0 ] || { echo "exit status $status"; cat "$work/log"; exit 1; }
[ -s "$work/hiscores.dat" ] || { echo "no high-score file: the game-over screen never came"; exit 1; }
echo "a timed game played with the controller alone; screenshots in $artifacts"
exit 0
