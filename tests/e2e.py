#!/usr/bin/env python3
"""e2e.py COMMAND...: the program that COMMAND starts (the Windows build under Wine, the arm64 one
under qemu too), or the page that it names (a path ending .html, in headless Chromium), used as
a person would: real keys and menu choices, each judged by the next picture against the
sponge's geometry and the lighting equation (pictures.py). A picture that never comes right
is kept as e2e-step-N.png in the working folder."""

import importlib, os, sys

driver = importlib.import_module("page" if sys.argv[-1].endswith(".html") else "viewer")
from pictures import sponge, wire

TURNED = "qqqaaaa"
ALL_TURNS = TURNED + "ewwsdd"
STEPS = [  # keys to type, then a menu entry to choose (by its label), and the picture after
    ("", None, sponge(1)),
    ("Ql", None, sponge(1, lighting=False)),  # upper-case letters do nothing
    ("l2", None, sponge(2)),
    ("", "Lighting", sponge(2, lighting=False)),
    ("l1" + TURNED, None, sponge(1, TURNED)),
    ("f", None, wire(1, TURNED)),
    ("l", None, wire(1, TURNED, lighting=False)),
    ("l", "Wireframe", sponge(1, TURNED)),
    ("v", None, sponge(1, TURNED, inverse=True)),
    ("2", None, sponge(2, TURNED, inverse=True)),
    ("1------", "Inverse", sponge(1, TURNED, scale=0.94000006)),
    ("++++++3ewwsdd", None, sponge(3, ALL_TURNS)),
    ("0", None, sponge(0, ALL_TURNS)),
]
if driver.__name__ == "page":  # only the page's layer draws in batches: more than one full batch
    STEPS.append(("4", None, sponge(4, ALL_TURNS)))

program, window = driver.start(sys.argv[1:])
window = driver.inside(window)
for number, (keys, entry, check) in enumerate(STEPS):
    driver.press(keys)
    if entry is not None and not driver.choose(entry):
        sys.exit(f"FAILED: step {number}: the menu did not open and close")
    if not driver.poll(lambda: check(*driver.picture(window))):
        kept = os.path.abspath(f"e2e-step-{number}.png")
        driver.save_png(kept, *driver.picture(window))
        sys.exit(f"FAILED: step {number} ({keys!r}, menu entry {entry}): the picture is {kept}")
driver.press(["Escape"])
if not driver.ended(program):
    sys.exit("FAILED: Esc did not end the program with status 0")
program, _ = driver.start(sys.argv[1:])
if not driver.choose("Exit demo") or not driver.ended(program):
    sys.exit("FAILED: the menu's Exit demo did not end the program with status 0")
print("as a user: passed")
