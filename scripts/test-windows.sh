#!/usr/bin/env bash
# Builds the Windows .exe if needed and runs the end-to-end test on it under Wine, on a private
# virtual X display. Wine runs the program in a virtual desktop of its own: without one, and
# without a window manager, Wine's windows get no keys.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_display_tools
need wine wine
install_missing
[[ -f $root/build-windows/menger-sponge.exe ]] || "$root/scripts/build-windows.sh"
start_xvfb
export WINEPREFIX=$root/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
cd "$root/build-windows"
MENGER_SPONGE="exec wine menger-sponge.exe" python3 "$root/tests/e2e.py"
wineserver -k
