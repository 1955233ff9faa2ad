#!/usr/bin/env bash
# Runs the end-to-end test of the first frame, keys, the menu and Esc with the program under
# valgrind's memcheck. Fails if an error's innermost frame outside the allocator is in the
# program's own code; errors inside the GL driver or X are only counted.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_test_tools
need valgrind valgrind
install_missing
dir=$root/build-memcheck
build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
start_xvfb
MENGER_SPONGE="exec valgrind --leak-check=full --num-callers=50 --log-file=$dir/memcheck.log \
    $dir/menger-sponge" "$dir/tests/e2e_tests" --gtest_filter='*then_esc'
own=$(awk '/^==[0-9]+== $/ { seen = 0 }
    /^==[0-9]+== +(at|by) 0x/ && !seen && !/vgpreload_memcheck/ { seen = 1; n += /\((main|frame|init|renderer|view_settings|keyboard|menu)\.cpp:/ }
    END { print n + 0 }' "$dir/memcheck.log")
grep -E "ERROR SUMMARY|definitely lost" "$dir/memcheck.log" | sed 's/^==[0-9]*== */  /'
echo "errors made in the program's own code: $own (the whole log: $dir/memcheck.log)"
((own == 0))
