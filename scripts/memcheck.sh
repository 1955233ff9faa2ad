#!/usr/bin/env bash
# Runs the end-to-end test with the program under valgrind's memcheck. Fails on an error made in
# the program's own code (its innermost frame past the allocator); the GL driver's are counted.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"
need_build_tools
need_display_tools
need valgrind valgrind
install_missing
dir=$root/build-memcheck
build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
start_xvfb
(cd "$dir" && rm -f memcheck.*.log && MENGER_SPONGE="exec valgrind --leak-check=full \
    --num-callers=50 --log-file=memcheck.%p.log ./menger-sponge" python3 "$root/tests/e2e.py")
own=$(awk '/^==[0-9]+== $/ { seen = 0 } /^==[0-9]+== +(at|by) 0x/ && !seen && !/vgpreload/ {
    seen = 1; n += /\((main|frame|init|renderer|view_settings|keyboard|menu)\.cpp:/ } END { print n + 0 }' \
    "$dir"/memcheck.*.log)
grep -E "ERROR SUMMARY|definitely lost" "$dir"/memcheck.*.log | sed 's/^.*==[0-9]*== */  /'
echo "errors made in the program's own code: $own (the logs: $dir/memcheck.*.log)"
((own == 0))
