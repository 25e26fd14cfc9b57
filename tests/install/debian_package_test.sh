#!/usr/bin/env bash
# Builds the Debian source tree's binary packages as a distribution would
# (dpkg-buildpackage -b, no network, nocheck to leave the tests to ctest) in two
# copies of the tree at different paths with one SOURCE_DATE_EPOCH, and checks:
# - the two builds gave byte-identical .deb files (game and -dbgsym);
# - the game package holds the program, its data and the desktop files, with
#   its dependencies found from the linked libraries;
# - the shipped program is hardened (BIND_NOW, GNU_RELRO, PIE, fortified calls
#   or the stack protector);
# - lintian --display-info reports no error, no warning and no info tag that is
#   not overridden (every override carries its reason).
# The packages and lintian's report are kept in OUT-DIR.
# Usage: debian_package_test.sh SOURCE-DIR OUT-DIR
set -u
source_dir=$(realpath "$1")
out=$2
mkdir -p "$out"
out=$(realpath "$out")
fail() { echo "FAILED: $*"; exit 1; }
for tool in dpkg-buildpackage dh lintian readelf; do
  command -v $tool >/dev/null || { echo "SKIPPED: no $tool (setup.sh installs it)"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The date of the newest changelog entry, as dpkg-buildpackage itself would take.
export SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -STimestamp)
export DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)"

# The tracked and new files, without build folders or local settings.
copy_tree() {
  mkdir -p "$1"
  if git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1; then
    git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
      (cd "$source_dir" && xargs -0 tar -cf - --no-recursion) | tar -xf - -C "$1"
  else
    tar -C "$source_dir" --exclude='./build*' --exclude=./artifacts --exclude=./.git -cf - . |
      tar -xf - -C "$1"
  fi
}

build_in() {
  (cd "$1/gemlode-1.0.0" && dpkg-buildpackage -b -uc -us >"$1/build.log" 2>&1) ||
    { tail -n 30 "$1/build.log"; fail "dpkg-buildpackage in $1"; }
}
# Both copies first: the source may change while the first build runs.
copy_tree "$tmp/first/gemlode-1.0.0"
copy_tree "$tmp/second/a-longer-folder/gemlode-1.0.0"
build_in "$tmp/first"
build_in "$tmp/second/a-longer-folder"

rm -f "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo
cp "$tmp"/first/*.deb "$tmp"/first/*.changes "$tmp"/first/*.buildinfo "$out"/
deb=$(ls "$out"/gemlode_1.0.0-1_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no game package"
ls "$out"/gemlode-dbgsym_1.0.0-1_*.deb >/dev/null 2>&1 || fail "no -dbgsym package"
# On a difference, say which files in the packages differ.
differing_files() {
  mkdir -p "$tmp/one" "$tmp/two"
  dpkg-deb -R "$1" "$tmp/one" && dpkg-deb -R "$2" "$tmp/two" && diff -rq "$tmp/one" "$tmp/two"
}
for f in "$tmp"/first/*.deb; do
  other=$tmp/second/a-longer-folder/$(basename "$f")
  cmp -s "$f" "$other" || { differing_files "$f" "$other"; fail "$(basename "$f") differs between two builds"; }
done

contents=$(dpkg-deb --contents "$deb") || fail "dpkg-deb --contents"
for f in ./usr/games/gemlode ./usr/share/gemlode/images/gemsheet6.png \
  ./usr/share/gemlode/data/diff.txt ./usr/share/applications/com.zandrel.Gemlode.desktop \
  ./usr/share/metainfo/com.zandrel.Gemlode.metainfo.xml ./usr/share/man/man6/gemlode.6.gz \
  ./usr/share/doc/gemlode/copyright; do
  grep -q " $f\$" <<<"$contents" || fail "not in the package: $f"
done
for lib in libsdl2 libcurl4; do
  grep -q "$lib" <<<"$(dpkg-deb --field "$deb" Depends)" || fail "Depends lacks $lib"
done
# The font strips keep the game's own names, never a Reserved Font Name.
grep -iE 'dosis|comfortaa' <<<"$contents" && fail "a Reserved Font Name is used for a file"

dpkg-deb -x "$deb" "$tmp/root"
"$(dirname "$0")/hardening_check.sh" "$tmp/root/usr/games/gemlode" || fail "hardening"

lintian --display-info --info "$out"/gemlode_1.0.0-1_*.changes >"$out/lintian.txt" 2>&1
if grep -E '^[EWI]: ' "$out/lintian.txt"; then
  fail "lintian tags above (report in $out/lintian.txt)"
fi
# Every override follows its reason: a comment block, ended by a blank line.
for file in "$source_dir"/debian/*lintian-overrides; do
  awk '/^#/ {reason = 1; next} /^[[:space:]]*$/ {reason = 0; next}
       !reason {print FILENAME ": " $0; bad = 1} END {exit bad}' "$file" ||
    fail "an override without its reason"
done
echo "packages in $out; identical in two build folders; lintian clean"
exit 0
