"""Input typed while the program is still typing something itself, in the real window: keys
typed while a limits dialog's limits are being typed land behind the sign once they stand,
and a click on the page meanwhile takes effect after them; with "compute after =" ticked,
a key typed while the value of a " = " is still to come follows the value.

    test_pending_input.py BINARY CASE [--wm]
    CASE: limits-keys, limits-click, equals-enter; --wm: under a window manager (openbox)

Set KEL_E2E_SHOTS to a folder to keep the screenshots.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

# Round ticked, radians, "compute after =" ticked.
OPTIONS = b"||||||1|0|1"
# --- the limits dialog ----------------------------------------------------------------------

def open_integral(d, client, limits=None):
    """The integral dialog opened by its button; with limits, typed into its boxes. The
    focus ends in the upper box. Gives the dialog's window."""
    e2e.click(d, e2e.panel_point(client, 2160, 4680))  # Command58, the integral with limits
    win = scr.shown_window(d, "Definite integral")
    dx, dy, _, _ = d.geometry(win)
    upper = (dx + round((120 + 855 / 2) / 15), dy + round((480 + 405 / 2) / 15))
    lower = (dx + round((120 + 855 / 2) / 15), dy + round((1440 + 375 / 2) / 15))
    if limits:
        e2e.click(d, upper)
        d.xdotool("type", "--delay", "60", limits[0])
        e2e.click(d, lower)
        d.xdotool("type", "--delay", "60", limits[1])
    e2e.click(d, upper)
    return win


def page_right(client):
    """The last column of the page, left of the panel."""
    x, _, w, _ = client
    return x + ((w + 8) * 15 - e2e.PANEL_WIDTH_TW) // 15 - 1


def last_sign(shot, client, line_y):
    """The rightmost integral sign on a line (a group taller than any letter)."""
    groups = shot.groups((client[0] + 20, line_y - 45, page_right(client) - 2, line_y + 45))
    signs = [g for g in groups if g.height >= 30]
    return (max(signs, key=lambda g: g.x0), groups) if signs else (None, groups)


def is_caret(g):
    """The caret: a bar 3 px wide and 24 high (it stays at the insertion point while the
    pointer is over the panel)."""
    return g.width <= 4 and g.height >= 20


def on_line_after(groups, sign, line_y):
    """What stands on the line right of the sign: full-size symbols centred on the line."""
    return [g for g in groups if g.x0 > sign.x1 and abs((g.y0 + g.y1) / 2 - line_y) <= 8
            and g.height >= 8 and not is_caret(g)]


def limits_keys(d, p, client, start):
    """Rows of an integral with the limits abc and def, submitted with Enter, and then xy
    typed 0, 0.2, 0.5 and 1.0 s after the Enter: the limits take about two seconds to be
    typed, and the x and the y stand behind the sign on its line every time."""
    rows = [0.0, 0.2, 0.5, 1.0]
    line_y = start[1]
    failures = []
    for i, delay in enumerate(rows):
        if i == 2:
            # Two rows to a line; the next line two lines down, clear of the lower limits.
            d.xdotool("key", "Return")
            time.sleep(0.3)
            d.xdotool("key", "Return")
            e2e.settled(d, quiet=0.5)
            line_y += 2 * scr.LINE_GAP
        open_integral(d, client, ("abc", "def") if i == 0 else None)
        d.xdotool("key", "Return")
        if delay:
            time.sleep(delay)
        d.xdotool("type", "--delay", "40", "xy")
        scr.window_gone(d, "Definite integral")
        # The pointer back on the button, then off the formula, so the caret leaves it.
        e2e.settled(d, quiet=1.0)
        scr.park(d, client)

        def row_done(shot):
            sign, groups = last_sign(shot, client, line_y)
            if not sign:
                return None
            above = [g for g in groups if g.y1 < sign.y0 and g.x0 >= sign.x0 - 14]
            below = [g for g in groups if g.y0 > sign.y1 and g.x0 >= sign.x0 - 14]
            after = on_line_after(groups, sign, line_y)
            return len(after) == 2 and len(above) == 3 and len(below) == 3

        shot, done = scr.shot_until(d, p.folder, "limits_keys_%d" % i, row_done, timeout=8)
        if not done:
            sign, groups = last_sign(shot, client, line_y)
            # What stands where: a limit short of characters is not xy out of place.
            counts = ("%d behind it on the line, %d above, %d below (2, 3 and 3 wanted)"
                      % (len(on_line_after(groups, sign, line_y)),
                         len([g for g in groups if g.y1 < sign.y0 and g.x0 >= sign.x0 - 14]),
                         len([g for g in groups if g.y0 > sign.y1 and g.x0 >= sign.x0 - 14]))
                      if sign else "no sign")
            failures.append("row %d (xy %.1f s after Enter): %s; the sign %s and %s (shot %s)"
                            % (i, delay, counts, sign, groups, shot.path))
            # The row's x and y may still come, or never; the next row begins at its end.
        e2e.settled(d, quiet=0.6)
    e2e.alive(p)
    good = len(rows) - len(failures)
    e2e.check(not failures, "xy behind the sign with the limits in place in %d of %d rows:\n%s"
              % (good, len(rows), "\n".join(failures)))
    e2e.passed("xy typed 0 to 1 s after the limits' Enter stands behind the sign: %d of %d"
               % (good, len(rows)))


