#!/usr/bin/env bash
# iCalendar files into task tables: a generated table's export read back into an empty table field by field,
# the same export back into its own table updating rather than adding, and hand-written files in the shapes
# calendar programs write.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen TZ=Europe/Berlin
py=python3
$py -c 'import dbfread' 2>/dev/null || py=/usr/bin/python3

mkdir -p "$work/A" "$work/B" "$work/C"
"$tool" generate 600 "$work/A/QVTSK.DBF" >/dev/null
"$tool" generate 0 "$work/B/QVTSK.DBF" >/dev/null
"$tool" generate 0 "$work/C/QVTSK.DBF" >/dev/null
"$tool" export "$work/A/QVTSK.DBF" "$work/a.ics" --format ics --notes || fail "the export failed"

"$tool" import "$work/B/QVTSK.DBF" "$work/a.ics" >"$work/b.out" || fail "the import into an empty table failed"
grep -q ": 600 added, 0 updated" "$work/b.out" || fail "unexpected counts: $(cat "$work/b.out")"
# The table as exported, to compare both imports with: updating its own tasks must not change them either.
mkdir -p "$work/A0" && cp "$work/A/"QVTSK.* "$work/A0/"
"$tool" import "$work/A/QVTSK.DBF" "$work/a.ics" >"$work/a.out" || fail "the import into its own table failed"
grep -q ": 0 added, 600 updated" "$work/a.out" || fail "its own tasks were not updated: $(cat "$work/a.out")"
"$tool" check "$work/A/QVTSK.DBF" >/dev/null || fail "the updated table does not check"
"$tool" check "$work/B/QVTSK.DBF" >/dev/null || fail "the filled table does not check"

$py - "$work" <<'PY' || fail "the round trip changed tasks"
import sys
import dbfread
work = sys.argv[1]
def rows(name):
    return [dict(r) for r in dbfread.DBF(f"{work}/{name}/QVTSK.DBF", encoding="cp1252")]
def normal(r):
    note = (r["NOTE"] or "")
    return (r["DATE"].strip(), r["TIME"].strip(), r["DESCRIPT"].rstrip(), " ".join(r["KEYS"].split()),
            r["PRIORITY"].strip().upper() if r["PRIORITY"].strip().upper() in ("A", "B", "C") else "",
            bool(r["DONE"]), note if note.strip() else "")
a0, a, b = rows("A0"), rows("A"), rows("B")
assert len(a0) == len(a) == len(b) == 600, (len(a0), len(a), len(b))
# A task may have a time without a date; the round trip keeps it.
assert any(not r["DATE"].strip() and r["TIME"].strip() for r in a0)
# Updated in place, every task is as it was.
assert list(map(normal, a0)) == list(map(normal, a)), [(x, y) for x, y in zip(map(normal, a0), map(normal, a)) if x != y][:3]
# The export's order is date and time; compare as sets of whole tasks, then count repeats.
from collections import Counter
ca, cb = Counter(map(normal, a0)), Counter(map(normal, b))
assert ca == cb, [x for x in (ca - cb)][:3]
assert sum(1 for r in a if (r["NOTE"] or "").strip()) > 10
PY

