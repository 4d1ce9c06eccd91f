#!/usr/bin/env bash
# Builds zlib and libxlsxwriter, which write the Excel workbooks, for 64-bit
# Windows from Debian's own source packages: static libraries only, with
# libxlsxwriter's own minizip, MD5 and temporary files and its locale-free
# number writing (dtoa). The result is cached per version outside the
# checkout beside Qt, so only the first build on a machine pays. Needs the
# deb-src entry that scripts/install-windows-deps.sh adds. Prints the
# install prefix.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
jobs="${CORVALA_JOBS:-2}"
triple=x86_64-w64-mingw32

source "$(dirname "$0")/windows/source-package.sh"

mkdir -p "$cache/src" "$cache/build"
fetch_source zlib
fetch_source libxlsxwriter
zlib_src="$(ls -d "$cache"/src/zlib-[0-9]*/ | head -n1)"
xlsx_src="$(ls -d "$cache"/src/libxlsxwriter-[0-9]*/ | head -n1)"
zlib_version="$(basename "$zlib_src" | sed -E 's/^zlib-([0-9.]+[0-9]).*/\1/')"
xlsx_version="$(basename "$xlsx_src" | sed -E 's/^libxlsxwriter-([0-9.]+).*/\1/')"

prefix="$cache/xlsxwriter-$xlsx_version-zlib-$zlib_version-mingw-w64"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log="$cache/build/xlsxwriter-mingw-w64.log"
echo "building zlib $zlib_version and libxlsxwriter $xlsx_version for Windows (log: $log)" >&2
start=$(date +%s)
build_all() {
    set -euo pipefail
    rm -rf "$prefix"

    # zlib by its own configure, static, in a copy of its tree (Debian's
    # source has no win32 makefile).
    local dir="$cache/build/zlib-mingw-w64"
    rm -rf "$dir"
    cp -a "$zlib_src" "$dir"
    cd "$dir"
    CHOST=$triple CC=$triple-gcc-posix AR=$triple-ar RANLIB=$triple-ranlib CFLAGS="-O2" \
        ./configure --static --prefix="$prefix"
    nice -n 19 make -j"$jobs" libz.a
    make install
    echo "zlib built in $(($(date +%s) - start)) s"

    # libxlsxwriter with CMake and the project's MinGW toolchain, finding
    # only the zlib just built.
    dir="$cache/build/xlsxwriter-mingw-w64"
    rm -rf "$dir"
    cmake -S "$xlsx_src" -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCORVALA_WINDOWS_PREFIXES="$prefix" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_INSTALL_LIBDIR=lib \
        -DBUILD_SHARED_LIBS=OFF \
        -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
        -DUSE_SYSTEM_MINIZIP=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_DTOA_LIBRARY=ON \
        -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
    nice -n 19 cmake --build "$dir" --parallel "$jobs"
    cmake --install "$dir"
}
# Run apart and waited for: set -e is off in a command that || tests, and a
# failed step must stop the build.
(build_all) >"$log" 2>&1 &
wait $! || { echo "zlib/libxlsxwriter build failed; see $log" >&2; tail -n 30 "$log" >&2; exit 1; }
end=$(date +%s)
test -f "$prefix/lib/libz.a"
test -f "$prefix/lib/libxlsxwriter.a"
test -f "$prefix/lib/pkgconfig/xlsxwriter.pc"
# The licences go into the zip beside the program.
cp "$zlib_src/LICENSE" "$prefix/LICENSE-zlib.txt"
cp "$xlsx_src/License.txt" "$prefix/LICENSE-libxlsxwriter.txt"
echo "zlib and libxlsxwriter for Windows built in $((end - start)) s" >&2
touch "$prefix/.complete"
echo "$prefix"
