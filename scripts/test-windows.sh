#!/usr/bin/env bash
# Builds the Windows .exe, zip and installer, and tests them under Wine on a private virtual X
# display: the program's icon and version, the zip, and the installer and its uninstaller, with
# the end-to-end test on the program from the zip and as installed. Then checks that they build
# again to the same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages windows windows-test display
    "$root/scripts/build-windows.sh" >/dev/null
    on_private_display bash "$root/tests/windows_test.sh" "$root/build/windows"
    bash "$root/tests/reproducible_test.sh" windows
}

main "$@"
