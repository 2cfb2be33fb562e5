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
sizes="$build/bench-sizes"
rm -rf "$sizes"
mkdir -p "$sizes"
# Under Wine the Linux tree is drive Z:.
wine "$build/bin/bench.exe" --sizes-to "Z:$sizes"
/usr/bin/python3 "$root/bench/compare_sizes.py" "$sizes"
