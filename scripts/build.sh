#!/usr/bin/env bash
# Configures and builds the product, the tests and the help file.
# BUILD_DIR (default: build) selects the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null \
    || { echo "build: cmake configuration failed" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" "$@" \
    || { echo "build: compilation failed" >&2; exit 1; }
