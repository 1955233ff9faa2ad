#!/usr/bin/env bash
# Installs what the tests need, checks the style, builds the CMake presets `test` and `sanitize`
# (AddressSanitizer and UndefinedBehaviorSanitizer) and the Debian package, and runs every test on
# a private virtual X display: both presets' tests, the end-to-end test on the package's program,
# and the package built again to the same bytes. Exits non-zero on any failure.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

# One style for the whole project. clang-format 14 and 19, black 23 and 25, and shellcheck 0.9
# and 0.10 (Debian 12 and 13) all leave the code as it is. The README lists the packages that a
# build by hand needs as the table does.
check_style() {
    find "$root"/{app,sponge,controls,tests,bench,web} \( -name '*.cpp' -o -name '*.h' \) \
        -exec clang-format --dry-run --Werror {} +
    black --quiet --check --line-length 100 "$root"/{tests,scripts,bench}/*.py
    (cd "$root" && shellcheck -x scripts/*.sh tests/*.sh .ci/run)
    local listed
    listed=$(packages_for release)
    grep -qF "\`$listed\`" "$root/README.md" || fail "the README does not list the packages: $listed"
}

main() {
    install_packages release test bench display package
    echo "== style"
    check_style
    echo "== build"
    build_preset test
    echo "== build with sanitizers"
    build_preset sanitize
    echo "== the Debian package"
    local deb
    deb=$("$root/scripts/build-deb.sh")
    on_private_display run_tests "$deb"
    bash "$root/tests/reproducible_test.sh" release
}

# run_tests DEB
run_tests() {
    cd "$root"
    echo "== tests on a private X display"
    ctest --preset test
    echo "== tests with sanitizers"
    ctest --preset sanitize
    bash tests/package_test.sh "$1"
}

main "$@"
