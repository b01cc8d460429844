#!/usr/bin/env bash
# The programs as a shell meets them: output that cannot be written, a file-size limit,
# standard input and output as files, and the desktop program without a display.
# Usage: streams_test.sh BUILD_DIR
set -uo pipefail
build=$1
cli=$build/src/cli/vtq-cli
vtq=$build/src/app/vtq
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# expect STATUS TEXT-ON-STDERR COMMAND...: runs the command and checks its status and message.
expect() {
  local status=$1 says=$2
  shift 2
  # Messages through a pipe: under a file-size limit they could not reach a file.
  "$@" 2>&1 >"$scratch/out" | cat >"$scratch/err"
  local got=${PIPESTATUS[0]}
  [ "$got" -eq "$status" ] || fail "$* exited $got, not $status: $(cat "$scratch/err")"
  [ -z "$says" ] || grep -qF -- "$says" "$scratch/err" || fail "$* did not say '$says': $(cat "$scratch/err")"
}

expect 1 "could not write the output: the disk is full" sh -c "'$cli' table >/dev/full"

mkdir "$scratch/limited"
for cmd in "save $scratch/limited/d.vtq" "table --pdf $scratch/limited/t.pdf"; do
  # shellcheck disable=SC2086
  expect 1 "larger than allowed" sh -c "ulimit -f 0; exec '$cli' $cmd"
  [ -z "$(ls -A "$scratch/limited")" ] || fail "$cmd left $(ls -A "$scratch/limited")"
done

"$cli" save - --current 2 | "$cli" open - >"$scratch/out" 2>&1
grep -q '^Core Number  *QN-80111-KX$' "$scratch/out" || fail "save - | open -: $(cat "$scratch/out")"

expect 0 "" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vtq" --help
grep -q '^Usage: vtq \[options\] \[file\]$' "$scratch/out" || fail "vtq --help: $(cat "$scratch/out")"
expect 0 "" env -u DISPLAY "$vtq" --version
grep -q '^vtq [0-9]' "$scratch/out" || fail "vtq --version: $(cat "$scratch/out")"

expect 1 "could not write the output" sh -c "'$vtq' --version >/dev/full"
# No display, or one that cannot be reached: said in a line, with status 1, instead of the
# toolkit's abort and its advice to reinstall.
for display in "-u DISPLAY" "DISPLAY=:7391"; do
  # shellcheck disable=SC2086
  expect 1 "vtq-cli computes the same designs without one" timeout 30 env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $display "$vtq"
  [ "$(wc -l <"$scratch/err")" = 1 ] || fail "vtq with $display: $(cat "$scratch/err")"
done

# A PDF to standard output is the PDF alone; what was written is said on the error stream.
expect 0 "Table of cores written to standard output" "$cli" table --pdf -
[ "$(head -c 5 "$scratch/out")" = "%PDF-" ] || fail "table --pdf -: $(head -c 40 "$scratch/out")"

"$cli" export --mas --current 2 | "$cli" import --mas - >"$scratch/out" 2>&1
grep -q '^Core Number  *QN-80111-KX$' "$scratch/out" || fail "export --mas | import --mas -: $(cat "$scratch/out")"

[ "$failures" -eq 0 ] && echo "PASS: stream faults, file-size limit and vtq's options"
exit $((failures > 0))
