#!/usr/bin/env bash
# Unzips the Windows zip into a folder and runs its corvala.exe under Wine
# from a clean prefix on a private X display with openbox: the window
# "Corvala" maps, a diameter typed on the first tab changes the results, and
# Alt+A opens the About window ("关于"); the cutting list is typed, saved and
# read back, a beam and a column from their 平法 tables join it, the anchorage window opens, and a list named on the command line
# opens in its window; started again at 125 % display scale,
# its beam tab is photographed. Screenshots go to <folder>/shots.
# Usage: smoke-wine.sh <zip> <folder>
set -euo pipefail
zip="$1"
dir="$2"
rm -rf "$dir"
mkdir -p "$dir/shots"
unzip -q "$zip" -d "$dir"
exe="$(ls "$dir"/*/corvala.exe)"

name=smoke
# shellcheck source=wine-display.sh
source "$(dirname "$0")/wine-display.sh"

ms() { echo $(($(date +%s%N) / 1000000)); }
start=$(ms)
"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w
echo "smoke: fresh Wine prefix ready in $(($(ms) - start)) ms"

# Starts the zip's program with the given environment; prints its window.
start_corvala() {
    local start
    start=$(ms)
    (cd "$(dirname "$exe")" && exec env "$@" "$wine" corvala.exe) >>"$dir/corvala.log" 2>&1 &
    win="$(wait_window Corvala 60)" || fail 'the window "Corvala" did not map'
    echo "smoke: window \"Corvala\" mapped after $(($(ms) - start)) ms" >&2
    sleep 2
    xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
    sleep 1
    echo "$win"
}

winpath() { echo "Z:${1//\//\\}"; }
width() { xwininfo -id "$1" | awk '/^  Width/ {print $2}'; }

win="$(start_corvala)"
width_100="$(width "$win")"
shot before

# The window opens with the focus on the tab bar; Tab moves it into the
# diameter field, which selects its text, so the typed diameter replaces it.
xdotool key Tab
sleep 0.5
xdotool type --delay 100 25
xdotool key Return
sleep 1
shot diameter
# Only the window's own pixels: a changed result shows up as a changed image.
changed="$(compare -metric AE "$dir/shots/before.png" "$dir/shots/diameter.png" null: 2>&1 || true)"
[ "${changed%% *}" -gt 0 ] 2>/dev/null || fail "typing a diameter changed nothing on screen ($changed)"
echo "smoke: typing a diameter changed $changed pixels"

xdotool key alt+a
about="$(wait_window '关于' 20)" || fail 'Alt+A did not open the About window "关于"'
sleep 1
shot about
echo "smoke: About window opened"
xdotool key Escape
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.5

# The cutting list (Alt+L): three bars typed cell by cell, saved through the
# save dialog, the file read back; the cut lengths are worked by hand in
# docs/cutting-list.md (stirrup 1748, bent-up bar 4893, hooked bar 3150).
xdotool key alt+l
list="$(wait_window '未命名 - 钢筋下料单 - Corvala' 30)" || fail 'Alt+L did not open the cutting list'
sleep 1.5
bar_row() {
    local count=${*: -1} cell
    for cell in "${@:1:$#-1}"; do
        [ -z "$cell" ] || xdotool type --delay 60 "$cell"
        xdotool key Tab
        sleep 0.2
    done
    xdotool type --delay 60 "$count"
    xdotool key Return
    sleep 0.6
}
bar_row 1 stirrup HPB300 8 250 550 '' 45
bar_row 2 bent HPB300 20 400 566 3000 566 400 '' '' 2
bar_row 3 hook180 HPB300 12 3000 '' 6
shot cutting-list
xdotool key ctrl+s
sleep 3
saved="$dir/wine-list.cvl"
# The dialog offers a name of its own: replaced, not added to.
xdotool key End shift+Home
xdotool type --delay 40 "$(winpath "$saved")"
xdotool key Return
for _ in $(seq 20); do [ -s "$saved" ] && break; sleep 0.5; done
[ -s "$saved" ] || fail "the save dialog wrote no $saved"
for length in 1748 4893 3150; do
    "$wine" "$exe" --list "$(winpath "$saved")" 2>/dev/null | grep -q "$length" ||
        fail "the saved list does not give the cut length $length"
