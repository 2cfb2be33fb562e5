#!/usr/bin/env bash
# Builds and runs the benchmark under Wine; it prints its measurements and is no test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
. "$root/scripts/wine-arch.sh"
export build=${BUILD_DIR:-$VEMIRO_BUILD}
BUILD_DIR=$build "$root/scripts/build.sh" --target bench
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start own
wine "$build/bin/bench.exe"
