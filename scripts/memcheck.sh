#!/usr/bin/env bash
# Runs the program under valgrind's memcheck on a private X display: depth 2,
# a few keys, then Esc. Fails if any error's stack passes through the
# program's own code at its innermost frame (where the bad access or the lost
# allocation is made); errors inside the GL driver or X are counted only.
set -euo pipefail
source "$(dirname "$0")/common.sh"

need_build_tools
need Xvfb xvfb
need xdotool xdotool
need valgrind valgrind
install_missing
build "$root/build-memcheck" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
start_xvfb

log=$root/build-memcheck/memcheck.log
valgrind --leak-check=full --num-callers=50 --log-file="$log" \
    "$root/build-memcheck/menger-sponge" &
pid=$!
window=$(timeout 120 xdotool search --sync --name '^Menger Sponge - Vardelle$' | head -n1)
xdotool windowmove "$window" 0 0 mousemove 250 250
for key in 2 q a l l f f v v minus plus; do
    xdotool key "$key"
    sleep 1 # each frame is slow under valgrind
done
xdotool key Escape
status=0
wait "$pid" || status=$?
echo "exit status under valgrind: $status"

# An error record runs to the next blank line; its first stack frame that is
# not the allocator itself says whose code it is.
own=$(awk '/^==[0-9]+== $/ { seen = 0; next }
           /^==[0-9]+== +(at|by) 0x/ && !seen && !/vgpreload_memcheck/ {
               seen = 1
               if (/\((main|frame|init|renderer|view_settings|keyboard|menu)\.cpp:/) n++
           }
           END { print n + 0 }' "$log")
grep -E "ERROR SUMMARY|definitely lost|indirectly lost" "$log" | sed 's/^==[0-9]*== */  /'
echo "errors made in the program's own code: $own (full log: $log)"
[[ $status -eq 0 && $own -eq 0 ]]
