#!/usr/bin/env bash
# Builds the Debian package with CPack (twice: the same bytes with one
# SOURCE_DATE_EPOCH) and checks it with dpkg-deb: its control
# fields (name, version, section, dependencies found from the linked libraries,
# libcurl recommended with the version the update check needs)
# and that it holds the program, the data, the desktop files and the manual.
# The package is kept in OUT-DIR for lintian or a person to look at.
# Usage: package_test.sh BUILD-DIR VERSION OUT-DIR
set -u
build=$(realpath "$1")
version=$2
out=$3
mkdir -p "$out"
out=$(realpath "$out")
fail() { echo "FAILED: $*"; exit 1; }

# Packaged twice with one SOURCE_DATE_EPOCH, a second apart: the same bytes.
export SOURCE_DATE_EPOCH=1796688000
for run in first second; do
  rm -f "$out"/gemlode_*.deb
  (cd "$out" && cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1) ||
    { tail -n 20 "$out/cpack.log"; fail "cpack"; }
  deb=$(ls "$out"/gemlode_"$version"_*.deb 2>/dev/null | head -n 1)
  [ -n "$deb" ] || fail "no gemlode_${version}_*.deb in $out"
  [ $run = first ] && { cp "$deb" "$out/first.deb"; sleep 1; }
done
cmp "$out/first.deb" "$deb" || fail "packaging twice gave different files"
rm -f "$out/first.deb"

info=$(dpkg-deb --info "$deb") || fail "dpkg-deb --info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = gemlode ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
depends=$(field Depends)
for lib in libc6 libsdl2 libpng16 libjpeg62-turbo libsndfile1 libopenmpt0 libfreetype6 \
  libfontconfig1 fonts-dejavu-core; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
grep -q curl <<<"$depends" && fail "Depends names libcurl, which the game runs without: $depends"
"$(dirname "$0")/recommends_check.sh" "$deb" || fail "Recommends"
grep -q "Installed-Size:" <<<"$info" || fail "no Installed-Size"

contents=$(dpkg-deb --contents "$deb") || fail "dpkg-deb --contents"
for f in ./usr/games/gemlode ./usr/share/gemlode/images/gemsheet6.png \
  ./usr/share/gemlode/sounds/ ./usr/share/gemlode/music/ ./usr/share/gemlode/data/diff.txt \
  ./usr/share/gemlode/resources/IDI_MAIN_ICON.png \
  ./usr/share/applications/com.zandrel.Gemlode.desktop \
  ./usr/share/metainfo/com.zandrel.Gemlode.metainfo.xml \
  ./usr/share/icons/hicolor/32x32/apps/com.zandrel.Gemlode.png \
  ./usr/share/man/man6/gemlode.6.gz ./usr/share/doc/gemlode/copyright; do
  grep -q " $f\$" <<<"$contents" || fail "not in the package: $f"
done
grep -q "^-rwxr-xr-x root/root .* ./usr/games/gemlode$" <<<"$contents" ||
  fail "program not root-owned 0755"
grep -q "^d.....w" <<<"$contents" && fail "group-writable folders"
echo "package $deb"
echo "Depends: $depends"
exit 0
