#!/usr/bin/env bash
# Builds the Windows .exe, zip and installer, and tests them under Wine on a private virtual X
# display: the program's icon and version, the zip, and the installer and its uninstaller, with
# the end-to-end test on the program from the zip and as installed. Then checks that the
# Debian package and the Windows files build again to the same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
need wine wine
need wrestool icoutils
need unzip unzip
need dpkg-shlibdeps dpkg-dev
need file file
install_missing
"$root/scripts/build-windows.sh"
start_xvfb
wine_desktop
bash "$root/tests/windows_test.sh" "$root/build-windows"
bash "$root/tests/reproducible_test.sh"
wineserver -k 2>/dev/null || true # stopped already when the test passed
