#!/usr/bin/env bash
# Checks that a game package recommends libcurl at the version the update check
# needs (7.85.0: curl_easy_header, CURLOPT_PROTOCOLS_STR) and xdg-utils.
# Usage: recommends_check.sh PACKAGE.deb
set -u
recommends=$(dpkg-deb --field "$1" Recommends)
for entry in 'libcurl4 (>= 7.85.0)' 'xdg-utils'; do
  grep -qF "$entry" <<<"$recommends" || { echo "FAILED: Recommends lacks $entry: $recommends"; exit 1; }
done
