#!/usr/bin/env bash
# Writes the window's five screenshots (one per tab, the calculator at full and
# compact height), the cutting-list window's, the anchorage window's, the
# cutting plan's, the print preview's (list and plan) and the first page of
# the exported PDF, a beam typed into the 梁平法 window with its rows in the
# list, their cutting plan and print preview, from a built corvala, on a
# private X display with openbox; and the beam's elevation, which its test draws without a window, when the
# tests are built beside it. Builds nothing. Usage: scripts/screenshots.sh [path/to/corvala] [output dir]
# Needs: xvfb, openbox, imagemagick, xdotool, x11-utils, fonts-noto-cjk,
# poppler-utils (scripts/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/src/corvala}")
out=${2:-docs}
mkdir -p "$out"
out=$(realpath "$out")

display=${SCREENSHOT_DISPLAY:-:97}
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Wide enough for the cutting list's columns; the main window is cropped.
Xvfb "$display" -screen 0 1440x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1
# The pointer away from the window: no hover highlight, no tooltip.
xdotool mousemove 1023 767

# Settings and autosave copies of its own, so that no earlier list is offered.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
"$program" >"$work/corvala.log" 2>&1 &
pids+=($!)
window=$(xdotool search --sync --onlyvisible --name '^Corvala$' | head -n1)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
sleep 1.5

# The window with its frame, cropped from the screen. The text caret blinks:
# of a few shots the lightest is the one without it.
shot() {
    local name=$1 target=${2:-$window} best="" best_mean=-1
    sleep 1
    local geometry left right top bottom x y w h
    geometry=$(xwininfo -id "$target")
    x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
    y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
    w=$(awk '/^  Width/ {print $2}' <<<"$geometry")
    h=$(awk '/^  Height/ {print $2}' <<<"$geometry")
    read -r left right top bottom < <(xprop -id "$target" _NET_FRAME_EXTENTS |
        sed -E 's/.*= *//; s/,/ /g')
    for i in 1 2 3 4 5; do
        import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
            +repage "$work/shot$i.png"
        local mean
        mean=$(convert "$work/shot$i.png" -colorspace Gray -format '%[fx:mean]' info:)
        if awk -v a="$mean" -v b="$best_mean" 'BEGIN { exit !(a > b) }'; then
            best=$work/shot$i.png
            best_mean=$mean
        fi
        sleep 0.35
    done
    # Same pixels, no time stamps or other chunks that differ between runs.
    convert "$best" -strip "$out/$name"
    echo "$out/$name"
}

key() { xdotool key --clearmodifiers "$@"; sleep 0.4; }
# The list window's print preview (File ▸ 打印预览, Alt+F V), the pointer away.
open_preview() {
    key alt+f
    key v
    preview=$(xdotool search --sync --onlyvisible --name '^打印预览' | head -n1)
    xdotool windowactivate --sync "$preview" >/dev/null 2>&1 || true
    sleep 2
    xdotool mousemove 1023 767
}
type_text() { xdotool type --clearmodifiers --delay 60 "$1"; sleep 0.4; }

shot tab0-rebar.png
key ctrl+Tab
shot tab1-lifting.png
key ctrl+Tab
shot tab2-beam.png
key ctrl+Tab
type_text '(1+2)^2'
key Return
type_text '2sin30'
shot tab3-calculator-full.png
key alt+c
shot tab3-calculator-compact.png

# The cutting list: opened with Alt+L, a beam's bars typed as a user would,
# cell by cell with Tab (an empty cell keeps what the row starts with) and
# Enter after the count; the last row's U is narrower than its bends.
key alt+l
list=$(xdotool search --sync --onlyvisible --name '钢筋下料单' | head -n1)
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 1
bar_row() {
    local count=${*: -1} cell
    for cell in "${@:1:$#-1}"; do
        if [ -n "$cell" ]; then xdotool type --clearmodifiers --delay 40 "$cell"; fi
        xdotool key --clearmodifiers Tab
        sleep 0.1
    done
    xdotool type --clearmodifiers --delay 40 "$count"
    xdotool key --clearmodifiers Return
    sleep 0.3
}
bar_row 1 L HRB400 25 5000 300 '' 8
bar_row 2 bent '' 20 400 566 3000 566 400 '' '' 2
bar_row 3 stirrup HPB300 10 250 550 '' 30
bar_row 4 tie '' 8 250 '' 15
bar_row 5 U HRB400 16 200 400 200 '' 4
bar_row 6 hook180 HPB300 12 3000 '' 6
bar_row 7 U HRB400 25 300 80 300 '' 2
# The bent-up bar's row, for its sketch.
for _ in 1 2 3 4 5 6; do key Up; done
shot cutting-list.png "$list"