# Hand-written shapes: a folded line, escaped text, an alarm inside a to-do, time zones, a repeating to-do,
# an event, an over-long summary and categories, a character Windows-1252 has no place for.
printf '%s\r\n' \
  'BEGIN:VCALENDAR' 'VERSION:2.0' 'PRODID:-//Elsewhere//Calendar 9//EN' \
  'BEGIN:VTIMEZONE' 'TZID:America/New_York' \
  'BEGIN:STANDARD' 'DTSTART:19701101T020000' 'RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU' \
  'TZOFFSETFROM:-0400' 'TZOFFSETTO:-0500' 'END:STANDARD' \
  'BEGIN:DAYLIGHT' 'DTSTART:19700308T020000' 'RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU' \
  'TZOFFSETFROM:-0500' 'TZOFFSETTO:-0400' 'END:DAYLIGHT' 'END:VTIMEZONE' \
  'BEGIN:VTODO' 'UID:one@elsewhere' 'DTSTAMP:20250101T000000Z' 'SUMMARY:Buy milk\, eggs\; bread' \
  'DUE;TZID=America/New_York:20250115T090000' 'PRIORITY:2' 'STATUS:NEEDS-ACTION' \
  'CATEGORIES:home,errands' 'DESCRIPTION:first line\nsecond line with a back\\slash and a ve' \
  ' ry long folded tail' \
  'BEGIN:VALARM' 'ACTION:DISPLAY' 'DESCRIPTION:Reminder' 'TRIGGER:-PT15M' 'END:VALARM' 'END:VTODO' \
  'BEGIN:VTODO' 'UID:two@elsewhere' 'DTSTAMP:20250101T000000Z' \
  'SUMMARY:A summary that is far longer than the fifty bytes a task description holds' \
  'DUE:20250301T230000Z' 'PRIORITY:9' 'STATUS:COMPLETED' \
  'CATEGORIES:alpha,beta,gamma,delta,epsilon,zeta,eta,theta,iota,kappa,lambda,mu' 'END:VTODO' \
  'BEGIN:VTODO' 'UID:three@elsewhere' 'DTSTAMP:20250101T000000Z' 'SUMMARY:Caf\u00e9 \u2603 snow' \
  'DUE;VALUE=DATE:20250704' 'PRIORITY:5' 'COMPLETED:20250101T100000Z' 'END:VTODO' \
  'BEGIN:VTODO' 'UID:four@elsewhere' 'DTSTAMP:20250101T000000Z' 'SUMMARY:Weekly' 'RRULE:FREQ=WEEKLY' \
  'END:VTODO' \
  'BEGIN:VEVENT' 'UID:five@elsewhere' 'DTSTAMP:20250101T000000Z' 'DTSTART:20250101T100000Z' \
  'SUMMARY:Meeting' 'END:VEVENT' \
  'END:VCALENDAR' | sed 's/\\u00e9/\xc3\xa9/; s/\\u2603/\xe2\x98\x83/' >"$work/other.ics"
"$tool" import "$work/C/QVTSK.DBF" "$work/other.ics" >"$work/c.out" || fail "the hand-written file was refused"
grep -q ": 3 added, 0 updated; skipped 1 events, 1 repeating to-dos" "$work/c.out" \
    || fail "unexpected counts: $(cat "$work/c.out")"
$py - "$work" <<'PY' || fail "the hand-written to-dos became the wrong tasks"
import sys
import dbfread
work = sys.argv[1]
rows = [dict(r) for r in dbfread.DBF(f"{work}/C/QVTSK.DBF", encoding="cp1252")]
one, two, three = rows
assert one["DESCRIPT"].rstrip() == "Buy milk, eggs; bread", one
# 09:00 in New York is 15:00 in Berlin in January.
assert (one["DATE"], one["TIME"]) == ("20250115", "15:00"), one
assert one["PRIORITY"] == "A" and not one["DONE"] and one["KEYS"].rstrip() == "home errands", one
assert one["NOTE"] == "first line\r\nsecond line with a back\\slash and a very long folded tail", one
long = "A summary that is far longer than the fifty bytes a task description holds"
assert two["DESCRIPT"] == long[:50].rstrip() and two["NOTE"] == long[50:], two
# 23:00 UTC is midnight in Berlin: the next day.
assert (two["DATE"], two["TIME"]) == ("20250302", "00:00"), two
assert two["PRIORITY"] == "C" and two["DONE"], two
assert len(two["KEYS"].rstrip()) <= 60 and two["KEYS"].startswith("alpha beta gamma"), two
assert three["DESCRIPT"].rstrip() == "Caf\u00e9 ? snow", three
assert (three["DATE"], three["TIME"].strip()) == ("20250704", ""), three
assert three["PRIORITY"] == "B" and three["DONE"], three
PY

printf 'not a calendar\r\n' >"$work/bad.ics"
"$tool" import "$work/C/QVTSK.DBF" "$work/bad.ics" >/dev/null 2>&1 && fail "a file that is no calendar was accepted"
# A refused import writes nothing and so reports no counts: the memo file's free space is claimed by a note.
printf '\x00\x00\x00\x09' | dd of="$work/C/QVTSK.FPT" bs=1 seek=0 conv=notrunc status=none
cp "$work/C/QVTSK.DBF" "$work/c.before"
"$tool" import "$work/C/QVTSK.DBF" "$work/a.ics" >"$work/refused.out" 2>/dev/null && fail "an import over a damaged memo file was not refused"
[ ! -s "$work/refused.out" ] || fail "a refused import reported counts: $(cat "$work/refused.out")"
cmp -s "$work/C/QVTSK.DBF" "$work/c.before" || fail "a refused import changed the table"
echo "iCalendar files import"
