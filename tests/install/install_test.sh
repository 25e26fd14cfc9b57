#!/usr/bin/env bash
# Installs the build into a staging folder (DESTDIR), checks the desktop entry
# and the AppStream file, makes the install read-only and plays the installed
# game under Xvfb as an unprivileged user (root passes every permission check,
# so a root run drops to "nobody"): a timed game to its end (high scores), a new
# game with a move, quit. The window's class must be the desktop entry's. The
# player's files must be under the XDG data folder
# and nothing written in the install; a second start must offer the saved game,
# and a copy started beside it must say so and end with exit code 0. Run again as
# the install's owner (root in CI) with the install writable: still nothing new
# under the prefix.
# Screenshots (the ones meant for the AppStream file) go to ARTIFACT-DIR.
# Usage: install_test.sh BUILD-DIR XCLOSE ARTIFACT-DIR
set -u
build=$(realpath "$1")
xclose=$(realpath "$2")
artifacts=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/xvfb.sh"
mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
app_id=com.zandrel.Gemlode

tmp=$(mktemp -d)
chmod 755 "$tmp"
game=""
trap 'kill $game 2>/dev/null; xvfb_stop; chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() {
  echo "FAILED: $*"
  for log in "$tmp"/log*; do [ -f "$log" ] && { echo "== $log"; tail -n 15 "$log"; }; done
  exit 1
}

root=$tmp/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$tmp/install.log" || fail "install"
program=$root/usr/games/gemlode
[ -x "$program" ] || fail "no program in usr/games"
for f in usr/share/gemlode/images/gemsheet6.png usr/share/gemlode/data/diff.txt \
  usr/share/gemlode/resources/IDI_MAIN_ICON.png usr/share/applications/$app_id.desktop \
  usr/share/metainfo/$app_id.metainfo.xml usr/share/icons/hicolor/64x64/apps/$app_id.png \
  usr/share/icons/hicolor/16x16/apps/$app_id.png usr/share/icons/hicolor/128x128/apps/$app_id.png \
  usr/share/icons/hicolor/256x256/apps/$app_id.png usr/share/man/man6/gemlode.6.gz \
  usr/share/doc/gemlode/copyright; do
  [ -f "$root/$f" ] || fail "not installed: $f"
done
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop file"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "metainfo"
man -l "$root/usr/share/man/man6/gemlode.6.gz" >/dev/null 2>"$tmp/man.log" || fail "man page"

# The install read-only, as under /usr; the player's home their own.
chmod -R a-w,a+rX "$root"
find "$root" -printf '%p %s %T@\n' | sort >"$tmp/before"
home=$tmp/home
mkdir -p "$home"
as_player=()
if [ "$(id -u)" = 0 ]; then
  chown 65534:65534 "$home"
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
xvfb_start || exit $?
run=0
start_game() {
  run=$((run + 1))
  "${as_player[@]}" env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" \
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$program" "$@" >"$tmp/log$run" 2>&1 &
  game=$!
  window=$(xvfb_window $game)
  [ -n "$window" ] || fail "no window (run $run)"
  origin=$(xdotool getwindowgeometry "$window" | awk '/Position/ {print $2}')
  ox=${origin%,*}
  oy=${origin#*,}
  sleep 2
}
quit_game() {
  "$xclose" "$window" || fail "close request failed"
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill -0 $game 2>/dev/null && fail "still running after close"
  wait $game || fail "exit code $? (run $run)"
  game=""
}
shot() {
  xwd -root -silent | convert xwd:- -crop "640x480+$ox+$oy" +repage "png:$artifacts/$1.png"
}
click() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.15
}
pixel() {
  xwd -root -silent | convert xwd:- -crop "1x1+$((ox + $1))+$((oy + $2))" +repage \
    -format '%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]' info:
}
near() {
  IFS=, read -r r g b <<<"$(pixel "$1" "$2")"
  [ $((r - $3)) -le 6 ] && [ $(($3 - r)) -le 6 ] && [ $((g - $4)) -le 6 ] &&
    [ $(($4 - g)) -le 6 ] && [ $((b - $5)) -le 6 ] && [ $(($5 - b)) -le 6 ]
}
score_area() {
  xwd -root -silent | convert xwd:- -crop "150x40+$((ox + 18))+$((oy + 75))" +repage rgb:- | md5sum
}
# Neighbour swaps, bottom rows first, until the score moves.
make_move() {
  local before
  before=$(score_area)
  for row in 7 6 5 4 3 2 1 0; do
    for column in 0 1 2 3 4 5 6; do
      x=$((203 + 51 * column + 24))
      y=$((16 + 51 * row + 24))
      click $x $y
      click $((x + 51)) $y
      sleep 0.8
      [ "$(score_area)" != "$before" ] && return 0
    done
  done
  return 1
}

