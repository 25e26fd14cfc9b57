#!/usr/bin/env bash
# The crash report window under Xvfb: a program crashes on purpose, the report window
# appears (screenshot kept), shows the report, has it on the clipboard, and clicking Exit
# ends the crashed process with exit code 3.
# Usage: crash_window.sh CRASH-PROGRAM ARTIFACT-DIR
set -u
program=$(realpath "$1")
artifacts=$2
here=$(dirname "$0")
source "$here/../e2e/xvfb.sh"
source "$here/crash_report_window.sh"
xvfb_start || exit $?
work=$(mktemp -d)
trap 'kill $crashed 2>/dev/null; xvfb_stop; rm -rf "$work"' EXIT

cd "$work"
"$program" null-write >"$work/log" 2>&1 &
crashed=$!
window=$(crash_window $crashed)
[ -n "$window" ] || { echo "no report window"; cat "$work/log"; exit 1; }
check_crash_window "$window" "$artifacts/crash-window.png" || exit 1
head -n 1 crash.txt | grep -q "^Exception: Access Violation" || { echo "bad crash.txt"; exit 1; }
click_exit "$window" $crashed
wait $crashed
code=$?
echo "exit code $code"
[ "$code" = 3 ]
