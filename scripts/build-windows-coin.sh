#!/usr/bin/env bash
# Builds COIN-OR CoinUtils and Clp, the LP solver the cutting plans use, for
# 64-bit Windows from Debian's own source packages: static libraries only, no
# BLAS, LAPACK, zlib or bzip2, no Fortran. The result is cached per version
# outside the checkout beside Qt, so only the first build on a machine pays.
# Needs the deb-src entry that scripts/install-windows-deps.sh adds. Prints
# the install prefix.
set -euo pipefail

cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
jobs="${CORVALA_JOBS:-2}"
triple=x86_64-w64-mingw32

mkdir -p "$cache/src" "$cache/build"
source "$(dirname "$0")/windows/source-package.sh"
fetch_source coinutils
fetch_source clp
coinutils_src="$(ls -d "$cache"/src/coinutils-[0-9]*/ | head -n1)"
clp_src="$(ls -d "$cache"/src/clp-[0-9]*/ | head -n1)"
coinutils_version="$(basename "$coinutils_src" | sed -E 's/^coinutils-([0-9.]+).*/\1/')"
clp_version="$(basename "$clp_src" | sed -E 's/^clp-([0-9.]+).*/\1/')"

prefix="$cache/coin-clp-$clp_version-coinutils-$coinutils_version-mingw-w64"
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log="$cache/build/coin-mingw-w64.log"
echo "building CoinUtils $coinutils_version and Clp $clp_version for Windows (log: $log)" >&2
start=$(date +%s)
# One library: configured outside its source tree, built, installed into the prefix.
build_one() {
    local name="$1" src="$2"
    local dir="$cache/build/$name-mingw-w64"
    rm -rf "$dir"
    mkdir -p "$dir"
    (
        cd "$dir"
        # pkg-config sees only what was built for Windows: Clp finds the
        # cross-built CoinUtils there and nothing of the build machine.
        PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
            "$src/configure" --host=$triple --prefix="$prefix" \
            CC=$triple-gcc-posix CXX=$triple-g++-posix F77=unavailable \
            CFLAGS="-O2" CXXFLAGS="-O2" \
            --without-blas --without-lapack --disable-zlib --disable-bzlib \
            --enable-static --disable-shared --disable-dependency-tracking
        PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" nice -n 19 make -j"$jobs"
        make install
    )
}
{
    rm -rf "$prefix"
    build_one coinutils "$coinutils_src"
    mid=$(date +%s)
    echo "CoinUtils built in $((mid - start)) s"
    build_one clp "$clp_src"
} >"$log" 2>&1 || { echo "CoinUtils/Clp build failed; see $log" >&2; tail -n 30 "$log" >&2; exit 1; }
end=$(date +%s)
test -f "$prefix/lib/libClp.a"
test -f "$prefix/lib/libCoinUtils.a"
test -f "$prefix/lib/pkgconfig/clp.pc"
# The licence goes into the zip beside the program.
cp "$clp_src/Clp/LICENSE" "$prefix/LICENSE-Clp.txt"
cp "$coinutils_src/CoinUtils/LICENSE" "$prefix/LICENSE-CoinUtils.txt"
echo "CoinUtils and Clp for Windows built in $((end - start)) s" >&2
touch "$prefix/.complete"
echo "$prefix"
