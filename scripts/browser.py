"""The three browser engines that the page is made for, driven through WebDriver, on the X display
in $DISPLAY: Debian's Chromium (headless, through chromedriver and Selenium), WebKitGTK (its
MiniBrowser, through WebKitWebDriver and Selenium) and Firefox ESR, which Debian ships without a
WebDriver server, over WebDriver BiDi, Firefox's own remote protocol. Each is given the same few
orders: open a page, evaluate JavaScript, perform W3C input actions, take a screenshot, tell what
its console warned of. The tests, the benchmark and the README's pictures use them."""

import asyncio, base64, json, os, socket, subprocess, sysconfig, tempfile, time

import websockets
from selenium import webdriver
from selenium.webdriver.remote.command import Command

ENGINES = ("chromium", "firefox", "webkit")
WIDTH, HEIGHT = 800, 800  # the viewport's size in CSS pixels
# As root, no sandbox; no calls home. WebGL in software (SwiftShader), unless told otherwise.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", f"--window-size={WIDTH},{HEIGHT}", "--no-first-run"]
CHROMIUM_FLAGS += [
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
]
SOFTWARE_WEBGL = ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"]


def wait_for(get, limit=60):  # the first result of get() that is not empty
    end = time.monotonic() + limit
    while not (result := get()) and time.monotonic() < end:
        time.sleep(0.05)
    return result


def as_json(expression):  # the value of a JavaScript expression, or of its promise, as JSON
    return f"(async () => JSON.stringify((await ({expression})) ?? null))()"


class Selenium:
    """Chromium or WebKitGTK, through their WebDriver servers."""

    def __init__(self, driver, console):
        self.driver, self.read_console = driver, console
        driver.set_script_timeout(600)

    def open(self, url):
        self.driver.get(url)

    def js(self, expression):
        return json.loads(self.driver.execute_script("return " + as_json(expression)))

    def act(self, *sources):
        self.driver.execute(Command.W3C_ACTIONS, {"actions": list(sources)})

    def resize(self, width, height):  # the window, whose viewport is its size headless
        self.driver.set_window_size(width, height)

    def screenshot(self):  # of the viewport: WebKitWebDriver's of an element loses its top
        return self.driver.get_screenshot_as_png()

    def console(self):
        return self.read_console()

    def quit(self):
        self.driver.quit()


# What a person does with a pointer, in any engine, in W3C input actions.


def box(browser, element):
    """Left, top, width and height in CSS pixels of a JavaScript element, scrolled into view."""
    rect = "[e.scrollIntoView({block: 'nearest'}), e.getBoundingClientRect()][1]"
    return browser.js(
        f"((e) => (({{x, y, width, height}}) => [x, y, width, height])({rect}))({element})"
    )


def point(browser, element, dx=0.5, dy=0.5, buttons=(0,), pointer="mouse", hold=0, move=(0, 0)):
    """Presses and releases each button (0 left, 2 right) at a place in an element, `dx` and `dy`
    of its width and height from its corner, held for `hold` ms, moved by `move` meanwhile."""
    x, y, width, height = box(browser, element)
    actions = [{"type": "pointerMove", "x": round(x + dx * width), "y": round(y + dy * height)}]
    moved = {"type": "pointerMove", "x": move[0], "y": move[1], "origin": "pointer"}
    for button in buttons:
        actions += [{"type": "pointerDown", "button": button}, moved]
        actions += [{"type": "pause", "duration": hold}, {"type": "pointerUp", "button": button}]
    source = {"type": "pointer", "id": pointer, "parameters": {"pointerType": pointer}}
    browser.act({**source, "actions": actions})


def chromium(ratio, webgl, scratch):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS + [f"--force-device-scale-factor={ratio}"] + webgl:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = webdriver.chrome.service.Service("/usr/bin/chromedriver", env=scratch)
    driver = webdriver.Chrome(service=service, options=options)
    read = lambda: [e["message"] for e in driver.get_log("browser") if e["level"] != "INFO"]
    return Selenium(driver, read)


def free_port():
    with socket.socket() as listener:
        listener.bind(("127.0.0.1", 0))
        return listener.getsockname()[1]


