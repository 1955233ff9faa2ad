#!/usr/bin/env bash
# Cross-builds the viewer and its tests for arm64 (the CMake preset `arm64-test`) and runs them
# under qemu-aarch64, with arm64's Mesa, on a private virtual X display: the unit test, the
# end-to-end test and the package test. Then checks that the arm64 package builds again to the
# same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    "$root/scripts/build-arm64.sh" >/dev/null # the cross toolchain, libraries and package checkers
    install_display_tools
    install_missing qemu-aarch64:qemu-user /usr/lib/aarch64-linux-gnu/libgtest.a:libgtest-dev:arm64 \
        /usr/lib/aarch64-linux-gnu/dri/swrast_dri.so:libgl1-mesa-dri:arm64
    build_preset arm64-test >/dev/null
    (cd "$root" && on_private_display ctest --preset arm64-test)
    bash "$root/tests/reproducible_test.sh" scripts/build-arm64.sh
}

main "$@"
