"""Typing at a typing tool's pace reaches the page whole: every key of "ab+12 = " typed by
xdotool with its default 12 ms per key is placed, in order, each with the Shift of its own
press (the "+" shifted, the "1" right after it not). In the Latin layout, and in the
Cyrillic one after the Ctrl+Shift chord, where the same keys type "аб+12 = "; whichever
window has the keyboard focus. Also at a slower pace (120 ms a key), where the digits
come right after the shifted "+" but are let go long after it.

A burst, as fast as the typing tool sends keys (`xdotool key --delay 0`, about 200 keys in
under a tenth of a second): eight lines of the same 24 letters, each after an Enter, are
placed whole, every line as wide as the first.

    test_typing.py BINARY CASE
    CASE: latin, latin-slow, latin-other-window, latin-root-focus, cyrillic, burst

With KEL_E2E_SHOTS naming a folder, the screenshot it checks is kept there.
"""

import os
import shutil
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

TEXT = "ab+12 = "
DEFAULT_MS = 12  # xdotool's own delay between keys
SLOW_MS = 120
LINE_Y = 133  # the writing position's line
EM_PX = 32  # the line's text: 24 pt at 96 dpi
# A glyph of the program's text font, space included, as a share of the em; the program
# measures its text itself, so only a range is known here.
GLYPH_EM = (0.25, 0.75)
CYRILLIC_SPACE_PX = 20  # the Cyrillic Space moves the pointer and places nothing
DARK = 100  # every channel below this: ink, not paper


def gif_size(simbol, name):
    with open(os.path.join(simbol, name + ".gif"), "rb") as f:
        head = f.read(10)
    e2e.check(head[:3] == b"GIF", name + ".gif is no picture")
    return struct.unpack("<HH", head[6:10])


def expected_advance(simbol, cyrillic):
    """The least and the most the pointer can move for TEXT: what each key places."""
    low = high = 0.0
    for ch in TEXT:
        if ch == "+":  # Shift and "=": the picture "plus"
            w = gif_size(simbol, "plus")[0]
            low, high = low + w, high + w
        elif ch == " ":
            w = CYRILLIC_SPACE_PX if cyrillic else gif_size(simbol, "32")[0]
            low, high = low + w, high + w
        else:  # a letter or a digit; "=" without Shift is the text " = "
            glyphs = 3 if ch == "=" else 1
            low += glyphs * GLYPH_EM[0] * EM_PX
            high += glyphs * GLYPH_EM[1] * EM_PX
    return low, high


def region(display, shot, x, y, w, h):
    """The screenshot's pixels in a rectangle: rows of (r, g, b)."""
    raw = display.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                       "-depth", "8", "rgb:-"], timeout=20)
    e2e.check(len(raw) == w * h * 3, "the screenshot's region %dx%d+%d+%d is cut short"
              % (w, h, x, y))
    return [[raw[(r * w + c) * 3:(r * w + c) * 3 + 3] for c in range(w)] for r in range(h)]


def dark_columns(rows):
    return [any(max(row[c]) < DARK for row in rows) for c in range(len(rows[0]))]


def runs(columns):
    """The runs of dark columns, as (first, last) offsets."""
    out, begin = [], None
    for i, dark in enumerate(columns + [False]):
        if dark and begin is None:
            begin = i
        elif not dark and begin is not None:
            out.append((begin, i - 1))
            begin = None
    return out


def picture_ink(display, simbol, name):
    """The width and height of the ink of a symbol picture."""
    path = os.path.join(simbol, name + ".gif")
    w, h = gif_size(simbol, name)
    rows = region(display, path, 0, 0, w, h)
    cols = [c for c in range(w) if any(max(row[c]) < DARK for row in rows)]
    lines = [r for r in range(h) if any(max(px) < DARK for px in rows[r])]
    e2e.check(cols and lines, name + ".gif has no ink")
    return cols[-1] - cols[0] + 1, lines[-1] - lines[0] + 1


def focus_elsewhere(d, case):
    if case == "latin-other-window":
        _, target = scr.other_program(d, "+10+880", "another window")
    else:
        info = d.run(["xwininfo", "-root"]).decode()
        target = int(info.split("Window id:")[1].split()[0], 16)
    d.xdotool("windowfocus", str(target))
    focus = e2e.wait_for(lambda: d.run(["xdotool", "getwindowfocus"], check_rc=False).strip(),
                         5, "the focus")
    e2e.check(int(focus) == target, "the focus is on %s, not %d" % (focus, target))


BURST_LINE = "abcdefghijklmnopqrstuvwx"
BURST_LINES = 8


