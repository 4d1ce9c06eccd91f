#!/usr/bin/env bash
# One command, as root on Debian 12: builds the Windows zip (as
# build-windows.sh does), cross-builds the GoogleTest suites and runs them
# under Wine with Qt's offscreen platform, then starts the zip's corvala.exe
# from a clean Wine prefix on a private X display and drives it: the window
# maps, a diameter typed on the first tab changes the results, Alt+A opens
# the About window, a cutting list is typed, saved and read back, the
# anchorage window opens. Screenshots land in build-windows-test/smoke/shots/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
build="${CORVALA_WINDOWS_TEST_BUILD:-build-windows-test}"
jobs="${CORVALA_JOBS:-2}"
triple=x86_64-w64-mingw32

bash scripts/install-windows-deps.sh

# GoogleTest from Debian's source package, built once for Windows.
gtest_version="$(dpkg-query -W -f='${Version}' googletest | sed -E 's/^([0-9.]+).*/\1/')"
gtest="$cache/googletest-$gtest_version-mingw-w64"
if [ ! -f "$gtest/.complete" ]; then
    cmake -S /usr/src/googletest -B "$cache/build/googletest-$gtest_version-mingw-w64" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=ON
    cmake --build "$cache/build/googletest-$gtest_version-mingw-w64" --parallel "$jobs"
    cmake --install "$cache/build/googletest-$gtest_version-mingw-w64"
    touch "$gtest/.complete"
fi

# The zip, built in the test tree with the suites configured beside it; then
# the suites themselves. Qt and the libraries come from the cache by now.
zip="$(CORVALA_WINDOWS_BUILD="$build" CORVALA_WINDOWS_TESTS=ON \
    CORVALA_WINDOWS_EXTRA_PREFIXES="$gtest" bash scripts/build-windows.sh | tail -n1)"
qt="$(bash scripts/build-windows-qt.sh)"
qrencode="$(bash scripts/build-windows-qrencode.sh)"
cmake --build "$build" --parallel "$jobs"
# Qt's Chinese button texts beside each suite, where the program looks first.
find "$build/tests" -name 'test_*.exe' -printf '%h\n' | sort -u | while read -r dir; do
    mkdir -p "$dir/translations"
    cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$dir/translations/"
done

# --- Wine -----------------------------------------------------------------
export WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko download prompts: the program needs neither.
export WINEDLLOVERRIDES="mscoree=;mshtml="
wine=/usr/lib/wine/wine64
windows_path() { echo "Z:${1//\//\\}"; }
mingw_dir="$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"

fresh_prefix() {
    rm -rf "$1"
    WINEPREFIX="$1" "$wine" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$1" /usr/lib/wine/wineserver64 -w
}

# --- GoogleTest suites under Wine, offscreen --------------------------------
export WINEPREFIX="$root/$build/wine-tests"
[ -d "$WINEPREFIX/drive_c" ] || fresh_prefix "$WINEPREFIX"
# The suites find Qt, its plugins and translations, libqrencode and the MinGW
# runtime in place.
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$qrencode/lib");$(windows_path "$mingw_dir");$(windows_path "/usr/$triple/lib")"
export WINEPATH
# Wine keeps the host's QT_* variables from Windows programs; a variable
# named WINEQT_* reaches them as QT_*.
# Qt's offscreen platform on Windows reads fonts from one folder, not from the
# system: give it the Chinese faces the Linux runs use.
WINEQT_QPA_FONTDIR="$(windows_path "$(dirname "$(fc-match -f '%{file}' 'Noto Sans CJK SC')")")"
export WINEQT_QPA_FONTDIR
mkdir -p "$build/results"
rm -f "$build"/results/*.xml
failed=0
total_passed=0 total_failed=0 total_skipped=0
printf '%-28s %7s %7s %7s\n' suite passed failed skipped
while read -r exe; do
    name="$(basename "$exe" .exe)"
    # As on Linux: plain, and under a German locale or at twice the scale
    # where the suite's CMake says either can matter.
    read -r -a variants < <(awk -v n="$name" '$1 == n { $1 = ""; print }' "$build/tests/test-variants.txt") || true
    [ "${#variants[@]}" -gt 0 ] || variants=(plain)
    for variant in "${variants[@]}"; do
        # Wine names files on the Linux side in the locale's character set:
        # without UTF-8 a Chinese file name is lost between two programs.
        env=(WINEQT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDEBUG=-all,warn+heap)
        case "$variant" in
        de_DE) env+=(LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8) ;;
        scale2) env+=(WINEQT_SCALE_FACTOR=2) ;;
        esac
        xml="$build/results/$name.$variant.xml"
        log="$build/results/$name.$variant.log"
        status=0
        env "${env[@]}" timeout 300 "$wine" "$exe" --gtest_output="xml:$(windows_path "$root/$xml")" \
            >"$log" 2>&1 || status=$?
        # A clean report does not make a clean run. Wine checks the heap on
        # every call and says where it was damaged (a double free, a write
        # past the end), which on Windows may crash only some runs later; and
        # it ends a crashed program with status 0 once its debugger has
        # printed the backtrace.
        why=""
        if [ "$status" -eq 124 ]; then
            why="still running after 300 s, stopped"
        elif grep -q ':heap:' "$log"; then
            why="Wine found the heap damaged"
        elif grep -q '^wine: Unhandled' "$log"; then
            why="crashed"
        elif [ "$status" -ne 0 ]; then
            why="exit status $status"
        fi
        if [ -n "$why" ]; then
            failed=1
            echo "$name.$variant: $why (see $log)"
        fi
        if [ -f "$xml" ]; then
            read -r tests failures skipped < <(sed -nE \
                '0,/<testsuites /s/.*<testsuites tests="([0-9]+)" failures="([0-9]+)" disabled="[0-9]+" errors="[0-9]+".*/\1 \2/p' "$xml" |
                { read -r t f; s="$(grep -c 'result="skipped"' "$xml" || true)"; echo "$t $f $s"; })
            printf '%-28s %7s %7s %7s\n' "$name.$variant" "$((tests - failures - skipped))" "$failures" "$skipped"
            total_passed=$((total_passed + tests - failures - skipped))
            total_failed=$((total_failed + failures))
            total_skipped=$((total_skipped + skipped))
        else
            printf '%-28s %s\n' "$name.$variant" "did not finish (see $log)"
            failed=1
            total_failed=$((total_failed + 1))
        fi
    done
done < <(find "$build/tests" -name 'test_*.exe' | sort)
/usr/lib/wine/wineserver64 -k || true
unset WINEPATH

# --- The zip's program on a private X display -------------------------------
if bash scripts/windows/smoke-wine.sh "$zip" "$root/$build/smoke"; then
    total_passed=$((total_passed + 1))
else
    failed=1
    total_failed=$((total_failed + 1))
fi

# --- The zip's bending-shop commands, without a display -----------------------
if bash scripts/windows/shop-wine.sh "$zip" "$root/$build/shop"; then
    total_passed=$((total_passed + 1))
else
    failed=1
    total_failed=$((total_failed + 1))
fi

# --- The zip's bundle tags, without a display ---------------------------------
if bash scripts/windows/tags-wine.sh "$zip" "$root/$build/tags"; then
    total_passed=$((total_passed + 1))
else
    failed=1
    total_failed=$((total_failed + 1))
fi

# --- The zip's cutting plans: offcut store, prices, stock on hand -------------
if bash scripts/windows/plans-wine.sh "$zip" "$root/$build/plans"; then
    total_passed=$((total_passed + 1))
else
    failed=1
    total_failed=$((total_failed + 1))
fi

# --- The installer: install, open a list from its association, uninstall -----
if bash scripts/windows/installer-wine.sh "${zip%.zip}-setup.exe" "$root/$build/installer"; then
    total_passed=$((total_passed + 1))
else
    failed=1
    total_failed=$((total_failed + 1))
fi

echo "wine: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit "$failed"
