#!/usr/bin/env bash
# Builds the editor and starts it under Wine, optionally with an .ico or .cur path.
# Uses $DISPLAY when set; otherwise starts a virtual display and says which.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
. "$root/scripts/wine-arch.sh"
export build=${BUILD_DIR:-$VEMIRO_BUILD}
BUILD_DIR=$build "$root/scripts/build.sh" --target Vemiro vemiro_help
. "$root/scripts/wine-env.sh"
trap wine_env_stop EXIT
if [ -n "${DISPLAY:-}" ]; then wine_env_start existing; else wine_env_start own
    echo "run: no DISPLAY given; the editor runs on the virtual display $DISPLAY" \
         "(screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi
args=()
if [ $# -gt 0 ]; then
    file=$(realpath "$1")
    args=("Z:${file//\//\\}")
fi
wine "$build/bin/Vemiro.exe" "${args[@]}"
