"""Logs where the pointer is, asked every 2 ms, until it is ended: a line "t n x y" per
change and every 100 ms the pointer stands still (t: CLOCK_MONOTONIC seconds, as
time.monotonic() gives them in every process; n: the queries made so far).

    pointer_log.py OUTPUT            (on the display named by DISPLAY)

Only the X library, through ctypes: no second client of the test's connection."""

import ctypes
import os
import signal
import sys
import time


def main(path):
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [
        ctypes.POINTER(ctypes.c_ulong)] * 2 + [ctypes.POINTER(ctypes.c_int)] * 4 + [
        ctypes.POINTER(ctypes.c_uint)]
    dpy = x.XOpenDisplay(os.environ["DISPLAY"].encode())
    if not dpy:
        sys.exit("cannot open the display")
    root = x.XDefaultRootWindow(dpy)
    r, c = ctypes.c_ulong(), ctypes.c_ulong()
    rx, ry, wx, wy, mask = (ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(),
                            ctypes.c_uint())
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    with open(path, "w", buffering=1) as out:
        last, quiet, n = None, 0.0, 0
        while not stop:
            x.XQueryPointer(dpy, root, ctypes.byref(r), ctypes.byref(c), ctypes.byref(rx),
                            ctypes.byref(ry), ctypes.byref(wx), ctypes.byref(wy),
                            ctypes.byref(mask))
            now = time.monotonic()
            n += 1
            here = (rx.value, ry.value)
            if here != last or now - quiet >= 0.1:
                out.write("%.4f %d %d %d\n" % (now, n, here[0], here[1]))
                last, quiet = here, now
            time.sleep(0.002)


def read(path):
    """The log's lines as (t, n, (x, y))."""
    with open(path) as f:
        rows = [line.split() for line in f]
    return [(float(r[0]), int(r[1]), (int(r[2]), int(r[3]))) for r in rows if len(r) == 4]


if __name__ == "__main__":
    main(sys.argv[1])
