#!/usr/bin/env bash
# Installs what cross-building Corvala for Windows x64 and testing it under
# Wine needs on Debian 12, as root, and fetches Debian's Qt source into the
# cache folder. Safe to run again: it only does what is still missing.
set -euo pipefail

cache="${CORVALA_WINDOWS_CACHE:-/var/cache/corvala}"
apt_get=(apt-get -o DPkg::Lock::Timeout=900)
export DEBIAN_FRONTEND=noninteractive

packages=(
    cmake ninja-build perl pkg-config dpkg-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    googletest
    librsvg2-bin icoutils zip unzip nsis
    wine wine64 fonts-wine xvfb xauth openbox xdotool x11-utils imagemagick fontconfig fonts-noto-cjk
)

# Qt for Windows is built from Debian's own source package, so apt needs a
# deb-src entry for the archive this machine already installs from.
add_deb_src() {
    local deb822=/etc/apt/sources.list.d/debian.sources
    local out=/etc/apt/sources.list.d/corvala-deb-src.sources
    if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 1
    fi
    if [ -f "$deb822" ]; then
        # Same stanzas, source packages only.
        sed -E 's/^Types:.*/Types: deb-src/' "$deb822" > "$out"
    elif [ -f /etc/apt/sources.list ]; then
        sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list > /etc/apt/sources.list.d/corvala-deb-src.list
    else
        echo "no apt sources found to mirror as deb-src" >&2
        exit 1
    fi
    return 0
}

need_update=0
add_deb_src && need_update=1

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ] || [ "$need_update" = 1 ]; then
    "${apt_get[@]}" update
fi
if [ "${#missing[@]}" -gt 0 ]; then
    "${apt_get[@]}" install -y --no-install-recommends "${missing[@]}"
fi

# Debian's qtbase source, unpacked once into the cache folder.
mkdir -p "$cache/src"
if ! ls -d "$cache"/src/qt6-base-*/ >/dev/null 2>&1; then
    (cd "$cache/src" && "${apt_get[@]}" source qt6-base)
fi
