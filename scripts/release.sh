#!/usr/bin/env bash
# Builds the Release configuration and packs it for Windows into dist/: the
# portable zip and the NSIS installer. The same sources give the same bytes.
# BUILD_DIR (default: build-release) and DIST_DIR (default: dist) select the folders.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-release}
dist=${DIST_DIR:-$root/dist}
fail() { echo "release: $*" >&2; exit 1; }
"$root/scripts/install-deps.sh"

# Every date the packages carry is the last commit's.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
[ -n "$SOURCE_DATE_EPOCH" ] || fail "no git history here: set SOURCE_DATE_EPOCH"
export TZ=UTC

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DVEMIRO_BUILD_TESTS=OFF \
      -DVEMIRO_CHMCMD="$root/installer/chmcmd-fixed-clock.sh" >/dev/null \
    || fail "cmake configuration failed"
cmake --build "$build" -j "$(nproc)" --target Vemiro vemiro_help >/dev/null \
    || fail "compilation failed"

# The packages take their version from the executable's version block.
version=$(python3 - "$build/bin/Vemiro.exe" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO signature
if at >= 0:
    high, low = struct.unpack_from("<II", data, at + 8)
    print(f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}")
EOF
)
[ -n "$version" ] || fail "Vemiro.exe has no version block"
short=${version%.*.*}

stage=$build/release-stage
rm -rf "$stage"
mkdir -p "$stage" "$dist"
cp "$build/bin/Vemiro.exe" "$build/bin/Vemiro.chm" "$stage/"
sed 's/\r*$/\r/' "$root/installer/LISEZMOI.txt" >"$stage/LISEZMOI.txt"  # Notepad wants CRLF
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

zip=$dist/Vemiro-$short-portable.zip
setup=$dist/Vemiro-$short-setup.exe
rm -f "$zip" "$setup"
(cd "$stage" && zip -X -q "$zip" Vemiro.exe Vemiro.chm LISEZMOI.txt) || fail "zip failed"
makensis -V2 -DVERSION="$version" -DSHORT_VERSION="$short" -DSTAGE="$stage" \
         -DICON="$build/resources/art/vemiro.ico" -DOUTFILE="$setup" \
         "$root/installer/vemiro.nsi" || fail "makensis failed"
echo "release: $zip"
echo "release: $setup"