def burst(binary):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    _, client, start = scr.ready(d, p)
    keys = []
    for i in range(BURST_LINES):
        keys += (["Return"] if i else []) + list(BURST_LINE)
    sent = time.monotonic()
    d.xdotool("key", "--delay", "0", *keys)
    took = time.monotonic() - sent
    last_line = start[1] + (BURST_LINES - 1) * scr.LINE_GAP
    # One item is played every 20 ms: about four seconds for the whole burst.
    scr.wait_pointer(d, lambda q: q[1] == last_line and q[0] > start[0] + 100,
                     "the pointer on the last line", timeout=15)
    e2e.settled(d)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "typed-burst")
    page_right = client[0] + client[2] - 340

    def line(i, right=page_right):
        y = start[1] + i * scr.LINE_GAP
        return shot.groups((start[0] - 12, y - 24, right, y + 24))
    lines = [line(i) for i in range(BURST_LINES)]
    # A line more would begin at the start (the parked caret stands further right).
    below = line(BURST_LINES, start[0] + 200)
    e2e.check(not below, "ink below the last line: %s (shot %s)" % (below, shot.path))
    first = lines[0]
    e2e.check(first, "nothing on the first line (shot %s)" % shot.path)
    x0, x1, _, _ = scr.extents(first)
    low = len(BURST_LINE) * GLYPH_EM[0] * EM_PX
    high = len(BURST_LINE) * GLYPH_EM[1] * EM_PX
    e2e.check(low <= x1 - x0 + 1 <= high, "the first line is %d px wide, not %.0f to %.0f for "
              "%r (shot %s)" % (x1 - x0 + 1, low, high, BURST_LINE, shot.path))
    for i, groups in enumerate(lines):
        e2e.check(groups and scr.extents(groups)[:2] == (x0, x1) and len(groups) == len(first),
                  "line %d is not the first line again: %s, not x %d..%d in %d groups: keys "
                  "were lost (shot %s)" % (i + 1, scr.extents(groups) if groups else None, x0,
                                           x1, len(first), shot.path))
    e2e.passed("%d keys sent in %.0f ms, every one placed" % (len(keys), took * 1000))


def main(binary, case):
    if case == "burst":
        burst(binary)
        return
    cyrillic = case == "cyrillic"
    d = e2e.Display()
    p = e2e.Program(binary, d)
    simbol = os.path.join(p.folder, "Simbol")
    _, (x, y, w, h), start = scr.ready(d, p)
    if case in ("latin-other-window", "latin-root-focus"):
        focus_elsewhere(d, case)
    if cyrillic:
        # Held long enough for the 20 ms Shift and Ctrl watches; then the poll's one-second
        # pace after the left Ctrl, and the Shift latch, are let run out.
        d.xdotool("keydown", "ctrl", "keydown", "shift", "sleep", "0.1", "keyup", "shift",
                  "keyup", "ctrl")
        time.sleep(1.5)
        e2e.check(d.pointer() == start, "the chord moved the pointer to %s" % (d.pointer(),))

    pace = SLOW_MS if case == "latin-slow" else DEFAULT_MS
    if pace == DEFAULT_MS:
        d.xdotool("type", TEXT)
    else:
        d.xdotool("type", "--delay", str(pace), TEXT)
    end = e2e.settled(d)
    e2e.check(end[1] == LINE_Y, "the pointer left the line: %s" % (end,))
    low, high = expected_advance(simbol, cyrillic)
    moved = end[0] - start[0]
    e2e.check(low <= moved <= high, "the pointer moved %d px for %r, not %.0f to %.0f: keys "
              "were lost or doubled" % (moved, TEXT, low, high))

    # What a user sees: the six symbols "ab+12=" (Cyrillic "аб+12="), apart, between the
    # start and the pointer; no ink right of the pointer but the caret standing at it,
    # none left of the start.
    shot = os.path.join(p.folder, "typed-%s.png" % case)
    d.screenshot(shot)
    if os.environ.get("KEL_E2E_SHOTS"):  # a folder to keep the screenshot in, to look at
        shutil.copy(shot, os.environ["KEL_E2E_SHOTS"])
    page_right = x + w - 340  # well inside the white page, left of the right-hand panel
    top = LINE_Y - scr.BAND
    rows = region(d, shot, start[0] - 40, top, page_right - (start[0] - 40), 2 * scr.BAND + 1)
    cols = dark_columns(rows)
    origin = start[0] - 40
    left_ink = [origin + c for c in range(40) if cols[c]]
    e2e.check(not left_ink, "ink left of the start at x %s" % left_ink[:5])
    caret_end = end[0] + 6  # the caret is drawn at the insertion point
    beyond = [origin + c for c in range(caret_end - origin, len(cols)) if cols[c]]
    e2e.check(not beyond, "ink right of the pointer at x %s (shot %s)" % (beyond[:5], shot))
    glyphs = runs(cols[40:end[0] - 2 - origin])
    e2e.check(len(glyphs) == 6, "%d symbols between the start and the pointer, not 6 for %r: "
              "%s (shot %s)" % (len(glyphs), TEXT, glyphs, shot))
    # The third is the picture "plus", as wide as its ink, and it comes after two letters.
    plus_w, _ = picture_ink(d, simbol, "plus")
    first, last = glyphs[2]
    e2e.check(abs((last - first + 1) - plus_w) <= 1,
              "the third symbol is %d px wide, the plus picture's ink %d" % (last - first + 1,
                                                                            plus_w))
    # The second letter: "b" has its stem at the left of its top, "б" its flag at the right,
    # which tells the layouts apart.
    first, last = glyphs[1]
    ink = [(r, c) for r, row in enumerate(rows) for c in range(40 + first, 40 + last + 1)
           if max(row[c]) < DARK]
    top_row = min(r for r, _ in ink)
    top = [c - 40 - first for r, c in ink if r == top_row]
    reach = (sum(top) / len(top)) / max(1, last - first)
    e2e.check(reach > 0.5 if cyrillic else reach < 0.5,
              "the second letter does not look like %s: the top of its ink is at %.2f of its "
              "width (shot %s)" % ("б" if cyrillic else "b", reach, shot))
    # The digits were typed without Shift: "1" and "2", not the shifted "!" (a thin stroke)
    # and "@" (wider than a digit).
    for (first, last), digit in zip(glyphs[3:5], "12"):
        ink = last - first + 1
        e2e.check(0.2 * EM_PX <= ink <= 0.6 * EM_PX,
                  "the %s is %d px wide: not a digit (shot %s)" % (digit, ink, shot))
    e2e.passed("typed %r at %d ms a key: %s" % (TEXT, pace, case))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
