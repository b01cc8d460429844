#!/usr/bin/env bash
# vtq-cli starts without the toolkit and loads the PDF writer only to write a PDF: what it
# links, a page written and read back, and the failures said in words.
# Usage: pdf_module_test.sh VTQ_CLI
set -euo pipefail
cli=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

if readelf -d "$cli" | grep -i 'NEEDED.*qt'; then fail "vtq-cli links the toolkit"; fi

"$cli" table --pdf "$scratch/table.pdf" >"$scratch/out" || fail "table --pdf: $(cat "$scratch/out")"
head -c 5 "$scratch/table.pdf" | grep -q '%PDF-' || fail "table --pdf wrote no PDF"
if command -v pdftotext >/dev/null; then
  pdftotext "$scratch/table.pdf" - | grep -q 'Ferrite Core Data' || fail "the PDF lacks the table's title"
fi

# A folder that is not there, then a copy of the program without the module beside it.
status=0
"$cli" report --pdf "$scratch/none/r.pdf" 2>"$scratch/err" || status=$?
[ "$status" = 1 ] && grep -q "cannot write $scratch/none/r.pdf" "$scratch/err" || fail "missing folder: $(cat "$scratch/err")"
cp "$cli" "$scratch/vtq-cli"
status=0
"$scratch/vtq-cli" table --pdf "$scratch/t.pdf" 2>"$scratch/err" || status=$?
[ "$status" = 1 ] && grep -q "vtq-pdf.so is not installed" "$scratch/err" || fail "no module: $(cat "$scratch/err")"
"$scratch/vtq-cli" design --json >/dev/null || fail "design needs the module"
echo "PASS: vtq-cli links no toolkit and writes PDFs through its module"
