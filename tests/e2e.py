#!/usr/bin/env python3
"""e2e.py COMMAND...: the program that COMMAND starts (the Windows build under Wine, the arm64 one
under qemu too), or the page that it names (a path ending .html, in headless Chromium), used as
a person would: real keys and menu choices, each judged by the next picture against the
sponge's geometry and the lighting equation (pictures.py). A picture that never comes right
is kept as e2e-step-N.png in the working folder."""

import importlib, os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
driver = importlib.import_module("page" if sys.argv[-1].endswith(".html") else "viewer")
from pictures import sponge


STEPS = [  # keys to type, or a menu entry to choose (counted from 0), and the picture after
    ("", None, sponge(1)),
    ("Ql", None, sponge(1, lighting=False)),  # upper-case letters do nothing
    ("l2", None, sponge(2)),
    ("", 0, sponge(2, lighting=False)),
    ("l1qqqaaaa", None, sponge(1, "qqqaaaa")),
    ("0", None, sponge(0, "qqqaaaa")),
]


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
if not driver.choose(3) or not driver.ended(program):
    sys.exit("FAILED: the menu's Exit demo did not end the program with status 0")
print("as a user: passed")
