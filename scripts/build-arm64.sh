#!/usr/bin/env bash
# Cross-builds the viewer for Debian's arm64 (the CMake preset `arm64`), for 64-bit Raspberry Pi
# OS and other 64-bit ARM machines, with Debian's cross toolchain and arm64 libraries, and makes
# its Debian package, whose dependencies are read off the arm64 binary, and checks it (check_deb).
# Prints the package's path, relative to the project's folder.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# add_arm64: Debian installs another architecture's libraries beside the machine's own once dpkg
# knows that architecture. `sudo dpkg --remove-architecture arm64` undoes it, once no :arm64
# package is left installed.
add_arm64() {
    dpkg --print-foreign-architectures | grep -qx arm64 && return
    echo "Adding the arm64 architecture to dpkg, to install arm64 libraries for the cross-build" >&2
    as_root dpkg --add-architecture arm64
}

# install_arm64_tools: the cross compiler, and OpenGL and GLUT for arm64.
install_arm64_tools() {
    add_arm64
    install_missing cmake:cmake make:make dpkg-shlibdeps:dpkg-dev file:file \
        aarch64-linux-gnu-g++:crossbuild-essential-arm64 \
        /usr/lib/aarch64-linux-gnu/libGL.so:libgl-dev:arm64 \
        /usr/lib/aarch64-linux-gnu/libGLU.so:libglu1-mesa-dev:arm64 \
        /usr/lib/aarch64-linux-gnu/libglut.so:libglut-dev:arm64
}

main() {
    install_arm64_tools
    install_package_checkers
    build_preset arm64 >/dev/null
    rm -f "$root"/build/arm64/menger-sponge_*.deb
    package_preset arm64
    check_deb "$(ls "$root"/build/arm64/menger-sponge_*_arm64.deb)"
    (cd "$root" && ls build/arm64/menger-sponge_*_arm64.deb)
}

main "$@"
