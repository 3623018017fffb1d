#!/usr/bin/env python3
"""Measures, on Xvfb, how long a typed key takes to reach the page: from the key's release
to the pointer standing past the new symbol, for 20 taps of "x" (each held 30 ms, as a
quick typist does), with the pointer polled by XQueryPointer in a tight loop.

    python3 tools/measure_typing.py build/release/kelvarin [--symbols N]

With --symbols, the page is filled first (as tools/measure_desktop.py --table does) so
that the taps, typed at a bare place of it, bring it to N symbols (the page holds at most
10 000: a tap past that is refused).

Not a test: it prints numbers. Standard library only (ctypes for Xlib and XTest, which
is what xdotool sends too).
"""

import argparse
import ctypes
import os
import random
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import measure_desktop  # noqa: E402

TAPS = 20
HOLD_S = 0.03
# Between taps: the symbol before is placed and the pointer still. Drawn at random, so the
# releases fall at every phase of the program's 20 ms and 50 ms timers.
GAP_S = (0.2, 0.3)


class X:
    def __init__(self, display_name):
        self.x = ctypes.CDLL("libX11.so.6")
        self.t = ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + \
            [ctypes.POINTER(ctypes.c_ulong)] * 2 + [ctypes.POINTER(ctypes.c_int)] * 4 + \
            [ctypes.POINTER(ctypes.c_uint)]
        self.t.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                             ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(display_name.encode())
        e2e.check(self.dpy, "cannot open " + display_name)
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self._w = [ctypes.c_ulong(), ctypes.c_ulong()]
        self._i = [ctypes.c_int() for _ in range(4)]
        self._m = ctypes.c_uint()

    def keycode(self, name):
        return self.x.XKeysymToKeycode(self.dpy, self.x.XStringToKeysym(name.encode()))

    def key(self, keycode, down):
        self.t.XTestFakeKeyEvent(self.dpy, keycode, 1 if down else 0, 0)
        self.x.XSync(self.dpy, 0)  # the server has it when this returns

    def pointer_x(self):
        self.x.XQueryPointer(self.dpy, self.root, ctypes.byref(self._w[0]),
                             ctypes.byref(self._w[1]), ctypes.byref(self._i[0]),
                             ctypes.byref(self._i[1]), ctypes.byref(self._i[2]),
                             ctypes.byref(self._i[3]), ctypes.byref(self._m))
        return self._i[0].value


def main(binary, symbols):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    win = p.window()
    x, _, _, _ = e2e.wait_for(lambda: (lambda g: g if g[1] == 67 else None)(d.geometry(win)),
                              10, "the window placed")
    start = (x - 4 + 90, 133)
    e2e.wait_for(lambda: d.pointer() == start, 10, "the pointer on the writing position")
    time.sleep(1.2)
    if symbols:
        t0 = time.monotonic()
        measure_desktop.fill_page(d, start, max(0, symbols - TAPS))
        print("(typed %d symbols in %.0f s, each seen placed)"
              % (max(0, symbols - TAPS), time.monotonic() - t0))
        # The writing position on a bare place between the first two lines.
        d.xdotool("mousemove", str(start[0]), str(start[1] + 30), "click", "--repeat", "2",
                  "--delay", "80", "1")
        measure_desktop.pointer_stable(d)
        time.sleep(1.2)
    xs = X(d.name)
    kc = xs.keycode("x")
    latencies = []
    rng = random.Random(1)
    for _ in range(TAPS):
        before = xs.pointer_x()
        xs.key(kc, True)
        time.sleep(HOLD_S)
        xs.key(kc, False)
        released = time.monotonic()
        deadline = released + 2
        while xs.pointer_x() <= before:
            e2e.check(time.monotonic() < deadline, "the key was not placed within 2 s")
        latencies.append((time.monotonic() - released) * 1000)
        time.sleep(rng.uniform(*GAP_S))
    latencies.sort()
    print("key release to pointer past the symbol, %d symbols on the page, %d taps: "
          "median %.1f ms, min %.1f, max %.1f"
          % (symbols, TAPS, statistics.median(latencies), latencies[0], latencies[-1]))
    print("  all: " + ", ".join("%.0f" % v for v in latencies))


if __name__ == "__main__":
    ap = argparse.ArgumentParser()
    ap.add_argument("binary", nargs="?", default="build/release/kelvarin")
    ap.add_argument("--symbols", type=int, default=0)
    a = ap.parse_args()
    main(a.binary, a.symbols)
