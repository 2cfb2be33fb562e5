#!/usr/bin/env bash
# The Windows release as a user gets it. scripts/release.sh runs twice, each time
# in a fresh build folder, and both packages must come out byte for byte the
# same. Then, in a fresh Wine prefix of its own: the installer runs silently,
# the editor starts from its Start menu shortcut and opens an .ico through the
# open command registered for .ico, the uninstaller runs silently and the
# prefix's files and registry are as before; the portable zip's editor starts.
#   release_check.sh SOURCE_DIR WORK_DIR     (WORK_DIR is emptied, then removed)
set -euo pipefail
root=$1
work=$2

fail() { echo "release check: $*" >&2; exit 1; }
for tool in makensis zip unzip xdotool Xvfb wine wrestool icotool python3 strace setarch iconv; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh as root"
done

cleanup() {
    if declare -F wine_env_stop >/dev/null; then wine_env_stop; fi
    rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"

# ---------------------------------------------------------------- build twice
for run in a b; do
    BUILD_DIR="$work/build-$run" DIST_DIR="$work/dist-$run" \
        bash "$root/scripts/release.sh" >"$work/release-$run.log" 2>&1 \
        || { cat "$work/release-$run.log"; fail "scripts/release.sh failed (run $run)"; }
done
dist=$work/dist-a
bin=$work/build-a/bin

# The version block of a PE file: "FIXED_VERSION|ProductVersion|CompanyName|Translation".
version_block() {
    wrestool -x --raw --type=16 "$1" | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
align = lambda n: (n + 3) & ~3
def walk(at, end, strings, found):
    while at + 6 <= end:
        length, value_length, text = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value = align(key_end + 2)
        size = value_length * 2 if text else value_length
        if key == "VS_VERSION_INFO":
            ms, ls = struct.unpack_from("<II", data, value + 8)
            found["fixed"] = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
        elif key == "Translation":
            found["translation"] = "%04X" % struct.unpack_from("<H", data, value)[0]
        elif text and size:
            strings[key] = data[value:value + size].decode("utf-16-le").rstrip("\0")
        walk(align(value + size), at + length, strings, found)
        at = align(at + length)
strings, found = {}, {}
walk(0, len(data), strings, found)
print("|".join([found.get("fixed", ""), strings.get("ProductVersion", ""),
                strings.get("CompanyName", ""), found.get("translation", "")]))'
}
IFS='|' read -r version product_version company translation < <(version_block "$bin/Vemiro.exe")
[ -n "$version" ] && [ "$product_version" = "$version" ] \
    || fail "Vemiro.exe: fixed version '$version' and ProductVersion '$product_version' differ"
short=${version%.*.*}
zip_name=Vemiro-$short-portable.zip
setup_name=Vemiro-$short-setup.exe
[ "$(ls "$dist")" = "$zip_name"$'\n'"$setup_name" ] \
    || fail "dist holds '$(ls "$dist" | tr '\n' ' ')', not $zip_name and $setup_name"
for name in "$zip_name" "$setup_name"; do
    cmp "$dist/$name" "$work/dist-b/$name" || fail "$name differs between two builds"
done

IFS='|' read -r setup_version setup_product setup_company setup_translation \
    < <(version_block "$dist/$setup_name")
[ "$setup_version|$setup_product|$setup_company" = "$version|$version|$company" ] \
    || fail "installer's version block '$setup_version|$setup_product|$setup_company'" \
            "differs from the program's '$version|$version|$company'"
[ "$setup_translation" = 040C ] || fail "installer's version block is not French ($setup_translation)"
mkdir "$work/icon-program" "$work/icon-setup"
icotool -x -o "$work/icon-program" "$work/build-a/resources/art/vemiro.ico"
wrestool -x --type=14 -o "$work/setup.ico" "$dist/$setup_name"
icotool -x -o "$work/icon-setup" "$work/setup.ico"
diff <(cd "$work/icon-program" && md5sum * | cut -c1-32) <(cd "$work/icon-setup" && md5sum * | cut -c1-32) \
    >/dev/null || fail "the installer's icon is not the program's"

# ---------------------------------------------------------------- the zip
unzip -q "$dist/$zip_name" -d "$work/portable"
[ "$(unzip -Z1 "$dist/$zip_name")" = $'Vemiro.exe\nVemiro.chm\nLISEZMOI.txt' ] \
    || fail "$zip_name holds $(unzip -Z1 "$dist/$zip_name" | tr '\n' ' ')"
cmp "$work/portable/Vemiro.exe" "$bin/Vemiro.exe" && cmp "$work/portable/Vemiro.chm" "$bin/Vemiro.chm" \
    || fail "$zip_name does not hold the built program and help"
python3 - "$work/portable/LISEZMOI.txt" <<'EOF' || fail "LISEZMOI.txt is not UTF-8 with BOM and CRLF lines"
import sys
data = open(sys.argv[1], "rb").read()
assert data.startswith(b"\xef\xbb\xbf") and data.endswith(b"\r\n")
assert data.count(b"\n") == data.count(b"\r\n")
data.decode("utf-8")
EOF

# ---------------------------------------------------------------- Wine
# The packages hold a 32-bit program, and an installer that is one: a kernel
# without IA-32 emulation runs neither, so the check ends here, and says so.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "release check: SKIPPED the installation and start of the packages: this machine runs no" \
         "32-bit programs (its kernel has no IA-32 emulation); the two builds matched and the" \
         "packages' contents were checked" >&2
    exit 77
fi
# Its own prefix, display and home: menu entries and file types stay in Wine.
export HOME=$work/home
mkdir -p "$HOME"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
build=$work
. "$root/scripts/wine-env.sh"
wine_env_start own
drive_c=$WINEPREFIX/drive_c

reg_value() {  # KEY [NAME]: the value's data (the key's default without NAME)
    local which=(/ve)
    [ $# -gt 1 ] && which=(/v "$2")
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' | sed -n 's/^    .*    REG_[A-Z_]*    //p'
}

# Files of drive C: (the temporary folders apart) and the Software registry of
# both hives, without the theme and display settings that Wine writes there at
# times of its own.
snapshot() {
    (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -path './windows/temp' -prune -o -print \
        | LC_ALL=C sort) >"$work/$1.files"
    local hive
    for hive in HKLM HKCU; do
        wine reg export "$hive\\Software" "$work/$1.$hive.utf16" /y </dev/null >/dev/null 2>&1 \
            || fail "cannot export $hive\\Software"
        iconv -f UTF-16 -t UTF-8 "$work/$1.$hive.utf16" | tr -d '\r' \
            | awk '/^\[/ { skip = index($0, "\\Software\\Wine\\Temporary System Parameters") ||
                                 index($0, "\\CurrentVersion\\ThemeManager") }
                   !skip' >"$work/$1.$hive.reg"
    done
}

# Waits for a top-level window whose title matches, closes it as a user
# would (Alt+F4) and waits for it to go.
use_window() {
    local title=$1 wid= i
    for i in $(seq 1 300); do
        wid=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | tail -1 || true)
        [ -n "$wid" ] && break
        sleep 0.2
    done
    [ -n "$wid" ] || fail "no window titled /$title/ appeared"
    timeout 30 xdotool windowfocus --sync "$wid" key --clearmodifiers alt+F4 || fail "cannot close /$title/"
    for i in $(seq 1 150); do
        xdotool search --onlyvisible --name "$title" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    fail "the window /$title/ did not close"
}

