#!/usr/bin/env bash
# Builds Qt's base module (Core, Gui, Widgets, the Windows and offscreen
# platform plugins, the Windows styles, print support) for 64-bit Windows from Debian's
# qt6-base source, against the host tools of Debian's own Qt of the same
# version. The result is cached per Qt version outside the checkout, so only
# the first build on a machine pays. Prints the install prefix.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
jobs="${CORVALA_JOBS:-2}"

src="$(ls -d "$cache"/src/qt6-base-*/ 2>/dev/null | head -n1)"
if [ -z "$src" ]; then
    echo "no Qt source in $cache/src; run scripts/install-windows-deps.sh first" >&2
    exit 1
fi
version="$(sed -nE 's/^set\(QT_REPO_MODULE_VERSION "([0-9.]+)"\).*/\1/p' "$src/.cmake.conf")"
host_version="$(dpkg-query -W -f='${Version}' qt6-base-dev | sed -E 's/^([0-9.]+).*/\1/')"
if [ "$version" != "$host_version" ]; then
    echo "Qt source $version does not match the host Qt $host_version" >&2
    exit 1
fi

# The feature set is part of the cache key: a machine that built Qt with
# another set builds it again once, beside the old one. A build with print
# support and the plugins left out below serves as well, so a machine that
# has one keeps using it rather than spending half an hour on less.
flavour="print-lean"
prefix="$cache/qt-$version-mingw-w64-$flavour"
for built in "$prefix" "$cache/qt-$version-mingw-w64-print"; do
    if [ -f "$built/.complete" ]; then
        echo "$built"
        exit 0
    fi
done

build="$cache/build/qtbase-$version-mingw-w64-$flavour"
mkdir -p "$build"
log="$cache/build/qtbase-$version-mingw-w64-$flavour.log"
echo "building Qt $version for Windows in $build (log: $log)" >&2
start=$(date +%s)
{
    # No pen tablets (the source package lacks wintab), no modules Corvala
    # does not use. OpenGL stays at its default: the Windows platform plugin
    # of this Qt version does not build without it. Direct2D stays for the
    # DirectWrite font engine; only its platform plugin, which compiles the
    # whole Windows plugin a second time and which the zip never ships, goes,
    # as do the image format plugins, which the zip does not ship either.
    cmake -S "$src" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_tabletevent=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=ON -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_zstd=OFF \
        -DFEATURE_direct2d1_1=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
        -DINPUT_openssl=no
    nice -n 19 cmake --build "$build" --parallel "$jobs"
    cmake --install "$build"
} >"$log" 2>&1 || { echo "Qt build failed; see $log" >&2; tail -n 30 "$log" >&2; exit 1; }
end=$(date +%s)
test -f "$prefix/plugins/platforms/qwindows.dll"
test -f "$prefix/plugins/platforms/qoffscreen.dll"
echo "Qt $version for Windows built in $((end - start)) s" >&2
touch "$prefix/.complete"
echo "$prefix"
