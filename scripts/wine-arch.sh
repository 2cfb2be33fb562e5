# Sourced by the scripts: which build of the program Wine can run here.
# Wine starts a 32-bit Windows program through its 32-bit loader, itself a
# 32-bit Linux program, and a kernel without IA-32 emulation refuses that
# ("Exec format error"). There the same sources are built as a 64-bit program
# and run by wine64; the release packages stay 32-bit. Sets VEMIRO_ARCH
# (i686 or x86_64), VEMIRO_TOOLCHAIN and VEMIRO_BUILD (the default build folder).
# Needs $root and Wine installed.
if [ -z "${VEMIRO_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        VEMIRO_ARCH=i686
    else
        VEMIRO_ARCH=x86_64
        echo "note: this machine runs no 32-bit programs (its kernel has no IA-32 emulation):" \
             "the 64-bit build of the same sources is built and run under wine64" >&2
    fi
fi
export VEMIRO_ARCH
if [ "$VEMIRO_ARCH" = i686 ]; then
    VEMIRO_TOOLCHAIN=$root/cmake/mingw-i686.cmake
    VEMIRO_BUILD=$root/build
    VEMIRO_WINE=wine
else
    VEMIRO_TOOLCHAIN=$root/cmake/mingw-x86_64.cmake
    VEMIRO_BUILD=$root/build-x64
    VEMIRO_WINE=/usr/lib/wine/wine64
fi
