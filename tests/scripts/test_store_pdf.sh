#!/usr/bin/env bash
# quorvo-store export --format pdf, read back by poppler's pdftotext and pdfinfo.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v pdftotext >/dev/null || fail "pdftotext is missing: install poppler-utils (scripts/deps.sh)"

"$tool" generate 300 "$work/QVTSK.DBF" >/dev/null
out=$("$tool" export "$work/QVTSK.DBF" "$work/plain.pdf" --format pdf --title 'Team List')
pages=$(pdfinfo "$work/plain.pdf" | awk '/^Pages:/ { print $2 }')
[ "$out" = "$work/plain.pdf: $pages pages" ] || fail "the tool said '$out' for $pages pages"
[ "$pages" -ge 5 ] || fail "300 tasks on $pages pages"
pdftotext -layout "$work/plain.pdf" "$work/plain.txt"
[ "$(grep -c 'Team List' "$work/plain.txt")" -eq "$pages" ] || fail "the title is not on every page"
grep -q "Page $pages" "$work/plain.txt" || fail "no number on the last page"
grep -q 'Date *Time *Task *Priority *Done' "$work/plain.txt" || fail "no column headings"
if grep -q 'Keywords:' "$work/plain.txt"; then fail "key words printed without --keywords"; fi

# The four options: key words and notes add lines, so more pages; a query narrows the view.
"$tool" export "$work/QVTSK.DBF" "$work/full.pdf" --format pdf --notes --keywords --checkbox --double >/dev/null
full=$(pdfinfo "$work/full.pdf" | awk '/^Pages:/ { print $2 }')
[ "$full" -gt "$pages" ] || fail "notes, key words and double spacing did not add pages ($full <= $pages)"
pdftotext "$work/full.pdf" "$work/full.txt"
grep -q '^Keywords:' "$work/full.txt" || fail "no key-words line"
"$tool" export "$work/QVTSK.DBF" "$work/done.pdf" --format pdf --query 'DONE' --order DESCRIPT >/dev/null
pdftotext -layout "$work/done.pdf" "$work/done.txt"
grep -q 'Yes$' "$work/done.txt" || fail "no done task in a view of done tasks"
grep -qE ' No$' "$work/done.txt" && fail "an open task in a view of done tasks"

if "$tool" export "$work/QVTSK.DBF" "$work/x.pdf" --format pdf --bogus 2>/dev/null; then fail "a bad option was accepted"; fi
if "$tool" export "$work/QVTSK.DBF" "$work/none/x.pdf" --format pdf 2>/dev/null; then fail "an unwritable file was reported written"; fi
exit 0
