#!/usr/bin/env bash
# Installs what building, running and testing Corvala needs on Debian 12, as root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libfontconfig-dev
    fonts-noto-cjk locales
    libgtest-dev libgmock-dev libbenchmark-dev
    coinor-libclp-dev
    libxlsxwriter-dev
    libqrencode-dev
    # zbar only reads the tags' QR codes back in the tests.
    libzbar-dev
    clang libclang-rt-14-dev
    dpkg-dev lintian appstream desktop-file-utils
    xvfb dbus at-spi2-core python3-gi gir1.2-atspi-2.0
    openbox imagemagick xdotool x11-utils
    poppler-utils python3-openpyxl
)
# A script that needs more (a benchmark's reference program) names it here.
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The number texts must not change under a German desktop locale; tests use it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi
