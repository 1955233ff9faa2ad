#!/usr/bin/env python3
"""page_benchmark.py PAGE < DESKTOP-FIGURES: the page's frame time in headless Chromium beside
the desktop program's, at depths 3 to 5, solid and wire, as a Markdown table. The desktop's
figures are frame_benchmark's table (its `frame ms`); the page is measured on the same software
OpenGL (Mesa's llvmpipe, through Chromium's ANGLE, on the X display) and on Chromium's own
software WebGL (SwiftShader). A frame is timed from the start of the animation frame that draws
it to the end of its drawing (the page's count of frames drawn), the median of 3. The memory of Chromium's
processes (anonymous, resident) is read after the first frame, and at its peak while depth 5
draws."""

import os, re, statistics, sys, threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import page

BACKENDS = {
    "llvmpipe": ["--use-gl=angle", "--use-angle=gl", "--ignore-gpu-blocklist"],
    "SwiftShader": page.engines.SOFTWARE_WEBGL,
}
# Asks for a frame with a key that changes nothing, and times it from the animation frame that
# starts it to the end of its drawing, which the page counts once its last batch is drawn.
FRAME = """new Promise((done) => {
const canvas = document.getElementById('canvas');
requestAnimationFrame(() => {
  canvas.dispatchEvent(new KeyboardEvent('keydown', {key: 'x'}));
  requestAnimationFrame((start) => {  // the frame has begun, and dropped what was left of others
    const before = Number(canvas.dataset.frames);
    const drawn = () => {
      if (Number(canvas.dataset.frames) > before) done(performance.now() - start);
      else requestAnimationFrame(drawn);
    };
    drawn();
  });
});
})"""


def chromium_memory():  # the private memory (anonymous, resident) of Chromium's processes, MiB
    total = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/status") as status:
                fields = dict(line.split(":", 1) for line in status)
        except OSError:
            continue
        if fields["Name"].strip().startswith("chrom"):
            total += int(fields.get("RssAnon", "0 kB").split()[0])
    return total // 1024


def measure(flags, cases):
    """Frame times in ms by case, and Chromium's memory after the first frame and at its peak
    while depth 5 draws."""
    page.open_browser("chromium", chromium_webgl=flags)
    browser, _ = page.start([sys.argv[1]])
    idle = chromium_memory()
    times, peak, deepest, finished = {}, [0], threading.Event(), threading.Event()

    def sample():  # every tenth of a second
        while not finished.wait(0.1):
            if deepest.is_set():
                peak[0] = max(peak[0], chromium_memory())

    threading.Thread(target=sample, daemon=True).start()
    wire = False
    for depth, mode in cases:  # the solid ones first
        if mode == "wire" and not wire:
            page.press("f")
            wire = True
        page.press(str(depth))
        if depth == 5:
            deepest.set()
        else:
            deepest.clear()
        times[depth, mode] = statistics.median(browser.js(FRAME) for _ in range(3))
    finished.set()
    browser.quit()
    return times, idle, peak[0]


desktop = {}  # the frame_benchmark table's rows "| 4 normal/solid | cubes | frame ms | ..."
for row in sys.stdin:
    found = re.match(r"\| (\d) normal/(solid|wire) \| \d+ \| ([\d.]+) \|", row)
    if found:
        desktop[int(found[1]), found[2]] = float(found[3])
cases = [
    (depth, mode) for mode in ("solid", "wire") for depth in (3, 4, 5) if (depth, mode) in desktop
]
results = {name: measure(flags, cases) for name, flags in BACKENDS.items()}
print("| depth / mode | desktop, llvmpipe | page, llvmpipe | page ÷ desktop | page, SwiftShader |")
print("|---|---:|---:|---:|---:|")
for case in cases:
    fast, soft = results["llvmpipe"][0][case], results["SwiftShader"][0][case]
    ratio = fast / desktop[case]
    print(f"| {case[0]} {case[1]} | {desktop[case]:.0f} | {fast:.0f} | {ratio:.2f} | {soft:.0f} |")
if (5, "solid") in desktop:
    memory = "; ".join(
        f"{name}: {idle} MiB, at most {peak}" for name, (_, idle, peak) in results.items()
    )
    print(f"\nChromium's private memory after the first frame, then while depth 5 draws: {memory}.")
