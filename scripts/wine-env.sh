# Sourced by run.sh and test.sh: a private Wine prefix inside the build folder,
# a virtual display when none is given, and a warm persistent wineserver, so
# that no test waits on Wine's first-start services.
# Needs $build. Sets DISPLAY, WINEPREFIX, WINEDEBUG; call wine_env_stop when done.

export WINEDEBUG=-all
export WINEPREFIX="$build/wineprefix"
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
. "$root/scripts/wine-arch.sh"
if [ "$VEMIRO_ARCH" = i686 ]; then
    export WINEARCH=win32
else
    # "wine" names the 64-bit loader for every script and test of this run.
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    mkdir -p "$build/wine64-bin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$build/wine64-bin/wine"
    chmod +x "$build/wine64-bin/wine"
    export PATH="$build/wine64-bin:$PATH"
fi
wine_env_xvfb_pid=

wine_env_start() {
    local want_display=${1:-own}
    if [ "$want_display" = own ] || [ -z "${DISPLAY:-}" ]; then
        # Xvfb picks a free display itself and names it once it accepts
        # connections: runs started side by side never share a display (nor,
        # through it, a clipboard).
        local numberFile
        numberFile=$(mktemp)
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberFile" >/dev/null 2>&1 &
        wine_env_xvfb_pid=$!
        local i
        for i in $(seq 1 100); do
            [ -s "$numberFile" ] && break
            sleep 0.1
        done
        export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
        rm -f "$numberFile"
        xdpyinfo >/dev/null 2>&1 || { echo "wine-env: Xvfb did not start on $DISPLAY" >&2; return 1; }
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-env: creating the Wine prefix $WINEPREFIX (once)" >&2
        wine wineboot -i </dev/null >/dev/null 2>&1 || true
        wineserver -w
        # Without a window manager every window shown costs Wine a wait when managed.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        wineserver -w
    fi
    [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-env: could not create the Wine prefix" >&2; return 1; }
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1 \
        || { echo "wine-env: wine does not start programs" >&2; return 1; }
}

wine_env_stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "$wine_env_xvfb_pid" ]; then
        kill "$wine_env_xvfb_pid" 2>/dev/null || true
        wait "$wine_env_xvfb_pid" 2>/dev/null || true
    fi
}
