#!/usr/bin/env bash
# A picture replaced by random bytes, as a new user might damage it: the real program
# must show "FATAL ERROR" with the file's name on screen (the system's box, or, where
# that box cannot be shown, the message drawn in the game's window), wait for OK, and
# exit with code 1.
# Usage: fatal_box.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$(realpath "$1")
artifacts=$2
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
xvfb_start || exit $?
work=$(mktemp -d)
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
for data in sounds music data resources; do ln -s "$game_dir/$data" "$work/$data"; done
mkdir "$work/images"
for picture in "$game_dir"/images/*; do ln -s "$picture" "$work/images/"; done
rm "$work/images/sparkle.png"
head -c 3000 /dev/urandom >"$work/images/sparkle.png"
cp "$game_dir/gemlode" "$work/gemlode"
cd "$work"
XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!

fail() {
  echo "FAILED: $*"
  cat "$work/log"
  exit 1
}
# Pixels of one colour (r,g,b, within 25%) in a PNG, or in its area GEOMETRY.
count_colour() {
  convert "$1" ${3:+-crop "$3" +repage} -fuzz 25% -fill black +opaque "rgb($2)" \
    -fill white -opaque "rgb($2)" -format '%[fx:int(mean*w*h+0.5)]' info:
}
shoot() { xwd -silent -id "$1" | convert xwd:- "png:$work/shot.png"; }

box=""
window=""
for _ in $(seq 100); do
  # The system's box is a window of its own; the fall-back draws in the game's window.
  box=$(xdotool search --name '^FATAL ERROR$' 2>/dev/null | head -n 1)
  window=$(xvfb_window $game 1)
  [ -n "$box" ] && break
  if [ -n "$window" ]; then
    shoot "$window"
    # The panel's own colour, exactly.
    panel=$(convert "$work/shot.png" -fill black +opaque "rgb(48,16,16)" -format '%@' info: 2>/dev/null)
    [ "${panel%%x*}" -gt 100 ] 2>/dev/null && break
  fi
  kill -0 $game 2>/dev/null || fail "the program ended without showing the message"
  sleep 0.1
done
xwd -root -silent | convert xwd:- "png:$artifacts/fatal-box.png"
if [ -n "$box" ]; then
  echo "the system's box is shown"
  shoot "$box"
  [ "$(convert "$work/shot.png" -format '%k' info:)" -gt 1 ] || fail "empty box"
else
  [ -n "$window" ] || fail "no message on screen"
  echo "the message is drawn in the game's window"
  # Above the button: the caption in its red and the message in white on the panel.
  IFS='x+' read -r pw ph px py <<<"$panel"
  text_area="${pw}x$((ph - 45))+$px+$py"
  [ "$(count_colour "$work/shot.png" 255,96,96 "$text_area")" -gt 20 ] || fail "no caption"
  [ "$(count_colour "$work/shot.png" 255,255,255 "$text_area")" -gt 60 ] || fail "no text"
  grep -q 'Failed to load images\\sparkle' "$work/log" || fail "not the damaged file's message"
fi
sleep 1
kill -0 $game 2>/dev/null || fail "the program did not wait for OK"
target=${box:-$window}
xdotool mousemove --window "$target" 10 10
xdotool key Return
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && fail "still running after OK"
wait $game
code=$?
echo "exit code $code"
[ $code -eq 1 ] || fail "exit code $code, not 1"
exit 0
