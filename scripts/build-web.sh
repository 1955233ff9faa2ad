#!/usr/bin/env bash
# Builds the viewer for the browser with Debian's emscripten (the CMake preset `web`): one HTML
# file, build/web/menger-sponge-VERSION.html, with its script and WebAssembly inside, that opens
# from disk or from any web host. Prints its path, relative to the project's folder.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages web
    make_packages web
}

main "$@"
