"""Nothing a person types or clicks is lost in the real window.

    test_input_kept.py BINARY CASE [--wm]
    CASE:
      palette-after-typing  20 rows: click the page, type "a+", go to the square-root
                            button at once, click it 0.3 s later, type "b" with the pointer
                            still on it: every row has its root right after the "+", as a
                            row typed slowly has.
      quick-undo            21 letters, then 20 Ctrl+Z with Z held 5 to 90 ms at random:
                            20 undos, the first letter alone is left.
      window-move           the window moved to three places by the window manager; back
                            on the page, Enter and a letter: each new line begins at the
                            marked column, on the page.
      palette-200, palette-400
                            8 or 5 rows of three palette buttons (pi, alpha, beta) clicked
                            200 or 400 ms apart, each click a move, 20 ms, a 60 ms press:
                            every row shows its three symbols in order, as a row clicked
                            slowly does, and a log of the pointer (asked every 2 ms) never
                            leaves the panel while a row is clicked and placed.
      undo-clicks           8 letters, then Undo clicked three times 200 and 400 ms apart
                            with the pointer resting on it: three letters undone each time,
                            and the pointer never leaves the button.
      page-clicks           pages 1 and 2 hold a letter each; the page 2 button, then a
                            mouse's move (relative, in steps) to the page 1 button and a click
                            200 and 400 ms later: page 1 is shown, the pointer never left the
                            panel, and a letter typed then follows page 1's letter.
      equals-palette        1+2, pi from the palette, " = " typed with the pointer resting
                            on pi, and 300 ms later a move (relative) to alpha and a click:
                            the row holds the value, then alpha, as a row clicked slowly does;
                            the pointer never left the panel.

With KEL_E2E_SHOTS naming a folder, the screenshots it checks are kept there.
"""

import os
import random
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import pointer_log  # noqa: E402

CASES = ("palette-after-typing", "quick-undo", "window-move", "palette-200", "palette-400",
         "undo-clicks", "page-clicks", "equals-palette")
ROOT_BUTTON = (360, 1080)  # Command8, the square root, in the panel's twips
PI, ALPHA, BETA = (360, 2280), (960, 2280), (1560, 2280)  # Command18, 28, 29
POINTER_LOG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pointer_log.py")


def row_ink_box(start):
    # a+√b is 77 px wide; the box stays clear of the caret where scr.park leaves it.
    return (start[0] - 4, start[1] - 30, start[0] + 84, start[1] + 30)


def palette_row(d, start, root, slow):
    """One row: a, +, the root clicked, b."""
    e2e.click(d, start)
    time.sleep(0.3)
    d.xdotool("type", "--delay", "150", "a+")
    if slow:
        time.sleep(1.0)
    d.xdotool("mousemove", str(root[0]), str(root[1]))
    time.sleep(0.3)
    d.xdotool("click", "1")
    # The root is placed at the insertion point while the pointer stays on its button (late
    # on a loaded machine); the b, typed with the pointer there, follows it.
    box = row_ink_box(start)
    scr.wait_symbols(d, box, 3, "a, + and the root of the row at %s" % (start,), timeout=10)
    e2e.check(d.pointer() == root, "the pointer left the root button for %s" % (d.pointer(),))
    d.xdotool("type", "b")
    scr.wait_symbols(d, box, 4, "the b of the row at %s" % (start,))


