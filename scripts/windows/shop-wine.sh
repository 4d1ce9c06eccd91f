#!/usr/bin/env bash
# Runs the bending shop's commands of the Windows zip's corvala.exe under
# Wine, without a display, on the example list: --bvbs to standard output and
# with -o --pinyin to a file (30 lines, each with the checksum the rule
# gives, CR LF line ends, ASCII only), a missing file refused with status 1,
# and --cutting-sheet refusing a list without a saved plan.
# Usage: shop-wine.sh <zip> <folder>
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
fail() { echo "shop: $*" >&2; exit 1; }
run() { (cd "$exe_dir" && "$wine" corvala.exe "$@"); }

# Every line: printable ASCII, ends CR LF, and its checksum is
# 96 - (sum of the codes through the C of "@C") mod 32.
check_abs() {
    python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
lines = data.split(b'\r\n')
assert lines[-1] == b'', 'no CR LF after the last line'
lines = lines[:-1]
assert len(lines) == int(sys.argv[2]), f'{len(lines)} lines'
for line in lines:
    assert all(0x20 <= c < 0x7f for c in line), line
    at = line.rindex(b'@C') + 2
    assert line.startswith(b'BF2D@H') and line.endswith(b'@'), line
    assert int(line[at:-1]) == 96 - sum(line[:at]) % 32, line
PY
}

run --bvbs ../example.cvl >"$dir/out.abs" 2>"$dir/err.txt" || fail "--bvbs failed: $(cat "$dir/err.txt")"
check_abs "$dir/out.abs" 30 || fail "--bvbs wrote a file a bender would refuse"
run --bvbs ../example.cvl -o ../pinyin.abs --pinyin || fail "--bvbs -o failed"
check_abs "$dir/pinyin.abs" 30 || fail "--bvbs -o wrote a file a bender would refuse"
grep -q '@HjSanHaoLou ErCengLiangZhu@' "$dir/pinyin.abs" || fail "--pinyin wrote no pinyin"
if run --bvbs ../none.cvl >/dev/null 2>&1; then fail "--bvbs took a missing file"; fi
if run --cutting-sheet ../example.cvl --xlsx ../sheet.xlsx 2>"$dir/err.txt"; then
    fail "--cutting-sheet took a list without a plan"
fi
grep -q '没有下料方案' "$dir/err.txt" || fail "--cutting-sheet gave no reason"
echo "shop: --bvbs and --cutting-sheet answered as on Linux"
