#!/usr/bin/env bash
# Writes the bundle tags' pictures for docs/tags.md: a page of each layout as
# pdftoppm renders the PDF of `corvala --tags` (the example list, no display
# needed), then the tag dialog and its print preview from the window's 加工
# menu on a private X display with openbox. Builds nothing.
# Usage: scripts/screenshots-tags.sh [path/to/corvala] [output dir]
# Needs what scripts/screenshots.sh needs (scripts/install-deps.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/src/corvala}")
out=${2:-docs}
mkdir -p "$out"
out=$(realpath "$out")

display=${SCREENSHOT_DISPLAY:-:96}
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

example=docs/examples/frame-beams-columns.cvl
# page LAYOUT PAGE DPI [--bundle N]: one page of the layout's PDF.
page() {
    local layout=$1 number=$2 dpi=$3
    shift 3
    env -u DISPLAY "$program" --tags "$example" --pdf "$work/tags-$layout.pdf" --layout "$layout" "$@" >/dev/null
    pdftoppm -f "$number" -l "$number" -r "$dpi" -png -singlefile "$work/tags-$layout.pdf" "$work/page"
    convert "$work/page.png" -strip "$out/tags-$layout.png"
    echo "$out/tags-$layout.png"
}
# The sheets' first pages; a label printer's tag of the KL1 stirrups in
# bundles of 50, and one of KL1's bottom bars.
page 3x7 1 150
page 2x4 1 120
page 100x70 5 200 --bundle 50
page 80x50 2 200

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
xdotool mousemove 1500 980

key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
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

# The example list opened from the command line, a copy, so that nothing is
# written beside the original; 加工 ▸ 打印料牌 (Alt+W T), the 2×4 sheet
# chosen, then 打印预览 (Enter).
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
cp "$example" "$work/"
"$program" "$work/$(basename "$example")" >"$work/corvala.log" 2>&1 &
pids+=($!)
list=$(xdotool search --sync --onlyvisible --name 'frame-beams-columns' | head -n1)
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 1.5
key alt+w
key t
dialog=$(xdotool search --sync --onlyvisible --name '^打印料牌$' | head -n1)
xdotool windowactivate --sync "$dialog" >/dev/null 2>&1 || true
key Down
shot tags-dialog.png "$dialog"
key Return
preview=$(xdotool search --sync --onlyvisible --name '^打印预览 - 钢筋料牌' | head -n1)
xdotool windowactivate --sync "$preview" >/dev/null 2>&1 || true
sleep 2
xdotool mousemove 1500 980
shot tags-preview.png "$preview"
key Escape
