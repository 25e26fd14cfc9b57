#!/usr/bin/env bash
# Starts the game STARTS times, each to its first frame, on an Xvfb that resets when its
# last client goes, beside busy loops and RECONNECT (xreconnect) opening and closing
# connections all along; fails when any start failed.
# Usage: start_loop.sh GAME-DIR RECONNECT [STARTS]
set -u
source "$(dirname "$0")/xvfb.sh"
XVFB_RESETS=1 xvfb_start 640x480x24 || exit $?
work=$(mktemp -d)
busy=()
trap 'kill "${busy[@]}" 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
for _ in $(seq "$(nproc)"); do (while :; do :; done) & busy+=($!); done
"$2" & busy+=($!)
game_copy "$1" "$work"
cd "$work"
failures=0
for start in $(seq "${3:-300}"); do
  rm -rf config
  XDG_CONFIG_HOME=$work/config ./gemlode >log 2>&1 &
  for _ in $(seq 600); do  # up to 60 s: a loaded machine, a sanitizer build
    grep -q "^First Frame Time" log || ! kill -0 $! 2>/dev/null && break
    sleep 0.1
  done
  kill $! 2>/dev/null && wait $! 2>/dev/null
  grep -q "^First Frame Time" log && continue
  failures=$((failures + 1))
  echo "start $start failed: $(head -c 300 log | tr '\n' ' ')"
done
[ "$failures" = 0 ] || fail "$failures of ${3:-300} starts failed"
