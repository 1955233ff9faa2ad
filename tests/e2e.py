#!/usr/bin/env python3
"""The program started by the shell command $MENGER_SPONGE (Windows build under Wine too), used as
a person would: real keys and menu choices (xdotool), each judged by the window's next picture
(xwd), which a failing step leaves here."""
import atexit, math, os, re, struct, subprocess, sys, time


def poll(get, limit=60):  # the first result that is not empty; None if the program hangs
    end = time.monotonic() + limit
    while not (result := get()) and time.monotonic() < end:
        time.sleep(0.01)
    return result or None


def run(*command):
    done = subprocess.run([*map(str, command)], capture_output=True)
    return done.stdout if done.returncode == 0 else b""


class Viewer:
    """The program, and its window (in a frame of its own, as Wine draws one, the frame's child)
    which gets keys under the pointer once clicked: no window manager gives the focus."""

    def __init__(self):
        self.program = subprocess.Popen(os.environ["MENGER_SPONGE"], shell=True)
        atexit.register(self.program.kill)
        found = poll(lambda: run("xdotool", "search", "--onlyvisible", "--name", "^Menger Sponge - Vardelle$"))
        self.window = (found or sys.exit("FAILED: no window titled Menger Sponge - Vardelle")).split()[0].decode()
        run("xdotool", "windowmove", self.window, 0, 0, "mousemove", 250, 250, "click", 1)
        inside = re.findall(rb"^\s+(0x[0-9a-f]+)", run("xwininfo", "-children", "-id", self.window), re.M)
        self.window = inside[0].decode() if inside else self.window

    def type(self, keys):
        for key in keys:
            run("xdotool", "key", "Escape" if key == "\x1b" else key)
        return True

    def choose(self, entry):
        # Opened by the right button and left open by its release; a move marks, a click chooses.
        menu = ("xdotool", "search", "--onlyvisible", "--name", "^freeglut menu$")
        run("xdotool", "mousedown", 3)
        shown = poll(lambda: run(*menu))
        run("xdotool", "mouseup", 3)
        if not shown:
            return False
        where = rb"(?:Absolute upper-left [XY]|Width|Height): +(-?\d+)"  # xdotool misplaces Wine's
        x, y, width, height = map(int, re.findall(where, run("xwininfo", "-id", shown.split()[0].decode())))
        x, y = x + width // 2, y + height * (2 * entry + 1) // 22
        run("xdotool", "mousemove", x, y - 1, "mousemove", x, y, "click", 3)
        return poll(lambda: not run(*menu))

    def shows(self, check, name):
        """Waits for check(width, height, pixel) to pass on xwd's picture, else keeps it as name."""
        def passes():
            self.xwd = xwd = run("xwd", "-silent", "-id", self.window)
            head = struct.unpack(">25I", xwd[:100]) if len(xwd) >= 100 else (0,) * 25
            at = lambda x, y: head[0] + 12 * head[19] + y * head[12] + 4 * x  # 32 bits, blue first
            return check(head[4], head[5], lambda x, y: (xwd[at(x, y) + 2], xwd[at(x, y) + 1], xwd[at(x, y)]))

        if poll(passes):
            return True
        open(name, "wb").write(self.xwd)
        return False

    def ended_well(self):  # with status 0, within the time that only a hang exceeds
        return poll(lambda: self.program.poll() is not None) and self.program.returncode == 0


# Unturned front faces lie in the plane of lights 1 and 2: ambient 0.2 x 0.2, and light 0 at 54.7°.
GREEN, RED = [round(255 * (0.04 + d / math.sqrt(3))) for d in (0.3, 1.0, 0.4)], [255, 0, 0]


def carpet(depth, colour):
    """The sponge face-on in the middle half of its 500 x 500 window: a Sierpinski carpet of 3^d
    cells a side, a cell drawn unless a base-3 digit of both its column and row is 1. The middle
    of each cell, and of a ring of cells around, is `colour` where drawn, else black, ±3/255."""
    n = 3**depth

    def drawn(col, row):
        digits = [(col // 3**k % 3, row // 3**k % 3) for k in range(depth)]
        return 0 <= col < n and 0 <= row < n and (1, 1) not in digits

    def check(width, height, pixel):
        middle = lambda cell: int(125 + (cell + 0.5) * 250 / n)
        want = lambda c, r: colour if drawn(c, r) else [0, 0, 0]
        return (width, height) == (500, 500) and all(
            all(abs(got - wanted) <= 3 for got, wanted in zip(pixel(middle(c), middle(r)), want(c, r)))
            for c in range(-1, n + 1) for r in range(-1, n + 1))

    return check


# Each step types keys or chooses a menu entry ("#N"); then the window must show its picture or,
# without one, the program must have ended with status 0. A second run ends by "Exit demo".
viewer = Viewer()
for i, (act, check) in enumerate([("", carpet(1, GREEN)), ("l", carpet(1, RED)), ("l2", carpet(2, GREEN)),
                                  ("#0", carpet(2, RED)), ("\x1b", None)]):
    done = viewer.choose(int(act[1])) if act.startswith("#") else viewer.type(act)
    if not done or not (viewer.shows(check, f"e2e.{i}.xwd") if check else viewer.ended_well()):
        sys.exit(f"FAILED: step {i} ({act!r})")
again = Viewer()
if not again.choose(3) or not again.ended_well():
    sys.exit("FAILED: the menu's Exit demo did not end the program with status 0")
print("as a user: passed")
