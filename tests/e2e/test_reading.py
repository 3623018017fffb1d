"""Reading a formula back, in the real window: a drag with the left button over a typed
formula shows it read above the page, its value in the result row and its picture on the
clipboard; with "compute after =" ticked, the value of what stands left of a typed sign
is typed after it; a drag to the left selects nothing.

    test_reading.py BINARY CASE [--wm]
    CASE: drag, equals, drag-left; --wm: under a window manager (openbox)

A result typed by the program is checked against the same digits typed by the user, pixel
by pixel. Set KEL_E2E_SHOTS to a folder to keep the screenshots.
"""

import os
import struct
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

# Round ticked, radians, "compute after =" ticked.
OPTIONS = b"||||||1|0|1"
# Where the main window's controls stand in its client area (pixels), by the design.
TEXT21 = (218, 0, 233, 19)  # the line above the page, centred over it
TEXT8 = (869, 48, 97, 27)  # the result box of the panel
COMMAND17 = (845, 48, 25, 27)  # its "=" button
OUTLINE = (0, 120, 215)  # the selection window's outline


def box(client, place, inset=2):
    x, y, _, _ = client
    l, t, w, h = place
    return x + l + inset, y + t + inset, x + l + w - 1 - inset, y + t + h - 1 - inset


def shows_text(shot, b):
    """A white box with dark ink in it: a text box showing a text."""
    x0, y0, x1, y1 = b
    white = sum(1 for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)
                if min(shot.rgb(x, y)) > 230)
    area = (x1 - x0 + 1) * (y1 - y0 + 1)
    return white > area // 2 and len(shot.points(b)) > 10


def same_glyphs(shot, a, b, line_a, line_b):
    """Whether two symbols look alike: the same pixels in their columns of their lines."""
    if a[1] - a[0] != b[1] - b[0]:
        return False
    ra = shot.region((a[0], line_a - scr.BAND, a[1], line_a + scr.BAND))
    rb = shot.region((b[0], line_b - scr.BAND, b[1], line_b + scr.BAND))
    return ra == rb


def clipboard(d, folder=None):
    """What the clipboard offers, the size of its picture and, with a folder to decode it
    in, its pixels as (r, g, b)."""
    targets = d.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                    check_rc=False).decode().split()
    png = d.run(["xclip", "-selection", "clipboard", "-t", "image/png", "-o"], check_rc=False)
    size, pixels = None, []
    if png[:8] == b"\x89PNG\r\n\x1a\n" and png[12:16] == b"IHDR":
        size = struct.unpack(">II", png[16:24])
        if folder:
            path = os.path.join(folder, "clipboard.png")
            with open(path, "wb") as f:
                f.write(png)
            raw = d.run(["convert", path, "-depth", "8", "rgb:-"])
            pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return targets, size, pixels


