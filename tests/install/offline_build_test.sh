#!/usr/bin/env bash
# Builds the game with GEMLODE_ONLINE=OFF (the game only, no tests) and checks
# that no network library is linked, that the options dialog's update and
# web-site rows are not in the program, and that it is hardened as any
# optimised build.
# Usage: offline_build_test.sh SOURCE-DIR BUILD-DIR
set -u
source_dir=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAILED: $*"; exit 1; }

cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEMLODE_ONLINE=OFF \
  -DGEMLODE_TESTS=OFF -DGEMLODE_BENCH=OFF >"$build.log" 2>&1 || { tail "$build.log"; fail "configure"; }
cmake --build "$build" -j"$(nproc)" --target gemlode >>"$build.log" 2>&1 ||
  { tail -n 30 "$build.log"; fail "build"; }
program=$build/game/gemlode
needed=$(readelf -d "$program" | grep NEEDED) || fail "no dynamic section"
grep -q 'libSDL2' <<<"$needed" || fail "the check cannot see the linked libraries"
grep -i 'curl' <<<"$needed" && fail "a network library is linked"
for text in "Check for Updates" "For More Games"; do
  grep -qaF "$text" "$program" && fail "\"$text\" is in the offline program"
done
[ -f "$build/game/data/diff.txt" ] || fail "the game was built without its data"
"$here/hardening_check.sh" "$program" || fail "hardening"
echo "offline build: no libcurl, no update or site row"
