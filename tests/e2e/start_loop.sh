#!/usr/bin/env bash
# Starts the real program again and again on one Xvfb, each time until its first frame,
# beside busy loops on every core, and counts the starts that failed. The server is
# left to reset whenever its last client goes (as a server started without -noreset
# does), and RECONNECT (xreconnect) opens and closes connections all along: a
# connection that arrives while the server resets is dropped, which a start must
# ride out.
# Usage: start_loop.sh GAME-DIR RECONNECT [STARTS]; exit 1 when any start failed.
set -u
game_dir=$(realpath "$1")
reconnect=$(realpath "$2")
starts=${3:-300}
source "$(dirname "$0")/xvfb.sh"
XVFB_RESETS=1 xvfb_start 640x480x24 || exit $?
work=$(mktemp -d)
busy=()
trap 'kill "${busy[@]}" 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
for _ in $(seq "$(nproc)"); do (while :; do :; done) & busy+=($!); done
"$reconnect" & busy+=($!)
game_copy "$game_dir" "$work"
cd "$work"

# One start: 0 once the first frame is logged, 1 when the program ended or took 20 s.
start_once() {
  rm -rf config
  XDG_CONFIG_HOME=$work/config ./gemlode >log 2>&1 &
  local pid=$! result=1
  for _ in $(seq 200); do
    grep -q "^First Frame Time" log && { result=0; break; }
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return $result
}

failures=0
for start in $(seq "$starts"); do
  start_once && continue
  failures=$((failures + 1))
  echo "start $start failed: $(head -c 300 log | tr '\n' ' ')"
done
echo "$starts starts, $failures failed"
[ "$failures" = 0 ]
