#!/usr/bin/env python3
"""e2e.py COMMAND...: the program that COMMAND starts (Windows build under Wine too), used as
a person would: real keys and menu choices (xdotool), each judged by the window's next picture
(xwd)."""

import atexit, math, os, re, struct, subprocess, sys, time


def poll(get, limit=60):
    # The first result of get() that is not empty; None if the program hangs.
    end = time.monotonic() + limit
    while not (result := get()) and time.monotonic() < end:
        time.sleep(0.01)
    return result or None


def run(*command):  # what the command prints, or nothing if it fails
    done = subprocess.run([str(word) for word in command], capture_output=True)
    return done.stdout if done.returncode == 0 else b""


def shown(title):
    return run("xdotool", "search", "--onlyvisible", "--name", title).decode().split()


def start():
    # The window gets keys under the pointer once clicked (no window manager gives the focus).
    # Wine draws a frame of its own around it: then the window is the frame's child.
    program = subprocess.Popen(sys.argv[1:])
    atexit.register(program.kill)
    found = poll(lambda: shown("^Menger Sponge - Vardelle$"))
    if not found:
        sys.exit("FAILED: no window titled Menger Sponge - Vardelle")
    run("xdotool", "windowmove", found[0], 0, 0, "mousemove", 250, 250, "click", 1)
    tree = run("xwininfo", "-children", "-id", found[0]).decode()
    children = re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.M)
    return program, children[0] if children else found[0]


def menu_place():
    """x, y, width and height of the open menu, read with xwininfo as xdotool misplaces Wine's
    windows; None while it is closed (Wine 10 keeps it shown as a single pixel then)."""
    numbers = r"(?:Absolute upper-left [XY]|Width|Height): +(-?\d+)"
    for menu in shown("^freeglut menu$"):
        info = run("xwininfo", "-id", menu).decode()
        place = [int(number) for number in re.findall(numbers, info)]
        if len(place) == 4 and place[2] > 1:
            return place
    return None


def choose(entry):
    # Opened by the right button and left open by its release; a move marks, a click chooses.
    run("xdotool", "mousedown", 3)
    place = poll(menu_place)
    run("xdotool", "mouseup", 3)
    if not place:
        return False
    x, y, width, height = place
    x += width // 2
    y += height * (2 * entry + 1) // 22  # the middle of one of 11 lines
    run("xdotool", "mousemove", x, y - 1, "mousemove", x, y, "click", 3)
    return poll(lambda: not menu_place())


def read(window):
    """Width, height and pixel(x, y) of the window's picture. xwd writes a header of 25 big-endian
    numbers, 12 bytes for each colour in its map, then rows of 32-bit pixels, blue first."""
    xwd = run("xwd", "-silent", "-id", window)
    header = struct.unpack(">25I", xwd[:100]) if len(xwd) >= 100 else [0] * 25

    def pixel(x, y):
        at = header[0] + 12 * header[19] + y * header[12] + 4 * x
        return xwd[at + 2], xwd[at + 1], xwd[at]

    return header[4], header[5], pixel


def carpet(depth, colour):
    """The sponge face-on in the middle half of its 500 x 500 window: a Sierpinski carpet of 3^d
    cells a side, a cell drawn unless its column and row both have a base-3 digit 1 in the same
    place. The middle of each cell and of a ring of cells around is `colour` where drawn, else
    black, within 3/255."""
    side = 3**depth
    cells = range(-1, side + 1)
    middle = {cell: int(125 + (cell + 0.5) * 250 / side) for cell in cells}

    def want(column, row):
        inside = 0 <= column < side and 0 <= row < side
        holes = [column // 3**k % 3 == 1 and row // 3**k % 3 == 1 for k in range(depth)]
        return colour if inside and not any(holes) else [0, 0, 0]

    def near(got, wanted):
        return all(abs(g - w) <= 3 for g, w in zip(got, wanted))

    def check(width, height, pixel):
        if (width, height) != (500, 500):
            return False
        return all(near(pixel(middle[c], middle[r]), want(c, r)) for c in cells for r in cells)

    return check


# Unturned front faces lie in the plane of lights 1 and 2, which light them not at all: each
# channel is the ambient 0.2 x 0.2 plus light 0's diffuse at 54.7 degrees.
GREEN = [round(255 * (0.04 + diffuse / math.sqrt(3))) for diffuse in (0.3, 1.0, 0.4)]
RED = [255, 0, 0]


def ended_well(program):
    return poll(lambda: program.poll() is not None) and program.returncode == 0


STEPS = [  # keys to type, or a menu entry to choose (counted from 0), and the picture after
    ("", None, carpet(1, GREEN)),
    ("l", None, carpet(1, RED)),
    ("l2", None, carpet(2, GREEN)),
    ("", 0, carpet(2, RED)),
]
program, window = start()
for number, (keys, entry, check) in enumerate(STEPS):
    for key in keys:
        run("xdotool", "key", key)
    chosen = entry is None or choose(entry)
    if not chosen or not poll(lambda: check(*read(window))):
        sys.exit(f"FAILED: step {number} ({keys!r}, menu entry {entry})")
run("xdotool", "key", "Escape")
if not ended_well(program):
    sys.exit("FAILED: Esc did not end the program with status 0")
program, window = start()
if not choose(3) or not ended_well(program):
    sys.exit("FAILED: the menu's Exit demo did not end the program with status 0")
print("as a user: passed")
