#!/usr/bin/env bash
# Full screen on an X server without a window manager, on a screen larger than
# the game (filled at 1024x768): nobody carries out the full-screen request
# there, yet the picture must land where the window really is and clicks must
# reach the buttons.
# Starts the real program windowed, plays, switches to full screen with
# Alt+Enter, clicks OPTIONS where the picture shows it and expects the options
# dialog's frame on screen. Screenshots are kept in ARTIFACT-DIR.
# Usage: fullscreen_click.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$2
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
rm -f "$artifacts"/*.png

xvfb_start 1024x768x24 || exit $?
game_start "$game_dir"
window=$(xvfb_window $game)
[ -n "$window" ] || fail "no window"
# Where the 640x480 picture lies on the screen: filling the window at 4:3 (the screen
# is too small for whole multiples to fill it), centred.
picture_origin() {
  local geometry w h
  geometry=$(xdotool getwindowgeometry "$window")
  position=$(awk '/Position/ {print $2}' <<<"$geometry")
  size=$(awk '/Geometry/ {print $2}' <<<"$geometry")
  w=${size%x*} h=${size#*x}
  sh=$((h < w * 3 / 4 ? h : w * 3 / 4))
  sw=$(((sh * 1280 + 480) / 960))
  px=$((${position%,*} + (w - sw) / 2))
  py=$((${position#*,} + (h - sh) / 2))
}
# The screen pixel under picture pixel (x, y)'s centre.
at() { echo "$((px + (2 * $1 + 1) * sw / 1280)) $((py + (2 * $2 + 1) * sh / 960))"; }

sleep 3
xdotool mousemove --window "$window" 320 396 click 1
sleep 1.5
# Keyboard focus follows the pointer without a window manager: keep it inside.
xdotool mousemove --window "$window" 320 240 key alt+Return
sleep 2
# The switch makes a new window.
window=$(xvfb_window $game)
[ -n "$window" ] || fail "no full-screen window"
picture_origin
echo "full-screen window: $size at $position, picture at $px,$py"
[ "$size" != "640x480" ] || [ "$position" != "192,144" ] || echo "the window kept its windowed geometry"
shot 01-fullscreen
xdotool mousemove $(at 96 261) click 1  # OPTIONS
sleep 1
shot 02-options
# The options dialog stands at (234, 50), 348 wide: its gold rim runs along the top.
for x in 60 174 290; do
  near $(at $((234 + x)) 51) 242 199 107 || fail "no options dialog at x $x"
done
echo "options dialog open"
exit 0
