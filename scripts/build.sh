#!/usr/bin/env bash
# Configures and builds the product, the tests and the help file.
# BUILD_DIR (default: build, or build-x64 where only 64-bit programs run) selects
# the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-arch.sh"
build=${BUILD_DIR:-$VEMIRO_BUILD}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$VEMIRO_TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null \
    || { echo "build: cmake configuration failed" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" "$@" \
    || { echo "build: compilation failed" >&2; exit 1; }
