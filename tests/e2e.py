#!/usr/bin/env python3
"""The program started by the shell command $MENGER_SPONGE (Windows build under Wine too), used as
a person would: real keys and menu choices (xdotool), each judged by the window's next picture
(xwd), which a failing step leaves here."""

import atexit, math, os, re, struct, subprocess, sys, time


def poll(get, limit=60):
    """The first result of get() that is not empty; None if the program hangs."""
    end = time.monotonic() + limit
    while not (result := get()) and time.monotonic() < end:
        time.sleep(0.01)
    return result or None


def run(*command):  # what the command prints, or nothing if it fails
    done = subprocess.run([str(word) for word in command], capture_output=True)
    return done.stdout if done.returncode == 0 else b""


def shown(title):
    return run("xdotool", "search", "--onlyvisible", "--name", title).decode().split()


def xwininfo(*options):
    return run("xwininfo", *options).decode()


def menu_place():
    """x, y, width and height of the open menu, read with xwininfo as xdotool misplaces Wine's
    windows; None while it is closed (Wine 10 keeps it shown as a single pixel then)."""
    numbers = r"(?:Absolute upper-left [XY]|Width|Height): +(-?\d+)"
    for menu in shown("^freeglut menu$"):
        place = [int(number) for number in re.findall(numbers, xwininfo("-id", menu))]
        if len(place) == 4 and place[2] > 1:
            return place
    return None


class Viewer:
    """The program and its window, which gets keys under the pointer once clicked: no window
    manager gives the focus. Wine draws a frame of its own around it; then it is the child."""

    def __init__(self):
        self.program = subprocess.Popen(os.environ["MENGER_SPONGE"], shell=True)
        atexit.register(self.program.kill)
        found = poll(lambda: shown("^Menger Sponge - Vardelle$"))
        if not found:
            sys.exit("FAILED: no window titled Menger Sponge - Vardelle")
        run("xdotool", "windowmove", found[0], 0, 0, "mousemove", 250, 250, "click", 1)
        children = re.findall(r"^\s+(0x[0-9a-f]+)", xwininfo("-children", "-id", found[0]), re.M)
        self.window = children[0] if children else found[0]
        self.picture = b""

    def type(self, keys):
        for key in keys:
            run("xdotool", "key", "Escape" if key == "\x1b" else key)
        return True

    def choose(self, entry):
        """Opened by the right button and left open by its release; a move marks an entry, a
        click chooses it."""
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

    def shows(self, check, name):
        """Waits for check(width, height, pixel) to pass on the window's picture, else keeps the
        last one as name. xwd writes a header of 25 big-endian numbers, 12 bytes for each colour
        in its map, then rows of 32-bit pixels, blue first."""

        def passes():
            self.picture = run("xwd", "-silent", "-id", self.window)
            if len(self.picture) < 100:
                return False
            header = struct.unpack(">25I", self.picture[:100])

            def pixel(x, y):
                at = header[0] + 12 * header[19] + y * header[12] + 4 * x
                return self.picture[at + 2], self.picture[at + 1], self.picture[at]

            return check(header[4], header[5], pixel)

        if poll(passes):
            return True
        with open(name, "wb") as kept:
            kept.write(self.picture)
        return False

    def ended_well(self):
        """With status 0, within the time that only a hang exceeds."""
        return poll(lambda: self.program.poll() is not None) and self.program.returncode == 0


# Unturned front faces lie in the plane of lights 1 and 2, which light them not at all: each
# channel is the ambient 0.2 x 0.2 plus light 0's diffuse at 54.7 degrees.
GREEN = [round(255 * (0.04 + diffuse / math.sqrt(3))) for diffuse in (0.3, 1.0, 0.4)]
RED = [255, 0, 0]


def carpet(depth, colour):
    """The sponge face-on in the middle half of its 500 x 500 window: a Sierpinski carpet of 3^d
    cells a side, a cell drawn unless its column and row both have a base-3 digit 1 in the same
    place. The middle of each cell and of a ring of cells around is `colour` where drawn, else
    black, within 3/255."""
    side = 3**depth

    def drawn(column, row):
        inside = 0 <= column < side and 0 <= row < side
        holes = [column // 3**k % 3 == 1 and row // 3**k % 3 == 1 for k in range(depth)]
        return inside and not any(holes)

    def middle(cell):
        return int(125 + (cell + 0.5) * 250 / side)

    def check(width, height, pixel):
        if (width, height) != (500, 500):
            return False
        for column in range(-1, side + 1):
            for row in range(-1, side + 1):
                want = colour if drawn(column, row) else [0, 0, 0]
                got = pixel(middle(column), middle(row))
                if any(abs(g - w) > 3 for g, w in zip(got, want)):
                    return False
        return True

    return check


# Each step types keys or chooses a menu entry, counted from 0; then the window must show its
# picture or, with none, the program must have ended with status 0.
viewer = Viewer()
steps = [
    ("type", "", carpet(1, GREEN)),
    ("type", "l", carpet(1, RED)),
    ("type", "l2", carpet(2, GREEN)),
    ("choose", 0, carpet(2, RED)),
    ("type", "\x1b", None),
]
for number, (action, what, check) in enumerate(steps):
    done = viewer.choose(what) if action == "choose" else viewer.type(what)
    if check:
        done = done and viewer.shows(check, f"e2e.{number}.xwd")
    else:
        done = done and viewer.ended_well()
    if not done:
        sys.exit(f"FAILED: step {number} ({action} {what!r})")

again = Viewer()
if not again.choose(3) or not again.ended_well():
    sys.exit("FAILED: the menu's Exit demo did not end the program with status 0")
print("as a user: passed")