def palette_after_typing(d, p, client):
    x, y, _, _ = client
    root = e2e.panel_point(client, *ROOT_BUTTON)
    # A row typed slowly, the root clicked long after the "+", says what a row shows.
    reference_start = (x + 60, y + 640)
    palette_row(d, reference_start, root, slow=True)
    starts = [(x + 60 + 300 * (r // 10), y + 90 + 55 * (r % 10)) for r in range(20)]
    for s in starts:
        palette_row(d, s, root, slow=False)
    e2e.alive(p)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "input_kept_palette_rows")

    def ink(start):
        return [(g.x0 - start[0], g.x1 - start[0], g.y0 - start[1], g.y1 - start[1])
                for g in shot.groups(row_ink_box(start))]

    reference = ink(reference_start)
    unlike = [r for r, s in enumerate(starts) if ink(s) != reference]
    e2e.check(len(reference) == 4 and not unlike,
              "rows without their root right after the \"+\": %s (ink %s, unlike the slow row's "
              "%s) (shot %s)" % (unlike, [ink(starts[r]) for r in unlike], reference, shot.path))
    e2e.passed("20 of 20 roots clicked right after typing stand at their rows' insertion "
               "points")


def quick_undo(d, p, client, start):
    letters = "abcdefghijklmnopqrstu"
    for c in letters:
        d.xdotool("type", c)
        time.sleep(0.12)
    scr.wait_pointer(d, lambda q: q[1] == start[1] and q[0] > start[0] + 150,
                     "the 21 letters placed")
    time.sleep(0.5)
    rng = random.Random(21)
    holds = [rng.randint(5, 90) for _ in range(20)]
    for hold in holds:
        d.xdotool("keydown", "ctrl", "keydown", "z", "sleep", "%.3f" % (hold / 1000.0),
                  "keyup", "z", "keyup", "ctrl")
        time.sleep(0.6)
    e2e.alive(p)
    scr.park(d, client)
    line = (start[0] - 12, start[1] - 24, start[0] + 400, start[1] + 24)

    def first_alone(shot):
        found = shot.groups(line)
        return len(found) == 1 and start[0] - 1 <= found[0].x0 <= start[0] + 6
    # The last undo shows when the program gets to it, late on a loaded machine.
    scr.shot_when(d, p.folder, "input_kept_quick_undo", first_alone,
                  "the first letter alone on the line after 20 Ctrl+Z (Z held %s ms)" % holds)
    e2e.passed("20 of 20 quick Ctrl+Z undid")


def window_move(d, p, win, client):
    x0, y0, _, _ = client
    column_on_page = 86  # the writing position: 90 px right of the outer left, 4 of frame
    d.xdotool("type", "a")
    time.sleep(0.3)
    places = [(x0 - 200, y0), (x0 - 90, y0 + 70), (x0 - 260, y0 + 30)]
    lines = []
    for n, (wx, wy) in enumerate(places):
        d.xdotool("windowmove", str(win), str(wx), str(wy))
        moved = e2e.wait_for(lambda: (lambda g: g if g[:2] != client[:2] and
                                      (not lines or g[:2] != lines[-1][0][:2]) else None)(
                                          d.geometry(win)), 10, "the window moved")
        time.sleep(0.3)
        x, y, _, _ = moved
        # Back onto the bare page with the mouse, no click.
        d.xdotool("mousemove", str(x + 450), str(y + 560))
        time.sleep(0.2)
        d.xdotool("key", "Return")
        column = x + column_on_page
        q = scr.wait_pointer(d, lambda q: q[0] == column, "the new line %d at the marked "
                             "column %d" % (n + 1, column))
        d.xdotool("type", "x")
        scr.wait_pointer(d, lambda r: r[1] == q[1] and r[0] > column, "the x placed")
        lines.append((moved, q))
    e2e.alive(p)
    x, y, _, _ = lines[-1][0]
    scr.park(d, (x, y, 0, 0))
    shot = scr.Shot(d, p.folder, "input_kept_window_move")
    for n, (_, q) in enumerate(lines):
        # Each line moved with the window: where it stands now, relative to the last place.
        ink = shot.groups((x + column_on_page - 12, q[1] - (lines[n][0][1] - y) - 20,
                           x + column_on_page + 30, q[1] - (lines[n][0][1] - y) + 20))
        e2e.check(ink and abs(ink[0].x0 - (x + column_on_page)) <= 4,
                  "line %d: %s, not an x at the marked column %d (shot %s)"
                  % (n + 1, ink, x + column_on_page, shot.path))
    e2e.passed("3 of 3 lines after a window move begin at the marked column")


class PointerLog:
    """The pointer's place every 2 ms, logged by a process of its own from now on."""

    def __init__(self, d, folder):
        self.path = os.path.join(folder, "pointer.log")
        e2e._spawn([sys.executable, POINTER_LOG, self.path], env=d.env)
        e2e.wait_for(lambda: os.path.exists(self.path) and os.path.getsize(self.path) > 0, 10,
                     "the pointer log to begin")

    def between(self, t0, t1):
        """The places logged from t0 to t1, and how often the pointer was asked meanwhile."""
        rows = [r for r in pointer_log.read(self.path) if t0 <= r[0] <= t1]
        return [(t, q) for t, _, q in rows], (rows[-1][1] - rows[0][1] + 1) if rows else 0


def clicks(points, gap):
    """One xdotool command that clicks each point in turn, gap seconds from one click to the
    next: a move, 20 ms, a 60 ms press, as a quick hand clicks."""
    args = []
    for x, y in points:
        args += ["mousemove", str(x), str(y), "sleep", "0.02", "mousedown", "1", "sleep",
                 "0.06", "mouseup", "1", "sleep", "%.3f" % (gap - 0.08)]
    return args


def palette_pace(d, p, client, gap):
    x, y, w, h = client
    panel_x = x + e2e.panel_left(client)
    buttons = [e2e.panel_point(client, *b) for b in (PI, ALPHA, BETA)]
    log = PointerLog(d, p.folder)

    def row_box(start):
        return (start[0] - 4, start[1] - 30, start[0] + 110, start[1] + 30)

    def wide(shot, start):
        return [g for g in shot.groups(row_box(start)) if g.width > 8]

    def row(start, pace):
        """Clicks the row's buttons at that pace; gives the time of the first move and the
        end of the row (its three symbols shown, or waited for in vain, and the pointer
        return and the F8 binding of the last click long done)."""
        e2e.click(d, start)
        time.sleep(0.3)
        t0 = time.monotonic()
        d.xdotool(*clicks(buttons, pace))
        last = time.monotonic()
        deadline = last + e2e.room(5)
        while time.monotonic() < deadline and len(wide(scr.Shot(d, scr.scratch(), "row"),
                                                       start)) < 3:
            time.sleep(0.05)
        while time.monotonic() < last + 0.8:
            time.sleep(0.02)
        return t0, time.monotonic()

    # A row clicked slowly says what a row shows.
    reference_start = (x + 60, y + 650)
    row(reference_start, 0.8)
    rows = 8 if gap < 0.3 else 5
    starts = [(x + 60 + 300 * (r // 4), y + 90 + 75 * (r % 4)) for r in range(rows)]
    times = [row(s, gap) for s in starts]
    e2e.alive(p)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "input_kept_palette_%d" % round(gap * 1000))

    def shape(start):
        return [(g.x0 - start[0], g.y0 - start[1], g.width, g.height)
                for g in shot.groups(row_box(start))]
    reference = shape(reference_start)
    e2e.check(len(wide(shot, reference_start)) == 3,
              "the slow row shows %s, not three symbols (shot %s)" % (reference, shot.path))
    unlike = [r for r, s in enumerate(starts) if shape(s) != reference]
    left, asked = [], 0
    for r, (t0, t1) in enumerate(times):
        samples, n = log.between(t0, t1)
        asked += n
        # From the move onto the first button on.
        on = next((i for i, (_, q) in enumerate(samples) if q[0] >= panel_x), None)
        away = [(round(t - t0, 3), q) for t, q in samples[on or 0:] if q[0] < panel_x]
        if on is None or away:
            left.append((r, away[:3]))
    ms = round(gap * 1000)
    e2e.check(not unlike and not left,
              "clicked %d ms apart: %d of %d rows unlike the slow row's %s: %s (%s); %d rows "
              "whose pointer left the panel (row, [(s after the first move, place)]): %s "
              "(shot %s, log %s)"
              % (ms, len(unlike), rows, reference, unlike, [shape(starts[r]) for r in unlike],
                 len(left), left, shot.path, log.path))
    e2e.passed("%d of %d rows of pi, alpha, beta clicked %d ms apart placed in order; the "
               "pointer, asked %d times, stayed on the panel throughout"
               % (rows, rows, ms, asked))


def still_clicks(count, gap):
    """Clicks where the pointer is, gap seconds apart (a 60 ms press), as a hand resting on a
    button clicks it again."""
    args = []
    for _ in range(count):
        args += ["mousedown", "1", "sleep", "0.06", "mouseup", "1", "sleep", "%.3f" % (gap - 0.06)]
    return args


def moved_click(start, end):
    """A mouse's move from start to end, as its steps add to wherever the pointer is (a
    warp meanwhile sends the rest of the move from there), then 20 ms and a 60 ms press."""
    args = []
    dx, dy = end[0] - start[0], end[1] - start[1]
    done_x = done_y = 0
    for k in range(1, 5):
        sx, sy = round(dx * k / 4) - done_x, round(dy * k / 4) - done_y
        done_x, done_y = done_x + sx, done_y + sy
        args += ["mousemove_relative", "--", str(sx), str(sy), "sleep", "0.015"]
    return args + ["sleep", "0.02", "mousedown", "1", "sleep", "0.06", "mouseup", "1"]


def letters_on(d, line_y, x0):
    box = (x0 - 6, line_y - 22, x0 + 300, line_y + 22)
    return [g for g in scr.Shot(d, scr.scratch(), "letters").groups(box) if g.width > 4]


def undo_clicks(d, p, client, start):
    x, y, w, _ = client
    undo = (round(x + ((w + 8) * 15 - 4815) / 15 + 427 / 15), round(y + (240 + 247) / 15))
    log = PointerLog(d, p.folder)
    off = []
    for row, gap in enumerate((0.2, 0.4)):
        line = (start[0], start[1] + 70 * row)
        e2e.click(d, line)
        time.sleep(0.3)
        d.xdotool("type", "--delay", "120", "abcdefgh")
        e2e.wait_for(lambda: len(letters_on(d, line[1], line[0])) >= 8, 10, "8 letters typed")
        d.xdotool("mousemove", str(undo[0]), str(undo[1]))
        time.sleep(1.6)  # the Undo button shows once the last letter is kept
        t0 = time.monotonic()
        d.xdotool(*still_clicks(3, gap))
        t1 = time.monotonic()
        # The undos are shown when the program gets to them (late on a loaded machine).
        e2e.wait_for(lambda: len(letters_on(d, line[1], line[0])) <= 5, 5,
                     "3 letters undone by 3 clicks %d ms apart" % round(gap * 1000),
                     lambda: "%d letters left" % len(letters_on(d, line[1], line[0])))
        time.sleep(max(0, t1 + 1.0 - time.monotonic()))
        samples, _ = log.between(t0, time.monotonic())
        off += [(row, round(t - t0, 3), q) for t, q in samples if q != undo]
        e2e.check(len(letters_on(d, line[1], line[0])) == 5,
                  "%d letters left after 3 undos %d ms apart"
                  % (len(letters_on(d, line[1], line[0])), round(gap * 1000)))
    e2e.alive(p)
    e2e.check(not off, "the pointer left the Undo button: %s (log %s)" % (off[:4], log.path))
    e2e.passed("Undo clicked 3 times 200 and 400 ms apart undid 3 letters; the pointer stayed "
               "on the button")


def page_button(client, page):
    """The middle of a page button (645 x 345 twips, three to a row, 8880 twips down the
    panel)."""
    x, y, w, _ = client
    k = page - 1
    panel_left = ((w + 8) * 15 - 4815) / 15
    return (round(x + panel_left + (900 + (k % 3) * 660 + 645 / 2) / 15),
            round(y + (120 + 8880 + (k // 3) * 360 + 345 / 2) / 15))


def page_clicks(d, p, client, start):
    x, y, w, _ = client
    panel_x = x + ((w + 8) * 15 - 4815) / 15
    first, second = page_button(client, 1), page_button(client, 2)
    d.xdotool("type", "a")
    e2e.wait_for(lambda: len(letters_on(d, start[1], start[0])) == 1, 10, "the a typed")
    e2e.click(d, second)
    time.sleep(0.6)
    e2e.click(d, (start[0], start[1] + 70))
    time.sleep(0.3)
    d.xdotool("type", "b")
    e2e.wait_for(lambda: len(letters_on(d, start[1] + 70, start[0])) == 1, 10, "the b typed")
    log = PointerLog(d, p.folder)
    off, shown = [], []
    for gap in (0.2, 0.4):
        e2e.click(d, first)
        time.sleep(0.8)
        d.xdotool("mousemove", str(second[0]), str(second[1]))
        time.sleep(0.3)
        t0 = time.monotonic()
        d.xdotool(*(still_clicks(1, gap - 0.08) + moved_click(second, first)))
        time.sleep(1.0)
        samples, _ = log.between(t0, time.monotonic())
        off += [(round(t - t0, 3), q) for t, q in samples if q[0] < panel_x]
        shot = scr.Shot(d, scr.scratch(), "page_buttons")
        shown.append([k for k in (1, 2) if scr.is_red(shot.rgb(page_button(client, k)[0] - 17,
                                                             first[1] - 8))])
    e2e.alive(p)
    e2e.check(shown == [[1], [1]] and not off,
              "the page shown after the page 1 button clicked 200 and 400 ms after page 2's: "
              "%s; the pointer off the panel: %s (log %s)" % (shown, off[:4], log.path))
    d.xdotool("type", "c")
    scr.park(d, client)
    row = e2e.wait_for(lambda: (lambda g: g if len(g) == 2 else None)(
        letters_on(d, start[1], start[0])), 5, "the c typed after the a")
    e2e.check(row[1].x0 > row[0].x1, "the c does not follow the a: %s" % row)
    e2e.passed("the page 1 button clicked 200 and 400 ms after page 2's shows page 1; the "
               "pointer stayed on the panel")


def equals_palette(d, p, client, start):
    x, y, w, _ = client
    panel_x = x + ((w + 8) * 15 - 4815) / 15
    pi, alpha = e2e.panel_point(client, *PI), e2e.panel_point(client, *ALPHA)
    log = PointerLog(d, p.folder)

    def row(line, after):
        e2e.click(d, line)
        time.sleep(0.3)
        d.xdotool("type", "--delay", "120", "1+2")
        time.sleep(0.3)
        e2e.click(d, pi)
        time.sleep(0.8)
        t0 = time.monotonic()
        d.xdotool("key", "equal")
        time.sleep(after)
        if after > 1:
            e2e.click(d, alpha)  # the slow row's alpha is aimed at wherever the pointer is
        else:
            d.xdotool(*moved_click(pi, alpha))
        time.sleep(2.5)  # the value is typed a character every 150 ms
        samples, _ = log.between(t0, time.monotonic())
        d.xdotool("mousemove", str(pi[0]), str(pi[1]))
        return [(round(t - t0, 3), q) for t, q in samples if q[0] < panel_x]

    lines = [(start[0], start[1] + 70 * k) for k in range(3)]
    row(lines[0], 2.5)  # slowly: what a row shows
    off = row(lines[1], 0.3) + row(lines[2], 0.3)
    e2e.alive(p)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "input_kept_equals_palette")

    def shape(line):
        return [(g.x0 - line[0], g.width, g.height)
                for g in shot.groups((line[0] - 6, line[1] - 30, line[0] + 330, line[1] + 30))]
    reference = shape(lines[0])
    unlike = [k for k in (1, 2) if shape(lines[k]) != reference]
    e2e.check(len(reference) >= 10 and not unlike and not off,
              "rows unlike the slow row %s: %s; the pointer off the panel: %s (shot %s, log %s)"
              % (reference, [shape(lines[k]) for k in unlike], off[:4], shot.path, log.path))
    e2e.passed("alpha clicked 300 ms after a \" = \" typed on the palette follows the value "
               "(2 of 2); the pointer stayed on the panel")


def main(binary, case, wm):
    e2e.check(case in CASES, "no case " + case)
    d = e2e.Display(window_manager=wm)
    p = e2e.Program(binary, d)
    win, client, start = scr.ready(d, p)
    if case == "palette-after-typing":
        palette_after_typing(d, p, client)
    elif case == "quick-undo":
        quick_undo(d, p, client, start)
    elif case in ("palette-200", "palette-400"):
        palette_pace(d, p, client, int(case.split("-")[1]) / 1000.0)
    elif case == "undo-clicks":
        undo_clicks(d, p, client, start)
    elif case == "page-clicks":
        page_clicks(d, p, client, start)
    elif case == "equals-palette":
        equals_palette(d, p, client, start)
    else:
        window_move(d, p, win, client)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], "--wm" in sys.argv[3:])
