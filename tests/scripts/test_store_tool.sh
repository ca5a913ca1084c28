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

# Tag orders: every record not flagged deleted, each tag's keys ascending.
"$tool" info "$work/QVTSK.DBF" | grep -q '^flags: *0x1' || fail "the header does not flag the index"
bydate=$("$tool" list "$work/QVTSK.DBF" --order datetime | wc -l)
[ "$bydate" -eq 2000 ] || fail "the DATETIME order lists $bydate records"
"$tool" list "$work/QVTSK.DBF" --order DATETIME | awk '{ print $2 }' | grep -v '^|' | sort -c \
    || fail "the DATETIME order is not in date order"
ordered=$("$tool" list "$work/QVTSK.DBF" --order KEYS --query 'DONE' | cut -d' ' -f1 | sort -n | tr '\n' ' ')
plain=$("$tool" list "$work/QVTSK.DBF" --query 'DONE' | cut -d' ' -f1 | tr '\n' ' ')
[ "$ordered" = "$plain" ] || fail "an order with a query lists other records than the query alone"
if "$tool" list "$work/QVTSK.DBF" --order NOSUCH 2>/dev/null; then fail "an unknown tag was accepted"; fi
"$tool" reindex "$work/QVTSK.DBF" | grep -q '5 tags rebuilt' || fail "reindex did not rebuild five tags"
"$tool" check "$work/QVTSK.DBF" >/dev/null || fail "a reindexed table does not check"

# A record changed behind the index's back (as a tool without index upkeep would): check names it.
cp "$work/QVTSK.DBF" "$work/saved.dbf"
printf '19000101' | dd of="$work/QVTSK.DBF" bs=1 seek=$((257 + 136 * 2 + 1)) conv=notrunc status=none
if "$tool" check "$work/QVTSK.DBF" 2>"$work/err"; then fail "a stale index was not found"; fi
grep -q 'tag DATETIME: record 3 has key' "$work/err" || fail "stale key not named: $(cat "$work/err")"
"$tool" reindex "$work/QVTSK.DBF" >/dev/null && "$tool" check "$work/QVTSK.DBF" >/dev/null || fail "reindex did not mend it"
cp "$work/saved.dbf" "$work/QVTSK.DBF"
"$tool" reindex "$work/QVTSK.DBF" >/dev/null

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
