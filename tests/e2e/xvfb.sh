# Shared by the window scripts (source it). xvfb_start starts a private Xvfb on
# a display number the server picks itself (-displayfd), so a server already
# running elsewhere (another test run, a developer's own) is never talked to.
# It exports DISPLAY, SDL_VIDEODRIVER=x11 and SDL_AUDIODRIVER=dummy, whatever
# the caller's environment says, and sets XVFB_PID. The server does not reset when
# its last client goes (it would drop connections arriving meanwhile) unless
# XVFB_RESETS=1. xvfb_window PID waits for the top-level "Gemlode " window of
# that one process and prints its id.
# game_copy GAME-DIR FOLDER puts a copy of the program in FOLDER with links to
# the build's data; game_start GAME-DIR [ARGS] starts such a copy in a new
# current folder $work (its log in $work/log), sets game and cleans up on exit.

# xvfb_start [WIDTHxHEIGHTxDEPTH]; returns 77 (skip) when Xvfb is missing.
xvfb_start() {
  local screen=${1:-800x600x24} number="" reset=-noreset
  [ "${XVFB_RESETS:-}" = 1 ] && reset=""
  command -v Xvfb >/dev/null || { echo "Xvfb missing: skipped"; return 77; }
  XVFB_DIR=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp $reset 3>"$XVFB_DIR/display" >"$XVFB_DIR/log" 2>&1 &
  XVFB_PID=$!
  # The server writes the number and a newline once it accepts clients.
  for _ in $(seq 200); do
    if [ "$(tail -c 1 "$XVFB_DIR/display" 2>/dev/null | od -An -c | tr -d ' ')" = '\n' ]; then
      number=$(head -n 1 "$XVFB_DIR/display")
      break
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$number" ] || { echo "Xvfb did not start"; cat "$XVFB_DIR/log"; return 1; }
  export DISPLAY=":$number" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  [ -n "${XVFB_DIR:-}" ] && rm -rf "$XVFB_DIR"
  XVFB_PID=""
}

# xvfb_window PID [TENTHS-OF-A-SECOND]: empty output when none appeared.
xvfb_window() {
  local pid=$1 tries=${2:-100} window=""
  for _ in $(seq "$tries"); do
    window=$(xdotool search --all --pid "$pid" --name '^Gemlode ' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "$window"
}

# A copy, not a link: the program works in the folder it runs from, and its own
# files (the instance lock among them) then stay out of the build tree.
game_copy() {
  local from data
  from=$(realpath "$1")
  for data in images sounds music data resources; do ln -s "$from/$data" "$2/$data"; done
  cp "$from/gemlode" "$2/gemlode"
}

game_start() {
  work=$(mktemp -d)
  game_copy "$1" "$work" && shift && cd "$work" || return 1
  XDG_CONFIG_HOME=$work/config ./gemlode "$@" >"$work/log" 2>&1 &
  game=$!
  trap 'kill $game 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT
}
fail() { echo "FAILED: $*"; tail -n 20 "$work/log"; exit 1; }
shot() { xwd -root -silent | convert xwd:- "png:$artifacts/$1.png"; }  # into $artifacts

# near X Y R G B [TOLERANCE]: true when screen pixel X Y is within TOLERANCE (24) of R,G,B.
near() {
  local r g b t=${6:-24}
  read -r r g b < <(xwd -root -silent | convert xwd:- -crop "1x1+$1+$2" +repage \
    -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:)
  ((r - $3 <= t && $3 - r <= t && g - $4 <= t && $4 - g <= t && b - $5 <= t && $5 - b <= t))
}
