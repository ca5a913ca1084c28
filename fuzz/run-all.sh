#!/usr/bin/env bash
# Runs every built fuzz target for the given number of seconds, seeded from fuzz/corpus/<target> and the
# engine fixtures. A crash fails the run; the crashing input is left in build/fuzz/crashes.
set -euo pipefail
builddir=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$builddir/crashes"
status=0
for target in "$builddir"/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    work="$builddir/corpus/$name"
    mkdir -p "$work"
    seeds=()
    [ -d "$here/corpus/$name" ] && seeds+=("$here/corpus/$name")
    echo "-- $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -artifact_prefix="$builddir/crashes/$name-" -print_final_stats=0 \
        "$work" "${seeds[@]}" >"$builddir/$name.log" 2>&1; then
        tail -40 "$builddir/$name.log"
        status=1
    fi
done
exit $status
