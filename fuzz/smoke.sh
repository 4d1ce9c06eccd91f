#!/usr/bin/env bash
# Builds the libFuzzer targets (the formula engine; cutting-list files and
# CSV sheets; beam annotations and beam files; column texts and column
# files) and runs each for a while.
#
#   fuzz/smoke.sh [build-dir] [seconds]
#
# build-dir defaults to build-fuzz in the project's root, beside this folder;
# seconds defaults to $FUZZ_SECONDS, else 60. Exits
# non-zero on any crash, timeout or sanitizer report; without clang++ it
# prints "fuzz: skipped (no clang)" and exits 0. FUZZ_STEP=build, formula,
# list, beam or column does one step only, so that a test run can build and fuzz the lists
# beside other tests and keep the machine to itself only for the formula
# engine's per-input time budget.
set -euo pipefail

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: skipped (no clang)"
    exit 0
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-fuzz}"
seconds="${2:-${FUZZ_SECONDS:-60}}"
step="${FUZZ_STEP:-all}"
case "$step" in
all | build | formula | list | beam | column) ;;
*)
    echo "fuzz: FUZZ_STEP must be build, formula, list, beam or column, not \"$step\"" >&2
    exit 2
    ;;
esac

generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
if [ "$step" = all ] || [ "$step" = build ]; then
    cmake -S "$root" -B "$build" "${generator[@]}" \
        -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCORVALA_BUILD_FUZZ=ON -DCORVALA_BUILD_TESTS=OFF -DCORVALA_BUILD_BENCH=OFF >/dev/null
    cmake --build "$build" --target formula_fuzz list_fuzz beam_fuzz column_fuzz -j"$(nproc)"
    if [ "$step" = build ]; then
        echo "fuzz: built in $build"
        exit 0
    fi
fi

# New units go to a work folder in the build directory; the shipped corpus is
# only read.
work="$build/fuzz-work"
artifacts="$build/fuzz-artifacts"
mkdir -p "$work/corpus" "$artifacts"
log="$work/last-run.log"

# Fails the run when a fuzzer ended badly or its log holds a sanitizer
# report, a runtime error or a complaint of the target itself (its name and
# a colon), and shows where.
fail_on_findings() {
    local target="$1" target_log="$2" target_status="$3" what="$4"
    if [ "$target_status" -ne 0 ] || grep -qE "ERROR: (AddressSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|$target: " "$target_log"; then
        # The log beside the artifact it found: the next run overwrites the log.
        cp "$target_log" "$artifacts/$target-failed-$(date +%Y%m%dT%H%M%S).log" || true
        echo "fuzz: ${what}FAILED (exit $target_status); log: $target_log" >&2
        grep -E -A30 "ERROR:|runtime error:|$target: |Test unit written" "$target_log" | head -80 >&2 || true
        exit 1
    fi
}

fuzz_formula() {
    status=0
    "$build/fuzz/formula_fuzz" \
        -max_len=255 -timeout=1 -max_total_time="$seconds" \
        -dict="$here/formula.dict" -artifact_prefix="$artifacts/" \
        -print_final_stats=1 \
        "$work/corpus" "$here/corpus" >"$log" 2>&1 || status=$?

    grep -E '^(#[0-9]+ +DONE|stat::|formula_fuzz (time limit|stats|slowest|values|skipped|refused))' "$log" || true
    fail_on_findings formula_fuzz "$log" "$status" ""
}

fuzz_list() {
    # Cutting-list files and CSV sheets, from a few real ones.
    list_seconds="${FUZZ_LIST_SECONDS:-30}"
    mkdir -p "$work/list-corpus"
    list_log="$work/list-run.log"
    status=0
    "$build/fuzz/list_fuzz" \
        -max_len=4096 -timeout=2 -max_total_time="$list_seconds" \
        -artifact_prefix="$artifacts/list-" -print_final_stats=1 \
        "$work/list-corpus" "$here/list-corpus" >"$list_log" 2>&1 || status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units)' "$list_log" || true
    fail_on_findings list_fuzz "$list_log" "$status" "list "
}

fuzz_beam() {
    # Beam annotations and beam files, from a few worked beams.
    beam_seconds="${FUZZ_BEAM_SECONDS:-30}"
    mkdir -p "$work/beam-corpus"
    beam_log="$work/beam-run.log"
    status=0
    "$build/fuzz/beam_fuzz" \
        -max_len=2048 -timeout=2 -max_total_time="$beam_seconds" \
        -dict="$here/beam.dict" -artifact_prefix="$artifacts/beam-" -print_final_stats=1 \
        "$work/beam-corpus" "$here/beam-corpus" >"$beam_log" 2>&1 || status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units)' "$beam_log" || true
    fail_on_findings beam_fuzz "$beam_log" "$status" "beam "
}

fuzz_column() {
    # Column texts and column files, from the worked columns.
    column_seconds="${FUZZ_COLUMN_SECONDS:-30}"
    mkdir -p "$work/column-corpus"
    column_log="$work/column-run.log"
    status=0
    "$build/fuzz/column_fuzz" \
        -max_len=4096 -timeout=2 -max_total_time="$column_seconds" \
        -dict="$here/column.dict" -artifact_prefix="$artifacts/column-" -print_final_stats=1 \
        "$work/column-corpus" "$here/column-corpus" >"$column_log" 2>&1 || status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units)' "$column_log" || true
    fail_on_findings column_fuzz "$column_log" "$status" "column "
}

case "$step" in
column)
    fuzz_column
    echo "fuzz: passed (${FUZZ_COLUMN_SECONDS:-30}s column)"
    ;;
beam)
    fuzz_beam
    echo "fuzz: passed (${FUZZ_BEAM_SECONDS:-30}s beam)"
    ;;
formula)
    fuzz_formula
    echo "fuzz: passed (${seconds}s formula)"
    ;;
list)
    fuzz_list
    echo "fuzz: passed (${FUZZ_LIST_SECONDS:-30}s list)"
    ;;
all)
    fuzz_formula
    fuzz_list
    fuzz_beam
    fuzz_column
    echo "fuzz: passed (${seconds}s formula, ${FUZZ_LIST_SECONDS:-30}s list, ${FUZZ_BEAM_SECONDS:-30}s beam, ${FUZZ_COLUMN_SECONDS:-30}s column)"
    ;;
esac
