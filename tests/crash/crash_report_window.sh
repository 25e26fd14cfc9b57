# Shared by the crash window scripts (source it after ../e2e/xvfb.sh).
# crash_window PID: waits for the "Fatal Error!" window of the report process that the
# crashed process PID started, and prints its id (empty when none appeared).
crash_window() {
  local crashed=$1 reporter="" window=""
  for _ in $(seq 200); do
    reporter=$(pgrep -P "$crashed" | head -n 1)
    if [ -n "$reporter" ]; then
      window=$(xdotool search --all --pid "$reporter" --name '^Fatal Error!$' 2>/dev/null | head -n 1)
      [ -n "$window" ] && break
    fi
    kill -0 "$crashed" 2>/dev/null || break
    sleep 0.1
  done
  echo "$window"
}

# check_crash_window WINDOW SHOT-PATH: the window is 400x300 at (64, 64), holds the report
# text, and the clipboard holds the report. Saves a screenshot of it.
check_crash_window() {
  local window=$1 shot=$2 geometry position mean
  geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
  position=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
  echo "report window: $geometry at $position"
  [ "$geometry" = "400x300" ] || { echo "bad size"; return 1; }
  [ "$position" = "64,64" ] || { echo "bad position"; return 1; }
  sleep 0.5
  mkdir -p "$(dirname "$shot")"
  xwd -root -silent | convert xwd:- -crop 400x300+64+64 +repage "png:$shot"
  # The report area is white with black text: its mean lies well below pure white, and
  # the message area above it has dark text on the grey face too.
  mean=$(convert "$shot" -crop 360x170+11+81 +repage -colorspace Gray -format "%[fx:mean]" info:)
  echo "report area mean: $mean"
  awk -v m="$mean" 'BEGIN { exit !(m > 0.5 && m < 0.97) }' || { echo "no report text"; return 1; }
  mean=$(convert "$shot" -crop 384x60+8+8 +repage -colorspace Gray -format "%[fx:mean]" info:)
  echo "message area mean: $mean"
  awk -v m="$mean" 'BEGIN { exit !(m > 0.3 && m < 0.78) }' || { echo "no message text"; return 1; }
  if command -v xclip >/dev/null; then
    xclip -o -selection clipboard 2>/dev/null | head -n 1 | grep -q "xception" ||
      { echo "report not on the clipboard"; return 1; }
  fi
}

# click_exit WINDOW PID: clicks Exit and waits (at most 10 s) for PID to end; the caller
# then takes its exit code with wait.
click_exit() {
  local window=$1 pid=$2
  xdotool mousemove --window "$window" 200 280 click 1
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "still running after Exit"; kill -9 "$pid"; fi
}
