"""Reading what the screen shows: a whole screenshot, read from the X server in one request,
and the groups of dark (or red) pixels in a box of it, so a test can say where a typed
symbol stands.

Set KEL_E2E_SHOTS to a folder to keep every screenshot there as a PNG (named by test and
step); the paths the failures name are those."""

import os
import subprocess
import tempfile
import time

import e2e_lib as e2e

# Text is black and its anti-aliased edge grey; the red of an open bar is not dark.
DARK_MAX = 110
LINE_GAP = 61  # Return puts the next line this far below
BAND = 22  # rows above and below a line where its symbols stand


def is_dark(rgb):
    return max(rgb) < DARK_MAX


def is_red(rgb):
    r, g, b = rgb
    return r >= 160 and g < 90 and b < 90


class Group:
    """One 8-connected group of pixels: its inclusive extents and size."""

    def __init__(self, points):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.x0, self.x1, self.y0, self.y1 = min(xs), max(xs), min(ys), max(ys)
        self.count = len(points)

    @property
    def box(self):
        return self.x0, self.y0, self.x1, self.y1

    @property
    def width(self):
        return self.x1 - self.x0 + 1

    @property
    def height(self):
        return self.y1 - self.y0 + 1

    def __repr__(self):
        return "Group(x %d..%d, y %d..%d, %d px)" % (self.x0, self.x1, self.y0, self.y1,
                                                      self.count)


def extents(groups):
    """The box around several groups: x0, x1, y0, y1 (inclusive)."""
    return (min(g.x0 for g in groups), max(g.x1 for g in groups),
            min(g.y0 for g in groups), max(g.y1 for g in groups))


class Shot:
    def __init__(self, display, folder, name):
        self.w, self.h = e2e.SCREEN_W, e2e.SCREEN_H
        self.raw = display.screen_rgb()
        keep = os.environ.get("KEL_E2E_SHOTS")
        self.path = os.path.join(keep or folder, name + ".png")
        if keep:
            os.makedirs(keep, exist_ok=True)
            proc = subprocess.run(["convert", "-size", "%dx%d" % (self.w, self.h), "-depth", "8",
                                   "rgb:-", self.path], input=self.raw, timeout=e2e.room(20))
            e2e.check(proc.returncode == 0, "the screenshot %s was not written" % self.path)

    def rgb(self, x, y):
        i = (y * self.w + x) * 3
        return self.raw[i], self.raw[i + 1], self.raw[i + 2]

    def _clip(self, box):
        x0, y0, x1, y1 = box
        return max(0, x0), max(0, y0), min(self.w - 1, x1), min(self.h - 1, y1)

    def points(self, box, test=is_dark):
        """The pixels in box (x0, y0, x1, y1 inclusive) that pass test."""
        x0, y0, x1, y1 = self._clip(box)
        found = set()
        for y in range(y0, y1 + 1):
            row = self.raw[(y * self.w + x0) * 3:(y * self.w + x1 + 1) * 3]
            found.update((x, y) for x, rgb in enumerate(zip(row[0::3], row[1::3], row[2::3]), x0)
                         if test(rgb))
        return found

    def groups(self, box, test=is_dark):
        """The 8-connected groups of pixels in box that pass test, left to right."""
        left = self.points(box, test)
        found = []
        while left:
            seed = left.pop()
            members, todo = [seed], [seed]
            while todo:
                x, y = todo.pop()
                for dx in (-1, 0, 1):
                    for dy in (-1, 0, 1):
                        q = (x + dx, y + dy)
                        if q in left:
                            left.remove(q)
                            members.append(q)
                            todo.append(q)
            found.append(Group(members))
        return sorted(found, key=lambda g: (g.x0, g.y0))

    def region(self, box):
        """The raw pixels of a box, to compare two screenshots."""
        x0, y0, x1, y1 = self._clip(box)
        return b"".join(self.raw[(y * self.w + x0) * 3:(y * self.w + x1 + 1) * 3]
                        for y in range(y0, y1 + 1))


def wait_pointer(d, condition, what, timeout=5):
    """Waits for the pointer to stand where condition(x, y) holds; gives its place."""
    return e2e.wait_for(lambda: (lambda q: q if condition(q) else None)(d.pointer()), timeout,
                        what, lambda: "the pointer is at %s" % (d.pointer(),))


def shown_window(d, name, timeout=10):
    """The window of that exact name, once it is shown."""
    def shown():
        res = d.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                    check_rc=False).decode().split()
        return int(res[0]) if res else None
    return e2e.wait_for(shown, timeout, "the window " + name)


def gone(d, wid, timeout=10):
    """Waits until that window is no longer shown."""
    e2e.wait_for(lambda: d.map_state(wid) != "IsViewable", timeout,
                 "the window %s closed" % wid)


