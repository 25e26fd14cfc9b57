#!/usr/bin/env bash
# Full screen on a 1280x800 screen (no window manager): the picture fills it at 1067x800.
# Starts the real program in a 1x window, takes the window's picture, makes three
# Alt+Enter round trips (the window must come back to its place each time), goes full
# screen, expects the filled picture in the window's colours, clicks PLAY and OPTIONS where
# the fill shows them and expects the options dialog. Screenshots are kept in ARTIFACT-DIR.
# Usage: fill_screen.sh GAME-DIR ARTIFACT-DIR
set -u
source "$(dirname "$0")/xvfb.sh"
artifacts=$(mkdir -p "$2" && realpath "$2")
rm -f "$artifacts"/*.png
xvfb_start 1280x800x24 || exit $?
work=$(mktemp -d)
game_copy "$1" "$work"
cd "$work"
XDG_CONFIG_HOME=$work/config ./gemlode --windowed --scale 1 >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
fail() {
  echo "FAILED: $*"
  tail -n 20 "$work/log"
  exit 1
}
window=$(xvfb_window $game)
[ -n "$window" ] || fail "no window"
for _ in $(seq 150); do grep -q "Resources Loaded" log && break; sleep 0.1; done
sleep 1
place() { xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}'; }
home=$(place)
xwd -silent -id "$window" | convert xwd:- png:window.png
xdotool mousemove --window "$window" 320 240
for trip in 1 2 3; do
  xdotool key alt+Return
  sleep 1.5
  xdotool key alt+Return
  sleep 1.5
  [ "$(place)" = "$home" ] || fail "round trip $trip: the window is at $(place), not $home"
done
echo "the window kept its place $home over three round trips"
xdotool key alt+Return
sleep 2
# The fill at 1280x800: 1067x800 from x 106; picture pixel p shows at the output pixel
# under its centre, as the game maps the pointer.
out_x() { echo $((106 + (2 * $1 + 1) * 1067 / 1280)); }
out_y() { echo $(((2 * $1 + 1) * 800 / 960)); }
shot() { xwd -root -silent | convert xwd:- "png:$artifacts/$1.png"; }
shot fill-title
grep -q "Picture: fill 1067x800" log || fail "full screen did not take the fill"
# The same colours as the window: sampled back to 640x480 from the output pixels under the
# picture pixels' centres, most pixels equal the window's exactly (the title animates a
# little); 16-bit colour would change almost every one.
convert "$artifacts/fill-title.png" -crop 1067x800+106+0 +repage -sample 640x480\! sampled.png
differ=$(compare -metric AE sampled.png window.png null: 2>&1)
echo "pixels differing from the window's picture: $differ of 307200"
[ "${differ%%.*}" -lt 30000 ] || fail "the full-screen colours differ from the window's"
xdotool mousemove "$(out_x 320)" "$(out_y 396)" click 1  # PLAY
sleep 2
shot fill-board
xdotool mousemove "$(out_x 96)" "$(out_y 261)" click 1  # OPTIONS
sleep 1
shot fill-options
# The options dialog's gold rim runs along its top at y 51, from x 234.
for x in 60 174 290; do
  colour=$(convert "$artifacts/fill-options.png" -crop "1x1+$(out_x $((234 + x)))+$(out_y 51)" \
    +repage -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:)
  read -r r g b <<<"$colour"
  [ $((r - 242)) -le 30 ] && [ $((242 - r)) -le 30 ] && [ $((g - 199)) -le 30 ] &&
    [ $((199 - g)) -le 30 ] || fail "no options dialog at x $x ($colour)"
done
echo "options dialog open where the fill shows it"
