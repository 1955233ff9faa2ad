#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds, and runs every test on a private
# virtual X display, on a plain build and on one with AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
need /usr/include/gtest/gtest.h libgtest-dev
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need /usr/include/X11/Xlib.h libx11-dev
need clang-format clang-format
need black black
need shellcheck shellcheck
need desktop-file-validate desktop-file-utils
need lintian lintian
need hardening-check devscripts
need appstreamcli appstream
need dpkg-shlibdeps dpkg-dev
need file file
install_missing

# One style for the whole project. clang-format 14 and 19, black 23 and 25, and shellcheck 0.9
# and 0.10 (Debian 12 and 13) all leave the code as it is.
echo "== formatting and lint"
find "$root"/{app,sponge,controls,tests,bench} \( -name '*.cpp' -o -name '*.h' \) \
    -exec clang-format --dry-run --Werror {} +
black --quiet --check --line-length 100 "$root"/tests/*.py
(cd "$root" && shellcheck -x scripts/*.sh tests/*.sh .ci/run)
echo "== build"
build "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DMENGER_WERROR=ON -DMENGER_BENCHMARK=ON
echo "== build with sanitizers"
build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DMENGER_WERROR=ON \
    -DMENGER_SANITIZE=ON
start_xvfb
echo "== tests on $DISPLAY"
ctest --test-dir "$root/build" --output-on-failure --parallel 2
echo "== tests with sanitizers on $DISPLAY"
# The GL driver and the X libraries keep some memory to the end; only those are suppressed. The
# driver is preloaded so that it stays loaded until the leak check, which can then name it.
drivers=(/usr/lib/*/dri/swrast_dri.so)
LSAN_OPTIONS="suppressions=$root/tests/leaks.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ASAN_OPTIONS="verify_asan_link_order=0" \
    LD_PRELOAD="${drivers[0]}" \
    ctest --test-dir "$root/build-sanitize" --output-on-failure --parallel 2