# The portable editor, unpacked, runs first: the first window of a fresh
# prefix also completes Wine's own theme settings, which the snapshots should
# not see arrive.
wine "$work/portable/Vemiro.exe" </dev/null >/dev/null 2>&1 &
use_window '^Vemiro Editor 1\.4$'
wait $! || fail "the portable editor ended in failure"

# Another program's entries for .ico and .cur, which ours must neither take
# over nor remove, though our keys sit beside them or below them.
classes='HKLM\Software\Classes'
wine reg add "$classes\\.ico" /ve /d Autre.Image /f >/dev/null 2>&1
wine reg add "$classes\\.ico\\OpenWithProgids" /v Autre.Image /d '' /f >/dev/null 2>&1
wine reg add "$classes\\.cur" /ve /d Autre.Curseur /f >/dev/null 2>&1
snapshot before

timeout 300 wine "$dist/$setup_name" /S </dev/null >/dev/null 2>&1 || fail "the silent installation failed"
snapshot installed
added=$(comm -13 "$work/before.files" "$work/installed.files")
grep -v -e '^\./Program Files/Vemiro Editor' -e '^\./ProgramData/Microsoft/Windows/Start Menu/Programs/[^/]*\.lnk$' \
    <<<"$added" | grep . && fail "the installer wrote the files above outside its folder and the Start menu"
shortcut=$(grep '\.lnk$' <<<"$added") || fail "the installer added no Start menu shortcut"
[ "$(wc -l <<<"$shortcut")" -eq 1 ] || fail "the installer added several shortcuts: $shortcut"
installed_dir="$drive_c/Program Files/Vemiro Editor"
for name in Vemiro.exe Vemiro.chm LISEZMOI.txt; do
    cmp "$installed_dir/$name" "$work/portable/$name" || fail "installed $name is not the zip's"
