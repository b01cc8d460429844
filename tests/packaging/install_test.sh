#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop needs to offer the
# program and open ".vtq" files with it: the program, its help, a valid menu entry, the
# icon and a file type that the shared MIME database maps "*.vtq" to.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "packaging: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
[ -x "$prefix/bin/vtq" ] || fail "bin/vtq is missing"
[ -x "$prefix/bin/vtq-cli" ] || fail "bin/vtq-cli is missing"
find "$prefix" -path '*/vtq/help/*.html' | grep -q . || fail "the help document is missing"
"$prefix/bin/vtq-cli" table --pdf "$prefix/table.pdf" >/dev/null || fail "the installed vtq-cli writes no PDF"
desktop=$share/applications/vtq.desktop
[ -f "$desktop" ] || fail "the menu entry is missing"
[ -f "$share/icons/hicolor/scalable/apps/vtq.svg" ] || fail "the icon is missing"
grep -qx 'Exec=vtq %f' "$desktop" || fail "the menu entry does not pass the file to vtq"
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$desktop")
[ -n "$type" ] || fail "the menu entry names no file type"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "the menu entry is not valid"
fi
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
  grep -q "^[0-9]*:$type:\*\.vtq" "$share/mime/globs2" || fail "*.vtq does not map to $type"
else
  grep -q "type=\"$type\"" "$share/mime/packages/vtq.xml" || fail "the file type $type is not defined"
fi
echo "packaging: installed and checked under $prefix"
