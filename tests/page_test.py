#!/usr/bin/env python3
"""page_test.py PAGE: what only the page does, in headless Chromium: its title, its canvas drawn
at its size, and its menu's entries as a person reads them, opened where the pointer is; the keys
that it treats as a browser must (those typed while the canvas lacks the focus, a digit with
Shift, a letter with Ctrl, Alt or Meta, a held key's repeats, and the browser's own menu beside
the canvas); the menu by keyboard; and, in a browser without WebGL, a sentence that says so."""

import sys

import page, viewer
from pictures import sponge
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys


def fail_unless(ok, what):
    if not ok:
        sys.exit(f"FAILED: {what}")


browser, canvas = page.start(sys.argv[1:])
fail_unless(browser.title == "Menger Sponge - Vardelle", f"the page is titled {browser.title!r}")
sizes = [canvas.get_property(size) for size in ("width", "height", "clientWidth", "clientHeight")]
fail_unless(sizes == [500] * 4, f"the canvas draws {sizes[:2]} pixels shown as {sizes[2:]}")

# A right click 100 pixels in from the canvas's left and 150 from its top opens the menu there.
ActionChains(browser).move_to_element_with_offset(canvas, -150, -100).context_click().perform()
menu = browser.find_element(By.ID, "menu")
place = [menu.rect[k] - canvas.rect[k] for k in ("x", "y")]
fail_unless(place == [100, 150], f"the menu opened at {place} in the canvas")
shown = [e.text.replace("\n", " ") for e in menu.find_elements(By.CSS_SELECTOR, "[role=menuitem]")]
fail_unless(shown == [e.replace("\t", " ") for e in viewer.MENU], f"the menu shows {shown}")

# A click beside the canvas takes the focus, and the menu, away: `l` does nothing then; after a
# click on the canvas, `2` acts, and the picture is the lit depth-2 sponge.
ActionChains(browser).move_to_element_with_offset(canvas, 300, 0).click().perform()
page.press("l")
ActionChains(browser).click(canvas).perform()
page.press("2")
fail_unless(page.poll(lambda: sponge(2)(*page.picture(canvas))), "a key acted without the focus")

# Shift with 3 types "#", which does nothing but ask for a frame.
drawn = page.frames(canvas)
ActionChains(browser).key_down(Keys.SHIFT).send_keys("3").key_up(Keys.SHIFT).perform()
page.poll(lambda: page.frames(canvas) > drawn)
fail_unless(sponge(2)(*page.picture(canvas)), "Shift with 3 acted as 3")

# A letter with Ctrl, Alt or Meta is the browser's: not taken, and not lighting switched off.
browser.execute_script("addEventListener('keydown', (e) => window.taken = e.defaultPrevented);")
for name, modifier in {"Ctrl": Keys.CONTROL, "Alt": Keys.ALT, "Meta": Keys.META}.items():
    ActionChains(browser).key_down(modifier).send_keys("l").key_up(modifier).perform()
    fail_unless(browser.execute_script("return window.taken") is False, f"the page took {name}+l")

# A held key's repeats turn the sponge on, as presses do.
browser.execute_script(
    "for (let i = 0; i < 4; ++i) arguments[0].dispatchEvent(new KeyboardEvent('keydown',"
    " {key: 'a', repeat: true, bubbles: true, cancelable: true}));",
    canvas,
)
fail_unless(page.poll(lambda: sponge(2, "aaaa")(*page.picture(canvas))), "repeats did not turn")

# The menu by keyboard: Shift+F10 opens it at its first entry, End then Down wrap round to it and
# Enter chooses it (lighting off); Esc closes the menu, the viewer going on with its keys.
menu_key = lambda: ActionChains(browser).key_down(Keys.SHIFT).send_keys(Keys.F10).key_up(Keys.SHIFT)
menu_key().send_keys(Keys.END, Keys.ARROW_DOWN, Keys.ENTER).perform()
menu_key().send_keys(Keys.ESCAPE, "l").perform()
fail_unless(page.poll(lambda: sponge(2, "aaaa")(*page.picture(canvas))), "the menu by keyboard")

# Beside the canvas, the browser's own menu is left to the browser.
offered = "return document.body.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true,"
offered += " cancelable: true}));"
fail_unless(browser.execute_script(offered), "the page took the browser's menu beside the canvas")

page.open_browser(["--disable-3d-apis"])
page.load(sys.argv[1])
said = lambda: "WebGL" in page.browser.find_element(By.ID, "status").text
fail_unless(page.poll(said), "without WebGL the page does not say why it shows nothing")
print("the page: passed")
