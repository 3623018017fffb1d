#!/usr/bin/env python3
"""Measures, on Xvfb, how long reading a dragged selection takes in the real program: from
the release of the left button (XTest) to the program taking the clipboard with the
selection's picture, which it does after the line above the page has been drawn. The
page holds SYMBOLS symbols (typed by XTest on a large screen, in rows), the drag covers
them all; 20 drags released at random phases of the 50 ms drag watcher, so the least
time is about what the reading itself costs.

    python3 tools/measure_reading.py build/release/kelvarin [symbols]

Not a test: it prints numbers. Standard library only (ctypes for Xlib, XTest and XFixes).
"""

import ctypes
import os
import random
import select
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_lib as e2e  # noqa: E402

DRAGS = 20
PER_ROW = 150
ROW_GAP = 61
TEXT = "12+3*4-5/6+7-8*9+"


class X:
    def __init__(self, name):
        self.x = ctypes.CDLL("libX11.so.6")
        self.t = ctypes.CDLL("libXtst.so.6")
        self.f = ctypes.CDLL("libXfixes.so.3")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self.t.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.t.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                ctypes.c_int, ctypes.c_ulong]
        self.f.XFixesQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                ctypes.POINTER(ctypes.c_int)]
        self.f.XFixesSelectSelectionInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                                      ctypes.c_ulong, ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(name.encode())
        e2e.check(self.dpy, "cannot open " + name)
        root = self.x.XDefaultRootWindow(self.dpy)
        base, err = ctypes.c_int(), ctypes.c_int()
        e2e.check(self.f.XFixesQueryExtension(self.dpy, ctypes.byref(base), ctypes.byref(err)),
                  "no XFixes")
        self.notify = base.value  # XFixesSelectionNotify
        clipboard = self.x.XInternAtom(self.dpy, b"CLIPBOARD", 0)
        self.f.XFixesSelectSelectionInput(self.dpy, root, clipboard, 1)  # owner changes
        self.x.XSync(self.dpy, 0)
        self.event = (ctypes.c_long * 24)()

    def drain(self):
        seen = 0
        while self.x.XPending(self.dpy):
            self.x.XNextEvent(self.dpy, self.event)
            if ctypes.cast(self.event, ctypes.POINTER(ctypes.c_int))[0] == self.notify:
                seen += 1
        return seen

    def move(self, x, y):
        self.t.XTestFakeMotionEvent(self.dpy, 0, x, y, 0)
        self.x.XSync(self.dpy, 0)

    def button(self, down):
        self.t.XTestFakeButtonEvent(self.dpy, 1, 1 if down else 0, 0)
        self.x.XSync(self.dpy, 0)

    def wait_owner(self, timeout):
        deadline = time.monotonic() + timeout
        fd = self.x.XConnectionNumber(self.dpy)
        while True:
            if self.drain():
                return time.monotonic()
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([fd], [], [], left)


def main(binary, symbols):
    e2e.SCREEN_W, e2e.SCREEN_H = 3840, 2160
    d = e2e.Display()
    p = e2e.Program(binary, d)
    win = p.window()
    e2e.wait_for(lambda: (lambda g: g if g[1] == 67 else None)(d.geometry(win)), 10, "the window")
    time.sleep(1.2)
    d.xdotool("windowmove", str(win), "0", "0")
    d.xdotool("windowsize", str(win), "3800", "2080")
    time.sleep(0.5)
    def still(quiet=1.0):
        """Until the queue has played: the pointer stands still."""
        last, since = d.pointer(), time.monotonic()
        while time.monotonic() - since < quiet:
            time.sleep(0.05)
            now = d.pointer()
            if now != last:
                last, since = now, time.monotonic()

    rows = (symbols + PER_ROW - 1) // PER_ROW
    x0, y0 = 60, 140
    for r in range(rows):
        n = min(PER_ROW, symbols - r * PER_ROW)
        d.xdotool("mousemove", str(x0), str(y0 + r * ROW_GAP))
        time.sleep(0.2)
        d.xdotool("click", "1")
        time.sleep(0.3)
        d.xdotool("type", (TEXT * (n // len(TEXT) + 1))[:n])
        still()

    if os.environ.get("KEL_MEASURE_SHOT"):
        d.screenshot(os.environ["KEL_MEASURE_SHOT"])
    xs = X(d.name)
    right = x0 + 3300
    bottom = y0 + (rows - 1) * ROW_GAP + 30
    rng = random.Random(1)
    times = []
    for _ in range(DRAGS):
        xs.move(x0 - 10, y0 - 30)
        time.sleep(0.1)
        xs.button(True)
        time.sleep(0.12)
        xs.move(x0 + 200, y0 + 20)
        time.sleep(0.1)
        xs.move(right, bottom)
        time.sleep(0.2 + rng.uniform(0, 0.05))
        xs.drain()
        xs.button(False)
        released = time.monotonic()
        owned = xs.wait_owner(3)
        e2e.check(owned is not None, "the clipboard was not taken within 3 s of the release")
        times.append((owned - released) * 1000)
        time.sleep(rng.uniform(0.4, 0.6))
    times.sort()
    print("%d symbols, selection %dx%d px: release to the picture on the clipboard, %d drags: "
          "min %.1f ms, median %.1f, max %.1f" % (symbols, right - x0 + 10, bottom - y0 + 30,
                                                 DRAGS, times[0], statistics.median(times),
                                                 times[-1]))
    print("  all: " + ", ".join("%.1f" % v for v in times))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/release/kelvarin",
         int(sys.argv[2]) if len(sys.argv) > 2 else 1000)
