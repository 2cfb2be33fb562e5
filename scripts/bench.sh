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
# The icon of other writers' kind, made by Pillow: the same bytes every run.
mkdir -p "$build/bench-input"
/usr/bin/python3 "$root/bench/make_soft_alpha_icon.py" "$build/bench-input/soft-alpha.ico"
sizes="$build/bench-sizes"
rm -rf "$sizes"
mkdir -p "$sizes"
# Under Wine the Linux tree is drive Z:.
wine "$build/bin/bench.exe" --sizes-to "Z:$sizes" "Z:$(echo "$build/bench-input/soft-alpha.ico" | tr / '\\')"
/usr/bin/python3 "$root/bench/compare_sizes.py" "$sizes"
