#!/usr/bin/env bash
# Starts the real program under Xvfb, checks its window (title and size),
# closes it through the window's close request and expects exit code 0.
# Usage: window_smoke.sh GAME-DIR XCLOSE
set -u
game_dir=$1
xclose=$(realpath "$2")
source "$(dirname "$0")/xvfb.sh"
xvfb_start || exit $?
trap xvfb_stop EXIT

cd "$game_dir"
config=$(mktemp -d)
XDG_CONFIG_HOME=$config GEMLODE_STATISTICS=1 ./gemlode >"$config/log" 2>&1 &
game=$!
window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$config/log"; kill $game; exit 1; }
title=$(xdotool getwindowname "$window")
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
echo "window: '$title' $geometry"
[[ "$title" =~ ^Gemlode\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "bad title"; kill $game; exit 1; }
[ "$geometry" = "640x480" ] || { echo "bad size"; kill $game; exit 1; }
sleep 2
"$xclose" "$window" || { echo "close request failed"; kill $game; exit 1; }
for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
if kill -0 $game 2>/dev/null; then echo "still running after close"; kill -9 $game; exit 1; fi
wait $game
code=$?
grep -q "Update Count" "$config/log" || { echo "no statistics logged"; cat "$config/log"; exit 1; }
echo "exit code $code"
exit $code
