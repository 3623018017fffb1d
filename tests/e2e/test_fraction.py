"""A fraction and an upper index typed into the real window, as the screen shows them:
the bar red while the fraction is open and black once Home closed it, the numerator
centred over the bar and the denominator under it, and the index above the line.

Usage: test_fraction.py BINARY NUMERATOR-over-DENOMINATOR (digits, e.g. 12-over-345).
The bar grows with the part typed last, which then stands about centred already; the
shorter part, typed at the bar's left end, is the one that closing has to move."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

# How far the ink of a part may stand from the bar's middle: the program centres the
# parts' label boxes, whose side bearings the ink does not fill exactly.
CENTRE_TOLERANCE = 3
# Bars are stretched 30 x 3 pictures: at least 30 px wide, a few rows high.
MIN_BAR_WIDTH = 30


def find_bar(shot, box, test):
    """The widest group in box that looks like a bar: wide and thin."""
    bars = [g for g in shot.groups(box, test) if g.width >= MIN_BAR_WIDTH and g.height <= 6]
    return max(bars, key=lambda g: g.width) if bars else None


def main(binary, numerator, denominator):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    _, client, (sx, sy) = scr.ready(d, p)
    # Everything this test types lands in this box around the writing position, below
    # the top border frame (19 px, black).
    box = (sx - 30, sy - 44, sx + 250, sy + 50)

    # Insert puts the bar down at the pointer and sends the pointer 16 px up for the
    # numerator; Page Down 24 px below the start for the denominator. A digit is wider
    # than 10 px.
    d.xdotool("key", "--delay", "150", "Insert", *numerator, "Next", *denominator)
    scr.wait_pointer(d, lambda q: q[1] == sy + 24 and q[0] > sx + 13 + 10 * len(denominator),
                 "the denominator typed")
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "fraction_open")
    red = find_bar(shot, box, scr.is_red)
    e2e.check(red, "no red bar while the fraction is open; dark groups: %s"
              % shot.groups(box))
    typed = shot.groups(box)
    open_above = [g for g in typed if g.y1 < red.y0]
    open_below = [g for g in typed if g.y0 > red.y1]
    e2e.check((len(open_above), len(open_below)) == (len(numerator), len(denominator)),
              "expected %d digits above and %d below the open bar %s: %s"
              % (len(numerator), len(denominator), red, typed))
    e2e.check(abs(red.x0 - sx) <= 1 and abs((red.y0 + red.y1) / 2 - sy) <= 3,
              "the open bar %s does not start at the pointer where Insert was typed (%d, %d)"
              % (red, sx, sy))
    e2e.check(find_bar(shot, box, scr.is_dark) is None, "a black bar while the fraction is open")

    # Home goes behind the fraction, on the bar's line, and closes it.
    d.xdotool("key", "Home")
    scr.wait_pointer(d, lambda q: q[1] == sy, "the pointer behind the fraction")
    bar_end = d.pointer()[0]
    scr.park(d, client)

    def closed():
        s = scr.Shot(d, p.folder, "fraction_closed")
        b = find_bar(s, box, scr.is_dark)
        return (s, b) if b else None
    shot, bar = e2e.wait_for(closed, 5, "the bar to turn black")
    reds = shot.points(box, scr.is_red)
    e2e.check(not reds, "red pixels left after Home, e.g. %s" % sorted(reds)[:5])
    e2e.check(bar.x0 == red.x0 and abs(bar.y0 - red.y0) <= 1,
              "the closed bar %s is not where the open one was (%s)" % (bar, red))
    e2e.check(abs(bar.x1 + 1 - bar_end) <= 1,
              "Home left the pointer at x %d, not at the bar's end %d" % (bar_end, bar.x1 + 1))

    groups = [g for g in shot.groups(box) if g.box != bar.box]
    above = [g for g in groups if g.y1 < bar.y0]
    below = [g for g in groups if g.y0 > bar.y1]
    e2e.check(len(above) + len(below) == len(groups),
              "ink that is neither above nor below the bar %s: %s" % (bar, groups))
    e2e.check((len(above), len(below)) == (len(numerator), len(denominator)),
              "expected %d digits above and %d below the bar %s; above %s, below %s"
              % (len(numerator), len(denominator), bar, above, below))
    shorter = "numerator" if len(numerator) < len(denominator) else "denominator"
    middle = (bar.x0 + bar.x1) / 2
    for name, part, before in (("numerator", above, open_above),
                               ("denominator", below, open_below)):
        x0, x1, y0, y1 = scr.extents(part)
        bx0, bx1, by0, by1 = scr.extents(before)
        # Closing moves a part sideways only, as one.
        e2e.check((y0, y1, x1 - x0) == (by0, by1, bx1 - bx0),
                  "closing changed more than the %s's place across: from x %d..%d y %d..%d "
                  "to x %d..%d y %d..%d" % (name, bx0, bx1, by0, by1, x0, x1, y0, y1))
        if name == shorter:
            e2e.check(x0 - bx0 >= 5, "the %s moved from x %d only to %d" % (name, bx0, x0))
        e2e.check(abs((x0 + x1) / 2 - middle) <= CENTRE_TOLERANCE,
                  "the %s spans x %d..%d, its middle %.1f is not over the bar's %.1f (%d..%d)"
                  % (name, x0, x1, (x0 + x1) / 2, middle, bar.x0, bar.x1))
        e2e.check(bar.x0 <= x0 and x1 <= bar.x1,
                  "the %s (x %d..%d) reaches past the bar (%d..%d)" % (name, x0, x1, bar.x0,
                                                                       bar.x1))
        e2e.check(y1 - y0 >= 10, "the %s is only %d px high" % (name, y1 - y0 + 1))
    e2e.check(scr.extents(above)[3] >= bar.y0 - 16 and scr.extents(below)[2] <= bar.y1 + 16,
              "the parts stand far from the bar: numerator %s, denominator %s"
              % (above, below))

    # A symbol on the line behind the fraction, then Esc and an index: the index is
    # placed 13 px higher and smaller, and the pointer comes back down to the line.
    d.xdotool("key", "5")
    after5 = scr.wait_pointer(d, lambda q: q[1] == sy and q[0] > bar_end, "the 5 typed")
    d.xdotool("key", "--delay", "150", "Escape", "2")
    scr.wait_pointer(d, lambda q: q[1] == sy and q[0] > after5[0], "the index typed")
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "fraction_index")
    right = shot.groups((bar.x1 + 1, box[1], box[2], box[3]))
    e2e.check(len(right) == 2, "expected the 5 and the index right of the bar, found %s" % right)
    five, index = right
    e2e.check(five.x1 < index.x0, "the index %s is not right of the 5 %s" % (index, five))
    e2e.check(index.height < five.height,
              "the index %s is not smaller than the 5 %s" % (index, five))
    e2e.check(index.y0 < five.y0 and index.y1 < (five.y0 + five.y1) / 2,
              "the index %s does not stand higher than the 5 on the line %s" % (index, five))
    e2e.check(abs((five.y0 + five.y1) / 2 - sy) <= 6,
              "the 5 %s is not on the bar's line y %d" % (five, sy))
    e2e.check(p.proc.poll() is None, "the program ended:\n" + p.output())
    e2e.passed("fraction and upper index on the screen")


if __name__ == "__main__":
    parts = sys.argv[2].split("-over-") if len(sys.argv) == 3 else []
    if len(parts) != 2 or not all(part.isdigit() and len(part) != len(parts[1 - i])
                                  for i, part in enumerate(parts)):
        e2e.fail("usage: test_fraction.py BINARY NUMERATOR-over-DENOMINATOR, digits of "
                 "different lengths")
    main(sys.argv[1], *parts)
