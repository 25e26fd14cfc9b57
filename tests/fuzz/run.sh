#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a few seconds each.
# Usage: run.sh BUILD-DIR SECONDS. Fails on the first finding.
set -euo pipefail
build=$1
seconds=$2
status=0
for target in "$build"/tests/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  corpus=$(mktemp -d)
  echo "fuzzing $(basename "$target") for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 \
      -artifact_prefix="$corpus/" \
      "$corpus" >"$corpus.log" 2>&1; then
    tail -n 40 "$corpus.log"
    status=1
  fi
  rm -rf "$corpus" "$corpus.log"
done
[ $status -eq 0 ] && echo "fuzzing: no findings"
exit $status
