#!/usr/bin/env bash
# Runs --tags of the Windows zip's corvala.exe under Wine, without a display,
# on the example list: the PDF of each layout (its pages, and a tag's text as
# a PDF reader copies it, where poppler-utils is installed), and a layout
# there is none of refused with status 1.
# Usage: tags-wine.sh <zip> <folder>
set -euo pipefail
zip="$1"
dir="$2"
rm -rf "$dir"
mkdir -p "$dir"
unzip -q "$zip" -d "$dir"
exe_dir="$(dirname "$(ls "$dir"/*/corvala.exe)")"
example="$(cd "$(dirname "$0")/../.." && pwd)/docs/examples/frame-beams-columns.cvl"
cp "$example" "$dir/example.cvl"

export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree=;mshtml=" WINEPREFIX="$dir/wine"
unset DISPLAY
wine=/usr/lib/wine/wine64
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1
fail() { echo "tags: $*" >&2; exit 1; }
run() { (cd "$exe_dir" && "$wine" corvala.exe "$@"); }

# 30 rows: 2 sheets of 21, 4 of 8, a page each on a label printer.
for layout_pages in 3x7:2 2x4:4 100x70:30 80x50:30; do
    layout=${layout_pages%%:*}
    pages=${layout_pages##*:}
    run --tags ../example.cvl --pdf "../tags-$layout.pdf" --layout "$layout" \
        >"$dir/out.txt" 2>"$dir/err.txt" || fail "--layout $layout failed: $(cat "$dir/err.txt")"
    grep -q "30 张料牌，$pages 页" "$dir/out.txt" || fail "--layout $layout said: $(cat "$dir/out.txt")"
    [ "$(head -c 5 "$dir/tags-$layout.pdf")" = "%PDF-" ] || fail "--layout $layout wrote no PDF"
    if command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null; then
        pdfinfo "$dir/tags-$layout.pdf" | grep -Eq "^Pages: +$pages$" ||
            fail "--layout $layout: not $pages pages"
        text="$(pdftotext -enc UTF-8 -f 1 -l 1 "$dir/tags-$layout.pdf" - | tr -s ' \n' ' ')"
        for expected in "编号 1" "KL1 × 4 件" "HRB400 Φ25" "下料长度 20500 mm"; do
            case "$text" in *"$expected"*) ;; *) fail "--layout $layout: no \"$expected\" on page 1" ;; esac
        done
    fi
done
if run --tags ../example.cvl --pdf ../bad.pdf --layout 4x4 2>"$dir/err.txt"; then
    fail "--tags took the layout 4x4"
fi
grep -q -- '--layout' "$dir/err.txt" || fail "--tags gave no reason for 4x4"
echo "tags: --tags wrote every layout as on Linux"
