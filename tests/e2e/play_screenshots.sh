#!/usr/bin/env bash
# Plays the real program in a real window under Xvfb with xdotool: the title
# screen, the game after some moves, the options dialog. Screenshots are kept
# in ARTIFACT-DIR for a person to look at. Checks that the screens differ as
# they should (the title is gone after the click, the dialog changes pixels).
# Usage: play_screenshots.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$2
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"

xvfb_start || exit $?
work=$(mktemp -d)
game_copy "$game_dir" "$work"
cd "$work"
XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; exit 1; }
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

sleep 2
shot title
click 320 396
sleep 1.5
shot game-start
score_area() {
  xwd -root -silent | convert xwd:- -crop "150x40+$((ox + 18))+$((oy + 75))" +repage rgb:- | md5sum
}
# Swap neighbours row by row until the score has changed twice: some of these
# swaps make sets, the others swap back.
initial=$(score_area)
changes=0
for row in 7 6 5 4 3 2 1 0; do
  for column in 0 1 2 3 4 5 6; do
    x=$((203 + 51 * column + 24))
    y=$((16 + 51 * row + 24))
    click $x $y
    click $((x + 51)) $y
    sleep 0.8
    now=$(score_area)
    if [ "$now" != "$initial" ]; then changes=$((changes + 1)); initial=$now; fi
    [ $changes -ge 2 ] && break 2
  done
done
echo "score changed $changes times"
[ $changes -ge 1 ] || { echo "no move scored"; exit 1; }
sleep 2
shot game-play
click 96 261
sleep 1
shot options-dialog

cmp -s "$artifacts/title.png" "$artifacts/game-start.png" && { echo "title never left"; exit 1; }
cmp -s "$artifacts/game-play.png" "$artifacts/options-dialog.png" && { echo "no dialog"; exit 1; }
kill -0 $game || { echo "the game died"; cat "$work/log"; exit 1; }
echo "screenshots in $artifacts"
exit 0
