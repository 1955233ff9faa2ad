#!/usr/bin/env bash
# Installs what the viewer needs, builds it (the CMake preset `release`) and opens it. Arguments
# go on to the viewer, which hands them to GLUT: -display, or -geometry +X+Y to place the window
# (the window keeps its 500 x 500 size).
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages release
    build_preset release >/dev/null
    exec "$root/build/release/menger-sponge" "$@"
}

main "$@"