def limits_click(d, p, client, start):
    """A click on the bare page while the limits are being typed: they are typed where
    they began, and the z typed once they stand goes where the user clicked."""
    open_integral(d, client, ("abc", "def"))
    d.xdotool("key", "Return")
    time.sleep(0.6)
    target = (start[0] + 200, start[1] + 2 * scr.LINE_GAP)
    d.xdotool("mousemove", str(target[0]), str(target[1]))
    time.sleep(0.06)
    d.xdotool("mousedown", "1")
    time.sleep(0.06)
    d.xdotool("mouseup", "1")
    # The release is read a poll or two later, where the pointer then is: it rests a moment.
    time.sleep(0.3)
    # The limits are typed in full, at the sign.

    def limits_stand(shot):
        sign, groups = last_sign(shot, client, start[1])
        if not sign or abs(sign.x0 - start[0]) > 3:
            return None
        above = [g for g in groups if g.y1 < sign.y0]
        below = [g for g in groups if g.y0 > sign.y1 and g.y1 < start[1] + 45]
        return (len(above) == 3 and len(below) == 3) and (sign, above, below)

    scr.park(d, client)
    shot = scr.shot_when(d, p.folder, "limits_click", limits_stand,
                         "the limits typed in full at the sign", timeout=12)
    # Nothing of them at the clicked point.
    near = shot.groups((target[0] - 30, target[1] - 45, target[0] + 60, target[1] + 45))
    e2e.check(not near, "ink at the clicked point before anything was typed there: %s (shot %s)"
              % (near, shot.path))
    e2e.settled(d, quiet=0.6)
    d.xdotool("mousemove", str(target[0]), str(target[1]))
    time.sleep(0.1)
    d.xdotool("type", "z")
    scr.park(d, client)

    def z_there(s):
        found = s.groups((target[0] - 30, target[1] - scr.BAND, target[0] + 60,
                          target[1] + scr.BAND))
        return len(found) == 1 and abs(found[0].x0 - target[0]) <= 4 and found

    scr.shot_when(d, p.folder, "limits_click_z", z_there, "the z at the clicked point %s"
                  % (target,), timeout=5)
    e2e.alive(p)
    e2e.passed("a click while the limits are typed takes effect after them")


# --- the value after " = " -------------------------------------------------------------------

def equals_enter(d, p, client, start):
    """1/3= typed, then Enter 1.5 s later (the reference line), right after the "=", 150 ms
    and 300 ms after it: every line holds 1/3 = 0,333 alike, and the line after the last is
    empty (the value never starts the next line)."""
    delays = [1.5, 0.0, 0.15, 0.3]
    for i, delay in enumerate(delays):
        d.xdotool("type", "--delay", "40", "1/3=")
        if delay:
            time.sleep(delay)
        d.xdotool("key", "Return")
        # The value typed (a paced item every 150 ms) and the pointer at the next line.
        e2e.settled(d, quiet=1.2)
    right = page_right(client) - 2
    lines = [start[1] + k * scr.LINE_GAP for k in range(len(delays) + 1)]
    scr.park(d, client)

    def all_typed(shot):
        return len(scr.glyphs(shot, start, lines[0], right)) >= 8
    shot = scr.shot_when(d, p.folder, "equals_enter", all_typed, "the first line typed")
    ref = scr.glyphs(shot, start, lines[0], right)
    rows = [scr.glyphs(shot, start, y, right) for y in lines]
    good = sum(1 for r in rows[1:-1] if r == ref)
    e2e.check(good == len(delays) - 1 and not rows[-1],
              "lines %s, the reference %s: %d of %d lines hold the value behind the sign, "
              "the last line %s (shot %s)" % (rows[1:-1], ref, good, len(delays) - 1, rows[-1],
                                               shot.path))
    e2e.alive(p)
    e2e.passed("Enter typed 0 to 0.3 s after = follows the value: %d of %d"
               % (good, len(delays) - 1))


CASES = {"limits-keys": limits_keys, "limits-click": limits_click, "equals-enter": equals_enter}

if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[2] not in CASES:
        e2e.fail("usage: test_pending_input.py BINARY " + "|".join(CASES) + " [--wm]")
    display = e2e.Display(window_manager="--wm" in sys.argv[3:])
    program = e2e.Program(sys.argv[1], display, options=OPTIONS)
    _, client_area, writing = scr.ready(display, program)
    CASES[sys.argv[2]](display, program, client_area, writing)
