#!/usr/bin/env bash
# Installs what the tests need, checks the style, builds the CMake presets `test` and `sanitize`
# (AddressSanitizer and UndefinedBehaviorSanitizer), and runs every test of both on a private
# virtual X display. Exits non-zero on any failure.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

install_test_tools() {
    install_build_tools
    install_display_tools
    local libs
    libs=$(native_libdir)
    install_missing "$libs/libgtest.a:libgtest-dev" "$libs/libbenchmark.so:libbenchmark-dev" \
        "$libs/libX11.so:libx11-dev" clang-format:clang-format black:black shellcheck:shellcheck \
        desktop-file-validate:desktop-file-utils lintian:lintian hardening-check:devscripts \
        appstreamcli:appstream dpkg-shlibdeps:dpkg-dev file:file
}

# One style for the whole project. clang-format 14 and 19, black 23 and 25, and shellcheck 0.9
# and 0.10 (Debian 12 and 13) all leave the code as it is.
check_style() {
    find "$root"/{app,sponge,controls,tests,bench} \( -name '*.cpp' -o -name '*.h' \) \
        -exec clang-format --dry-run --Werror {} +
    black --quiet --check --line-length 100 "$root"/tests/*.py "$root"/scripts/*.py
    (cd "$root" && shellcheck -x scripts/*.sh tests/*.sh .ci/run)
}

main() {
    install_test_tools
    echo "== style"
    check_style
    echo "== build"
    build_preset test
    echo "== build with sanitizers"
    build_preset sanitize
    on_private_display run_tests
}

run_tests() {
    cd "$root"
    echo "== tests on a private X display"
    ctest --preset test
    echo "== tests with sanitizers"
    ctest --preset sanitize
}

main "$@"
