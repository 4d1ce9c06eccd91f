#!/usr/bin/env bash
# The cutting-list window's first opening: a list named on the command line
# opens in its window at start, so the time from exec to that window's map,
# less the time to the main window's map, is what opening the list costs
# (loading its module, building the window, reading the file).
#
#   bash bench/list-window-open.sh CORVALA [RUNS] [OTHER_CORVALA]
#
# Medians of RUNS interleaved starts (default 9) on $DISPLAY, each with a
# fresh data folder so that no autosaved list is offered. With a second
# program, both are timed in turn.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=$root/../shared/tools
runs=${2:-9}
bin=${TMPDIR:-/tmp}/waitmap-damage
[ -x "$bin" ] || gcc -O2 -DWITH_DAMAGE -o "$bin" "$tools/waitmap.c" -lX11 -lXdamage
list=$root/docs/examples/frame-beams-columns.cvl
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
programs=("$1")
[ -n "${3:-}" ] && programs+=("$3")
for i in $(seq "$runs"); do
    for p in "${!programs[@]}"; do
        data=$(mktemp -d "$out/data.XXXX")
        XDG_DATA_HOME=$data XDG_CONFIG_HOME=$data TITLE=Corvala "$bin" "${programs[$p]}" 2>/dev/null |
            sed -nE 's/.*mapped_ms=([0-9.]+).*/\1/p' >> "$out/main.$p"
        data=$(mktemp -d "$out/data.XXXX")
        XDG_DATA_HOME=$data XDG_CONFIG_HOME=$data TITLE=frame-beams-columns "$bin" "${programs[$p]}" "$list" 2>/dev/null |
            sed -nE 's/.*mapped_ms=([0-9.]+).*/\1/p' >> "$out/list.$p"
    done
done
med() { sort -n | awk '{a[NR]=$1} END{ if (NR) print a[int((NR+1)/2)]; else print "nan" }'; }
for p in "${!programs[@]}"; do
    m=$(med < "$out/main.$p"); l=$(med < "$out/list.$p")
    awk -v n="${programs[$p]}" -v m="$m" -v l="$l" -v r="$(wc -l < "$out/list.$p")" \
        'BEGIN{ printf "%s: main window %.1f ms, list window %.1f ms, opening the list %.1f ms (%d runs)\n", n, m, l, l - m, r }'
done
