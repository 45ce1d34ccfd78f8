#!/usr/bin/env bash
# Builds the game with its data into build/game/ and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
morvane_install "${morvane_packages[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/game/morvane "$@"
