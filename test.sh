#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
pv_install_deps

BUILD_DIR=${PV_BUILD_DIR:-build}
./scripts/check-format.sh

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_WERROR=ON -DPV_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD_DIR" -j2

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout 300 "$@"
