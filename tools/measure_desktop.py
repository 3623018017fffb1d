#!/usr/bin/env python3
"""Measures the real program on Xvfb: start-up to mapped window (median of 5 runs) and
the CPU it takes while idle with its start-up timers running (10 s), the pointer on the
page so that all eleven background timers run.

    python3 tools/measure_desktop.py build/qt/kelvarin

Not a test: it prints numbers. Standard library only.
"""

import ctypes
import os
import select
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import e2e_lib as e2e  # noqa: E402

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class MapWatcher:
    """Sees every top-level window the X server maps, with no polling."""

    def __init__(self, display_name):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self.x.XConnectionNumber.argtypes = [ctypes.c_void_p]
        self.x.XPending.argtypes = [ctypes.c_void_p]
        self.x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(display_name.encode())
        e2e.check(self.dpy, "cannot open " + display_name)
        self.x.XSelectInput(self.dpy, self.x.XDefaultRootWindow(self.dpy), SUBSTRUCTURE_NOTIFY_MASK)
        self.x.XFlush(self.dpy)
        self.fd = self.x.XConnectionNumber(self.dpy)

    def wait_map(self, timeout):
        event = (ctypes.c_long * 24)()
        deadline = time.monotonic() + timeout
        while True:
            while self.x.XPending(self.dpy):
                self.x.XNextEvent(self.dpy, ctypes.byref(event))
                if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == MAP_NOTIFY:
                    return time.monotonic()
            left = deadline - time.monotonic()
            if left <= 0:
                e2e.fail("no window was mapped")
            select.select([self.fd], [], [], left)


def cpu_ns(pid):
    with open("/proc/%d/schedstat" % pid) as f:
        return int(f.read().split()[0])


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def main(binary):
    startups = []
    for _ in range(5):
        d = e2e.Display()
        watcher = MapWatcher(d.name)
        t0 = time.monotonic()
        p = e2e.Program(binary, d)
        mapped = watcher.wait_map(20)
        startups.append((mapped - t0) * 1000)
        p.proc.kill()
        p.proc.wait()
    print("start-up to mapped window: median %.0f ms (runs: %s)"
          % (statistics.median(startups), ", ".join("%.0f" % s for s in startups)))

    d = e2e.Display()
    p = e2e.Program(binary, d)
    win = p.window()
    # All eleven background timers run while the pointer is on the page: the start-up
    # puts it on the writing position; away from the window ten of them would pause.
    x = e2e.wait_for(lambda: (lambda g: g[0] if g[1] == 67 else None)(d.geometry(win)), 10,
                     "the window placed")
    e2e.wait_for(lambda: d.pointer() == (x - 4 + 90, 133), 10, "the pointer on the page")
    time.sleep(2)  # past the one-shot start-up timers; the background group runs
    hz = os.sysconf("SC_CLK_TCK")
    ns0, t0, ticks0 = cpu_ns(p.proc.pid), time.monotonic(), cpu_ticks(p.proc.pid)
    time.sleep(10)
    ns1, t1, ticks1 = cpu_ns(p.proc.pid), time.monotonic(), cpu_ticks(p.proc.pid)
    wall = t1 - t0
    print("idle CPU over %.0f s: %.2f %% of one core (schedstat), %.2f %% (utime+stime)"
          % (wall, 100.0 * (ns1 - ns0) / (wall * 1e9), 100.0 * (ticks1 - ticks0) / hz / wall))
    with open("/proc/%d/status" % p.proc.pid) as f:
        switches = [l for l in f if l.startswith("voluntary_ctxt_switches")]
    print("  " + switches[0].strip() if switches else "")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/qt/kelvarin")