# The anchorage window, opened from the main window's menu (Alt+M), with a
# worked example typed in: HRB400, C30, d = 28, seismic grade 三, 50 % lapped.
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
sleep 0.5
key alt+m
anchorage=$(xdotool search --sync --onlyvisible --name '^锚固与搭接长度$' | head -n1)
xdotool windowactivate --sync "$anchorage" >/dev/null 2>&1 || true
sleep 1
type_text 28
key Return
key Down
key Down
key Down
key Return
type_text 50
shot anchorage.png "$anchorage"

# A three-span frame beam with a cantilever from its 平法 annotation, typed
# into the 梁平法 window (Ctrl+B in the list): the annotation, Enter, the
# spans' lengths and the middle span's bottom bars, the supports' widths and
# top bars (Alt+U), the right cantilever (Alt+Y); the window, then the list
# with the beam's rows, its cutting plan (Alt+2, Alt+U) and print preview.
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 0.5
key ctrl+b
beam=$(xdotool search --sync --onlyvisible --name '^梁平法$' | head -n1)
xdotool windowactivate --sync "$beam" >/dev/null 2>&1 || true
sleep 1
type_text 'KL2(3A) 300x650 C10@100/200(2) 2C25;4C22 G4C12'
key Return
cells() {
    local cell
    for cell in "$@"; do
        if [ -n "$cell" ]; then xdotool type --clearmodifiers --delay 40 "$cell"; fi
        xdotool key --clearmodifiers Tab
        sleep 0.1
    done
}
cells 7200 '' '' '' '' 6000 '6C22 2/4' '' '' '' 3000
key alt+u
cells 600 4C25 '' '' 600 '6C25 4/2' '' '' 600 '6C25 4/2' '' '' 500 '6C25 4/2'
key alt+y
cells 1800 2C16
# The elevation's third top bar picked, as a worker checks one by eye.
key alt+b
key Down
key Down
xdotool mousemove 1023 899
shot beam-window.png "$beam"
key alt+l
sleep 1
shot beam-in-list.png "$list"
key alt+2
key alt+u
sleep 6
shot beam-plan.png "$list"
key alt+1
open_preview
shot beam-print-preview.png "$preview"
key Escape

# A six-storey corner column typed into the 柱平法 window (Ctrl+K): its mark,
# 角柱 (Alt+W) with the outer faces b1 and h2 (Alt+1, Alt+4), six storeys
# put one on another (Alt+A; the second 3.6 m high, the rest like it), one
# segment (Alt+D) for all of them; the window, then the list with its rows.
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 0.5
key alt+1
key ctrl+k
column=$(xdotool search --sync --onlyvisible --name '^柱平法$' | head -n1)
xdotool windowactivate --sync "$column" >/dev/null 2>&1 || true
sleep 1
key alt+k
key ctrl+a
type_text KZ2
key alt+w
key Down
key Down
key alt+1
key alt+4
key alt+a
key alt+a
type_text 3.6
key Return
for _ in 1 2 3 4; do key alt+a; done
key alt+d
cells 600x600 '' '' '' '' 12C25 '' '' '' '1(4x4)' 'C10@100/200'
sleep 1
shot column-window.png "$column"
key alt+l
sleep 1
shot column-in-list.png "$list"

# The cutting plan of a beam and column list (docs/examples): the typed list
# saved out of the way, the example opened with Ctrl+O, its 下料优化 page
# (Alt+2) with offcuts of 1 m kept and long bars lapped by the anchorage
# rules, run with Alt+U; the Φ25 group, whose bars are lapped, chosen in the
# summary (its last row) so that the drawing shows it.
example=$(realpath docs/examples/frame-beams-columns.cvl)
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 0.5
key ctrl+s
type_text "$work/typed.cvl"
key Return
sleep 1
key ctrl+o
type_text "$example"
key Return
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
# The summary's first row, then its last: Ctrl+End.
xdotool mousemove --window "$list" 430 150 click 1
sleep 0.3
key ctrl+End
key Home
xdotool mousemove 1023 767
shot cutting-plans.png "$list"

