#!/usr/bin/env bash
# Writes the bending shop's screenshots: the cutting sheet (下料单（按原料）)
# of the example list's plan in the print preview, its first page and a page
# of the Φ10 stirrups, from a built corvala, on a private X display with
# openbox. Builds nothing. Usage: scripts/screenshots-shop.sh [path/to/corvala] [output dir]
# Needs what scripts/screenshots.sh needs (scripts/install-deps.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/src/corvala}")
out=${2:-docs}
mkdir -p "$out"
out=$(realpath "$out")

display=${SCREENSHOT_DISPLAY:-:98}
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
xdotool mousemove 1500 980

key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
type_text() { xdotool type --clearmodifiers --delay 60 "$1"; sleep 0.4; }
# A window with its frame, cropped from the screen.
shot() {
    local name=$1 target=$2 geometry left right top bottom x y w h
    sleep 1
    geometry=$(xwininfo -id "$target")
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
    w=$(awk '/^  Width/ {print $2}' <<<"$geometry")
    h=$(awk '/^  Height/ {print $2}' <<<"$geometry")
    read -r left right top bottom < <(xprop -id "$target" _NET_FRAME_EXTENTS |
        sed -E 's/.*= *//; s/,/ /g')
    import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
        +repage "$work/shot.png"
    convert "$work/shot.png" -strip "$out/$name"
    echo "$out/$name"
}

# The example list (docs/examples) opened from the command line, copied so
# that nothing is written beside the original; its 下料优化 page (Alt+2)
# with offcuts of 1 m kept and long bars lapped by the anchorage rules, run
# with Alt+U, as scripts/screenshots.sh plans it.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
cp docs/examples/frame-beams-columns.cvl "$work/"
"$program" "$work/frame-beams-columns.cvl" >"$work/corvala.log" 2>&1 &
pids+=($!)
list=$(xdotool search --sync --onlyvisible --name 'frame-beams-columns' | head -n1)
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 1.5
key alt+2
key alt+o
key ctrl+a
type_text 1000
key alt+j
key Down
key Down
key alt+u
sleep 8

# 加工 ▸ 下料单（按原料）打印预览 (Alt+W V): the first page, then the page
# of the 10 mm stirrups, further on with Page Down in the page view.
key alt+w
key v
preview=$(xdotool search --sync --onlyvisible --name '^打印预览' | head -n1)
xdotool windowactivate --sync "$preview" >/dev/null 2>&1 || true
sleep 2
xdotool mousemove 1500 980
shot cutting-sheet-preview.png "$preview"
eval "$(xdotool getwindowgeometry --shell "$preview")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 0.3
for _ in $(seq ${SHEET_PAGE_DOWNS:-12}); do xdotool key --clearmodifiers Next; done
xdotool mousemove 1500 980
shot cutting-sheet-preview-page.png "$preview"
key Escape
