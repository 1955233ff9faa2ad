#!/usr/bin/env python3
"""screenshot.py FILE KEY... -- COMMAND...: a picture for the README. Starts COMMAND (the program,
or the page that it names, a path ending .html), types the keys (xdotool key names; characters
for the page) and saves FILE, a PNG: the program's window, with Wine's frame if it has one, once
it has stopped changing; or the page, its menu open over the middle of the picture."""

import os, sys, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import page, viewer
from selenium.webdriver.common.action_chains import ActionChains


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
    _, canvas = page.start(command)
    page.press(keys)
    ActionChains(page.browser).context_click(canvas).perform()
    _, _, pixel = page.pixels(page.browser.get_screenshot_as_png())
    left, top = canvas.rect["x"] - 16, canvas.rect["y"] - 16  # the picture, its menu below
    viewer.save_png(file, 532, 560, lambda x, y: pixel(left + x, top + y))
else:
    program, window = viewer.start(command)
    viewer.press(keys)
    viewer.save_png(file, *still(window))
    program.kill()
    program.wait()
