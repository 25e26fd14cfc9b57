#!/usr/bin/env bash
# Sets up what is missing, builds Gemlode and runs every test: the plain build,
# the address+undefined sanitizer build, the thread sanitizer build, and a short
# run of each fuzz target.
# GEMLODE_QUICK=1 runs the plain build's tests only.
set -euo pipefail
cd "$(dirname "$0")"
bash setup.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 600

[ "${GEMLODE_QUICK:-0}" = 1 ] && exit 0

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGEMLODE_SANITIZE=ON -DGEMLODE_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
export UBSAN_OPTIONS=print_stacktrace=1
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900 -LE "slow|xvfb|install"
# The real program in a real window: the display and D-Bus libraries keep
# allocations until exit, with stacks too short to suppress, so no leak check.
# The start-up loop measures the plain build's starts under load; here it would
# only measure the sanitizer's slowness.
ASAN_OPTIONS=detect_leaks=0 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900 -L xvfb -E e2e_start_loop

# Threads: the loading thread, the audio callback and the display lock. The soak
# test is left to the other stages (it is slow under this sanitizer).
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEMLODE_TSAN=ON -DGEMLODE_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs"
TSAN_OPTIONS=halt_on_error=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs" --timeout 900 -LE "slow|xvfb|install" -E SoakTest

if [ -f tests/fuzz/CMakeLists.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGEMLODE_FUZZ=ON -DGEMLODE_TESTS=OFF -DGEMLODE_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzz_all
  bash tests/fuzz/run.sh build-fuzz "${GEMLODE_FUZZ_SECONDS:-20}"
fi
