#!/usr/bin/env python3
"""Drives the viewer's page (menger-sponge-VERSION.html) as a person would, in Chromium, Firefox
or WebKit (scripts/browser.py): real key events, clicks and right clicks through the engine's own
input, and the canvas's picture as the browser shows it. The end-to-end test uses it as it uses
viewer.py for the desktop program, through the same functions; the command that names the page
may name the engine and the screen's ratio before it (`firefox 2 PAGE`; Chromium, 1 unless told)."""

import atexit, io, os, pathlib, sys

from PIL import Image
from viewer import poll, save_png

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import browser as engines

browser = None
ESCAPE, SHIFT, F10 = "\ue00c", "\ue008", "\ue03a"


def open_browser(engine="chromium", ratio=1, **webgl):
    global browser
    browser = engines.open_browser(engine, float(ratio), **webgl)
    atexit.register(browser.quit)
    return browser


def load(path):  # the page, opened from disk or from a server
    browser.open(path if "://" in path else pathlib.Path(path).resolve().as_uri())


def frames():  # how many frames the page has drawn
    return browser.js(f"Number({element('canvas')}.dataset.frames || 0)")


def start(command):
    """The page, in a browser that the command's words before it choose, once it has drawn its
    first frame."""
    *options, path = command
    if browser is None:
        open_browser(*options)
    load(path)
    if not poll(frames):
        sys.exit("FAILED: the page drew no frame")
    return browser, element("canvas")


def inside(element):
    return element


def element(name):  # the page's element of that id, in JavaScript
    return f"document.getElementById('{name}')"


def box(element):
    return engines.box(browser, element)


def point(element, *where, **how):
    engines.point(browser, element, *where, **how)


def keys(*strokes):  # each character, or each of these lists of keys held together, typed
    actions = []
    for stroke in strokes:
        held = stroke if isinstance(stroke, list) else [stroke]
        actions += [{"type": "keyDown", "value": key} for key in held]
        actions += [{"type": "keyUp", "value": key} for key in reversed(held)]
    browser.act({"type": "key", "id": "keyboard", "actions": actions})


def press(typed):  # as a person types: Shift held for capitals and the symbols it gives
    shifted = lambda key: key.isupper() or key in '~!@#$%^&*()_+{}|:"<>?'
    keys(*[ESCAPE if key == "Escape" else [SHIFT, key] if shifted(key) else key for key in typed])


def menu_open():
    return browser.js(f"!{element('menu')}.hidden")


def choose(label):
    """Chooses the menu's entry that begins with `label`: a right click on the canvas opens the
    menu, a click on the entry chooses it. Whether the menu opened and closed again."""
    point(element("canvas"), buttons=[2])
    if not poll(menu_open):
        return False
    entries = browser.js(
        f"[...{element('menu')}.children].map((entry) => entry.firstChild.textContent)"
    )
    point(f"{element('menu')}.children[{entries.index(label)}]")
    return poll(lambda: not menu_open())


def picture(_):
    """Width, height and pixel(x, y) of the canvas as the browser shows it, in CSS pixels: the
    colours of the n x n device pixels that show a pixel at a ratio of n."""
    image = Image.open(io.BytesIO(browser.screenshot())).convert("RGB")
    ratio = image.width / browser.js("innerWidth")
    x, y, width, height = [round(ratio * side) for side in box(element("canvas"))]
    image = image.crop((x, y, x + width, y + height))
    n = round(ratio)
    shown = lambda x, y: [
        image.getpixel((n * x + i, n * y + j)) for i in range(n) for j in range(n)
    ]
    return width // n, height // n, shown


def ended(_):
    """Whether the page says that the program has ended, its picture gone."""
    said = f"{element('status')}.textContent.includes('ended') && {element('canvas')}.hidden"
    return poll(lambda: browser.js(said))
