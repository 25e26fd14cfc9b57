#!/usr/bin/env bash
# The update check of the real program in a real window under Xvfb, against
# the reference update server on a loopback port. A recording stand-in for
# xdg-open sits first on PATH. Run 1: Options -> "Check for Updates" shows
# "New Version"; YES hands the page address to the stand-in. Run 2, with the
# server gone: the check's dialog stays, its bar stopped, saying it failed;
# CANCEL closes it and the game still answers its close request. Screenshots
# go to ARTIFACT-DIR.
# Usage: update_check.sh GAME-DIR ARTIFACT-DIR XCLOSE SOURCE-DIR
set -u
game_dir=$1
artifacts=$2
xclose=$(realpath "$3")
source_dir=$4
source "$(dirname "$0")/xvfb.sh"
mkdir -p "$artifacts"
command -v python3 >/dev/null || { echo "python3 missing: skipped"; exit 77; }

xvfb_start || exit $?
work=$(mktemp -d)
server=""
game=""
trap 'kill $game $server 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
game_copy "$game_dir" "$work"

mkdir "$work/bin"
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
STUB
chmod +x "$work/bin/xdg-open"

page="http://zandrel.example/new-version"
printf '0\r\n%s\r\n' "$page" >"$work/answer.txt"
python3 "$source_dir/tools/update_server/update_server.py" --answer "$work/answer.txt" \
  --port-file "$work/port" >/dev/null 2>"$work/server.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || { echo "server did not start"; cat "$work/server.log"; exit 1; }
port=$(cat "$work/port")

start_game() {
  cd "$work"
  PATH="$work/bin:$PATH" no_proxy=127.0.0.1 GEMLODE_UPDATE_SERVER="http://127.0.0.1:$port" \
    XDG_CONFIG_HOME=$work/config ./gemlode >>"$work/log" 2>&1 &
  game=$!
  window=$(xvfb_window $game)
  [ -n "$window" ] || { echo "no window"; cat "$work/log"; exit 1; }
  origin=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
  ox=${origin%,*}
  oy=${origin#*,}
  sleep 2
  click 320 396  # the play link
  sleep 1.5
  click 96 261   # Options
  sleep 1
  click 408 270  # Check for Updates
}
shot() {
  xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage "png:$artifacts/$1.png"
}
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.15
}
close_game() {
  "$xclose" "$window" || { echo "close request failed"; exit 1; }
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill -0 $game 2>/dev/null && { echo "still running after close"; kill -9 $game; exit 1; }
  wait $game
}

# Run 1: the server says a new version exists.
start_game
sleep 2
shot new-version
click 267 144  # YES
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
opened=$(cat "$work/opened" 2>/dev/null)
[ "$opened" = "$page" ] || { echo "opener got '$opened'"; cat "$work/log"; exit 1; }
grep -q 'GET /win32updatecheck.php?prod=Prismora&ver=[0-9.]*&referid= ' "$work/server.log" ||
  { echo "no query reached the server"; cat "$work/server.log"; exit 1; }
close_game

# Run 2: nothing listens any more.
kill $server
wait $server 2>/dev/null
server=""
start_game
sleep 1
shot server-down-1
sleep 1
shot server-down-2
# The refused check has failed at once: its bar stands still (and its body says so).
still=$(compare -metric AE "$artifacts/server-down-1.png[348x200+146+50]" \
  "$artifacts/server-down-2.png[348x200+146+50]" null: 2>&1 || true)
[ "$still" = 0 ] || { echo "the wait bar still moves after the check failed ($still pixels)"; exit 1; }
click 320 208  # CANCEL
sleep 0.5
shot server-down-cancelled
cmp -s "$artifacts/server-down-2.png" "$artifacts/server-down-cancelled.png" &&
  { echo "CANCEL changed nothing"; exit 1; }
sleep 0.5
shot server-down-cancelled-later
# The start tip's pointer keeps moving at the right: compare only where the dialog was.
moved=$(compare -metric AE "$artifacts/server-down-cancelled.png[348x200+146+50]" \
  "$artifacts/server-down-cancelled-later.png[348x200+146+50]" null: 2>&1 || true)
[ "$moved" = 0 ] || { echo "the wait bar still moves after CANCEL ($moved pixels)"; exit 1; }
close_game
echo "update check ok; screenshots in $artifacts"
exit 0
