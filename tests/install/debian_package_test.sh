#!/usr/bin/env bash
# Builds the Debian packages as an archive would: a source package made from
# the tree (an .orig tarball without debian/), unpacked twice at different paths
# and built with one SOURCE_DATE_EPOCH, offline (loopback only), unprivileged,
# with an emptied environment; the second build runs the package's test step
# (on TEST-FOLDERS, comma-separated, or all). Then it checks that the tests all
# passed and it said what it left out; that both builds gave identical .deb
# files; the game package's contents, dependencies and hardening, and no test
# controller in it; and that lintian --display-info, on the source and binary
# packages, reports no tag that is not overridden with its reason.
# The packages and lintian's report are kept in OUT-DIR.
# Usage: debian_package_test.sh SOURCE-DIR OUT-DIR [TEST-FOLDERS]
set -u
source_dir=$(realpath "$1")
out=$2
test_folders=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
out=$(realpath "$out")
fail() { echo "FAILED: $*"; exit 1; }
for tool in dpkg-buildpackage dpkg-source dh lintian readelf unshare ip; do
  command -v $tool >/dev/null || { echo "SKIPPED: no $tool (setup.sh installs it)"; exit 77; }
done

tmp=$(mktemp -d)
chmod 755 "$tmp"
trap 'rm -rf "$tmp"' EXIT
# The date of the newest changelog entry, as dpkg-buildpackage itself would take.
epoch=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -STimestamp)
upstream=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -SVersion | sed 's/-[^-]*$//')
tree=gemlode-$upstream

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

copy_tree "$tmp/source/$tree"
tar -C "$tmp/source" --exclude="$tree/debian" --sort=name --mtime="@$epoch" --owner=0 --group=0 \
  --numeric-owner -cJf "$tmp/source/gemlode_$upstream.orig.tar.xz" "$tree"
(cd "$tmp/source" && dpkg-source -b "$tree" >"$tmp/source.log" 2>&1) ||
  { cat "$tmp/source.log"; fail "dpkg-source -b"; }
dsc=$(ls "$tmp"/source/gemlode_*.dsc)

# The builder: no network but the loopback interface, no root, an environment
# of its own (no proxy, no display).
if [ "$(id -u)" = 0 ]; then
  offline=(unshare -n) builder=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  as_builder() { chown -R 65534:65534 "$@"; }
else
  unshare -rn true 2>/dev/null || { echo "SKIPPED: needs root or user namespaces"; exit 77; }
  offline=(unshare -rn) builder=(unshare --map-user="$(id -u)" --map-group="$(id -g)")
  as_builder() { :; }
fi
offline+=(-- sh -c 'ip link set lo up && exec "$@"' offline)
# build_in FOLDER DEB_BUILD_OPTIONS: unpacks the source package there and builds it.
build_in() {
  mkdir -p "$1/home"
  dpkg-source -x "$dsc" "$1/$tree" >/dev/null || fail "dpkg-source -x into $1"
  as_builder "$1"
  "${offline[@]}" "${builder[@]}" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME="$1/home" LC_ALL=C.UTF-8 \
    SOURCE_DATE_EPOCH="$epoch" DEB_BUILD_OPTIONS="$2" \
    sh -c 'cd "$1" && exec dpkg-buildpackage -b -uc -us' build "$1/$tree" >"$1/build.log" 2>&1 ||
    { tail -n 40 "$1/build.log"; fail "dpkg-buildpackage in $1"; }
}
jobs="parallel=$(nproc)"
build_in "$tmp/first" "nocheck $jobs"
build_in "$tmp/second/a-longer-folder" "$jobs${test_folders:+ gemlode-tests=$test_folders}"

log=$tmp/second/a-longer-folder/build.log
grep -q "^Not run here: the window tests" "$log" || fail "the test step did not say what it left out"
cp "$log" "$out/build-with-tests.log"
grep -qE "^100% tests passed, 0 tests failed out of [1-9]" "$log" ||
  fail "the package's tests did not all pass (or none ran): $(grep -E "tests failed out of" "$log")"

rm -f "$out"/gemlode*.deb "$out"/*.changes "$out"/*.buildinfo "$out"/*.dsc "$out"/*.tar.*
cp "$tmp"/first/*.deb "$tmp"/first/*.changes "$tmp"/first/*.buildinfo "$tmp"/source/gemlode_* "$out"/
deb=$(ls "$out"/gemlode_"$upstream"-*_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no game package"
ls "$out"/gemlode-dbgsym_*.deb >/dev/null 2>&1 || fail "no -dbgsym package"
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
depends=$(dpkg-deb --field "$deb" Depends)
grep -q libsdl2 <<<"$depends" || fail "Depends lacks libsdl2: $depends"
grep -q curl <<<"$depends" && fail "Depends names libcurl, which the game runs without: $depends"
"$here/recommends_check.sh" "$deb" || fail "Recommends"
# The font strips keep the game's own names, never a Reserved Font Name.
grep -iE 'dosis|comfortaa' <<<"$contents" && fail "a Reserved Font Name is used for a file"

dpkg-deb -x "$deb" "$tmp/root"
grep -qa GEMLODE_TEST_PAD_FIFO "$tmp/root/usr/games/gemlode" && fail "the test controller is in the package"
"$here/hardening_check.sh" "$tmp/root/usr/games/gemlode" || fail "hardening"

lintian --display-info --info "$out"/gemlode_*.dsc "$out"/gemlode_*.changes >"$out/lintian.txt" 2>&1
if grep -E '^[EWI]: ' "$out/lintian.txt"; then
  fail "lintian tags above (report in $out/lintian.txt)"
fi
# Every override follows its reason: a comment block, ended by a blank line.
for file in "$source_dir"/debian/*lintian-overrides "$source_dir"/debian/source/lintian-overrides; do
  [ -f "$file" ] || continue
  awk '/^#/ {reason = 1; next} /^[[:space:]]*$/ {reason = 0; next}
       !reason {print FILENAME ": " $0; bad = 1} END {exit bad}' "$file" ||
    fail "an override without its reason"
done
echo "packages in $out; identical in two build folders; lintian clean"
exit 0
