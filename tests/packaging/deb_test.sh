#!/usr/bin/env bash
# Builds the Debian package, checks it as a distribution would (lintian, appstreamcli),
# unpacks it into a scratch root and runs the command line and its completion from there.
# Usage: deb_test.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in dpkg-shlibdeps:dpkg-dev lintian:lintian appstreamcli:appstream; do
  command -v "${tool%%:*}" >/dev/null 2>&1 || { echo "SKIP: ${tool%%:*} is missing (Debian package ${tool#*:})"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; exit 1; }
deb=$(ls "$scratch"/out/*.deb)
info=$(dpkg-deb -I "$deb")
fail() { echo "FAIL: $*"; echo "$info"; exit 1; }
grep -q '^ Package: vtq$' <<<"$info" || fail "package name"
depends=$(grep '^ Depends:' <<<"$info") || fail "no Depends line"
for lib in fonts-liberation2 libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 libstdc++6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
# Errors and warnings fail; the overrides, each with its reason, are in the package.
lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian"
dpkg-deb -x "$deb" "$scratch/root"
share=$scratch/root/usr/share
for f in usr/bin/vtq-cli usr/bin/vtq usr/share/applications/vtq.desktop usr/share/mime/packages/vtq.xml \
  usr/share/icons/hicolor/{scalable/apps/vtq.svg,48x48/apps/vtq.png,256x256/apps/vtq.png} \
  usr/share/man/man1/{vtq,vtq-cli}.1.gz usr/share/vtq/help/contents.html; do
  [ -e "$scratch/root/$f" ] || fail "the package lacks $f"
done
ls "$scratch"/root/usr/lib*/vtq/help/contents.html >/dev/null 2>&1 || fail "the help is not beside the program"
appstreamcli validate --no-net "$share"/metainfo/*.metainfo.xml || fail "appstreamcli validate"
zgrep -q '^\.SS "vtq\\-cli design' "$share/man/man1/vtq-cli.1.gz" || fail "vtq-cli.1 lacks the design command"
# The page as man shows it once installed: every exit status of the one rule.
if command -v man >/dev/null 2>&1; then
  page=$(MANWIDTH=80 man -l "$share/man/man1/vtq-cli.1.gz" 2>/dev/null) || fail "man cannot show vtq-cli.1"
  statuses=$(sed -n '/^EXIT STATUS/,/^[A-Z]/p' <<<"$page" | grep -cE '^ {7}[0-4]( |$)')
  [ "$statuses" = 5 ] || fail "vtq-cli.1 explains $statuses exit statuses, not 0 to 4"
fi
# What the completion offers after the words given.
offers() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _vtq_cli; echo "${COMPREPLY[*]}"' \
    _ "$share/bash-completion/completions/vtq-cli" vtq-cli "$@"
}
[ "$(offers de)" = design ] || fail "completion of a command: $(offers de)"
[ "$(offers report --date 01-01-2026 --p)" = --pdf ] || fail "completion of an option: $(offers report --p)"
[ "$(offers design --mode i)" = "inductance impedance" ] || fail "completion of a choice: $(offers design --mode i)"
[ "$(offers save --core 2)" = "2 20 21 22 23 24" ] || fail "completion of a range: $(offers save --core 2)"
out=$("$scratch/root/usr/bin/vtq-cli" design --current 2)
grep -q '^Core Number  *QN-80111-KX$' <<<"$out" || { echo "$out"; fail "vtq-cli from the package"; }
"$scratch/root/usr/bin/vtq-cli" table --pdf "$scratch/table.pdf" >/dev/null || fail "vtq-cli --pdf from the package"
echo "PASS: $(basename "$deb") passes lintian and installs the programs, help, manual pages, completion and desktop files"
