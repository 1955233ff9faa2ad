#!/usr/bin/env python3
"""page_test.py [ENGINE] [RATIO] PAGE: what only the page does, served over HTTP on 127.0.0.1:
its title, its canvas's pixels, and the window's width followed; its menu's entries, opened at
the pointer, by keyboard and by a long press; the keys left to the browser (without the focus, a
digit with Shift, Ctrl, Alt or Meta, the browser's menu beside the canvas) and a key's repeats;
the buttons; a lost context; the console, axe-core's rules; without WebGL, a sentence on why."""

import functools, http.server, os, sys, threading

import page, viewer
from page import element, keys, point
from pictures import sponge

AXE = os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "../node_modules/axe-core/axe.min.js"
)
CONTROL, ALT, META, END, DOWN, ENTER = "\ue009", "\ue00a", "\ue03d", "\ue010", "\ue015", "\ue007"
canvas, menu = element("canvas"), element("menu")


def fail_unless(ok, what):
    if not ok:
        sys.exit(f"FAILED: {what}")


def shows(check, what):
    fail_unless(page.poll(lambda: check(*page.picture(canvas))), what)


def accessible(when):  # axe-core's rules, best practices included, where npm could install it
    if not os.path.exists(AXE):
        return print(f"page_test.py: axe-core is not installed: no accessibility check {when}")
    if not browser.js("'axe' in window"):
        with open(AXE) as axe:
            browser.js(f"(0, eval)({axe.read()!r})")
    found = browser.js("axe.run().then((r) => r.violations.map((v) => v.id + ': ' + v.help))")
    fail_unless(found == [], f"axe-core finds, {when}: {found}")


button = lambda key: f"document.querySelector('[data-key=\"{key}\"]')"


http.server.SimpleHTTPRequestHandler.log_message = lambda *_: None  # quiet
*options, path = sys.argv[1:]
folder, name = os.path.split(os.path.abspath(path))
server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=folder)
)
threading.Thread(target=server.serve_forever, daemon=True).start()
path = f"http://127.0.0.1:{server.server_port}/{name}"
browser, _ = page.start([*options, path])
fail_unless(browser.js("document.title") == "Menger Sponge - Vardelle", "the page's title")
# As many pixels as the screen shows: 1000 x 1000 at 2 device pixels to the CSS pixel.
ratio = browser.js("devicePixelRatio")
sizes = browser.js(
    f"[{canvas}.width, {canvas}.height, {canvas}.clientWidth, {canvas}.clientHeight]"
)
wanted = [500 * ratio] * 2 + [500] * 2
fail_unless(sizes == wanted, f"the canvas draws {sizes[:2]} pixels shown as {sizes[2:]}")
accessible("at load")

# A right click 100 pixels in from the canvas's left and 150 from its top opens the menu there.
point(canvas, 0.2, 0.3, buttons=[2])
fail_unless(page.poll(page.menu_open), "a right click opens no menu")
place = [m - c for m, c in zip(page.box(menu)[:2], page.box(canvas)[:2])]
fail_unless(place == [100, 150], f"the menu opened at {place} in the canvas")
shown = browser.js(
    f"[...{menu}.children].map((entry) => entry.innerText.replace(/\\s+/g, ' ').trim())"
)
fail_unless(shown == [e.replace("\t", " ") for e in viewer.MENU], f"the menu shows {shown}")
accessible("with the menu open")

# A click beside the canvas takes the focus, and the menu, away: `l` does nothing then; after a
# click on the canvas, `2` acts, and the picture is the lit depth-2 sponge.
point(canvas, 1.5, 0.5)
page.press("l")
point(canvas)
page.press("2")
shows(sponge(2), "a key acted without the focus, or the menu stayed open")

# Shift with 3 types "#", which does nothing but ask for a frame.
drawn = page.frames()
keys([page.SHIFT, "3"])
page.poll(lambda: page.frames() > drawn)
shows(sponge(2), "Shift with 3 acted as 3")

# A letter with Ctrl, Alt or Meta is the browser's: not taken, and not lighting switched off.
browser.js("addEventListener('keydown', (e) => window.taken = e.defaultPrevented)")
for name, modifier in {"Ctrl": CONTROL, "Alt": ALT, "Meta": META}.items():
    keys([modifier, "l"])
    fail_unless(browser.js("window.taken") is False, f"the page took {name}+l")

