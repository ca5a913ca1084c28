#!/usr/bin/env python3
"""Reads an iCalendar file with Python's icalendar package and prints its to-dos as JSON.

Fails (exit 1) on what a strict reader would refuse: a line not ended by CR LF, a physical line over 75
octets, a fold that splits a UTF-8 character, a calendar without VERSION/PRODID or a to-do without
UID/DTSTAMP.
"""
import datetime
import json
import re
import sys

import icalendar
from icalendar.parser import Contentlines


def physical_lines(data):
    assert data.endswith(b"\r\n"), "the file does not end with CR LF"
    lines = data[:-2].split(b"\r\n")
    for number, line in enumerate(lines, 1):
        assert b"\r" not in line and b"\n" not in line, f"line {number}: a bare CR or LF"
        assert len(line) <= 75, f"line {number}: {len(line)} octets"
        line.decode("utf-8")  # raises on a split character
    return lines


def categories(raw):
    # icalendar 4 splits CATEGORIES on every comma, escaped or not; split on the unescaped ones here.
    parts, current, escaped = [], "", False
    for c in raw:
        if escaped:
            current += {"n": "\n", "N": "\n"}.get(c, c)
            escaped = False
        elif c == "\\":
            escaped = True
        elif c == ",":
            parts.append(current)
            current = ""
        else:
            current += c
    parts.append(current)
    return parts


def main():
    data = open(sys.argv[1], "rb").read()
    physical_lines(data)
    calendar = icalendar.Calendar.from_ical(data)
    assert calendar.name == "VCALENDAR"
    assert str(calendar["VERSION"]) == "2.0" and "PRODID" in calendar
    # Contentline.parts() unescapes the value, so take the raw text after the name (no parameters here).
    raw_categories = [line.split(":", 1)[1] for line in Contentlines.from_ical(data.decode("utf-8"))
                      if line.startswith("CATEGORIES:")]
    todos = []
    for todo in calendar.walk("VTODO"):
        assert "UID" in todo and "DTSTAMP" in todo
        assert todo["DTSTAMP"].dt.tzinfo is not None, "DTSTAMP is not UTC"
        item = {"uid": str(todo["UID"]), "summary": str(todo.get("SUMMARY", "")),
                "status": str(todo["STATUS"]), "priority": int(todo["PRIORITY"]) if "PRIORITY" in todo else 0,
                "description": str(todo["DESCRIPTION"]) if "DESCRIPTION" in todo else None,
                "due": None, "categories": []}
        if "DUE" in todo:
            due = todo["DUE"].dt
            if isinstance(due, datetime.datetime):
                assert due.tzinfo is None, "DUE is not a local time"
                item["due"] = due.strftime("%Y%m%d %H:%M")
            else:
                item["due"] = due.strftime("%Y%m%d")
        if "CATEGORIES" in todo:
            item["categories"] = categories(raw_categories.pop(0))
        todos.append(item)
    assert not raw_categories
    json.dump({"name": str(calendar.get("X-WR-CALNAME", "")), "todos": todos}, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
