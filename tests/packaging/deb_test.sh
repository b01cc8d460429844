#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and runs the command line from there.
# Usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
if ! command -v dpkg-shlibdeps >/dev/null 2>&1; then
  echo "SKIP: dpkg-shlibdeps is missing (Debian package dpkg-dev)"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
info=$(dpkg-deb -I "$deb")
fail() { echo "FAIL: $*"; echo "$info"; exit 1; }
grep -q '^ Package: vtq$' <<<"$info" || fail "package name"
depends=$(grep '^ Depends:' <<<"$info") || fail "no Depends line"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libstdc++6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
dpkg-deb -x "$deb" "$scratch/root"
for f in usr/bin/vtq-cli usr/bin/vtq usr/share/applications/vtq.desktop usr/share/mime/packages/vtq.xml \
  usr/share/icons/hicolor/scalable/apps/vtq.svg; do
  [ -e "$scratch/root/$f" ] || fail "the package lacks $f"
done
ls "$scratch"/root/usr/lib*/vtq/help/*.html >/dev/null 2>&1 || fail "the package lacks the help document"
out=$("$scratch/root/usr/bin/vtq-cli" design --current 2)
grep -q '^Core Number  *QN-80111-KX$' <<<"$out" || { echo "$out"; fail "vtq-cli from the package"; }
"$scratch/root/usr/bin/vtq-cli" table --pdf "$scratch/table.pdf" >/dev/null || fail "vtq-cli --pdf from the package"
echo "PASS: $(basename "$deb") installs the program, the command line, help, menu entry, icon and file type"
