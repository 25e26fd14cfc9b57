#!/usr/bin/env bash
# Resident memory of the real program over a long run under Xvfb: it loads, a game is
# started, and a scripted player swaps two neighbouring gems once a second for the whole
# run. VmRSS is sampled every INTERVAL seconds; the start (after loading) and end figures
# and the largest sample are printed at the end.
# Usage: bench/app/memory_soak.sh GAME-DIR [MINUTES] [INTERVAL-SECONDS]
set -eu
minutes=${2:-30}
interval=${3:-30}
source "$(dirname "$0")/measuring.sh" "$1"
xvfb_start
start_game "$work/log"
window=$(xvfb_window "$game")
[ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
for _ in $(seq 100); do grep -q "Resource Loading Time" "$work/log" && break; sleep 0.1; done
sleep 1
xdotool mousemove --window "$window" 320 396 click 1
sleep 1

player "$window" &
pids+=("$!")

rss() { rss_of "$game"; }
first=$(rss)
largest=$first
echo "minute 0: $first MB"
end=$(($(date +%s) + minutes * 60))
started=$(date +%s)
while [ "$(date +%s)" -lt "$end" ]; do
  sleep "$interval"
  kill -0 "$game" 2>/dev/null || { echo "the game ended early"; cat "$work/log"; exit 1; }
  now=$(rss)
  largest=$(awk -v a="$largest" -v b="$now" 'BEGIN {print (b > a) ? b : a}')
  echo "minute $(( ($(date +%s) - started) / 60 )): $now MB"
done
echo "resident memory: start $first MB, end $(rss) MB, largest $largest MB over $minutes minutes"