# Print preview of the same list and its plan (File ▸ 打印预览, Alt+F V):
# the first page, then the last, where the plan is, reached with Page Down
# in the page view.
open_preview
shot print-preview-list.png "$preview"
eval "$(xdotool getwindowgeometry --shell "$preview")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
sleep 0.3
for _ in $(seq 60); do xdotool key --clearmodifiers Next; done
xdotool mousemove 1023 767
shot print-preview-plans.png "$preview"
key Escape

# The PDF of the list (File ▸ 导出 PDF, Alt+F D), its first page as pdftoppm
# renders it.
xdotool windowactivate --sync "$list" >/dev/null 2>&1 || true
sleep 0.5
key alt+f
key d
type_text "$work/list.pdf"
key Return
sleep 2
pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$work/list.pdf" "$work/first-page"
convert "$work/first-page.png" -strip "$out/print-first-page.png"
echo "$out/print-first-page.png"

# Two lists planned one after the other with the offcut store on, their stock
# priced by the metre: the first cuts its two 7800s from 9 m bars (39.60 yuan
# each, cheaper than 12 m at 52.20) and keeps two 1200 mm offcuts, the second
# cuts its two 1100s from them for nothing; the page then shows the second
# plan's cost and the store with both offcuts used. Each list carries its next plan's settings (planSettings).
mkdir -p "$work/yard"
python3 - "$work/yard" <<'PY'
import json, sys
def cvl(name, mark, length):
    settings = {"version": 2, "stock": [{"length": 6000, "price": 4.5},
                {"length": 9000, "price": 4.4}, {"length": 12000, "price": 4.35}],
                "kerf": 0, "keepOffcut": 1000, "pricing": "metre", "useOffcuts": True,
                "storeOffcuts": True, "offcutStore": "余料库.json", "timeLimit": 2,
                "splice": {"kind": "none", "lap": "rules", "lapLength": 0,
                           "lapDiameters": 0, "concrete": 30, "seismicGrade": 2,
                           "percentLapped": 50}}
    row = {"mark": "1", "shape": "straight", "grade": "HRB400", "diameter": 25,
           "dimensions": {"A": length}, "mandrel": None, "count": 2, "note": ""}
    doc = {"format": "corvala-cutting-list", "version": 1, "project": "余料库示例",
           "settings": {"seismic": True, "rounding": 1, "defaultGrade": "HRB400",
                        "concrete": 30, "seismicGrade": 2, "percentLapped": 50},
           "members": [{"name": mark, "count": 1, "rows": [row]}],
           "planSettings": settings}
    json.dump(doc, open(f"{sys.argv[1]}/{name}", "w", encoding="utf-8"), ensure_ascii=False)
cvl("first.cvl", "KL1", 7800)
cvl("second.cvl", "L1", 1100)
PY
"$program" "$work/yard/first.cvl" >"$work/yard.log" 2>&1 &
pids+=($!)
yard=$(xdotool search --sync --onlyvisible --name 'first' | head -n1)
xdotool windowactivate --sync "$yard" >/dev/null 2>&1 || true
sleep 1.5
for name in first second; do
    if [ "$name" = second ]; then
        key ctrl+o
        type_text "$work/yard/$name.cvl"
        key Return
        sleep 1.5
    fi
    key alt+2
    key alt+u
    sleep 4
    key ctrl+s
    sleep 1
done
xdotool mousemove 1023 767
shot cutting-plans-offcuts.png "$yard"

# The beam's elevation: its test writes it when CORVALA_PICTURES names a folder.
elevation=$(dirname "$program")/../tests/drawing/members/test_beam_elevation
if [ -x "$elevation" ]; then
    CORVALA_PICTURES=$work QT_QPA_PLATFORM=offscreen "$elevation" \
        --gtest_filter='BeamElevationPicture.*' >"$work/elevation.log" 2>&1
    convert "$work/beam-elevation.png" -strip "$out/beam-elevation.png"
    echo "$out/beam-elevation.png"
fi
