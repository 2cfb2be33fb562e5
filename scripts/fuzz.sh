#!/usr/bin/env bash
# Builds and runs the fuzz driver under Wine; it prints what it found and is no
# test. Extra arguments go to the driver (--seed N, --count N, --jobs N).
# Inputs that crash or hang are saved in build/fuzz-findings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
BUILD_DIR=$build "$root/scripts/build.sh" --target fuzz
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start own
mkdir -p "$build/fuzz-findings"
windows() { echo "Z:${1//\//\\}"; }
wine "$build/bin/fuzz.exe" --fixtures "$(windows "$root/tests/fixtures")" \
    --crashes "$(windows "$build/fuzz-findings")" "$@"
