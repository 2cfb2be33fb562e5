#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12, as root.
# Idempotent: asks apt only for what is missing.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 xvfb xauth googletest
          fp-utils python3 python3-pil icoutils imagemagick x11-utils
          nsis zip unzip xdotool strace)

fail() { echo "install-deps: $*" >&2; exit 1; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

[ "$(id -u)" -eq 0 ] || fail "missing packages (${missing[*]}); run this as root to install them"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386 || fail "cannot add the i386 architecture (needed by wine32)"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq || fail "apt-get update failed"
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "apt-get install failed for: ${missing[*]}"
