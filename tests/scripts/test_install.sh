#!/usr/bin/env bash
# cmake --install puts the program, its tool, the desktop entry and the icon where the desktop's menus look, and
# the entry names the installed program and icon.
set -euo pipefail
tool=$1
build=$(dirname "$(dirname "$tool")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work" >/dev/null || fail "cmake --install failed"
for file in bin/quorvo bin/quorvo-store; do
    [ -x "$work/$file" ] || fail "$file is not installed as a program"
done
entry=$work/share/applications/quorvo.desktop
[ -f "$entry" ] || fail "the desktop entry is not installed"
value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(sed -n 1p "$entry")" = "[Desktop Entry]" ] || fail "the entry does not start with its group"
[ "$(value Type)" = Application ] || fail "the entry is not an application"
[ -x "$work/bin/$(value Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"
[ -f "$work/share/icons/hicolor/scalable/apps/$(value Icon).svg" ] || fail "Icon names no installed icon"
"$work/bin/quorvo-store" generate 3 "$work/QVTSK.DBF" >/dev/null || fail "the installed tool does not run"
