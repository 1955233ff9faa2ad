#!/usr/bin/env bash
# Builds the program as it is shipped (the CMake preset `release`) and its Debian package, whose
# dependencies are read off the binary, then checks it (check_deb). Prints the package's path,
# relative to the project's folder.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_build_tools
    install_missing dpkg-shlibdeps:dpkg-dev file:file
    install_package_checkers
    build_preset release >/dev/null
    rm -f "$root"/build/release/menger-sponge_*.deb
    package_preset deb
    check_deb "$(ls "$root"/build/release/menger-sponge_*.deb)"
    (cd "$root" && ls build/release/menger-sponge_*.deb)
}

main "$@"