# A held key's repeats turn the sponge on, as presses do.
held = "new KeyboardEvent('keydown', {key: 'a', repeat: true, bubbles: true, cancelable: true})"
browser.js(f"[1, 2, 3, 4].forEach(() => {canvas}.dispatchEvent({held}))")
shows(sponge(2, "aaaa"), "repeats did not turn")

# The menu by keyboard: Shift+F10 opens it at its first entry, End then Down wrap round to it and
# Enter chooses it (lighting off); Esc closes the menu, the viewer going on with its keys.
keys([page.SHIFT, page.F10], END, DOWN, ENTER)
keys([page.SHIFT, page.F10], page.ESCAPE, "l")
shows(sponge(2, "aaaa"), "the menu by keyboard")

# Beside the canvas, the browser's own menu is left to the browser.
offered = "document.body.dispatchEvent(new MouseEvent('contextmenu', {cancelable: true}))"
fail_unless(browser.js(offered), "the page took the browser's menu beside the canvas")

# The buttons type their keys, and a turn goes on while its button is held.
browser.js(f"{element('buttons')}.open = true")
point(button("1"))
# (WebKitWebDriver's mouse keeps its right button down once right-clicked: no press begins.)
held = options[:1] != ["webkit"]
point(button("d"), hold=1000 if held else 0)
# Two turns or more when held, and fewer than a quarter turn's 18 (the sponge looks the same then).
turns = {"aaaa" + "d" * n: sponge(1, "aaaa" + "d" * n) for n in range(2 - (not held), 19)}
turned = lambda *picture: [keys for keys, check in turns.items() if check(*picture)]
shows(turned, "the buttons did not type their keys, or a held turn did not go on")
found = turned(*page.picture(canvas))

# A long press opens the menu where the finger is, a tap chooses; one that moves opens none.
if options[:1] != ["webkit"]:  # WebKitWebDriver's pointers are all mice
    point(canvas, 0.1, 0.1, pointer="touch", hold=800)
    fail_unless(page.poll(page.menu_open), "a long press opens no menu")
    point(f"{menu}.children[{len(viewer.MENU) - 1}]", pointer="touch")  # it changes nothing
    fail_unless(page.poll(lambda: not page.menu_open()), "a tap did not choose")
    point(canvas, 0.1, 0.1, pointer="touch", hold=800, move=(30, 0))
    fail_unless(not page.menu_open(), "a long press that moved opened the menu")

# In a narrower window the canvas is as wide as the page, less its margins, and drawn again.
drawn = page.frames()
browser.resize(400, 800)
room = (
    f"[{canvas}.width / {ratio}, {canvas}.clientWidth, document.documentElement.clientWidth - 16]"
)
wide = lambda: len(set(widths := browser.js(room))) == 1 and widths
fail_unless(page.poll(wide), f"in a window 400 pixels wide the canvas is {browser.js(room)[:2]}")
fail_unless(page.poll(lambda: page.frames() > drawn), "a resize drew nothing")
browser.resize(800, 800)

# A lost context: the page says so, keys meanwhile do nothing, and the picture comes back.
browser.js(f"window.lose = {canvas}.getContext('webgl2').getExtension('WEBGL_lose_context')")
browser.js("lose.loseContext()")
fail_unless(page.poll(lambda: browser.js(f"{element('status')}.innerText")), "nothing said")
point(canvas)
page.press("2")
browser.js("lose.restoreContext()")
shows(sponge(2, found[0]), "the picture did not come back after a lost context")
said = browser.console()  # None where the engine's driver cannot read it
fail_unless(not said, f"the console says {said}")

point(button("Escape"))
fail_unless(page.ended(canvas), "the Exit button did not end the viewer")
accessible("after the end")

browser = page.open_browser(*options, webgl=False)
page.load(path)
said = lambda: "WebGL" in browser.js(f"{element('status')}.innerText")
fail_unless(page.poll(said), "without WebGL the page does not say why it shows nothing")
print("the page: passed")
