#!/usr/bin/env bash
# Builds libqrencode, which draws the bundle tags' QR codes, for 64-bit
# Windows from Debian's own source package: a DLL beside the program, so that
# the library stays replaceable as its licence (LGPL 2.1 or later) asks; no
# PNG, no command-line tool. The result is cached per version outside the
# checkout beside Qt, so only the first build on a machine pays. Needs the
# deb-src entry that scripts/install-windows-deps.sh adds. Prints the
# install prefix.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
jobs="${CORVALA_JOBS:-2}"

source "$(dirname "$0")/windows/source-package.sh"

# Where the archive serves the upstream tarball and the signed .dsc but not
# Debian's packaging part, the tarball the .dsc names is unpacked by itself
# once its SHA-256 matches: Debian builds its library from these sources.
unpack_verified_orig() {
    local package="$1" dsc orig sum
    dsc="$(ls "$cache/src/${package}"_*.dsc 2>/dev/null | sort -V | tail -n1)"
    [ -n "$dsc" ] || return 1
    orig="$(sed -nE 's/^ [0-9a-f]{64} [0-9]+ (.*\.orig\.tar\.[a-z0-9]+)$/\1/p' "$dsc" | head -n1)"
    [ -n "$orig" ] && [ -f "$cache/src/$orig" ] || return 1
    sum="$(awk -v f="$orig" '$3 == f && length($1) == 64 { print $1; exit }' "$dsc")"
    echo "$sum  $cache/src/$orig" | sha256sum -c --quiet - || return 1
    echo "Debian's packaging part of $package could not be fetched; unpacking $orig as the .dsc names it" >&2
    tar -xf "$cache/src/$orig" -C "$cache/src"
}

mkdir -p "$cache/src" "$cache/build"
fetch_source qrencode || unpack_verified_orig qrencode
src="$(ls -d "$cache"/src/qrencode-[0-9]*/ | head -n1)"
version="$(basename "$src" | sed -E 's/^qrencode-([0-9.]+[0-9]).*/\1/')"

prefix="$cache/qrencode-$version-mingw-w64"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log="$cache/build/qrencode-mingw-w64.log"
echo "building libqrencode $version for Windows (log: $log)" >&2
start=$(date +%s)
build_all() {
    set -euo pipefail
    rm -rf "$prefix"
    local dir="$cache/build/qrencode-mingw-w64"
    rm -rf "$dir"
    cmake -S "$src" -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=ON \
        -DWITH_TOOLS=OFF -DWITH_TESTS=OFF -DWITHOUT_PNG=ON
    nice -n 19 cmake --build "$dir" --parallel "$jobs"
    cmake --install "$dir"
}
# Run apart and waited for: set -e is off in a command that || tests, and a
# failed step must stop the build.
(build_all) >"$log" 2>&1 &
wait $! || { echo "libqrencode build failed; see $log" >&2; tail -n 30 "$log" >&2; exit 1; }
end=$(date +%s)
test -f "$prefix/include/qrencode.h"
test -f "$prefix/lib/pkgconfig/libqrencode.pc"
ls "$prefix"/lib/*qrencode*.dll >/dev/null
# The licence goes into the zip beside the program.
cp "$src/COPYING" "$prefix/LICENSE-libqrencode.txt"
echo "libqrencode for Windows built in $((end - start)) s" >&2
touch "$prefix/.complete"
echo "$prefix"
