#!/usr/bin/env python3
"""Drives the viewer's page (menger-sponge-VERSION.html) in Debian's headless Chromium as a person
would: real key events and right clicks, through Chromium's own input (Selenium), and the
canvas's picture as the browser's screenshot of it. The end-to-end test uses it as it uses
viewer.py for the desktop program, through the same functions."""

import atexit, io, pathlib, sys

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from viewer import poll, save_png

# As root, no sandbox; no calls home. WebGL in software (SwiftShader), unless told otherwise.
FLAGS = ["--headless", "--no-sandbox", "--window-size=800,800", "--force-device-scale-factor=1"]
FLAGS += ["--no-first-run", "--disable-background-networking", "--disable-component-update"]
FLAGS += ["--disable-sync"]
SOFTWARE_WEBGL = ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"]
browser = None


def open_browser(webgl=SOFTWARE_WEBGL):
    """A new headless Chromium, whose WebGL the flags `webgl` choose; the pages go to it."""
    global browser
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS + webgl:
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    atexit.register(browser.quit)


def frames(canvas):  # how many frames the page has drawn
    return int(canvas.get_attribute("data-frames") or 0)


def load(path):
    """The page opened from disk, and its canvas."""
    browser.get(pathlib.Path(path).resolve().as_uri())
    return browser.find_element(By.ID, "canvas")


def start(command):
    """The page, opened from disk, and its canvas once it has drawn its first frame."""
    if browser is None:
        open_browser()
    canvas = load(command[-1])
    if not poll(lambda: frames(canvas)):
        sys.exit("FAILED: the page drew no frame")
    return browser, canvas


def inside(canvas):
    return canvas


def press(keys):
    for key in keys:
        ActionChains(browser).send_keys(Keys.ESCAPE if key == "Escape" else key).perform()


def choose(label):
    """Chooses the menu's entry that begins with `label`: a right click on the canvas opens the
    menu, a click on the entry chooses it. Whether the menu opened and closed again."""
    ActionChains(browser).context_click(browser.find_element(By.ID, "canvas")).perform()
    menu = browser.find_element(By.ID, "menu")
    if not poll(menu.is_displayed):
        return False
    for entry in menu.find_elements(By.CSS_SELECTOR, "[role=menuitem]"):
        if entry.text.split("\n")[0] == label:
            entry.click()
    return poll(lambda: not menu.is_displayed())


def picture(canvas):
    """Width, height and pixel(x, y) of the canvas as the browser shows it."""
    return pixels(canvas.screenshot_as_png)


def pixels(png):
    image = Image.open(io.BytesIO(png)).convert("RGB")
    return image.width, image.height, lambda x, y: image.getpixel((x, y))


def ended(_):
    """Whether the page says that the program has ended, its picture gone."""
    canvas, status = browser.find_element(By.ID, "canvas"), browser.find_element(By.ID, "status")
    return poll(lambda: "ended" in status.text and not canvas.is_displayed())
