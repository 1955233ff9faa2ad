#!/usr/bin/env bash
# Installs what the tests need, checks the formatting, builds, and runs every
# test on a private virtual X display. Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"

need_build_tools
need /usr/include/gtest/gtest.h libgtest-dev
need Xvfb xvfb
need xauth xauth
need clang-format clang-format
install_missing

echo "== formatting"
mapfile -t sources < <(git -C "$root" ls-files '*.cpp' '*.h')
(cd "$root" && clang-format --dry-run --Werror "${sources[@]}")

echo "== build"
build "$root/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DMENGER_WERROR=ON
echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer"
build "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DMENGER_WERROR=ON -DMENGER_SANITIZE=ON

# A private X server: -displayfd picks a free display number and tells it.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do
    [[ -s $display_file ]] && break
    sleep 0.1
done
[[ -s $display_file ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
export LIBGL_ALWAYS_SOFTWARE=1

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
