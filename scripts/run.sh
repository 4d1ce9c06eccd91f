#!/usr/bin/env bash
# Installs what is missing, builds Corvala and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVALA_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)" --target corvala
exec ./build/src/corvala "$@"
