#!/usr/bin/env bash
# One command, as root on Debian 12: installs what is missing, builds Qt for
# Windows once (cached outside the checkout), cross-builds Corvala and packs
# corvala-<version>-windows-x64.zip: the program (COIN-OR CLP built in, see
# build-windows-coin.sh; zlib and libxlsxwriter, see
# build-windows-xlsxwriter.sh; libqrencode's DLL, see
# build-windows-qrencode.sh), the Qt and MinGW DLLs it loads, Qt's Chinese button
# texts, a read-me and the licences. Unzip and run; nothing to
# install. The zip's path is printed last.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${CORVALA_WINDOWS_BUILD:-build-windows}"
# The Windows tests build their suites in the same tree as the zip's program,
# so that nothing is cross-compiled twice; they pass GoogleTest's prefix here.
tests="${CORVALA_WINDOWS_TESTS:-OFF}"
extra_prefixes="${CORVALA_WINDOWS_EXTRA_PREFIXES:-}"
jobs="${CORVALA_JOBS:-2}"
triple=x86_64-w64-mingw32
# Progress to stderr; stdout carries only the zip's path.
exec 3>&1 1>&2

bash scripts/install-windows-deps.sh
qt="$(bash scripts/build-windows-qt.sh)"
coin="$(bash scripts/build-windows-coin.sh)"
xlsx="$(bash scripts/build-windows-xlsxwriter.sh)"
qrencode="$(bash scripts/build-windows-qrencode.sh)"

cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCORVALA_WINDOWS_PREFIXES="$qt;$coin;$xlsx;$qrencode${extra_prefixes:+;$extra_prefixes}" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCORVALA_BUILD_TESTS="$tests"
cmake --build "$build" --parallel "$jobs" --target corvala

version="$(sed -nE 's/^project\(Corvala VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
name="corvala-$version-windows-x64"
stage="$build/package/$name"
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"

cp "$build/src/corvala.exe" "$build/src/corvala_list.dll" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt"/plugins/styles/*.dll "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
# CoinUtils and Clp are linked in statically; their licence goes beside them.
cp "$coin"/LICENSE-Clp.txt "$coin"/LICENSE-CoinUtils.txt "$stage/"
# So are zlib and libxlsxwriter, which write the Excel workbooks.
cp "$xlsx"/LICENSE-zlib.txt "$xlsx"/LICENSE-libxlsxwriter.txt "$stage/"
# libqrencode, which draws the tags' QR codes, is a DLL of its own (found
# with the other DLLs below); its licence goes beside it.
cp "$qrencode"/LICENSE-libqrencode.txt "$stage/"
# Notepad reads it best with a byte-order mark and CR LF line ends.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' scripts/windows/README.txt; } > "$stage/README.txt"

# Every DLL the program and its plugins name that is not part of Windows,
# taken from the Qt build or the MinGW runtime, until nothing is missing.
runtime_dirs=(
    "$qt/bin"
    "$qrencode/lib"
    "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"
    "/usr/$triple/lib"
)
find_dll() {
    local d
    for d in "${runtime_dirs[@]}"; do
        [ -f "$d/$1" ] && { echo "$d/$1"; return 0; }
    done
    return 1
}
while :; do
    added=0
    while read -r dll; do
        [ -f "$stage/$dll" ] && continue
        if src="$(find_dll "$dll")"; then
            cp "$src" "$stage/"
            added=1
        fi
    done < <(find "$stage" -name '*.exe' -o -name '*.dll' | xargs -n1 $triple-objdump -p |
                 sed -nE 's/^\s*DLL Name: (.*)$/\1/p' | sort -u)
    [ "$added" = 0 ] && break
done
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec $triple-strip --strip-unneeded {} +

zip="$root/$build/$name.zip"
rm -f "$zip"
(cd "$build/package" && zip -qr9X "$zip" "$name")
# The installer, from the same staged files: for the current user by default,
# .cvl lists registered, an uninstaller in Programs and Features. Its licence
# page shows Corvala's terms and those of the libraries it carries.
licence="$build/package/licence.txt"
{
    printf '\xef\xbb\xbf'
    {
        cat data/copyright
        for f in "$stage"/LICENSE-*.txt; do
            printf '\n\n===== %s =====\n\n' "$(basename "$f")"
            cat "$f"
        done
    } | sed 's/$/\r/'
} > "$licence"
setup="$root/$build/$name-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$root/$stage" \
    -DICON="$root/$build/src/windows/corvala.ico" -DLICENCE="$root/$licence" -DOUTFILE="$setup" \
    scripts/windows/corvala.nsi

echo "$zip" >&3
