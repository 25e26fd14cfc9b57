#!/usr/bin/env bash
# CPU cost of the real program under Xvfb, read from /proc over a period:
# on the title screen after loading, and during play. Prints the share of one
# core for each, plus the start-up figures the program logs.
# Usage: bench/app/cpu_cost.sh GAME-DIR [SECONDS]
set -eu
game_dir=$(realpath "$1")
seconds=${2:-20}
ticks=$(getconf CLK_TCK)

source "$(dirname "$0")/../../tests/e2e/xvfb.sh"
xvfb_start
work=$(mktemp -d)
for data in images sounds music data resources; do ln -s "$game_dir/$data" "$work/$data"; done
cp "$game_dir/gemlode" "$work/gemlode"
cd "$work"
XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!
trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

cpu() { awk '{print $14 + $15}' "/proc/$game/stat"; }
measure() {
  local before after
  before=$(cpu)
  sleep "$seconds"
  after=$(cpu)
  awk -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f%%", 100 * t / hz / s}'
}

window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
sleep 3
echo "title screen, after loading: $(measure) of a core over ${seconds}s"
xdotool mousemove --window "$window" 320 396 click 1
sleep 1
xdotool mousemove --window "$window" 300 200
echo "game screen, playing:        $(measure) of a core over ${seconds}s"
grep -E "Resource Loading Time|First Frame Time" "$work/log" || true
