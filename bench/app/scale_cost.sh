#!/usr/bin/env bash
# CPU and memory of the scaled presentation, on one Xvfb at 3840x2160: the idle game screen
# (after PLAY, pointer resting on the panel) in a 1x window, in a 3x window (1920x1440) and
# in full screen (4x with bars), each measured for SECONDS with the X server's CPU included,
# REPETITIONS times in turn, on the board after five moves, and the resident memory at the
# end; then the resident memory of the game after loading on native
# Wayland (weston's X11 backend in a second Xvfb), when weston is installed. Prints every
# run and the medians of the ratios against the 1x window.
# With "fill" as the fourth argument it measures full screen in the fill instead, on a
# 1280x800 and a 1366x768 Xvfb, each against the 1x window on the same screen.
# Usage: bench/app/scale_cost.sh GAME-DIR [SECONDS] [REPETITIONS] [fill]
set -eu
seconds=${2:-10}
repetitions=${3:-3}
what=${4:-scales}

source "$(dirname "$0")/measuring.sh" "$1"

# idle_cost MODE: prints "CPU% RSS-MB" of the idle game screen.
idle_cost() {
  local log=$work/game.log pid window cpu rss
  case $1 in
    1x) set -- --windowed --scale 1 ;;
    3x) set -- --windowed --scale 3 ;;
    full) set -- --fullscreen ;;
  esac
  start_game "$log" --seed 1 "$@"
  pid=$game
  wait_for "$log" "Resources Loaded" 150 || { echo "the game did not load" >&2; return 1; }
  sleep 1
  window=$(xvfb_window "$pid")
  local scale=${3:-}
  click() {  # picture x, y
    if [ -z "$scale" ]; then
      xdotool mousemove "$(screen_x "$1")" "$(screen_y "$2")" click 1
    else
      xdotool mousemove --window "$window" $((scale * $1)) $((scale * $2)) click 1
    fi
  }
  click 320 396
  sleep 1
  # Five moves (a gem and its right neighbour), then the animations settle and the pointer
  # rests on the panel. Seeded, as the game is, so that every run plays the same moves.
  RANDOM=1
  for _ in 1 2 3 4 5; do
    local x=$((227 + 51 * (RANDOM % 7))) y=$((40 + 51 * (RANDOM % 8)))
    click "$x" "$y"
    sleep 0.1
    click $((x + 51)) "$y"
    sleep 0.9
  done
  sleep 3
  if [ -z "$scale" ]; then
    xdotool mousemove "$(screen_x 100)" "$(screen_y 440)"
  else
    xdotool mousemove --window "$window" $((scale * 100)) $((scale * 440))
  fi
  sleep 1
  read -r _ cpu <<<"$(measure "$pid")"
  rss=$(rss_of "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$cpu $rss"
}

# The full-screen picture SHOWN_W x SHOWN_H centred on the screen SCREEN_W x SCREEN_H:
# the screen pixel under picture pixel p's centre.
screen_x() { echo $(((SCREEN_W - SHOWN_W) / 2 + (2 * $1 + 1) * SHOWN_W / 1280)); }
screen_y() { echo $(((SCREEN_H - SHOWN_H) / 2 + (2 * $1 + 1) * SHOWN_H / 960)); }

column_median() { awk -v c="$1" '{print $c}' "$work/rows" | median; }

# fill_cost SCREEN-W SCREEN-H SHOWN-W SHOWN-H: the 1x window and full screen on that screen.
fill_cost() {
  SCREEN_W=$1 SCREEN_H=$2 SHOWN_W=$3 SHOWN_H=$4
  xvfb_start "${1}x${2}x24"
  pids+=("$XVFB_PID")
  rm -f "$work/rows"
  for repetition in $(seq "$repetitions"); do
    read -r one one_rss <<<"$(idle_cost 1x)"
    read -r full full_rss <<<"$(idle_cost full)"
    echo "$(ratio "$full" "$one") $full_rss $one $full" >>"$work/rows"
    echo "  $1x$2 run $repetition: 1x window $one %, full screen $full % ($(ratio "$full" "$one")), RSS $one_rss/$full_rss MB"
  done
  grep -E "^(Presentation|Picture)" "$work/game.log" || true
  echo "  $1x$2 median full screen / 1x window: $(column_median 1) (goal <= 1.5)"
  xvfb_stop
}
if [ "$what" = fill ]; then
  echo "full screen in the fill, idle game screen, X server included, ${seconds}s runs:"
  fill_cost 1280 800 1067 800
  fill_cost 1366 768 1024 768
  exit 0
fi

SCREEN_W=3840 SCREEN_H=2160 SHOWN_W=2560 SHOWN_H=1920
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
grep -E "^(Presentation|Picture)" "$work/game.log" || true
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
