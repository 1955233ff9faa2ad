#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds, and runs every test on a private
# virtual X display, on a plain build and on one with AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
need /usr/include/gtest/gtest.h libgtest-dev
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need /usr/include/X11/Xlib.h libx11-dev
need clang-format clang-format
need desktop-file-validate desktop-file-utils
need lintian lintian
need appstreamcli appstream
need dpkg-shlibdeps dpkg-dev
need file file
install_missing

echo "== formatting"
find "$root"/{app,sponge,controls,tests,bench} -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run --Werror
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
LSAN_OPTIONS="suppressions=$root/tests/leaks.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" ASAN_OPTIONS="verify_asan_link_order=0" \
    LD_PRELOAD="$(ls /usr/lib/*/dri/swrast_dri.so | head -n1)" \
    ctest --test-dir "$root/build-sanitize" --output-on-failure --parallel 2
