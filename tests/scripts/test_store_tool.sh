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

# The tags' condition is written in the form every engine of the family compiles.
"$tool" reindex "$work/QVTSK.DBF" >/dev/null
[ "$(grep -ao '!Deleted()' "$work/QVTSK.CDX" | wc -l)" -eq 5 ] || fail "not five tags with !Deleted()"
! grep -aq 'not Deleted()' "$work/QVTSK.CDX" || fail "a tag still has not Deleted()"

# list prints UTF-8 for the table's Windows-1252 bytes.
cp "$work/QVTSK.DBF" "$work/saved.dbf"
printf 'Caf\xe9 \x80' | dd of="$work/QVTSK.DBF" bs=1 seek=$((257 + 1 + 8 + 5)) conv=notrunc status=none
"$tool" list "$work/QVTSK.DBF" | sed -n 1p | grep -q 'Café €' || fail "list does not print UTF-8"
cp "$work/saved.dbf" "$work/QVTSK.DBF"

# reindex builds a fresh index whatever the old one's state, and check then passes.
for damage in header freelist cut missing; do
    case $damage in
    header) printf 'garbage!' | dd of="$work/QVTSK.CDX" bs=1 seek=0 conv=notrunc status=none ;;
    freelist) printf '\x23\x01\x00\x00' | dd of="$work/QVTSK.CDX" bs=1 seek=4 conv=notrunc status=none ;;
    cut) truncate -s 1500 "$work/QVTSK.CDX" ;;
    missing) rm "$work/QVTSK.CDX" ;;
    esac
    if [ $damage != missing ] && "$tool" check "$work/QVTSK.DBF" >/dev/null 2>&1; then
        fail "index damage ($damage) not found"
    fi
    if [ $damage = header ] || [ $damage = cut ]; then
        refusal=$("$tool" list "$work/QVTSK.DBF" 2>&1 >/dev/null) && fail "a damaged index ($damage) was read"
        grep -qF "quorvo-store reindex $work/QVTSK.DBF" <<<"$refusal" ||
            fail "a damaged index ($damage) is refused without saying how to mend it: $refusal"
    fi
    "$tool" reindex "$work/QVTSK.DBF" | grep -q '5 tags rebuilt' || fail "reindex failed on damage ($damage)"
    "$tool" check "$work/QVTSK.DBF" >/dev/null || fail "reindex did not mend damage ($damage)"
    [ ! -e "$work/QVTSK.CDX.new" ] || fail "reindex left its new file behind ($damage)"
done

# Memo damage: writes are refused elsewhere (engine tests); here check finds it and repair mends it,
# keeping every note that can still be read.
notes() { "$tool" list "$work/QVTSK.DBF" | sed 's/^[0-9]* *//' | awk -F' [|] ' '{ print $4 }'; }
notes >"$work/notes.before"
cp "$work/QVTSK.FPT" "$work/saved.fpt"
python3 - "$work/QVTSK.FPT" <<'PY'
import struct, sys
with open(sys.argv[1], 'r+b') as f:
    next_free = struct.unpack('>I', f.read(4))[0]
    f.seek(0)
    f.write(struct.pack('>I', next_free - 1))
PY
if "$tool" check "$work/QVTSK.DBF" >/dev/null 2>&1; then fail "a short next-free block checks"; fi
"$tool" repair "$work/QVTSK.DBF" >"$work/out" || fail "repair failed: $(cat "$work/out")"
! grep -q 'could not be read' "$work/out" || fail "repair lost a note of a sound file"
"$tool" check "$work/QVTSK.DBF" >/dev/null || fail "a repaired table does not check"
notes | diff -q - "$work/notes.before" >/dev/null || fail "repair changed a note"
cmp -s "$work/QVTSK.FPT.bak" "$work/QVTSK.FPT" && fail "repair wrote no new memo file"
size=$(stat -c %s "$work/QVTSK.FPT")
truncate -s $((size - 1000)) "$work/QVTSK.FPT"
if "$tool" check "$work/QVTSK.DBF" >/dev/null 2>&1; then fail "a cut memo file checks"; fi
"$tool" repair "$work/QVTSK.DBF" >"$work/out" || fail "repair of a cut memo file failed"
grep -q 'the note of record [0-9]* could not be read' "$work/out" || fail "repair named no lost note"
"$tool" check "$work/QVTSK.DBF" >/dev/null || fail "a repaired cut table does not check"
lost=$(grep -c 'could not be read' "$work/out")
changed=$(notes | diff "$work/notes.before" - | grep -c '^>' || true)
[ "$changed" -eq "$lost" ] || fail "$changed notes changed, $lost reported lost"

# Right after a crash: check sees the files as the next open's rollback will leave them, writing nothing;
# a command that writes does the rollback.
cp "$work/QVTSK.DBF" "$work/sound.dbf"
printf '*' | dd of="$work/QVTSK.DBF" bs=1 seek=$((257 + 136 * 2)) conv=notrunc status=none
python3 - "$work/QVTSK.DBF" "$work/QVTSK.JNL" $((257 + 136 * 2)) <<'PY'
import os, struct, sys
dbf, journal, offset = sys.argv[1], sys.argv[2], int(sys.argv[3])
payload = bytes([1, 0]) + struct.pack('<Q', os.path.getsize(dbf))
payload += struct.pack('<I', 1) + bytes([0]) + struct.pack('<QI', offset, 1) + b' '
mask = (1 << 64) - 1
h = 0xcbf29ce484222325
whole = len(payload) // 8 * 8
for i in range(0, whole, 8):
    h = ((h ^ struct.unpack('<Q', payload[i:i + 8])[0]) * 0x100000001b3) & mask
    h ^= h >> 29
for b in payload[whole:]:
    h = ((h ^ b) * 0x100000001b3) & mask
with open(journal, 'wb') as f:
    f.write(b'QVJNL\x01\0\0' + struct.pack('<II', len(payload), (h ^ (h >> 32)) & 0xFFFFFFFF) + payload)
PY
cp "$work/QVTSK.DBF" "$work/crashed.dbf"
"$tool" check "$work/QVTSK.DBF" >"$work/out" || fail "check after a crash: $(cat "$work/out")"
grep -q 'an interrupted change will be rolled back at the next open' "$work/out" || fail "check did not see the journal"
cmp -s "$work/QVTSK.DBF" "$work/crashed.dbf" || fail "check wrote to the table"
[ -s "$work/QVTSK.JNL" ] || fail "check spent the journal"
"$tool" list "$work/QVTSK.DBF" | sed -n 3p | grep -q '^3   ' || fail "list does not see the rollback"
"$tool" reindex "$work/QVTSK.DBF" >/dev/null || fail "reindex after a crash failed"
cmp -s "$work/QVTSK.DBF" "$work/sound.dbf" || fail "the writing command did not roll the change back"
"$tool" check "$work/QVTSK.DBF" >"$work/out" || fail "check after the rollback failed"
! grep -q 'interrupted' "$work/out" || fail "the journal was still live after the rollback"

# Read-only commands work on files the user may not write.
if [ "$(id -u)" -ne 0 ]; then
    chmod a-w "$work"/QVTSK.*
    "$tool" check "$work/QVTSK.DBF" >/dev/null || fail "check needs write access"
    "$tool" info "$work/QVTSK.DBF" >/dev/null || fail "info needs write access"
    "$tool" list "$work/QVTSK.DBF" >/dev/null || fail "list needs write access"
    chmod u+w "$work"/QVTSK.*
fi

if "$tool" info "$work/missing.dbf" 2>/dev/null; then fail "a missing file gave success"; fi
echo "quorvo-store: all checks passed"
