#!/usr/bin/env bash
# Start-up benchmark: time from exec to the mapped window and peak memory of a
# Release corvala, against the toolkit's floor (a bare Qt window with one
# Chinese label) and against SpeedCrunch, in interleaved runs.
#
#   bash bench/startup.sh [RUNS [PER_RUN]]     (default 5 runs of 9 starts each)
#
# Uses $DISPLAY when set; otherwise starts its own Xvfb with openbox. The
# measuring tool and the floor window live in ../shared/tools beside the project.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools=$root/../shared/tools
runs=${1:-5}
per_run=${2:-9}
build=${BUILD_DIR:-$root/build-startup}

# The build's own packages, and SpeedCrunch as the timing reference.
bash scripts/install-deps.sh speedcrunch libx11-dev gcc

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVALA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target corvala >/dev/null
floor=$build/floor-window
if [ ! -x "$floor" ] || [ "$floor" -ot "$tools/floor-window.cpp" ]; then
    # shellcheck disable=SC2046
    g++ -O2 -fPIC -o "$floor" "$tools/floor-window.cpp" $(pkg-config --cflags --libs Qt6Widgets)
fi

if [ -z "${DISPLAY:-}" ]; then
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=$display
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X${display#:}" ] && break
        sleep 0.05
    done
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
fi

# SpeedCrunch keeps its settings and history between starts; give it a fresh
# home so every start does the same work.
ref_home=$(mktemp -d)
trap 'rm -rf "$ref_home"; kill ${wm:-} ${xvfb:-} 2>/dev/null || true' EXIT

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in $(seq "$runs"); do
    floor_out=$(bash "$tools/startup-bench" "$build/src/corvala" Corvala "$floor" BareCJK "$per_run")
    ref_out=$(bash "$tools/startup-bench" "$build/src/corvala" Corvala \
        "env HOME=$ref_home XDG_CONFIG_HOME=$ref_home XDG_DATA_HOME=$ref_home speedcrunch" \
        SpeedCrunch "$per_run")
    echo "run $i: floor $(echo "$floor_out" | tail -1); speedcrunch $(echo "$ref_out" | tail -1)"
    echo "$floor_out" | head -2 | sed -e 's/^program: /    corvala:/' -e 's/^reference:/    floor:  /'
    echo "$ref_out" | head -2 | sed -e 's/^program: /    corvala:/' -e 's/^reference:/    speedcrunch:/'
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
