#!/usr/bin/env bash
# Native Wayland: weston's X11 backend in a private Xvfb (its headless backend has no input
# seat), the game with SDL_VIDEODRIVER=wayland and no X display. Alt+Enter to full screen
# (the picture then sits centred), PLAY, a click on a gem must change it, Alt+Enter twice
# more, QUIT and YES: exit code 0 and no sdl-shared-* files left. Screenshots in ARTIFACT-DIR.
# Usage: wayland.sh GAME-DIR ARTIFACT-DIR
set -u
command -v weston >/dev/null || { echo "weston missing: skipped"; exit 77; }
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$2"
artifacts=$(realpath "$2")
xvfb_start 1280x1024x24 || exit $?
work=$(mktemp -d)
runtime=$work/runtime
mkdir -m 700 "$runtime"
game_copy "$1" "$work"
game=""
trap '[ -n "$game" ] && kill $game 2>/dev/null; kill $weston; xvfb_stop; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; tail -n 20 "$work/log" "$work/weston.log"; exit 1; }
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket=wayland-gemlode --width=1200 \
  --height=1000 --idle-time=0 >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do [ -S "$runtime/wayland-gemlode" ] && break; sleep 0.1; done
sleep 1
cd "$work"
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-gemlode SDL_VIDEODRIVER=wayland \
  XDG_CONFIG_HOME="$work/config" ./gemlode --seed 25 >"$work/log" 2>&1 &
game=$!
for _ in $(seq 100); do grep -q "Resources Loaded" "$work/log" && break; sleep 0.1; done
sleep 1
click() { # the full-screen picture's top left is at 280,260 of weston's output
  xdotool mousemove $((280 + $1)) $((260 + $2)) sleep 0.2 click 1
  sleep 0.3
}
cell() { xwd -root -silent | convert xwd:- -crop "40x40+487+637" +repage rgb:- | md5sum; }
shot() { xwd -root -silent | convert xwd:- "png:$artifacts/$1.png"; }

# weston takes pointer input only after the pointer enters its window from outside.
xdotool mousemove 1270 1020 sleep 0.3 mousemove 600 600 sleep 0.3
xdotool key alt+Return
sleep 1.5
click 320 396 # PLAY
sleep 1.5
before=$(cell)
click 227 397 # the bottom-left gem
sleep 0.5
shot gem-selected
[ "$(cell)" != "$before" ] || fail "the click selected no gem"
for step in window fullscreen; do
  xdotool key alt+Return
  sleep 1.5
  kill -0 $game 2>/dev/null || fail "the game died at Alt+Enter"
  shot $step
done
click 96 425  # QUIT
sleep 1
click 340 176 # YES
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && fail "still running after YES"
wait $game
code=$?
game=""
[ $code -eq 0 ] || fail "exit code $code"
[ -z "$(find "$runtime" -name 'sdl-shared-*')" ] || fail "sdl-shared files left"
exit 0