done
echo "smoke: cutting list typed, saved and read back with cut lengths 1748, 4893, 3150"

# The save dialog and the console runs leave the focus elsewhere.
focus_list() {
    xdotool windowactivate --sync "$list" 2>/dev/null || xdotool windowfocus --sync "$list"
    sleep 0.5
}

# 下料优化 (Alt+2): the three bars planned from 9 m and 12 m stock (Alt+U).
focus_list
xdotool key alt+2
sleep 1
xdotool key alt+u
sleep 4
shot cutting-plans
xdotool key alt+1
sleep 0.5

# The workbook and the PDF through their save dialogs, then the print preview.
export_through() { # menu key, file
    focus_list
    xdotool key alt+f
    sleep 0.5
    xdotool key "$1"
    sleep 3
    xdotool key End shift+Home
    xdotool type --delay 40 "$(winpath "$2")"
    xdotool key Return
    for _ in $(seq 30); do [ -s "$2" ] && break; sleep 0.5; done
    [ -s "$2" ] || fail "no $2 written"
}
export_through x "$dir/wine-list.xlsx"
[ "$(head -c 2 "$dir/wine-list.xlsx")" = PK ] || fail "wine-list.xlsx is not a workbook"
# The cut lengths as numbers in the list's sheet, where openpyxl is at hand.
if /usr/bin/python3 -c 'import openpyxl' 2>/dev/null; then
    /usr/bin/python3 - "$dir/wine-list.xlsx" <<'PYTHON' || fail "the workbook lacks the cut lengths"
import sys
import openpyxl
sheet = openpyxl.load_workbook(sys.argv[1])["下料单"]
column = [c.value for c in sheet[1]].index("下料长度(mm)")
lengths = {row[column] for row in sheet.iter_rows(min_row=2, values_only=True)}
sys.exit(0 if {1748, 4893, 3150} <= lengths else 1)
PYTHON
fi
export_through d "$dir/wine-list.pdf"
[ "$(head -c 5 "$dir/wine-list.pdf")" = %PDF- ] || fail "wine-list.pdf is not a PDF"
if command -v pdftotext >/dev/null; then
    pdftotext "$dir/wine-list.pdf" - | grep -q 4893 || fail "the PDF does not read 4893"
fi
echo "smoke: Excel workbook and PDF exported"
focus_list
xdotool key alt+f
sleep 0.5
xdotool key v
preview="$(wait_window '打印预览 - 钢筋下料单' 30)" || fail 'the print preview did not open'
sleep 2
shot print-preview
# The tool bar's last-page button: the plan's page.
xdotool mousemove --window "$preview" 490 18 click 1
sleep 1.5
shot print-preview-plans
xdotool mousemove 1023 767
xdotool key Escape
sleep 1
echo "smoke: print preview opened"

# A three-span frame beam with a cantilever typed into the 梁平法 window
# (Ctrl+B), put into the list (Alt+L), the list saved (Ctrl+S) and read
# back: the beam's first top continuous piece, L 11625 + 375 of 25 mm, cuts
# at 11948 (docs/beams.md).
focus_list
xdotool key ctrl+b
beam="$(wait_window '梁平法' 30)" || fail 'Ctrl+B did not open the 梁平法 window'
sleep 1.5
xdotool type --delay 60 'KL2(3A) 300x650 C10@100/200(2) 2C25;4C22 G4C12'
xdotool key Return
cells() {
    local cell
    for cell in "$@"; do
        [ -z "$cell" ] || xdotool type --delay 60 "$cell"
        xdotool key Tab
        sleep 0.2
    done
}
cells 7200 '' '' '' '' 6000 '6C22 2/4' '' '' '' 3000
xdotool key alt+u
cells 600 4C25 '' '' 600 '6C25 4/2' '' '' 600 '6C25 4/2' '' '' 500 '6C25 4/2'
xdotool key alt+y
cells 1800 2C16
sleep 1
shot beam-window
xdotool key alt+l
for _ in $(seq 20); do xdotool search --onlyvisible --name '^梁平法$' >/dev/null 2>&1 || break; sleep 0.5; done
xdotool search --onlyvisible --name '^梁平法$' >/dev/null 2>&1 && fail 'Alt+L did not put the beam into the list'
sleep 1
shot beam-in-list
focus_list
xdotool key ctrl+s
sleep 3
"$wine" "$exe" --list "$(winpath "$saved")" 2>/dev/null | grep -q 11948 ||
    fail "the saved list lacks the beam's rows (cut length 11948)"
