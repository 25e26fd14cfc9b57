#!/usr/bin/env bash
# CPU cost of the real program under Xvfb against its anchors, measured in one run on one
# X server: the presentation anchor (bench/present) presenting a 640x480 picture (a) once a
# second and (b) every 10 ms through the same presentation path, then the game on its title
# screen after loading, on the game screen with nobody playing, and with a scripted player
# swapping two gems once a second (the game dealt from one seed and the swaps in one
# order, so that runs compare). The CPU of each program and of the X server over each
# period is read from /proc. Prints one line per repetition with every ratio, then the
# medians; also the start-up figures and the resident memory after loading that the game
# logs or shows.
# Usage: bench/app/cpu_cost.sh GAME-DIR ANCHOR-PROGRAM [SECONDS] [REPETITIONS] [fullscreen]
# Environment: GEMLODE_PRESENTATION=renderer forces the renderer fallback in both programs.
set -eu
anchor=$(realpath "$2")
seconds=${3:-10}
repetitions=${4:-5}
mode=${5:-window}
screen=800x600x24
[ "$mode" = fullscreen ] && screen=640x480x24

source "$(dirname "$0")/measuring.sh" "$1"
xvfb_start "$screen"
pids+=("$XVFB_PID")

anchor_cost() {  # interval-ms
  local log=$work/anchor.log pid cost
  "$anchor" "$1" 0 "$mode" >"$log" 2>&1 &
  pid=$!
  pids+=("$pid")
  wait_for "$log" '^Presentation:' 50 || true
  sleep 1
  cost=$(measure "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$cost"
}

game_costs() {
  local log=$work/game.log pid window player_pid title idle play rss
  start_game "$log" --seed 1
  pid=$game
  wait_for "$log" 'Resource Loading Time' 100 || { echo "the game did not load" >&2; return 1; }
  sleep 1
  rss=$(rss_of "$pid")
  window=$(xvfb_window "$pid")
  title=$(measure "$pid")
  xdotool mousemove --window "$window" 320 396 click 1
  sleep 1
  # The pointer rests on the panel, away from the gems.
  xdotool mousemove --window "$window" 100 440
  sleep 1
  idle=$(measure "$pid")
  player "$window" &
  player_pid=$!
  pids+=("$player_pid")
  play=$(measure "$pid")
  kill "$player_pid"
  wait "$player_pid" 2>/dev/null || true
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$title $idle $play $rss"
  grep -E "^Presentation|First Frame Time|Resources Loaded|Resource Loading Time" "$log" \
    >"$work/startup.$repetition" || true
}

printf '%-4s %-33s %-33s %-33s %s\n' run "title/anchor(a) [own, +X]" "idle/anchor(b) [own, +X]" \
  "play/anchor(b) [own, +X]" "RSS MB"
for repetition in $(seq "$repetitions"); do
  read -r a_own a_all <<<"$(anchor_cost 1000)"
  read -r b_own b_all <<<"$(anchor_cost 10)"
  read -r t_own t_all i_own i_all p_own p_all rss <<<"$(game_costs)"
  line="$(ratio "$t_own" "$a_own") $(ratio "$t_all" "$a_all") $(ratio "$i_own" "$b_own")"
  line="$line $(ratio "$i_all" "$b_all") $(ratio "$p_own" "$b_own") $(ratio "$p_all" "$b_all") $rss"
  echo "$line" >>"$work/ratios"
  read -r r1 r2 r3 r4 r5 r6 _ <<<"$line"
  printf '%-4s %-33s %-33s %-33s %s\n' "$repetition" "$r1 $r2 ($t_own%/$a_own%)" \
    "$r3 $r4 ($i_own%/$b_own%)" "$r5 $r6 ($p_own%/$b_own%)" "$rss"
  sed 's/^/     /' "$work/startup.$repetition"
done

column_median() { awk -v c="$1" '{print $c}' "$work/ratios" | median; }
echo "medians of $repetitions runs, ${seconds}s each, mode $mode:"
echo "  title after loading / anchor (a):   $(column_median 1) own, $(column_median 2) with X server (goal <= 1.2)"
echo "  game screen, idle / anchor (b):     $(column_median 3) own, $(column_median 4) with X server (goal <= 0.5)"
echo "  game screen, playing / anchor (b):  $(column_median 5) own, $(column_median 6) with X server (goal <= 0.7)"
echo "  resident memory after loading:      $(column_median 7) MB (goal <= 70)"
for field in "First Frame Time" "Resources Loaded"; do
  values=$(cat "$work"/startup.* | grep "$field" | grep -oE '[0-9]+ ms' | awk '{print $1}')
  [ -n "$values" ] && echo "  $field: $(echo "$values" | median) ms"
done
exit 0
