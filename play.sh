#!/usr/bin/env bash
# Sets up what is missing, builds Gemlode and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target gemlode
exec ./build/game/gemlode
