#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test suite.
#   ./test.sh [ctest arguments]             release build in build/
#   ./test.sh --sanitize [ctest arguments]  Debug build with AddressSanitizer and UBSan in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
pv_install_deps

sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  shift
fi

./scripts/check-format.sh

if [ $sanitize -eq 1 ]; then
  BUILD_DIR=${PV_BUILD_DIR:-build-asan}
  flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DPV_WERROR=ON -DPV_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" -DPV_TEST_TIMEOUT_FACTOR=5 >/dev/null
  # Halt on the first finding so a suite fails instead of logging and going on.
  # Leak reports are off: Qt, fontconfig and the GL stack keep process-lifetime
  # allocations that are not ours.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:abort_on_error=1:detect_leaks=0:detect_stack_use_after_return=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:abort_on_error=1:print_stacktrace=1}
  timeout=1500
else
  BUILD_DIR=${PV_BUILD_DIR:-build}
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPV_WERROR=ON -DPV_BUILD_TESTS=ON >/dev/null
  timeout=300
fi
cmake --build "$BUILD_DIR" -j2

export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j2 --timeout $timeout "$@"
