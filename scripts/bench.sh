#!/usr/bin/env bash
# Measures what the program costs on Mesa's software OpenGL on a private X display (the CMake
# preset `bench`), then its page's frames in headless Chromium beside it, and writes the figures
# to docs/performance.md. ./scripts/bench.sh --quick stops at depth 3 (a minute or two instead of
# a quarter of an hour).
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "$0")/common.sh"

main() {
    install_packages release bench display web web-test
    build_preset bench >/dev/null
    local figures page page_figures
    figures=$(on_private_display "$root/build/bench/bench/frame_benchmark" "$@" \
        --benchmark_enable_random_interleaving=true | tee /dev/stderr | sed -n '/^Renderer:/,$p')
    page=$root/$("$root/scripts/build-web.sh")
    page_figures=$(on_private_display /usr/bin/python3 "$root/bench/page_benchmark.py" "$page" <<<"$figures")
    write_report "$figures" "$*" "$page_figures"
}

# write_report FIGURES ARGUMENTS PAGE-FIGURES: docs/performance.md, the figures with what they
# mean.
write_report() {
    cat >"$root/docs/performance.md" <<DOC
# Performance

Measured by \`./scripts/bench.sh${2:+ $2}\` on $(date -u +%Y-%m-%d): $(nproc) cores ($(grep -m1 'model name' \
        /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')), no GPU; Xvfb with Mesa's software renderer.

*frame* is one whole frame as the program draws it (\`display\`, then \`glFinish\`); *bare* the
same cube primitives with the same edges, each inside a matrix save, translate and restore, from
one flat loop without the recursion: the least that any renderer issuing them pays. *ratio* is
frame over bare, the renderer's own overhead. Each figure is the median of Google Benchmark's
repetitions of one frame (9 at depths 0 to 3, 5 at depth 4, 3 at depth 5), wall-clock time, with
the frames and flat loops of every case run in random order. Repetitions of the same work differ
by up to a third on two cores that the renderer's own threads share, so ratios scattered between
0.7 and 1.3 around 1 show no cost of the recursion that this machine can tell from its noise.

A frame cannot be interrupted: a key press, Esc or the window's close button waits for the frame
in progress to end, which at depth 5 takes seconds.

$1

## The page

The page (\`menger-sponge-VERSION.html\`) in headless Chromium $(chromium --version 2>/dev/null |
        grep -o '[0-9][0-9.]*' | head -n1), in the same run: each frame, in ms, from the start of the
browser's animation frame that draws it until its last pixel is drawn (read back), the median
of 3, beside the desktop program's *frame* above. It issues the same cubes through the same
GLUT calls; its GLUT gathers them into batches of 16,384, drawn at once. *page, llvmpipe* draws
with the same software OpenGL as the desktop program (Mesa's llvmpipe, through Chromium's ANGLE,
on the X display), so that the two are compared on the same renderer; *page, SwiftShader* with
Chromium's own software WebGL, as a browser without a GPU does. With a GPU, both are much faster.

$3
DOC
    echo "Wrote docs/performance.md" >&2
}

main "$@"
