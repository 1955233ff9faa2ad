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

# A private X server: -displayfd picks a free display number and tells it.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
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
