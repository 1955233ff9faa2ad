#!/usr/bin/env python3
"""page_test.py PAGE: what only the page does, in headless Chromium: its title and its menu's
entries as a person reads them; keys that act only while the canvas has the focus; and, in a
browser without WebGL, a sentence that says so."""

import os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import page
from pictures import sponge
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

ENTRIES = ["Lighting L", "Inverse V", "Wireframe F", "Exit demo Esc"]
ENTRIES += [f"{depth} Iterations {depth}" for depth in range(5)]
ENTRIES += ["Use Q W E A S D to rotate", "Use +/- to scale cube size"]

browser, canvas = page.start(sys.argv[1:])
if browser.title != "Menger Sponge - Vardelle":
    sys.exit(f"FAILED: the page is titled {browser.title!r}")
ActionChains(browser).context_click(canvas).perform()
shown = [
    entry.text.replace("\n", " ")
    for entry in browser.find_elements(By.CSS_SELECTOR, "[role=menuitem]")
]
if shown != ENTRIES:
    sys.exit(f"FAILED: the menu shows {shown}")

# A click beside the canvas takes the focus, and the menu, away: `l` does nothing then; after a
# click on the canvas, `2` acts, and the picture is the lit depth-2 sponge.
ActionChains(browser).move_to_element_with_offset(canvas, 300, 0).click().perform()
page.press("l")
ActionChains(browser).click(canvas).perform()
page.press("2")
if not page.poll(lambda: sponge(2)(*page.picture(canvas))):
    sys.exit("FAILED: a key acted while the canvas did not have the focus")

page.open_browser(["--disable-3d-apis"])
page.load(sys.argv[1])
if not page.poll(lambda: "WebGL" in page.browser.find_element(By.ID, "status").text):
    sys.exit("FAILED: without WebGL the page does not say why it shows nothing")
print("the page: passed")
