#!/usr/bin/env bash
# The iCalendar export of a generated table read back by Python's icalendar package and compared, task by
# task, with the table as dbfread reads it.
set -euo pipefail
tool=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
py=python3
$py -c 'import icalendar, dbfread' 2>/dev/null || py=/usr/bin/python3

title=$'Home, Work; back\\slash & caf\xc3\xa9'
"$tool" generate 1000 "$work/QVTSK.DBF" >/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/all.ics" --format ics --notes --title "$title" \
    || fail "the export failed"
"$tool" export "$work/QVTSK.DBF" "$work/bare.ics" --format ics --order DESCRIPT || fail "the bare export failed"
"$tool" export "$work/QVTSK.DBF" "$work/open.ics" --format ics --query '.not. DONE' || fail "the open export failed"
$py "$here/read_ics.py" "$work/all.ics" >"$work/all.json" || fail "icalendar refuses the file"
$py "$here/read_ics.py" "$work/bare.ics" >"$work/bare.json" || fail "icalendar refuses the bare file"
$py "$here/read_ics.py" "$work/open.ics" >"$work/open.json" || fail "icalendar refuses the open file"

$py - "$work" "$title" <<'PY' || fail "the to-dos do not match the table"
import datetime, json, sys
import dbfread
work = sys.argv[1]
table = list(dbfread.DBF(f"{work}/QVTSK.DBF", encoding="cp1252", char_decode_errors="strict"))
full = json.load(open(f"{work}/all.json", encoding="utf-8"))
todos = full["todos"]
assert len(todos) == len(table), (len(todos), len(table))
uids = [t["uid"] for t in todos]
assert len(set(uids)) == len(uids), "UIDs repeat"
tag = {u.split("-", 1)[1] for u in uids}
assert len(tag) == 1, tag
checked = {"due": 0, "time": 0, "notes": 0, "keys": 0}
for todo in todos:
    record = table[int(todo["uid"].split("-", 1)[0]) - 1]
    assert todo["summary"] == record["DESCRIPT"].rstrip(), (todo, record)
    assert todo["status"] == ("COMPLETED" if record["DONE"] else "NEEDS-ACTION"), (todo, record)
    assert todo["priority"] == {"A": 1, "B": 5, "C": 9}.get(record["PRIORITY"].strip().upper(), 0), (todo, record)
    assert todo["categories"] == record["KEYS"].split(), (todo, record)
    date, time = record["DATE"].strip(), record["TIME"].strip()
    if date:
        checked["due"] += 1
        if time:
            checked["time"] += 1
            assert todo["due"] == f"{date} {time.zfill(5)}", (todo, record)
        else:
            assert todo["due"] == date, (todo, record)
    else:
        assert todo["due"] is None, (todo, record)
    note = (record["NOTE"] or "").replace("\r\n", "\n").replace("\r", "\n")
    if note.strip():
        checked["notes"] += 1
        assert todo["description"] == note, (todo, record)
    else:
        assert todo["description"] is None, (todo, record)
    checked["keys"] += bool(todo["categories"])
# The generated table has each shape often enough for the comparison to mean something.
assert all(n > 20 for n in checked.values()), checked
assert full["name"] == sys.argv[2], (full["name"], sys.argv[2])

# Another order and no notes: the same UIDs for the same tasks, no descriptions.
bare = json.load(open(f"{work}/bare.json", encoding="utf-8"))["todos"]
assert sorted(t["uid"] for t in bare) == sorted(uids)
assert [t["uid"] for t in bare] != uids, "the order made no difference: the test proves nothing"
assert all(t["description"] is None for t in bare)
by_uid = {t["uid"]: t for t in todos}
assert all(by_uid[t["uid"]]["summary"] == t["summary"] for t in bare)
opened = json.load(open(f"{work}/open.json", encoding="utf-8"))["todos"]
assert len(opened) == sum(not r["DONE"] for r in table) and all(t["status"] == "NEEDS-ACTION" for t in opened)
PY

"$tool" export "$work/QVTSK.DBF" "$work/no/such/dir.ics" --format ics 2>/dev/null && fail "a failed write reports success"
echo "iCalendar export reads back"
