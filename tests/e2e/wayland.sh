#!/usr/bin/env bash
# The game on native Wayland: weston with its X11 backend inside a private Xvfb (the
# headless backend has no input seat), the game with SDL_VIDEODRIVER=wayland and no X
# display of its own. Alt+Enter to full screen (where the picture's place is known), a
# click on PLAY and on a gem, which must change, Alt+Enter back to the window and to full
# screen again, then QUIT and YES: exit code 0, and none of SDL's sdl-shared-* cursor files
# left in the runtime folder. Screenshots are kept in ARTIFACT-DIR.
# Usage: wayland.sh GAME-DIR ARTIFACT-DIR
set -u
game_dir=$1
artifacts=$2
command -v weston >/dev/null || { echo "weston missing: skipped"; exit 77; }
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")

xvfb_start 1280x1024x24 || exit $?
work=$(mktemp -d)
runtime=$work/runtime
mkdir -m 700 "$runtime"
game_copy "$game_dir" "$work"
game=""
weston=""
trap '[ -n "$game" ] && kill $game 2>/dev/null; [ -n "$weston" ] && kill $weston; xvfb_stop; rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  tail -n 20 "$work/log" "$work/weston.log"
  exit 1
}
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket=wayland-gemlode --width=1200 \
  --height=1000 --idle-time=0 >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do [ -S "$runtime/wayland-gemlode" ] && break; sleep 0.1; done
[ -S "$runtime/wayland-gemlode" ] || fail "weston did not start"
sleep 1

cd "$work"
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-gemlode SDL_VIDEODRIVER=wayland \
  XDG_CONFIG_HOME="$work/config" ./gemlode --seed 25 >"$work/log" 2>&1 &
game=$!
for _ in $(seq 100); do grep -q "Resources Loaded" "$work/log" && break; sleep 0.1; done
grep -q "Resources Loaded" "$work/log" || fail "the game did not load"
sleep 1
# In full screen the picture is centred in weston's 1200x1000 output.
ox=280
oy=260
click() {
  xdotool mousemove $((ox + $1)) $((oy + $2)) click 1
  sleep 0.3
}
cell() { xwd -root -silent | convert xwd:- -crop "40x40+$((ox + 207))+$((oy + 377))" +repage rgb:- | md5sum; }
shot() { xwd -root -silent | convert xwd:- "png:$artifacts/$1.png"; }

xdotool key alt+Return
sleep 1.5
shot 01-fullscreen
click 320 396  # PLAY
sleep 1.5
before=$(cell)
click 227 397  # the bottom-left gem
sleep 0.5
shot 02-gem-selected
[ "$(cell)" != "$before" ] || fail "the click selected no gem"
for step in 03-window 04-fullscreen; do
  xdotool key alt+Return
  sleep 1.5
  kill -0 $game 2>/dev/null || fail "the game died at Alt+Enter"
  shot $step
done
click 96 425  # QUIT
sleep 1
click 340 176  # YES
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && fail "still running after YES"
wait $game
code=$?
game=""
[ $code -eq 0 ] || fail "exit code $code"
grep -E "^Presentation" "$work/log"
leftovers=$(find "$runtime" -name 'sdl-shared-*' | wc -l)
[ "$leftovers" -eq 0 ] || fail "$leftovers sdl-shared files left"
echo "native Wayland: full screen and back twice, a gem selected, exit code 0"
exit 0
