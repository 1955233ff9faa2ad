#!/usr/bin/env bash
# Measures what the program costs on Mesa's software OpenGL on a private X
# display, prints the table and writes it to docs/performance.md.
# ./scripts/bench.sh --quick stops at depth 3 (a minute instead of several).
set -euo pipefail
source "$(dirname "$0")/common.sh"

need_build_tools
need Xvfb xvfb
need /usr/include/benchmark/benchmark.h libbenchmark-dev
need /usr/include/X11/extensions/XTest.h libxtst-dev
install_missing
build "$root/build" -DCMAKE_BUILD_TYPE=Release -DMENGER_BENCHMARK=ON >/dev/null
start_xvfb

log=$(mktemp)
# Frames and flat loops take turns, so that a slow spell of the machine
# does not fall on one side only.
"$root/build/bench/frame_benchmark" "$@" --benchmark_enable_random_interleaving=true \
    --benchmark_color=false | tee "$log"
report=$(sed -n '/^--- report ---$/,$p' "$log" | tail -n +2)
rm -f "$log"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
memory=$(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
cat >"$root/docs/performance.md" <<DOC
# Performance

Measured by \`./scripts/bench.sh\` on $(date -u +%Y-%m-%d): $(nproc) cores ($cpu), $memory of memory,
no GPU; Xvfb with Mesa's software renderer.

*frame* is one whole frame as the program draws it (\`display\`, then \`glFinish\`). *bare* is the
same cube primitives with the same edges, each inside a matrix save, translate and restore, in
one flat loop without the recursion: the least that any renderer issuing these primitives pays.
The ratio frame ÷ bare is the renderer's own overhead. Each time is the fastest of repeated runs
(9 at depths 0 to 3, 5 at depth 4, 3 at depth 5), with frames and flat loops taking turns. On two
cores shared with the software renderer's own threads, runs of the same work still differ by 5 to
10 %, so a ratio within about 0.9 to 1.1 says "no difference that this machine can see". The line
under the table measures the renderer's own work directly, without OpenGL's: the
recursion with the translations and cube primitives recorded instead of drawn, beside the flat
loop doing the same.

$report

Run it again with \`./scripts/bench.sh\` (all depths, several minutes) or
\`./scripts/bench.sh --quick\` (depths 0 to 3).
DOC
echo "Wrote docs/performance.md"
