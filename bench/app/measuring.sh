# The set-up the game's measuring scripts share; sourced, never run. It makes a
# work folder with a copy of the game (GAME-DIR), kills what the script started
# (every process id added to `pids`) and stops its X servers at exit, and gives:
#   cpu_of PID            CPU time of all the process's threads in nanoseconds
#   measure PID           per cent of one core over $seconds: "game game+X-server"
#   wait_for FILE PATTERN TRIES   true once FILE matches, trying every 0.1 s
#   start_game LOG [ARGS] the game in the work folder with fresh settings; sets `game`
#   rss_of PID            resident memory in MB
#   player WINDOW         a swap of two neighbours once a second, the same
#                         sequence every run (seeded), until killed
#   ratio A B, median     (median reads numbers, one a line)
# Usage: source bench/app/measuring.sh GAME-DIR
work=$(mktemp -d)
pids=()
measuring_cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  xvfb_stop
  rm -rf "$work"
}
trap measuring_cleanup EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../../tests/e2e/xvfb.sh"
game_copy "$(realpath "$1")" "$work"

# Finer than the clock ticks of stat.
cpu_of() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{t += $1} END {printf "%d", t}'; }
measure() {
  local p0 x0 p1 x1
  p0=$(cpu_of "$1")
  x0=$(cpu_of "$XVFB_PID")
  sleep "$seconds"
  p1=$(cpu_of "$1")
  x1=$(cpu_of "$XVFB_PID")
  awk -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v s="$seconds" \
    'BEGIN {printf "%.3f %.3f", 100 * p / 1e9 / s, 100 * (p + x) / 1e9 / s}'
}
wait_for() {
  for _ in $(seq "$3"); do grep -qE "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  return 1
}
start_game() {
  local log=$1
  shift
  rm -rf "$work/config" "$work/savegame.dat"
  (cd "$work" && XDG_CONFIG_HOME=$work/config exec ./gemlode "$@" >"$log" 2>&1) &
  game=$!
  pids+=("$game")
}
rss_of() { awk '/^VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
player() {
  local window=$1 x y
  RANDOM=1
  while true; do
    x=$((203 + 51 * (RANDOM % 7) + 24))
    y=$((16 + 51 * (RANDOM % 8) + 24))
    xdotool mousemove --window "$window" "$x" "$y" click 1 >/dev/null 2>&1
    sleep 0.1
    xdotool mousemove --window "$window" $((x + 51)) "$y" click 1 >/dev/null 2>&1
    sleep 0.9
  done
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", (b > 0) ? a / b : 0}'; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