start_game --windowed
# Desktops match a window to its launcher by the class its entry names.
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
entry_class=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
[ -n "$class" ] && [ "$class" = "$entry_class" ] ||
  fail "the window's class \"$class\" is not the desktop entry's \"$entry_class\""
shot title
click 320 396
sleep 1
click 135 200 # Timed: before the first move it switches at once
sleep 2
make_move || fail "no move scored"
sleep 1
shot game
ended=""
for _ in $(seq 240); do
  sleep 0.5
  near 590 400 0 218 0 && { ended=yes; break; }
done
[ -n "$ended" ] || fail "the timed game never ended"
sleep 0.5
xdotool mousemove --window "$window" 400 150
xdotool type --delay 60 "Installed"
xdotool key Return
sleep 1
shot game-over
click 96 162 # New Game: the game-over screen goes and writes the high scores
sleep 1.5
make_move || fail "no move scored in the second game"
quit_game

data=$home/.local/share/Zandrel/Gemlode
for f in savegame.dat hiscores.dat; do [ -s "$data/$f" ] || fail "no $f in $data"; done
grep -aq Installed "$data/hiscores.dat" || fail "the name is not in hiscores.dat"
[ "$(stat -c %a "$data")" = 700 ] || fail "data folder mode $(stat -c %a "$data")"
grep -q '^\[Gemlode\]' "$home/.config/Zandrel/Gemlode/settings.conf" || fail "no settings"
find "$root" -printf '%p %s %T@\n' | sort >"$tmp/after"
cmp -s "$tmp/before" "$tmp/after" || { diff "$tmp/before" "$tmp/after"; fail "the install changed"; }

start_game
click 320 396
sleep 1.5
grep -q "offering to continue" "$tmp/log$run" || fail "the saved game was not offered"
# A second copy for the same player says so (a box, answered here) and ends with 0.
"${as_player[@]}" env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" \
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$program" >"$tmp/log-second" 2>&1 &
second=$!
for _ in $(seq 100); do
  kill -0 $second 2>/dev/null || break
  box=$(xdotool search --all --pid $second --onlyvisible --name . 2>/dev/null | head -n 1)
  [ -n "$box" ] && xdotool key --window "$box" Return 2>/dev/null
  sleep 0.2
done
kill -0 $second 2>/dev/null && { kill $second; fail "the second copy did not end"; }
wait $second || fail "the second copy ended with code $?"
grep -q "Another copy of the game is running" "$tmp/log-second" || fail "the second copy said nothing"
kill -0 $game 2>/dev/null || fail "the first copy ended too"
quit_game

# Root, or the install's owner, may write to the prefix: the player's files still
# go under the XDG folder and nothing new appears in the install.
chmod -R u+w "$root"
find "$root" -printf '%p %s\n' | sort >"$tmp/before-writable"
home=$tmp/home-owner
mkdir -p "$home"
as_player=()
start_game --windowed
click 320 396
sleep 1.5
make_move || fail "no move scored by the install's owner"
quit_game
find "$root" -printf '%p %s\n' | sort >"$tmp/after-writable"
cmp -s "$tmp/before-writable" "$tmp/after-writable" ||
  { diff "$tmp/before-writable" "$tmp/after-writable"; fail "a writable install was written to"; }
[ -s "$home/.local/share/Zandrel/Gemlode/savegame.dat" ] || fail "the owner's game was not saved"
echo "installed game played as $(id -un 65534 2>/dev/null || id -un); screenshots in $artifacts"
exit 0
