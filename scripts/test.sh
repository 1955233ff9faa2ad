#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds, and runs every
# test on a private virtual X display. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"

need_build_tools
need /usr/include/gtest/gtest.h libgtest-dev
need /usr/include/X11/extensions/XTest.h libxtst-dev
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need Xvfb xvfb
need xauth xauth
need clang-format clang-format
need desktop-file-validate desktop-file-utils
need groff groff-base
need col bsdextrautils bsdmainutils
need dpkg-shlibdeps dpkg-dev
install_missing

echo "== formatting"
mapfile -t sources < <(git -C "$root" ls-files '*.cpp' '*.h')
(cd "$root" && clang-format --dry-run --Werror "${sources[@]}")

echo "== build"
build "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DMENGER_WERROR=ON -DMENGER_BENCHMARK=ON
echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer"
build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DMENGER_WERROR=ON -DMENGER_SANITIZE=ON

start_xvfb

echo "== tests on $DISPLAY"
ctest --test-dir "$root/build" --output-on-failure --parallel 2

echo "== tests with sanitizers on $DISPLAY"
# The GL driver and the X libraries keep some memory to the end; only those
# are suppressed. The driver is kept loaded (preloaded), as otherwise it is
# unloaded before the leak check and its allocations cannot be named.
driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so 2>/dev/null | head -n1 || true)
LSAN_OPTIONS="suppressions=$root/tests/leaks.supp:print_suppressions=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    ASAN_OPTIONS="verify_asan_link_order=0" LD_PRELOAD="$driver" \
    ctest --test-dir "$root/build-sanitize" --output-on-failure --parallel 2
