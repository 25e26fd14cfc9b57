#!/usr/bin/env bash
# CPU and memory of the scaled presentation, on one Xvfb at 3840x2160: the idle game screen
# (after PLAY, pointer resting on the panel) in a 1x window, in a 3x window (1920x1440) and
# in full screen (4x with bars), each measured for SECONDS with the X server's CPU included,
# REPETITIONS times in turn; then the resident memory of the game after loading on native
# Wayland (weston's X11 backend in a second Xvfb), when weston is installed. Prints every
# run and the medians of the ratios against the 1x window.
# Usage: bench/app/scale_cost.sh GAME-DIR [SECONDS] [REPETITIONS]
set -eu
seconds=${2:-10}
repetitions=${3:-3}
source "$(dirname "$0")/measuring.sh" "$1"

# idle_cost MODE: prints "CPU% RSS-MB" of the idle game screen.
idle_cost() {
  local log=$work/game.log pid window cpu rss
  case $1 in
    1x) set -- --windowed --scale 1 ;;
    3x) set -- --windowed --scale 3 ;;
    full) set -- --fullscreen ;;
  esac
  start_game "$log" "$@"
  pid=$game
  wait_for "$log" "Resources Loaded" 150 || { echo "the game did not load" >&2; return 1; }
  sleep 1
  rss=$(rss_of "$pid")
  if [ "$1" = --fullscreen ]; then
    # 4x, centred: the picture starts at 640,120.
    xdotool mousemove $((640 + 4 * 320)) $((120 + 4 * 396)) click 1
    sleep 1
    xdotool mousemove $((640 + 4 * 100)) $((120 + 4 * 440))
  else
    local scale=$3
    window=$(xvfb_window "$pid")
    xdotool mousemove --window "$window" $((scale * 320)) $((scale * 396)) click 1
    sleep 1
    xdotool mousemove --window "$window" $((scale * 100)) $((scale * 440))
  fi
  sleep 1
  read -r _ cpu <<<"$(measure "$pid")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$cpu $rss"
}

xvfb_start 3840x2160x24
pids+=("$XVFB_PID")
printf '%-4s %-22s %-22s %-22s %s\n' run "1x window CPU%" "3x window CPU% (ratio)" \
  "full screen CPU% (ratio)" "RSS MB 1x/3x/full"
for repetition in $(seq "$repetitions"); do
  read -r one one_rss <<<"$(idle_cost 1x)"
  read -r three three_rss <<<"$(idle_cost 3x)"
  read -r full full_rss <<<"$(idle_cost full)"
  echo "$(ratio "$three" "$one") $(ratio "$full" "$one") $full_rss $one $three $full" >>"$work/rows"
  printf '%-4s %-22s %-22s %-22s %s\n' "$repetition" "$one" "$three ($(ratio "$three" "$one"))" \
    "$full ($(ratio "$full" "$one"))" "$one_rss/$three_rss/$full_rss"
done
grep -E "^Presentation" "$work/game.log" || true
column_median() { awk -v c="$1" '{print $c}' "$work/rows" | median; }
echo "medians of $repetitions runs, ${seconds}s each, idle game screen, X server included:"
echo "  1x window:                  $(column_median 4) % of a core"
echo "  3x window / 1x window:      $(column_median 1) (goal <= 1.5)"
echo "  full screen / 1x window:    $(column_median 2) (goal <= 1.5)"
echo "  full screen resident memory: $(column_median 3) MB (goal <= 70)"
xvfb_stop

command -v weston >/dev/null || { echo "weston missing: no Wayland figure"; exit 0; }
xvfb_start 1280x1024x24
pids+=("$XVFB_PID")
runtime=$work/runtime
mkdir -m 700 "$runtime"
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket=wayland-bench --width=1200 \
  --height=1000 --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do [ -S "$runtime/wayland-bench" ] && break; sleep 0.1; done
rm -rf "$work/config"
(cd "$work" && exec env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-bench \
  SDL_VIDEODRIVER=wayland XDG_CONFIG_HOME="$work/config" ./gemlode >"$work/wayland.log" 2>&1) &
pid=$!
pids+=("$pid")
wait_for "$work/wayland.log" "Resources Loaded" 150 && sleep 1 && echo "  native Wayland resident memory after loading: $(rss_of "$pid") MB" \
  "($(grep -E '^Presentation' "$work/wayland.log"))"
exit 0
