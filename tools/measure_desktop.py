#!/usr/bin/env python3
"""Measures the real program on Xvfb.

    python3 tools/measure_desktop.py build/release/kelvarin
        start-up to mapped window (median of 5 runs) and the CPU it takes while idle with
        its start-up timers running (10 s), the pointer on the page so that all eleven
        background timers run.

    python3 tools/measure_desktop.py build/release/kelvarin --table [--sizes 0,1000,10000]
        beside the bare Qt program with the same timers (tools/bare_timers.cpp, built on
        the fly): idle CPU and CPU while the pointer moves over the page (a loop of xdotool
        mousemove), with that many symbols typed onto the page, and wake-ups per second;
        then wake-ups per second over ten starts with an empty page. Both programs run at
        the same time on X servers of their own, so they are measured under the same load.

CPU is the time on a processor of all the process's threads (schedstat) over the wall
time; wake-ups are the main thread's context switches per second (each timer wake-up, and
each round trip to the X server, is one). Not a test: it prints numbers. Standard library
only.
"""

import argparse
import ctypes
import glob
import os
import select
import statistics
import subprocess
import sys
import tempfile
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


def startup_and_idle(binary):
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


# --- the table beside the bare program -----------------------------------------------------

TOOLS = os.path.dirname(os.path.abspath(__file__))
# The symbol "x" the page fill types is 16 px wide and a new line stands 61 px below the
# last: 30 a line keeps clear of the right border frame (where capture stops), 11 lines of
# the bottom one.
SYMBOL_PX = 16
LINE_PX = 61
LINE_SYMBOLS = 30
LINES_PER_PASS = 11


def process_cpu_ns(pid):
    total = 0
    for path in glob.glob("/proc/%d/task/*/schedstat" % pid):
        try:
            with open(path) as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total


def main_thread_switches(pid):
    n = 0
    with open("/proc/%d/task/%d/status" % (pid, pid)) as f:
        for line in f:
            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                n += int(line.split()[1])
    return n


def build_bare():
    out = os.path.join(tempfile.gettempdir(), "kelvarin_bare_timers")
    src = os.path.join(TOOLS, "bare_timers.cpp")
    if not os.path.exists(out) or os.path.getmtime(out) < os.path.getmtime(src):
        flags = subprocess.run(["pkg-config", "--cflags", "--libs", "Qt6Widgets"],
                               stdout=subprocess.PIPE, check=True).stdout.decode().split()
        subprocess.run(["g++", "-O2", "-fPIC", src, "-o", out] + flags, check=True)
    return out


def pointer_stable(d, seconds=0.2):
    """Waits until the pointer stops moving; returns where it stands."""
    last, since = d.pointer(), time.monotonic()
    while True:
        time.sleep(0.05)
        now = d.pointer()
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= seconds:
            return now


class PageFill:
    """Types symbols onto the page, in lines from the writing position start; the lines of
    later passes overlap those of earlier ones. Each line is checked by where the pointer
    stands after it (a new line starts where the program puts it): the symbols are all
    placed, or the fill fails."""

    def __init__(self, d, start):
        self.d, self.start, self.typed, self.line_start = d, start, 0, start

    def add(self, count):
        d, start = self.d, self.start
        goal = self.typed + count
        while self.typed < goal:
            line, column = divmod(self.typed, LINE_SYMBOLS)
            if column == 0 and self.typed > 0:
                if line % LINES_PER_PASS == 0:
                    # Back to the top: a double click on the bare page sets the writing
                    # position there (on a symbol it would not). Each pass starts 2 px left
                    # of the one before, where no symbol lies yet.
                    passes = line // LINES_PER_PASS
                    d.xdotool("mousemove", str(start[0] - 2 * passes), str(start[1]), "sleep",
                              "0.3", "click", "--repeat", "2", "--delay", "80", "1")
                else:
                    d.xdotool("key", "Return")
                self.line_start = pointer_stable(d)
            n = min(LINE_SYMBOLS - column, goal - self.typed)
            d.xdotool("type", "--delay", "12", "x" * n, timeout=60)
            after = pointer_stable(d, 0.3)
            expected = (self.line_start[0] + SYMBOL_PX * (column + n), self.line_start[1])
            e2e.check(after == expected, "the page fill lost symbols: after %d of line %d the "
                      "pointer stands at %s, not %s" % (column + n, line, after, expected))
            self.typed += n
        return self.typed


def fill_page(d, start, count):
    """Types count symbols onto an empty page (see PageFill)."""
    return PageFill(d, start).add(count)


