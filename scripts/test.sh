#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine on a virtual display.
# Extra arguments go to ctest (for example -R model_tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR=$build "$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start own
cd "$build"
ctest --output-on-failure "$@"
