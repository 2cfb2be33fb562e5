#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine on a virtual display.
# Extra arguments go to ctest (for example -R model_tests); TARGETS="a b" builds
# only those targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
. "$root/scripts/wine-arch.sh"
export build=${BUILD_DIR:-$VEMIRO_BUILD}
if [ -n "${TARGETS:-}" ]; then
    BUILD_DIR=$build "$root/scripts/build.sh" --target $TARGETS
else
    BUILD_DIR=$build "$root/scripts/build.sh"
fi
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
wine_env_start own
cd "$build"
ctest --output-on-failure "$@"
