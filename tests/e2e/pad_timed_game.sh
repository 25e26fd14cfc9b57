#!/usr/bin/env bash
# A whole timed game in the real program under Xvfb with a game controller alone (SDL's
# virtual one, fed through GEMLODE_TEST_PAD_FIFO): title to game-over screen (about a
# minute), a name with an accent typed on the on-screen keyboard, Quit: status 0 and that
# name in the high-score file, which only the game-over screen writes. Shots: ARTIFACT-DIR.
# Usage: pad_timed_game.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$(mkdir -p "$2" && realpath "$2")
source "$(dirname "$0")/xvfb.sh"
xvfb_start || exit $?
work=$(mktemp -d)
game_copy "$game_dir" "$work"
cd "$work"
mkfifo pad
exec 3<>pad
# Seeded: the timed board follows the seeded first deal, so the search below finds its
# scoring swap within seconds every run (an unseeded board could hide it past the limit).
GEMLODE_TEST_PAD_FIFO=$work/pad XDG_CONFIG_HOME=$work/config ./gemlode --seed 1 >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$window" | sed 's/^X=/ox=/; s/^Y=/oy=/')"

shot() { xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage "png:$artifacts/$1.png"; }
fail() { shot pad-failed; echo "$1"; cat "$work/log"; exit 1; }
score_area() { xwd -root -silent | convert xwd:- -crop "150x40+$((ox + 18))+$((oy + 75))" rgb:- | md5sum; }
# The game-over screen's "HIGH SCORES" band is bright green; its left end stays in sight
# beside the name question and its on-screen keyboard.
game_over_shown() {
  xwd -root -silent | convert xwd:- -crop "1x1+$((ox + 215))+$((oy + 160))" -depth 8 txt:- |
    grep -q '#[0-5][0-9A-F][C-F][0-9A-F]'
}
tap() {  # tap BUTTON [COUNT]
  for _ in $(seq "${2:-1}"); do echo "tap $1" >&3; sleep 0.15; done
}

# A shows the ring on PLAY once the title has loaded; the next A presses it.
sleep 1
title=$(score_area)
for _ in $(seq 40); do tap a; sleep 0.35; [ "$(score_area)" != "$title" ] && break; done
sleep 0.5
tap rightshoulder 3  # the ring to the panel (New Game), then Normal, Timed
shot pad-focus-ring
tap a                # Timed: no move yet, so a new timed board at once
tap b                # back to the board
sleep 2.5            # the board falls in
tap dpdown 5         # the first direction shows the highlight (row 3); down to row 7
tap dpleft 3
shot pad-highlight
tap y                # a hint (free at a score of 0)
sleep 0.3
initial=$(score_area)
# From the bottom row up, each cell swapped right and up (every kind of legal move), until
# one scores or 45 s of the timed game have gone.
try_swap() {  # tap A on the highlighted gem, then the direction
  tap a; tap "$1"; sleep 0.8
  [ "$(score_area)" != "$initial" ]
}
start=$SECONDS
for row in 7 6 5 4 3 2 1 0; do
  for column in 0 1 2 3 4 5 6; do
    try_swap dpright && break 2
    [ $row -gt 0 ] && try_swap dpup && break 2
    [ $((SECONDS - start)) -gt 45 ] && break 2
    tap dpright
  done
  tap dpup
  tap dpleft 7
done
[ "$(score_area)" != "$initial" ] || fail "no swap scored"
for _ in $(seq 150); do game_over_shown && break; sleep 1; done
game_over_shown || fail "no game-over screen"
sleep 1.5
shot pad-name-question
# The on-screen keyboard came with the question, its highlight on "a": type it, go down to
# the accents key, then up to the accented page's top row and along to its e acute.
tap a
tap dpdown 3; tap dpright; tap a
tap dpup 3; tap dpright 8; tap a
sleep 0.3
shot pad-name-keyboard
tap start            # accepts the name
sleep 0.5
tap leftshoulder     # the ring starts on New Game: back round to Quit
shot pad-quit-focus
tap a                # Quit
sleep 0.3
tap a                # YES
for _ in $(seq 50); do kill -0 $game 2>/dev/null && sleep 0.1; done
kill -0 $game 2>/dev/null && fail "the game did not quit"
wait $game || fail "exit status $?"
[ -s "$work/hiscores.dat" ] || fail "no high-score file: no game-over screen"
LC_ALL=C grep -q $'\x02\x00a\xe9' "$work/hiscores.dat" || fail "the typed name was not recorded"
echo "a timed game played with the controller alone; screenshots in $artifacts"
