#!/usr/bin/env bash
# The real game crashing during play under Xvfb. A first run starts a game, makes a few
# moves and closes the window, which saves the game in progress. A second run starts, shows
# the offer to continue, and is made to crash (the test build of the game crashes once a
# file "crash-now" appears). The report window must appear and show the report, crash.txt
# must name the crash and the game, Exit must end the game with 3, and the saved game from
# the first run must be left exactly as it was.
# Usage: crash_game.sh GAME-DIR CRASHING-GAME XCLOSE ARTIFACT-DIR
set -u
game_dir=$(realpath "$1")
crashing=$(realpath "$2")
xclose=$(realpath "$3")
artifacts=$4
here=$(dirname "$0")
source "$here/../e2e/xvfb.sh"
source "$here/crash_report_window.sh"
xvfb_start || exit $?
work=$(mktemp -d)
game=""
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
for data in images sounds music data resources; do ln -s "$game_dir/$data" "$work/$data"; done
# A copy, not a link: the program works in the folder it runs from.
cp "$crashing" "$work/gemlode"
cd "$work"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share
mkdir -p "$artifacts"

click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.2
}
saved_game() {
  find "$work" -name savegame.dat -type f | head -n 1
}

./gemlode >"$work/first.log" 2>&1 &
game=$!
window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/first.log"; exit 1; }
sleep 2
click "$window" 320 396
sleep 1.5
# Swap neighbours until the score changes: a move has been made, so the game is saved.
score_area() {
  xwd -root -silent | convert xwd:- -crop 150x40+82+139 +repage rgb:- | md5sum
}
initial=$(score_area)
for row in 7 6 5 4 3 2 1 0; do
  for column in 0 1 2 3 4 5 6; do
    x=$((203 + 51 * column + 24))
    y=$((16 + 51 * row + 24))
    click "$window" $x $y
    click "$window" $((x + 51)) $y
    sleep 0.8
    [ "$(score_area)" != "$initial" ] && break 2
  done
done
sleep 1
"$xclose" "$window" || { echo "close request failed"; exit 1; }
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
wait $game
echo "first run ended with $?"
saved=$(saved_game)
[ -n "$saved" ] || { echo "no saved game after the first run"; cat "$work/first.log"; exit 1; }
before=$(md5sum <"$saved")

./gemlode >"$work/second.log" 2>&1 &
game=$!
window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/second.log"; exit 1; }
sleep 2
click "$window" 320 396
sleep 1.5
xwd -root -silent | convert xwd:- -crop 640x480+64+64 +repage "png:$artifacts/game-before-crash.png"
touch crash-now
report=$(crash_window $game)
[ -n "$report" ] || { echo "no report window"; cat "$work/second.log"; exit 1; }
check_crash_window "$report" "$artifacts/game-crash-window.png" || exit 1
crash_file=$(find "$work" -name crash.txt -type f | head -n 1)
[ -n "$crash_file" ] || { echo "no crash.txt"; exit 1; }
head -n 1 "$crash_file" | grep -q "^Exception: Access Violation (code 0xc0000005) at address" ||
  { echo "bad first line"; head -n 1 "$crash_file"; exit 1; }
grep -q "CrashDuringUpdate" "$crash_file" || { echo "the crashing function is not named"; exit 1; }
grep -q "^Product: [A-Za-z]" "$crash_file" || { echo "no application information"; exit 1; }
click_exit "$report" $game
wait $game
code=$?
echo "crashed game ended with $code"
[ "$code" = 3 ] || exit 1
[ -f "$saved" ] || { echo "the saved game is gone"; exit 1; }
[ "$(md5sum <"$saved")" = "$before" ] || { echo "the saved game changed"; exit 1; }
echo "saved game intact"
