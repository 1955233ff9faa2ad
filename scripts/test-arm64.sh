#!/usr/bin/env bash
# Cross-builds the viewer, its package and its tests for arm64 (the CMake presets `arm64` and
# `arm64-test`) and runs them under qemu-aarch64, with arm64's Mesa, on a private virtual X
# display: the unit test, the end-to-end test, and the end-to-end test on the package's program.
# Then checks that the package builds again to the same bytes.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages arm64 arm64-test package display
    local deb
    deb=$("$root/scripts/build-deb.sh" arm64)
    build_preset arm64-test >/dev/null
    on_private_display run_tests "$root/$deb"
    bash "$root/tests/reproducible_test.sh" arm64
}

# run_tests DEB
run_tests() {
    (cd "$root" && ctest --preset arm64-test)
    bash "$root/tests/package_test.sh" "$1" qemu-aarch64
}

main "$@"
