#!/usr/bin/env bash
# Runs the cutting plans' prices, stock on hand and offcut store through the
# Windows zip's corvala.exe under Wine, without a display: two lists planned
# one after the other with one offcut store (the second cuts the first's
# offcuts, the store marks them used), and one list on three stock lengths
# priced by the metre, with and without a bar in the yard (costs worked by
# hand: 131.40 and 79.20 yuan, both proven).
# Usage: plans-wine.sh <zip> <folder>
set -euo pipefail
zip="$1"
dir="$2"
rm -rf "$dir"
mkdir -p "$dir/lists"
unzip -q "$zip" -d "$dir"
exe_dir="$(dirname "$(ls "$dir"/*/corvala.exe)")"
printf 'length,count,diameter,grade,mark\r\n8000,2,25,HRB400,KL1\r\n' >"$dir/lists/first.csv"
printf 'length,count,diameter,grade,mark\r\n3500,2,25,HRB400,KL2\r\n' >"$dir/lists/second.csv"
printf 'length,count,diameter,grade,mark\r\n5900,5,25,HRB400,KZ1\r\n' >"$dir/lists/priced.csv"

export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree=;mshtml=" WINEPREFIX="$dir/wine"
unset DISPLAY
wine=/usr/lib/wine/wine64
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1
fail() { echo "plans: $*" >&2; exit 1; }
run() { (cd "$dir/lists" && "$wine" "$exe_dir/corvala.exe" "$@"); }
check() { # check.py-style assertions on a JSON answer: file, then Python lines
    local file="$1"
    shift
    python3 - "$file" "$@" <<'PY' || return 1
import json, sys
answer = json.load(open(sys.argv[1], encoding='utf-8'))
group = answer['groups'][0]
for line in sys.argv[2:]:
    assert eval(line), line
PY
}

run --cut first.csv --stock 12000 --keep-offcut 1000 --offcuts store.json --json \
    >"$dir/first.json" 2>"$dir/err.txt" || fail "first list: $(cat "$dir/err.txt")"
check "$dir/first.json" "answer['offcuts']['added'][0]['length'] == 4000" \
    "answer['offcuts']['added'][0]['count'] == 2" || fail "the first list stored no offcuts"
run --cut second.csv --stock 12000 --keep-offcut 1000 --offcuts store.json --json \
    >"$dir/second.json" 2>"$dir/err.txt" || fail "second list: $(cat "$dir/err.txt")"
check "$dir/second.json" "group['stock'] == [{'count': 2, 'length': 4000, 'source': 'offcut'}]" \
    "group['cost'] == 0" "answer['offcuts']['used'][0]['count'] == 2" ||
    fail "the second list did not cut the first's offcuts"
python3 - "$dir/lists/store.json" <<'PY' || fail "the store does not show the offcuts used"
import json, sys
store = json.load(open(sys.argv[1], encoding='utf-8'))
assert [e['used'] for e in store['offcuts']] == [True], store
assert store['offcuts'][0]['usedBy'] == 'second.csv', store
PY

stock=6000@4.50,9000@4.40,12000@4.35
run --cut priced.csv --stock "$stock" --pricing metre --json >"$dir/priced.json" ||
    fail "priced list refused"
check "$dir/priced.json" "group['cost'] == 131.4" "group['proven']" ||
    fail "three priced stock lengths: not 131.40 yuan, proven"
run --cut priced.csv --stock "$stock" --pricing metre --on-hand 12000:1 --json \
    >"$dir/on-hand.json" || fail "stock on hand refused"
check "$dir/on-hand.json" "group['cost'] == 79.2" "group['proven']" \
    "{'count': 1, 'length': 12000, 'source': 'onHand'} in group['stock']" ||
    fail "the bar on hand was not cut first"
echo "plans: offcut store, prices and stock on hand answered as on Linux"