done
for hive in HKLM HKCU; do
    comm -23 <(sort "$work/before.$hive.reg") <(sort "$work/installed.$hive.reg") | grep . \
        && fail "the installation changed or removed the $hive registry lines above"
done

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VemiroEditor'
[ -n "$(reg_value "$uninstall_key" DisplayName)" ] || fail "no uninstall entry named $uninstall_key"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] \
    || fail "uninstall entry's version '$(reg_value "$uninstall_key" DisplayVersion)' is not $version"
[ "$(reg_value "$uninstall_key" Publisher)" = "$company" ] || fail "uninstall entry's publisher is not $company"
[ "$(reg_value "$uninstall_key" DisplayIcon)" = 'C:\Program Files\Vemiro Editor\Vemiro.exe,0' ] \
    || fail "uninstall entry's icon is '$(reg_value "$uninstall_key" DisplayIcon)'"
size_kb=$(( $(reg_value "$uninstall_key" EstimatedSize) ))
bytes=$(find "$installed_dir" -type f -printf '%s\n' | awk '{ sum += $1 } END { print sum }')
[ $((size_kb * 1024 - bytes)) -gt -2048 ] && [ $((size_kb * 1024 - bytes)) -lt 2048 ] \
    || fail "uninstall entry's size ${size_kb} KB does not match the $bytes bytes installed"

# The editor as the Start menu starts it.
wine start /unix "$drive_c/${shortcut#./}" </dev/null >/dev/null 2>&1 || fail "the shortcut does not start"
use_window '^Vemiro Editor 1\.4$'

# The open command that .ico and .cur offer, run on a name with a space.
for extension in .ico .cur; do
    progids=$(wine reg query "HKCR\\$extension\\OpenWithProgids" 2>/dev/null | tr -d '\r' \
        | sed -n 's/^    \(.*\)    REG_[A-Z_]*    .*$/\1/p' | grep -vx Autre.Image || true)
    [ "$(wc -w <<<"$progids")" -eq 1 ] || fail "$extension offers no one program of ours: '$progids'"
    command=$(reg_value "HKCR\\$progids\\shell\\open\\command")
    [ -n "$command" ] || fail "$progids has no open command"
done
cp "$work/build-a/resources/art/vemiro.ico" "$work/essai ouverture.ico"
mapfile -t open_command < <(python3 - "$command" "Z:${work//\//\\}\\essai ouverture.ico" <<'EOF'
import shlex, sys
words = shlex.shlex(sys.argv[1].replace("%1", sys.argv[2]), posix=True)
words.whitespace_split, words.escape = True, ""
print("\n".join(words))
EOF
)
wine "${open_command[@]}" </dev/null >/dev/null 2>&1 &
use_window '^Vemiro Editor 1\.4  : \[ essai ouverture\.ico \]$'
wait $! || fail "the editor opened by '$command' ended in failure"

# Uninstall as the list of programs does it silently.
quiet=$(reg_value "$uninstall_key" QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ /S$ ]] || fail "unexpected QuietUninstallString '$quiet'"
timeout 300 wine "${BASH_REMATCH[1]}" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstallation failed"
# The uninstaller hands over to a copy of itself in the temporary folder.
for i in $(seq 1 150); do
    wine wmic process get name 2>/dev/null | iconv -f UTF-16 -t UTF-8 | grep -qi '^Un[_A-Z]*\.exe' || break
    sleep 0.2
done
[ "$i" -lt 150 ] || fail "the uninstaller did not end"
snapshot uninstalled
diff "$work/before.files" "$work/uninstalled.files" || fail "the uninstallation left the files above as they are"
for hive in HKLM HKCU; do
    diff "$work/before.$hive.reg" "$work/uninstalled.$hive.reg" \
        || fail "the uninstallation left the $hive registry differing as above"
done
# That copy is left to Windows, which deletes it at the next restart.
pending=$(reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations)
while IFS= read -r left; do
    [ -n "$left" ] || continue
    windows_path="C:\\${left//\//\\}"
    grep -qiF "\\??\\$windows_path\\0" <<<"$pending" \
        || fail "the uninstallation left $windows_path, not to be deleted at restart"
done < <(cd "$drive_c" && find users/*/Temp -mindepth 1 -newer "$work/before.files")

echo "release check: packages of version $version built twice alike, installed, used and uninstalled"
