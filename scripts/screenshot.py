#!/usr/bin/env python3
"""screenshot.py FILE KEY... -- COMMAND...: a picture for the README. Starts COMMAND (the program,
or the page that it names, a path ending .html), types the keys (xdotool key names; characters
for the page) and saves FILE, a PNG: the program's window, with Wine's frame if it has one, once
it has stopped changing; or the page, its menu open over the middle of the picture."""

import io, os, sys, time

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import page, viewer


def still(window):
    # The window's picture once two readings a fifth of a second apart are the same.
    before = None
    while (now := viewer.run("xwd", "-silent", "-id", window)) != before:
        before = now
        time.sleep(0.2)
    return viewer.picture(window)


split = sys.argv.index("--")
file, keys, command = sys.argv[1], sys.argv[2:split], sys.argv[split + 1 :]
if command[-1].endswith(".html"):
    browser, canvas = page.start(command)
    page.press(keys)
    page.point(canvas, buttons=[2])
    image = Image.open(io.BytesIO(browser.screenshot()))
    left, top = [round(side) - 16 for side in page.box(canvas)[:2]]  # the picture, its menu below
    image.crop((left, top, left + 532, top + 560)).save(file)
else:
    program, window = viewer.start(command)
    viewer.press(keys)
    viewer.save_png(file, *still(window))
    program.kill()
    program.wait()