echo "smoke: beam typed in 梁平法, put into the list, saved and read back"

# A six-storey corner column typed into the 柱平法 window (Ctrl+K), as the
# screenshots type it; its top outer bars 1.5labE, L 2980 + 820 of 25 mm,
# cut at 3748 (docs/columns.md).
focus_list
xdotool key ctrl+k
column="$(wait_window '柱平法' 30)" || fail 'Ctrl+K did not open the 柱平法 window'
sleep 1.5
# One key at a time: Wine's window takes a burst of keys slower than it comes.
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.4; done; }
keys alt+k ctrl+a
xdotool type --delay 60 KZ2
keys alt+w Down Down alt+1 alt+4 alt+a alt+a
xdotool type --delay 60 3.6
keys Return alt+a alt+a alt+a alt+a alt+d
cells 600x600 '' '' '' '' 12C25 '' '' '' '1(4x4)' 'C10@100/200'
sleep 1
shot column-window
xdotool key alt+l
for _ in $(seq 20); do xdotool search --onlyvisible --name '^柱平法$' >/dev/null 2>&1 || break; sleep 0.5; done
xdotool search --onlyvisible --name '^柱平法$' >/dev/null 2>&1 && fail 'Alt+L did not put the column into the list'
focus_list
xdotool key ctrl+s
sleep 3
"$wine" "$exe" --list "$(winpath "$saved")" 2>/dev/null | grep -q 3748 ||
    fail "the saved list lacks the column's rows (cut length 3748)"
echo "smoke: column typed in 柱平法, put into the list, saved and read back"

# The anchorage window (Alt+M from the main window): HRB400, C30, d = 28,
# seismic grade 三, 50 % lapped.
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.5
xdotool key alt+m
anchorage="$(wait_window '锚固与搭接长度' 20)" || fail 'Alt+M did not open the anchorage window'
sleep 1.5
xdotool type --delay 80 28
xdotool key Return Down Down Down Return
xdotool type --delay 80 50
sleep 1
shot anchorage
echo "smoke: anchorage window opened"
"$wineserver" -k
sleep 1

# A list named on the command line, as Explorer's file association starts it.
(cd "$(dirname "$exe")" && exec "$wine" corvala.exe "$(winpath "$saved")") >>"$dir/corvala.log" 2>&1 &
wait_window 'wine-list.cvl - 钢筋下料单 - Corvala' 60 >/dev/null ||
    fail 'corvala.exe FILE.cvl did not open the list'
sleep 1.5
shot cutting-list-opened
echo "smoke: corvala.exe FILE.cvl opened the list"
"$wineserver" -k
sleep 1

# Wine keeps the host's QT_* variables from Windows programs; WINEQT_* reaches
# them as QT_*. At 125 % every line of the beam sketches must still show.
win="$(start_corvala WINEQT_SCALE_FACTOR=1.25)"
width_125="$(width "$win")"
[ "$width_125" -gt "$width_100" ] ||
    fail "the window is $width_125 pixels wide at 125 %, as at 100 % ($width_100): the scale did not reach it"
xdotool key ctrl+Tab
sleep 0.5
xdotool key ctrl+Tab
sleep 1.5
shot beam-125
echo "smoke: beam tab at 125 % in $dir/shots/beam-125.png"
echo "smoke: passed; screenshots in $dir/shots"
