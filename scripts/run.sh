#!/usr/bin/env bash
# Installs what the viewer needs, builds it (the CMake preset `release`) and opens it. Arguments
# go on to the viewer, which hands them to GLUT: -display, or -geometry +X+Y to place the window
# (the window keeps its 500 x 500 size).
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_build_tools
    build_preset release >/dev/null
    local arg
    for arg in "$@"; do
        [[ $arg == -display ]] && exec "$root/build/release/menger-sponge" "$@"
    done
    if [[ -z ${DISPLAY:-} ]]; then
        echo "menger-sponge: no display to open: DISPLAY is not set (run it inside a desktop session)." >&2
        exit 1
    fi
    exec "$root/build/release/menger-sponge" "$@"
}

main "$@"