def webkit(ratio, webgl, scratch):
    """MiniBrowser, of the machine's own architecture; GTK scales its windows by GDK_SCALE. Under
    WebKitWebDriver its console is not to be read."""
    options = webdriver.WebKitGTKOptions()
    options.binary_location = (
        f"/usr/lib/{sysconfig.get_config_var('MULTIARCH')}/webkit2gtk-4.1/MiniBrowser"
    )
    for option in ["--automation"] + webgl:
        options.add_argument(option)
    port = free_port()
    server = subprocess.Popen(
        ["/usr/bin/WebKitWebDriver", f"--port={port}"],
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
        env={**scratch, "GDK_SCALE": str(ratio)},
    )
    wait_for(lambda: socket.socket().connect_ex(("127.0.0.1", port)) == 0, 10)
    driver = webdriver.Remote(f"http://127.0.0.1:{port}", options=options)
    driver.set_window_rect(0, 0, WIDTH, HEIGHT)
    browser = Selenium(driver, lambda: None)
    browser.quit = lambda: (driver.quit(), server.terminate(), server.wait())
    return browser


class BiDi:
    """Firefox, over WebDriver BiDi: commands and their results as JSON on a WebSocket, events
    (here, the console's entries) between them. A connection that carries an Origin header is
    refused, and websockets sends none."""

    def __init__(self, url):
        self.loop = asyncio.new_event_loop()
        asyncio.set_event_loop(self.loop)
        self.socket = self.run(websockets.connect(url + "/session", max_size=None))
        self.sent, self.warnings = 0, []
        self.call("session.new", capabilities={})
        self.call("session.subscribe", events=["log.entryAdded"])
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]

    def run(self, work):
        return self.loop.run_until_complete(work)

    def call(self, method, **params):
        self.sent += 1
        self.run(
            self.socket.send(json.dumps({"id": self.sent, "method": method, "params": params}))
        )
        while True:
            message = json.loads(self.run(self.socket.recv()))
            if message.get("id") == self.sent:
                if message["type"] == "error":
                    raise RuntimeError(f"{method}: {message['error']}: {message['message']}")
                return message["result"]
            if message.get("method") == "log.entryAdded" and message["params"]["level"] != "info":
                self.warnings.append(message["params"]["text"])

    def open(self, url):
        self.call("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def js(self, expression):
        target = {"context": self.context}
        done = self.call(
            "script.evaluate", expression=as_json(expression), target=target, awaitPromise=True
        )
        if done["type"] == "exception":
            raise RuntimeError(done["exceptionDetails"]["text"])
        return json.loads(done["result"]["value"])

    def act(self, *sources):
        self.call("input.performActions", context=self.context, actions=list(sources))

    def resize(self, width, height):
        viewport = {"width": width, "height": height}
        self.call("browsingContext.setViewport", context=self.context, viewport=viewport)

    def screenshot(self):
        return base64.b64decode(
            self.call("browsingContext.captureScreenshot", context=self.context)["data"]
        )

    def console(self):
        self.js("0")  # events sent before now are read
        return self.warnings

    def quit(self):
        self.call("browser.close")
        self.run(self.socket.close())
        self.firefox.wait()


def firefox(ratio, webgl, scratch):
    """Firefox ESR in a profile of its own, which says where it listens as it starts."""
    profile = scratch["TMPDIR"]
    with open(os.path.join(profile, "user.js"), "w") as prefs:
        prefs.write(f'user_pref("webgl.disabled", {json.dumps(not webgl)});\n')
    output = tempfile.TemporaryFile()
    command = ["firefox-esr", "--remote-debugging-port=0", "--profile", profile, "--no-remote"]
    started = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT, env=scratch)

    def listening():
        output.seek(0)
        for line in output.read().decode(errors="replace").splitlines():
            if line.startswith("WebDriver BiDi listening on "):
                return line.split()[-1]
        return None

    browser = BiDi(wait_for(listening))
    browser.firefox = started
    viewport = {"width": WIDTH, "height": HEIGHT}
    browser.call(
        "browsingContext.setViewport",
        context=browser.context,
        viewport=viewport,
        devicePixelRatio=ratio,
    )
    return browser


def open_browser(engine, ratio=1, webgl=True, chromium_webgl=SOFTWARE_WEBGL):
    """A new browser of the engine, its screen `ratio` device pixels to the CSS pixel, with WebGL
    (in software; Chromium's as its flags `chromium_webgl` choose) or without. What it keeps in
    temporary files goes in a folder of its own, removed when it quits."""
    folder = tempfile.TemporaryDirectory()
    scratch = {**os.environ, "TMPDIR": folder.name}
    if engine == "chromium":
        browser = chromium(ratio, chromium_webgl if webgl else ["--disable-3d-apis"], scratch)
    elif engine == "webkit":
        browser = webkit(ratio, [] if webgl else ["--enable-webgl=false"], scratch)
    else:
        browser = firefox(ratio, webgl, scratch)
    quit = browser.quit
    browser.quit = lambda: (quit(), folder.cleanup())
    return browser
