#!/usr/bin/env bash
# The program's answers to --help, --version and an unknown option, without a
# display: they end before any window is made. With no display and no video
# driver asked for, the game itself ends at once with code 1.
# Usage: command_line.sh GAME-EXECUTABLE VERSION
set -u
game=$1
version=$2
fail() { echo "FAIL: $*"; exit 1; }

out=$("$game" --help) || fail "--help exit code $?"
grep -q -- "--seed N" <<<"$out" || fail "--help: no usage on stdout"
out=$("$game" --version) || fail "--version exit code $?"
[ "$out" = "Gemlode $version" ] || fail "--version printed '$out'"
"$game" --no-such-option >/dev/null 2>"${TMPDIR:-/tmp}/gemlode-usage.$$"
code=$?
err=$(cat "${TMPDIR:-/tmp}/gemlode-usage.$$"); rm -f "${TMPDIR:-/tmp}/gemlode-usage.$$"
[ "$code" = 2 ] || fail "unknown option exit code $code"
grep -q "unknown option '--no-such-option'" <<<"$err" || fail "no message: $err"
grep -q "^Usage: " <<<"$err" || fail "no usage on stderr"
"$game" --seed >/dev/null 2>&1
[ $? = 2 ] || fail "--seed without a number"
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
      timeout 10 "$game" 2>&1 >/dev/null)
code=$?
[ "$code" = 1 ] || fail "no display: exit code $code"
grep -q "no usable display" <<<"$err" || fail "no display: no message: $err"
echo "ok"
