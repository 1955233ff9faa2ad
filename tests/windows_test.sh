#!/usr/bin/env bash
# windows_test.sh BUILD-DIR, under Wine in a new prefix: the .exe carries its icon and the
# changelog's version; the zip holds the program's files and the pictures its README shows; the
# installer installs them silently with a Start-menu entry and an uninstall entry, and its
# uninstaller leaves no trace. The end-to-end test runs on both programs.
set -euo pipefail
export LC_ALL=C # names listed in one order everywhere
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"

listing() { (cd "$1" && echo *); }

# In a subshell, whose end stops Wine and removes the temporary files.
main() (
    build=$(cd "$1" && pwd)
    version=$(changelog Version)
    prefix=$build/wine-test
    tmp=$(mktemp -d)
    trap 'in_wine "$prefix" wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
    new_wine_prefix "$prefix"
    e2e() { (cd "$1" && in_wine "$prefix" /usr/bin/python3 "$root/tests/e2e.py" wine menger-sponge.exe) || fail "$1"; }

    wrestool -x -t 14 -n GLUT_ICON "$build/menger-sponge.exe" >"$tmp/icon.ico" || fail "no GLUT_ICON"
    sizes=$(icotool -l "$tmp/icon.ico" | sed 's/.*--width=\([0-9]*\).*/\1/' | xargs)
    [[ $sizes == "16 32 48 256" ]] || fail "the icon's sizes: $sizes"
    x86_64-w64-mingw32-windres -i "$build/menger-sponge.exe" -O rc | grep -qF "VALUE \"ProductVersion\", \"$version\"" ||
        fail "the .exe's product version is not $version"

    unzip -q "$build/menger-sponge-$version-windows-x64.zip" -d "$tmp/zip"
    [[ $(listing "$tmp/zip") == "LICENSE.txt README.md docs freeglut-LICENSE.txt menger-sponge.exe" ]] ||
        fail "the zip holds: $(listing "$tmp/zip")"
    for picture in $(grep -o '(docs/[^)]*\.png)' "$tmp/zip/README.md" | tr -d '()'); do
        [[ -f $tmp/zip/$picture ]] || fail "the zip's README shows $picture, which the zip lacks"
    done
    e2e "$tmp/zip"

    in_wine "$prefix" wine "$build/menger-sponge-$version-windows-x64-setup.exe" /S
    installed=$prefix/drive_c/Program\ Files/Menger\ Sponge
    [[ $(listing "$installed") == "LICENSE.txt README.md Uninstall.exe docs freeglut-LICENSE.txt menger-sponge.exe" ]] ||
        fail "installed: $(listing "$installed")"
    [[ -f $prefix/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Menger\ Sponge/Menger\ Sponge.lnk ]] ||
        fail "no Start-menu shortcut"
    entry=$(in_wine "$prefix" wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Menger Sponge' | tr -d '\r')
    for value in "DisplayName Menger Sponge" "DisplayVersion $version" "Publisher The Menger sponge viewer authors" \
        'DisplayIcon C:\Program Files\Menger Sponge\menger-sponge.exe'; do
        grep -qxF "    ${value/ /    REG_SZ    }" <<<"$entry" || fail "the uninstall entry lacks $value: $entry"
    done
    e2e "$installed"
    in_wine "$prefix" wine "$installed/Uninstall.exe" /S
    in_wine "$prefix" wineserver -w # and the registry saved: no file, shortcut or key names the program
    left=$(find "$prefix/drive_c" -iname '*menger*'; grep -i menger "$prefix"/*.reg || true)
    [[ -z $left ]] || fail "the uninstaller left: $left"
    echo "Windows build, zip and installer: passed"
)

main "$@"