def active(d, wid, what, timeout=10):
    """Waits for the window to have the keyboard: keys typed before it does go elsewhere."""
    e2e.wait_for(lambda: d.active_window() == int(wid), timeout, what + " active")


def other_program(d, geometry, text):
    """Another program's window (xmessage) at that X geometry, once it is shown: its
    process and its window."""
    proc = e2e._spawn(["xmessage", "-geometry", geometry, text], env=d.env,
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return proc, shown_window(d, "xmessage")


def window_gone(d, name, timeout=5):
    """Waits until no window of that exact name is shown."""
    def gone():
        return not d.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                         check_rc=False).decode().split()
    e2e.wait_for(gone, timeout, "the window %s to close" % name)


def wait_symbols(d, box, count, what, timeout=5):
    """Waits for count symbols in a box of the screen while the pointer rests elsewhere (a
    button clicked leaves it there): groups of dark pixels wider than the caret, which may
    stand beside them at the insertion point. Gives the screenshot."""
    return shot_when(d, scratch(), "symbols",
                     lambda shot: len([g for g in shot.groups(box) if g.width > 4]) >= count,
                     "%d symbols in %s: %s" % (count, box, what), timeout)


# The page's pointer shape from the start-up's 1 s step on: the paste/cut pop-up's icon, a
# picture of 32 x 32 pixels (before, the arrow that Qt names).
PAGE_CURSOR = (32, 32, "")


def ready(d, p, offered=False):
    """Waits for the window in its place, the pointer on the writing position and the
    start-up timers (200 ms, 1 s) done, the second seen by the page's pointer shape it
    sets; gives the client area and the writing position. Offered: the 200 ms step offers
    an earlier run's pages, and its box holds the 1 s step back until it is answered."""
    win, (x, y, w, h) = p.placed()
    start = (x - 4 + 90, 133)
    e2e.wait_for(lambda: d.pointer() == start, 10,
                 "the pointer on the writing position %s" % (start,),
                 lambda: "it is at %s" % (d.pointer(),))
    if not offered:
        e2e.wait_for(lambda: d.cursor() == PAGE_CURSOR, 10,
                     "the page's pointer shape of the start-up's 1 s step",
                     lambda: "the pointer's shape is %s at %s" % (d.cursor(), d.pointer()))
    return win, (x, y, w, h), start


def park(d, client, timeout=5):
    """Puts the pointer on the bare page far from the formula, where the caret follows
    it: a screenshot of the formula then shows the symbols alone. Nothing that places a
    symbol reads the pointer from here on; the interpreters go on from the insertion
    point they keep. Waits until the window above the parking place shows the same in
    two screenshots three caret ticks apart: a loaded machine may move the caret late."""
    x, y, w, _ = client
    d.xdotool("mousemove", str(x + 450), str(y + 560))
    above = (x, y, x + w - 1, y + 520)
    deadline = time.monotonic() + e2e.room(timeout)
    time.sleep(0.15)  # three caret ticks
    last = Shot(d, scratch(), "park").region(above)
    while time.monotonic() < deadline:
        time.sleep(0.15)
        now = Shot(d, scratch(), "park").region(above)
        if now == last:
            return
        last = now


def scratch():
    """A folder of this test's own for screenshots no one keeps."""
    if not hasattr(scratch, "folder"):
        scratch.folder = tempfile.mkdtemp(prefix="kelvarin-e2e-shots-")
        e2e._folders.append(scratch.folder)
    return scratch.folder


def shot_until(d, folder, name, condition, timeout=5):
    """Screenshots until condition(shot) holds, as the program shows a change when it gets
    to it (late on a loaded machine): gives that shot and what the condition said, or the
    last shot and None once the room for timeout seconds has passed."""
    deadline = time.monotonic() + e2e.room(timeout)
    while True:
        shot = Shot(d, folder, name)
        value = condition(shot)
        if value or time.monotonic() > deadline:
            return shot, value
        time.sleep(0.02)


def shot_when(d, folder, name, condition, what, timeout=5):
    """shot_until's shot, or a failure saying what, with the last shot's path."""
    shot, value = shot_until(d, folder, name, condition, timeout)
    e2e.check(value, "timed out waiting for %s\nthe last shot: %s" % (what, shot.path))
    return shot


def glyphs(shot, start, line_y, right, band=BAND):
    """The symbols of a line, left to right, as the columns (x0, x1) of their dark pixels'
    groups (the parts of one symbol, as the dot of an "i" or the two bars of a " = ",
    merged by their columns)."""
    groups = shot.groups((start[0] - 5, line_y - band, right, line_y + band))
    merged = []
    for g in groups:
        if merged and g.x0 <= merged[-1][1]:
            merged[-1] = (merged[-1][0], max(merged[-1][1], g.x1))
        else:
            merged.append((g.x0, g.x1))
    return merged
