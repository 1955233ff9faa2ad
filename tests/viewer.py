#!/usr/bin/env python3
"""Drives the viewer on an X display as a person would: starts it, types real keys and chooses
menu entries by their labels (xdotool, through XTEST), and reads its window's picture (xwd). The
end-to-end test and the README's pictures (scripts/screenshot.py) use it."""

import atexit, re, struct, subprocess, sys, time

from PIL import Image

TITLE = "^Menger Sponge - Vardelle$"
MENU = ["Lighting\tL", "Inverse\tV", "Wireframe\tF", "Exit demo\tEsc"]  # top to bottom
MENU += [f"{depth} Iterations\t{depth}" for depth in range(5)]
MENU += ["Use Q W E A S D to rotate", "Use +/- to scale cube size"]


def poll(get, limit=60):
    # The first result of get() that is not empty; None if the program hangs.
    end = time.monotonic() + limit
    while not (result := get()) and time.monotonic() < end:
        time.sleep(0.01)
    return result or None


def run(*command, check=True):
    # What the command prints. Unless told otherwise, a command that fails ends the run at once.
    done = subprocess.run([str(word) for word in command], capture_output=True)
    if check and done.returncode != 0:
        sys.exit(f"FAILED: {' '.join(map(str, command))}: {done.stderr.decode().strip()}")
    return done.stdout if done.returncode == 0 else b""


def shown(title):  # xdotool's search fails while no window has the title
    return run("xdotool", "search", "--onlyvisible", "--name", title, check=False).decode().split()


def start(command):
    """The started program and its window, which gets keys under the pointer once clicked (no
    window manager gives the focus)."""
    poll(lambda: not shown(TITLE))  # an ended program's window, which the server closes soon
    program = subprocess.Popen(command)
    atexit.register(program.kill)
    found = poll(lambda: shown(TITLE))
    if not found:
        sys.exit("FAILED: no window titled Menger Sponge - Vardelle")
    run("xdotool", "windowmove", found[0], 0, 0, "mousemove", 250, 250, "click", 1)
    return program, found[0]


def ended(program):  # with status 0
    return poll(lambda: program.poll() is not None) and program.returncode == 0


def inside(window):
    # What the program draws in: Wine draws a frame of its own around it, whose child it is then.
    tree = run("xwininfo", "-children", "-id", window).decode()
    children = re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.M)
    return children[0] if children else window


def press(keys):  # characters, or xdotool's names of keys
    for key in keys:
        run("xdotool", "key", {"-": "minus", "+": "plus"}.get(key, key))


def menu_place():
    """x, y, width and height of the open menu, read with xwininfo as xdotool misplaces Wine's
    windows; None while it is closed (Wine 10 keeps it shown as a single pixel then)."""
    numbers = r"(?:Absolute upper-left [XY]|Width|Height): +(-?\d+)"
    for menu in shown("^freeglut menu$"):
        info = run("xwininfo", "-id", menu, check=False).decode()
        place = [int(number) for number in re.findall(numbers, info)]
        if len(place) == 4 and place[2] > 1:
            return place
    return None


def choose(label):
    """Chooses the menu's entry that begins with `label`: opened by the right button and left
    open by its release, a move marks the entry's line and a click chooses it. Whether the menu
    opened and closed again."""
    line = [entry.split("\t")[0] for entry in MENU].index(label)
    run("xdotool", "mousedown", 3)
    place = poll(menu_place)
    run("xdotool", "mouseup", 3)
    if not place:
        return False
    x, y, width, height = place
    x += width // 2
    y += height * (2 * line + 1) // (2 * len(MENU))  # the middle of the line
    run("xdotool", "mousemove", x, y - 1, "mousemove", x, y, "click", 3)
    closed = poll(lambda: not menu_place())
    run("xdotool", "mousemove", 250, 250)  # back over the window, which takes keys under it
    return closed


def picture(window):
    """Width, height and pixel(x, y) of the window's picture, the colours that a pixel shows (one
    here). xwd writes a header of 25 big-endian
    numbers, 12 bytes for each colour in its map, then rows of 24- or 32-bit pixels, blue first."""
    xwd = run("xwd", "-silent", "-id", window)
    header = struct.unpack(">25I", xwd[:100])

    def pixel(x, y):
        at = header[0] + 12 * header[19] + y * header[12] + header[11] // 8 * x
        return [(xwd[at + 2], xwd[at + 1], xwd[at])]

    return header[4], header[5], pixel


def save_png(path, width, height, pixel):
    image = Image.new("RGB", (width, height))
    image.putdata([pixel(x, y)[0] for y in range(height) for x in range(width)])
    image.save(path)
