#!/usr/bin/env bash
# CPU cost of the real program under Xvfb while an update check waits on a
# server that accepts and never answers, next to the same screen without a
# check (the options dialog open). Read from /proc over a period; prints the
# share of one core for each and the CPU time of the threads other than the
# main one while the check waits (the transfer's worker sleeps in poll).
# Usage: bench/app/update_check_cpu.sh GAME-DIR [SECONDS]
set -eu
game_dir=$(realpath "$1")
seconds=${2:-10}
ticks=$(getconf CLK_TCK)
root=$(realpath "$(dirname "$0")/../..")

source "$root/tests/e2e/xvfb.sh"
xvfb_start
work=$(mktemp -d)
game_copy "$game_dir" "$work"
python3 "$root/tools/update_server/update_server.py" --silent --port-file "$work/port" >/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
cd "$work"
no_proxy=127.0.0.1 GEMLODE_UPDATE_SERVER="http://127.0.0.1:$(cat "$work/port")" \
  XDG_CONFIG_HOME=$work/config ./gemlode >"$work/log" 2>&1 &
game=$!
trap 'kill $game $server 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

cpu() { awk '{print $14 + $15}' "/proc/$game/stat"; }
others() {
  local sum=0 task
  for task in /proc/$game/task/*; do
    [ "${task##*/}" = "$game" ] && continue
    sum=$((sum + $(awk '{print $14 + $15}' "$task/stat" 2>/dev/null || echo 0)))
  done
  echo $sum
}
share() { awk -v t="$1" -v hz="$ticks" -v s="$seconds" 'BEGIN {printf "%.2f%%", 100 * t / hz / s}'; }
measure() {
  local before after
  before=$(cpu)
  sleep "$seconds"
  after=$(cpu)
  share $((after - before))
}

window=$(xvfb_window $game)
[ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
sleep 3
xdotool mousemove --window "$window" 320 396 click 1
sleep 1.5
xdotool mousemove --window "$window" 96 261 click 1
sleep 1
xdotool mousemove --window "$window" 600 470
before_others=$(others)
echo "options dialog open, no check:    $(measure) of a core over ${seconds}s"
echo "  threads other than the main one: $(share $(($(others) - before_others)))"
xdotool mousemove --window "$window" 408 270 click 1
xdotool mousemove --window "$window" 600 470
sleep 1
before_others=$(others)
echo "check waiting on a silent server: $(measure) of a core over ${seconds}s"
echo "  threads other than the main one: $(share $(($(others) - before_others)))"
for task in /proc/$game/task/*; do echo "  thread $(cat "$task/comm"): $(awk '{print $14 + $15}' "$task/stat") ticks in all"; done