def drag(d, a, b):
    d.xdotool("mousemove", str(a[0]), str(a[1]))
    time.sleep(0.15)
    d.xdotool("mousedown", "1")
    time.sleep(0.15)  # the drag watcher takes the anchor
    mid = ((a[0] + b[0]) // 2, (a[1] + b[1]) // 2)
    d.xdotool("mousemove", str(mid[0]), str(mid[1]))
    time.sleep(0.1)
    d.xdotool("mousemove", str(b[0]), str(b[1]))
    time.sleep(0.3)  # the window is sized to the pointer


def typed_result_matches(shot, start, ref_line, line, count, what):
    ref = scr.glyphs(shot, start, ref_line, start[0] + 400)
    got = scr.glyphs(shot, start, line, start[0] + 400)
    e2e.check(len(ref) == 2, "the reference %s is %d symbols: %s" % (what, len(ref), ref))
    e2e.check(len(got) == count, "%d symbols on the line, not %d: %s" % (len(got), count, got))
    for r, g in zip(ref, got[-2:]):
        e2e.check(same_glyphs(shot, r, g, ref_line, line),
                  "the typed result does not look like the %s typed by hand (%s against %s, "
                  "shot %s)" % (what, g, r, shot.path))


def case_drag(d, p, client, start, shots):
    line = start[1] + scr.LINE_GAP
    d.xdotool("type", "42")
    e2e.settled(d, quiet=0.5)
    d.xdotool("key", "Return")
    e2e.settled(d, quiet=0.5)
    d.xdotool("type", "12+30")
    end = e2e.settled(d)
    e2e.check(end[1] == line, "the second line is at %d, not %d" % (end[1], line))
    before = scr.Shot(d, shots, "reading-before")
    e2e.check(not shows_text(before, box(client, TEXT21)), "a line shows above the page already")

    a, b = (start[0] - 10, line - 29), (end[0] + 28, line + 26)
    drag(d, a, b)
    during = scr.Shot(d, shots, "reading-during")
    # Only the outline shows: the formula under it is seen through, nothing is red.
    inside = (a[0] + 3, a[1] + 3, b[0] - 8, b[1] - 3)
    e2e.check(not during.points(inside, scr.is_red), "the selection window is not see-through")
    e2e.check(len(scr.glyphs(during, start, line, b[0] - 8)) == 5,
              "the formula is not seen under the selection window (shot %s)" % during.path)
    outline = [y for y in range(a[1], b[1]) if during.rgb(a[0], y) != during.rgb(a[0] - 2, y)]
    e2e.check(len(outline) > (b[1] - a[1]) // 2,
              "no outline at the left edge of the dragged rectangle (shot %s)" % during.path)
    d.xdotool("mouseup", "1")
    # The evaluation follows 300 ms after the release.
    scr.shot_when(d, shots, "reading-after",
                  lambda s: shows_text(s, box(client, TEXT21)) and shows_text(s, box(client, TEXT8)),
                  "the formula read shown above the page and its result in the result row")
    targets, size, pixels = e2e.wait_for(
        lambda: (lambda c: c if "image/png" in c[0] else None)(clipboard(d, p.folder)), 5,
        "a picture on the clipboard", lambda: "it offers %s" % clipboard(d)[0])
    e2e.check("image/png" in targets, "the clipboard offers no picture: %s" % targets)
    width = round((15 * (b[0] - a[0]) - 50) / 15)
    e2e.check(size == (width, b[1] - a[1]),
              "the clipboard's picture is %s, not the dragged %dx%d" % (size, width, b[1] - a[1]))
    # The formula without the selection's outline, or anything red.
    e2e.check(sum(1 for px in pixels if scr.is_dark(px)) > 100, "the picture shows no formula")
    e2e.check(not any(px == OUTLINE or scr.is_red(px) for px in pixels),
              "the picture shows the selection window")

    # A click on the bare page puts the insertion point there; the result row's "=" types
    # the result at it.
    third = line + scr.LINE_GAP
    d.xdotool("mousemove", str(start[0]), str(third))
    time.sleep(0.2)
    d.xdotool("click", "1")
    time.sleep(0.3)
    x, y, _, _ = client
    eq = (x + COMMAND17[0] + COMMAND17[2] // 2, y + COMMAND17[1] + COMMAND17[3] // 2)
    d.xdotool("mousemove", str(eq[0]), str(eq[1]))
    time.sleep(0.2)
    d.xdotool("click", "1")
    e2e.settled(d)
    scr.park(d, client)
    typed = scr.Shot(d, shots, "reading-typed")
    typed_result_matches(typed, start, start[1], third, 2, "42")
    e2e.passed("a drag read 12+30, showed 42 and its picture; \"=\" typed 42")


def case_equals(d, p, client, start, shots):
    line = start[1] + scr.LINE_GAP
    d.xdotool("type", "81")
    e2e.settled(d, quiet=0.5)
    d.xdotool("key", "Return")
    e2e.settled(d, quiet=0.5)
    d.xdotool("type", "9*9=")
    e2e.settled(d)
    scr.park(d, client)
    shot = scr.Shot(d, shots, "equals-typed")
    typed_result_matches(shot, start, start[1], line, 6, "81")
    e2e.check(shows_text(shot, box(client, TEXT21)),
              "the expression read is not shown above the page (shot %s)" % shot.path)
    targets, size, pixels = clipboard(d, p.folder)
    e2e.check("image/png" in targets and size and size[0] > 40 and size[1] > 40,
              "the clipboard has no picture of the expression: %s %s" % (targets, size))
    # The caret, a straight bar 3 px wide and 24 high, is not in it: no three columns next
    # to each other dark for 20 px on end (the pointer stood behind the last 9 when the
    # picture was taken).
    w, h = size
    tall = set()
    for x in range(w):
        run = 0
        for y in range(h):
            run = run + 1 if scr.is_dark(pixels[y * w + x]) else 0
            if run >= 20:
                tall.add(x)
                break
    caret = sorted(x for x in tall if x + 1 in tall and x + 2 in tall)
    e2e.check(not caret, "the caret is in the clipboard's picture at x %s" % caret)
    e2e.passed("9*9= typed 81 after the sign")


def case_drag_left(d, p, client, start, shots):
    d.xdotool("type", "12+30")
    end = e2e.settled(d)
    a, b = (start[0] - 10, start[1] - 29), (end[0] + 28, start[1] + 26)
    drag(d, a, b)
    d.xdotool("mouseup", "1")
    scr.shot_when(d, shots, "left-first",
                  lambda s: shows_text(s, box(client, TEXT21)) and shows_text(s, box(client, TEXT8)),
                  "the first drag's formula shown above the page and its result")
    for name, (f, t) in (("to the left", (b, (a[0], b[1]))), ("upwards", ((a[0], b[1]), (b[0], a[1])))):
        drag(d, f, t)
        d.xdotool("mouseup", "1")
        # What the drag before showed goes away.
        scr.shot_when(d, shots, "left-" + name.replace(" ", "-"),
                      lambda s: not shows_text(s, box(client, TEXT21)) and
                      not shows_text(s, box(client, TEXT8)),
                      "a drag %s to show neither a formula above the page nor a result" % name)
    e2e.passed("a drag to the left or upwards selects nothing")


def main(binary, case, wm=False):
    d = e2e.Display(window_manager=wm)
    p = e2e.Program(binary, d, options=OPTIONS)
    shots = p.folder
    _, client, start = scr.ready(d, p)
    client_area = (client[0], client[1], client[2], client[3])
    {"drag": case_drag, "equals": case_equals, "drag-left": case_drag_left}[case](
        d, p, client_area, start, shots)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], "--wm" in sys.argv[3:])
