#!/usr/bin/env bash
# quorvo-store end to end: generate, info, list with a query, check, damage, pack.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$tool" generate 2000 "$work/QVTSK.DBF" >/dev/null
"$tool" info "$work/QVTSK.DBF" | grep -q '^records: *2000 ' || fail "info does not count 2000 records"
"$tool" check "$work/QVTSK.DBF" >/dev/null || fail "a generated table does not check"

all=$("$tool" list "$work/QVTSK.DBF" | wc -l)
[ "$all" -eq 2000 ] || fail "list printed $all lines"
"$tool" list "$work/QVTSK.DBF" | awk '$1 != NR { exit 1 }' || fail "list lines do not start with the record number"
open=$("$tool" list "$work/QVTSK.DBF" --query '.not. DONE' | wc -l)
done_=$("$tool" list "$work/QVTSK.DBF" --query 'DONE' | wc -l)
[ $((open + done_)) -eq 2000 ] || fail "open $open + done $done_ is not 2000"
[ "$done_" -gt 500 ] && [ "$done_" -lt 850 ] || fail "about a third should be done, got $done_"
notes=$("$tool" list "$work/QVTSK.DBF" | grep -c '\\r\\n' || true)
[ "$notes" -gt 100 ] || fail "too few multi-line notes: $notes"

# A bad query fails with one line on stderr naming the position.
if "$tool" list "$work/QVTSK.DBF" --query 'DONE .and. (' 2>"$work/err"; then fail "bad query accepted"; fi
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "bad query: not one line of error"
grep -q 'position' "$work/err" || fail "bad query error does not name the position"

# Damage: a deleted flag that is neither blank nor '*'.
cp "$work/QVTSK.DBF" "$work/saved.dbf"
printf 'X' | dd of="$work/QVTSK.DBF" bs=1 seek=$((257 + 136 * 4)) conv=notrunc status=none
if "$tool" check "$work/QVTSK.DBF" 2>"$work/err"; then fail "damage not found"; fi
grep -q 'record 5 has deleted flag' "$work/err" || fail "damage not named: $(cat "$work/err")"
cp "$work/saved.dbf" "$work/QVTSK.DBF"

# Pack keeps every record not flagged deleted.
printf '*' | dd of="$work/QVTSK.DBF" bs=1 seek=$((257 + 136 * 9)) conv=notrunc status=none
"$tool" pack "$work/QVTSK.DBF" | grep -q '2000 records, 1999 kept' || fail "pack did not drop one record"
"$tool" check "$work/QVTSK.DBF" >/dev/null || fail "packed table does not check"

if "$tool" info "$work/missing.dbf" 2>/dev/null; then fail "a missing file gave success"; fi
echo "quorvo-store: all checks passed"
