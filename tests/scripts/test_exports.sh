#!/usr/bin/env bash
# The three exports read back by independent readers: Python's HTML parser, unrtf, and the text columns.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

"$tool" generate 300 "$work/QVTSK.DBF" >/dev/null
tasks=$("$tool" list "$work/QVTSK.DBF" --order DATETIME | wc -l)
open=$("$tool" list "$work/QVTSK.DBF" --query '.not. DONE' | wc -l)
title='Home & <Work> \ {braces}'

"$tool" export "$work/QVTSK.DBF" "$work/all.htm" --format html --notes --title "$title" --color 80c0ff 2>/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/plain.htm" --format html 2>/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/none.htm" --format html --query 'DONE .and. .not. DONE' 2>/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/all.rtf" --format rtf --notes --title "$title" 2>/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/all.txt" --format text --notes 2>/dev/null
"$tool" export "$work/QVTSK.DBF" "$work/open.txt" --format text --query '.not. DONE' --title '' 2>/dev/null

python3 - "$work" "$tasks" "$title" <<'PY' || fail "the HTML files do not read back"
import html.parser, sys
work, tasks, title = sys.argv[1], int(sys.argv[2]), sys.argv[3]

class Reader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.notes, self.stack, self.title, self.bgcolor = 0, 0, [], "", None
    def handle_starttag(self, tag, attrs):
        self.stack.append(tag)
        if tag == "tr":
            self.rows += 1
        if tag == "blockquote":
            self.notes += 1
        if tag == "body":
            self.bgcolor = dict(attrs).get("bgcolor")
    def handle_endtag(self, tag):
        if self.stack and self.stack[-1] == tag:
            self.stack.pop()
    def handle_data(self, data):
        if self.stack and self.stack[-1] == "title":
            self.title += data

def read(name):
    reader = Reader()
    with open(f"{work}/{name}", encoding="cp1252") as f:
        reader.feed(f.read())
    reader.close()
    return reader

plain = read("plain.htm")
assert plain.rows == 1 + tasks, (plain.rows, tasks)
assert plain.notes == 0
full = read("all.htm")
assert full.title == title, full.title
assert full.bgcolor == "#80C0FF", full.bgcolor
assert full.notes > tasks // 8, full.notes
assert full.rows == 1 + tasks + full.notes, (full.rows, tasks, full.notes)
assert read("none.htm").rows == 2
PY

python3 - "$work/all.rtf" <<'PY' || fail "the RTF groups do not balance"
import sys
data = open(sys.argv[1], "rb").read()
depth, i = 0, 0
while i < len(data):
    c = data[i:i + 1]
    if c == b"\\":
        i += 2
        continue
    depth += {b"{": 1, b"}": -1}.get(c, 0)
    assert depth >= 0, i
    i += 1
assert depth == 0, depth
PY
unrtf --text "$work/all.rtf" >"$work/all.rtf.txt" 2>/dev/null || fail "unrtf cannot read the RTF file"
grep -qF "$title" "$work/all.rtf.txt" || fail "unrtf does not read the title back with its backslash and braces"
rows=$(grep -cP '\t[YN]$' "$work/all.rtf.txt" || true)
[ "$rows" -eq "$tasks" ] || fail "unrtf reads $rows task rows, not $tasks"

python3 - "$work/all.txt" "$work/open.txt" "$tasks" "$open" <<'PY' || fail "the text columns do not line up"
import sys
allname, openname, tasks, open_ = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
def lines(name):
    data = open(name, "rb").read()
    assert data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b"")
    return data[:-2].split(b"\r\n")
text = lines(allname)
assert text[0] == b"Quorvo" and text[1] == text[2] == b""
header = text[3]
assert [header.index(w) for w in (b"Date", b"Time", b"Priority", b"Done")] == [51, 63, 71, 80], header
assert text[4] == b"=" * 84
task_lines = [l for l in text[5:] if not l.startswith(b"   ")]
notes = [l for l in text[5:] if l.startswith(b"   ")]
assert len(task_lines) == tasks and notes
for l in task_lines:
    assert len(l) == 84 and l[80:81] in (b"Y", b"N"), l
    assert l[71:80].rstrip() in (b"High", b"Medium", b"Low", b""), l
opened = lines(openname)
assert opened[0] == b"" and len(opened) == 5 + open_
assert all(l[80:81] == b"N" for l in opened[5:])
PY

"$tool" export "$work/QVTSK.DBF" "$work/x" --format pdfx 2>/dev/null && fail "an unknown format is accepted"
"$tool" export "$work/QVTSK.DBF" "$work/x" --format html --color red 2>/dev/null && fail "a bad colour is accepted"
"$tool" export "$work/QVTSK.DBF" "$work/no/such/dir.htm" --format html 2>/dev/null && fail "a failed write reports success"
echo "exports read back"
