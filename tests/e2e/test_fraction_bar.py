"""A fraction bar is one unbroken line in the real window, whatever stands over it: the
bracket and root pictures typed after the bar do not cut it with their white boxes. With
"compute after =" ticked, a " = " typed behind the fraction puts its picture on the
clipboard: the bar unbroken there too.

Usage: test_fraction_bar.py BINARY CASE, CASE one of brackets, products, root.
    brackets: (3+5) over 2, then " = "; products: n(n+1)(2n+1) over 6; root: the palette's
    root, then (a+b), over 2.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_reading as reading  # noqa: E402

# Round unticked, radians, "compute after =" ticked.
OPTIONS = b"||||||0|0|1"
ROOT = (360, 1080)  # Command8, the root, in the panel (twips)
CASES = {
    "brackets": (["parenleft", "3", "plus", "5", "parenright"], ["2"]),
    "products": (["n", "parenleft", "n", "plus", "1", "parenright",
                  "parenleft", "2", "n", "plus", "1", "parenright"], ["6"]),
    "root": ([ROOT, "parenleft", "a", "plus", "b", "parenright"], ["2"]),
}


def dark_runs(dark, y, x0, x1):
    """The runs of dark pixels along row y from x0 to x1."""
    runs, inside = 0, False
    for x in range(x0, x1 + 1):
        if dark(x, y) and not inside:
            runs += 1
        inside = dark(x, y)
    return runs


def bar_rows(dark, x0, x1, y0, y1):
    """The rows between y0 and y1 dark over most of the bar's extent x0..x1, with their runs
    of dark pixels from x0 to x1 (a gap in the bar makes more than one)."""
    rows = {}
    for y in range(y0, y1 + 1):
        if 2 * sum(1 for x in range(x0, x1 + 1) if dark(x, y)) > x1 - x0 + 1:
            rows[y] = dark_runs(dark, y, x0, x1)
    return rows


def type_part(d, client, tokens):
    for t in tokens:
        if isinstance(t, tuple):
            # The button leaves the pointer on it; back over the page, the keys typed next
            # take it along again.
            before = d.pointer()
            button = e2e.panel_point(client, *t)
            e2e.click(d, button)
            x, y = before
            scr.wait_symbols(d, (x - 4, y - 20, x + 40, y + 12), 1, "the palette's symbol")
            d.xdotool("mousemove", str(before[0]), str(before[1]))
        else:
            before = d.pointer()
            d.xdotool("key", t)
            scr.wait_pointer(d, lambda q: q != before, "the symbol %s placed" % t)


def main(binary, case):
    numerator, denominator = CASES[case]
    d = e2e.Display()
    p = e2e.Program(binary, d, options=OPTIONS)
    _, client, (sx, sy) = scr.ready(d, p)
    d.xdotool("key", "Insert")
    scr.wait_pointer(d, lambda q: q[1] == sy - 16, "the pointer above the bar")
    type_part(d, client, numerator)
    d.xdotool("key", "Next")
    scr.wait_pointer(d, lambda q: q[1] == sy + 24, "the pointer below the bar")
    type_part(d, client, denominator)
    d.xdotool("key", "Home")
    bar_end = scr.wait_pointer(d, lambda q: q[1] == sy, "the pointer behind the fraction")[0]
    scr.park(d, client)

    def closed():
        shot = scr.Shot(d, p.folder, "bar_" + case)
        rows = bar_rows(lambda x, y: scr.is_dark(shot.rgb(x, y)), sx, bar_end - 1, sy - 5, sy + 5)
        return (shot, rows) if rows and not shot.points((sx, sy - 8, bar_end, sy + 8),
                                                        scr.is_red) else None
    shot, rows = e2e.wait_for(closed, 5, "the closed bar")
    e2e.check(all(r == 1 for r in rows.values()),
              "the bar from x %d to %d is broken: dark runs by row %s (shot %s)"
              % (sx, bar_end - 1, rows, shot.path))
    if case != "brackets":
        e2e.passed("the bar of %s is unbroken" % case)
        return

    # " = " behind the fraction: its picture goes to the clipboard, and 4 is typed.
    d.xdotool("type", "=")

    def picture():
        targets, size, pixels = reading.clipboard(d, p.folder)
        return (size, pixels) if "image/png" in targets and size and pixels else None
    (w, h), pixels = e2e.wait_for(picture, 5, "the picture on the clipboard")

    def dark(x, y):
        return scr.is_dark(pixels[y * w + x])
    # The bar is the longest row of ink in the picture; it runs unbroken between its ends.
    longest = max(range(h), key=lambda y: sum(1 for x in range(w) if dark(x, y)))
    inked = [x for x in range(w) if dark(x, longest)]
    rows = bar_rows(dark, inked[0], inked[-1], max(0, longest - 3), min(h - 1, longest + 3))
    e2e.check(rows and all(r == 1 for r in rows.values()),
              "the bar in the clipboard's picture is broken: dark runs by row %s" % rows)
    e2e.passed("the bar of %s is unbroken on the screen and on the clipboard" % case)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in CASES:
        e2e.fail("usage: test_fraction_bar.py BINARY " + "|".join(CASES))
    main(sys.argv[1], sys.argv[2])