class Moves:
    """xdotool mousemove in a loop over the page, 50 moves a second, until stopped."""

    def __init__(self, display, left, top, right, bottom, seconds):
        args = ["xdotool"]
        steps = int(seconds * 50)
        for i in range(steps):
            fx = (i % 25) / 24.0
            x = int(left + (right - left) * (fx if (i // 25) % 2 == 0 else 1 - fx))
            y = int(top + (bottom - top) * ((i * 7) % 100) / 99.0)
            args += ["mousemove", str(x), str(y), "sleep", "0.02"]
        self.proc = e2e._spawn(args, env=display.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()


def measure_pair(pids, seconds):
    """CPU (% of a core) and main-thread wake-ups per second of each process, over the
    same seconds."""
    t0 = time.monotonic()
    cpu0 = [process_cpu_ns(p) for p in pids]
    sw0 = [main_thread_switches(p) for p in pids]
    time.sleep(seconds)
    wall = time.monotonic() - t0
    cpu = [100.0 * (process_cpu_ns(p) - c) / (wall * 1e9) for p, c in zip(pids, cpu0)]
    wake = [(main_thread_switches(p) - s) / wall for p, s in zip(pids, sw0)]
    return cpu, wake


def start_program(binary):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    win = p.window()
    g = e2e.wait_for(lambda: (lambda g: g if g[1] == 67 else None)(d.geometry(win)), 10,
                     "the window placed")
    start = (g[0] - 4 + 90, 133)
    e2e.wait_for(lambda: d.pointer() == start, 10, "the pointer on the writing position")
    return d, p, g, start


def table(binary, sizes, seconds, starts):
    bare = build_bare()
    d, p, g, start = start_program(binary)
    # The page: the client area left of the panel, inside the border frames (over which
    # the background group stops).
    page = (g[0] + 40, g[1] + 40, g[0] + 600, g[1] + g[3] - 40)
    bd = e2e.Display()
    b = e2e._spawn([bare] + [str(v) for v in g], env=bd.env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    time.sleep(2)
    print("%8s | %-24s | %-24s | %-22s" % ("symbols", "idle CPU %  (bare)",
                                            "moving CPU %  (bare)", "wake-ups/s idle (bare)"))
    # The pointer rests on the bare page between the first two lines (the background group
    # runs), whatever is typed.
    rest = (start[0], start[1] + 30)
    fill = PageFill(d, start)
    for size in sizes:
        if size > fill.typed:
            t0 = time.monotonic()
            fill.add(size - fill.typed)
            print("  (typed %d symbols in %.0f s, each seen placed)" % (fill.typed,
                                                                    time.monotonic() - t0),
                  flush=True)
        # Two moves, so that the page sees the pointer come.
        d.xdotool("mousemove", str(rest[0] + 20), str(rest[1]), "sleep", "0.1", "mousemove",
                  str(rest[0]), str(rest[1]))
        time.sleep(2)
        (cpu_idle, wake_idle) = measure_pair([p.proc.pid, b.pid], seconds)
        moves = [Moves(d, *page, seconds + 2), Moves(bd, *page, seconds + 2)]
        time.sleep(1)
        (cpu_move, _) = measure_pair([p.proc.pid, b.pid], seconds)
        for m in moves:
            m.stop()
        print("%8d | %8.2f    (%5.2f)       | %8.2f    (%5.2f)       | %7.1f   (%5.1f)"
              % (size, cpu_idle[0], cpu_idle[1], cpu_move[0], cpu_move[1], wake_idle[0],
                 wake_idle[1]), flush=True)
    b.kill()
    b.wait()
    p.proc.kill()
    p.proc.wait()

    rates = []
    for _ in range(starts):
        d, p, g, start = start_program(binary)
        time.sleep(2)  # past the one-shot start-up timers
        (_, wake) = measure_pair([p.proc.pid], 5)
        rates.append(wake[0])
        p.proc.kill()
        p.proc.wait()
    print("wake-ups per second over %d starts, empty page: %s"
          % (starts, ", ".join("%.0f" % r for r in rates)))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("binary", nargs="?", default="build/release/kelvarin")
    ap.add_argument("--table", action="store_true")
    ap.add_argument("--sizes", default="0,1000,10000")
    ap.add_argument("--seconds", type=float, default=10)
    ap.add_argument("--starts", type=int, default=10)
    a = ap.parse_args()
    if a.table:
        table(a.binary, [int(v) for v in a.sizes.split(",")], a.seconds, a.starts)
    else:
        startup_and_idle(a.binary)


if __name__ == "__main__":
    main()
