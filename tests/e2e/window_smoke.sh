#!/usr/bin/env bash
# Starts the real program under Xvfb, checks its window (title and size),
# closes it through the window's close request and expects exit code 0.
# Usage: window_smoke.sh GAME-DIR XCLOSE DISPLAY-NUMBER
set -u
game_dir=$1
xclose=$2
display=":$3"
command -v Xvfb >/dev/null || { echo "Xvfb missing: skipped"; exit 77; }

Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display SDL_AUDIODRIVER=dummy
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

cd "$game_dir"
config=$(mktemp -d)
XDG_CONFIG_HOME=$config ./gemlode >"$config/log" 2>&1 &
game=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Gemlode ' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "no window"; kill $game; exit 1; }
title=$(xdotool getwindowname "$window")
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
echo "window: '$title' $geometry"
[[ "$title" =~ ^Gemlode\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "bad title"; kill $game; exit 1; }
[ "$geometry" = "640x480" ] || { echo "bad size"; kill $game; exit 1; }
sleep 2
"$xclose" "Gemlode " || { echo "close request failed"; kill $game; exit 1; }
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
if kill -0 $game 2>/dev/null; then echo "still running after close"; kill -9 $game; exit 1; fi
wait $game
code=$?
grep -q "Update Count" "$config/log" || { echo "no statistics logged"; cat "$config/log"; exit 1; }
echo "exit code $code"
exit $code
