#!/usr/bin/env bash
# MAS files from vtq-cli: valid against the schemas, read back into the same design, and a
# file from elsewhere or a broken one answered in words.
# Usage: mas_test.sh VTQ_CLI
set -euo pipefail
cli=$1
here=$(dirname "$0")
if ! python3 -c 'import jsonschema' 2>/dev/null; then
  echo "SKIP: python3 cannot import jsonschema (Debian package python3-jsonschema)"
  exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

designs=(
  "--current 2"
  "--mode impedance --main 100 --current 2 --units mm --density 300"
  "--mode voltage --main 120 --current 2 --material P"
  "--mode voltage --main 20 --current 3 --material S --frequency 150000"
  "--mode impedance --main 1000 --material N"
  "--material R --main 0.5 --current 1"
  "--mode impedance --main 100 --current 2 --core 12"
)
files=()
for i in "${!designs[@]}"; do
  # shellcheck disable=SC2086
  "$cli" export --mas ${designs[$i]} >"$scratch/$i.json" || fail "export ${designs[$i]}"
  files+=("$scratch/$i.json")
done
python3 "$here/validate_mas.py" "${files[@]}" || fail "a MAS file does not validate"

# Read back with the display choices MAS has no room for, each design is the one written.
for i in 0 1 2 3 4 5; do
  d=${designs[$i]}
  extra=$(grep -oE -- '--(units|density) [^ ]+' <<<"$d" | tr '\n' ' ' || true)
  # shellcheck disable=SC2086
  "$cli" import --mas "$scratch/$i.json" --json $extra >"$scratch/back" || fail "import of: $d"
  # shellcheck disable=SC2086
  "$cli" design $d --json | cmp -s - "$scratch/back" || fail "read back differs from: $d"
done
# A chosen core is not a requirement: the file reads back as the automatic design of its inputs.
"$cli" import --mas "$scratch/6.json" --json | cmp -s - <("$cli" design --mode impedance --main 100 --current 2 --json) ||
  fail "the chosen core's file"

# Only what MAS requires of a common-mode choke: an impedance at a frequency, a current.
cat >"$scratch/foreign.json" <<'JSON'
{"inputs": {"designRequirements": {"magnetizingInductance": {"minimum": 0.001}, "turnsRatios": [],
  "minimumImpedance": [{"frequency": 20000, "impedance": {"magnitude": 250}}]},
 "operatingPoints": [{"conditions": {"ambientTemperature": 40}, "excitationsPerWinding": [
  {"frequency": 50, "current": {"processed": {"label": "sinusoidal", "offset": 0, "peak": 4.2, "rms": 3}}}]}]}}
JSON
"$cli" import --mas "$scratch/foreign.json" --json | cmp -s - <("$cli" design --mode impedance --main 250 --current 3 --frequency 20000 --json) ||
  fail "a file from another tool"

printf '' >"$scratch/empty.json"
printf '{"inputs": {}}' >"$scratch/bare.json"
sed -E 's/"(operatingCurrent|rms)": [0-9.e+-]+/"\1": "2"/' "$scratch/1.json" >"$scratch/nocurrent.json"
for f in empty:"it is not JSON" bare:"it states no operating current" nocurrent:"it states no operating current"; do
  status=0
  "$cli" import --mas "$scratch/${f%%:*}.json" 2>"$scratch/err" >/dev/null || status=$?
  # As open answers a file that is no design file: bad input.
  [ "$status" = 2 ] && grep -q "${f#*:}" "$scratch/err" || fail "${f%%:*}: status $status, $(cat "$scratch/err")"
done
status=0
"$cli" export --mas --main 100000 2>"$scratch/err" >/dev/null || status=$?
[ "$status" = 3 ] && grep -q "no winding" "$scratch/err" || fail "a design too large was written"
echo "PASS: ${#files[@]} MAS files valid, read back into their designs; bad files answered"
