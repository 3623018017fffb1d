"""The palette in the real window: a symbol button places its symbol at the insertion point
while the pointer stays on the button, F8 repeats it; the integral-with-limits button
opens its dialog, and the limits typed there end up small above and below the sign while
nothing typed into the dialog reaches the page; the sum dialog's close box cancels.

Usage: test_palette.py BINARY CASE, CASE one of pi, integral, sum-close-box."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

def ink_near(d, p, start, name):
    shot = scr.Shot(d, p.folder, name)
    sx, sy = start
    # Below the top border frame (19 px, black), which is dark too.
    return shot, shot.groups((sx - 12, sy - 45, sx + 160, sy + 50))


def pi(d, p):
    _, client, start = scr.ready(d, p)
    button = e2e.panel_point(client, 360, 2280)  # Command18, pi
    e2e.click(d, button)
    # Placed while the pointer rests on the button (the caret, 3 px wide, beside it).
    sx, sy = start
    scr.shot_when(d, scr.scratch(), "palette_pi_placed",
                  lambda s: any(g.width > 10 for g in s.groups((sx - 12, sy - 45, sx + 160,
                                                                 sy + 50))),
                  "the pi at the insertion point %s" % (start,))
    e2e.check(e2e.pointer_stays(d, button, 0.6),
              "the pointer left the pi button: it is at %s" % (d.pointer(),))
    scr.park(d, client)
    _, found = ink_near(d, p, start, "palette_pi")
    e2e.check(len(found) == 1, "expected the pi at the insertion point %s, found %s"
              % (start, found))
    first = found[0]
    e2e.check(abs(first.x0 - start[0]) <= 3 and first.y0 < start[1] < first.y1,
              "the pi %s does not stand at the insertion point %s" % (first, start))
    # F8 was bound to it half a second after the click: it places it again, behind it.
    time.sleep(0.4)
    d.xdotool("key", "F8")
    scr.wait_pointer(d, lambda q: q[1] == start[1] and q[0] > first.x1,
                     "the pointer behind a second pi")
    scr.park(d, client)
    _, found = ink_near(d, p, start, "palette_pi_f8")
    e2e.check(len(found) == 2, "expected two pi after F8, found %s" % found)
    second = found[1]
    e2e.check(second.x0 > first.x1 and (second.width, second.height) == (first.width, first.height),
              "the second symbol %s is not another pi behind %s" % (second, first))
    e2e.alive(p)
    e2e.passed("a palette click places pi with the pointer left on the button; F8 repeats "
               "it")


def centred(client, what):
    x, y, w, h = client
    e2e.check(abs(x + w / 2 - e2e.SCREEN_W / 2) <= 8 and abs(y + h / 2 - e2e.SCREEN_H / 2) <= 24,
              "the %s %s is not centred on the screen" % (what, client))


def integral(d, p):
    _, client, start = scr.ready(d, p)
    e2e.click(d, e2e.panel_point(client, 2160, 4680))  # Command58, the integral with limits
    win = scr.shown_window(d, "Definite integral")
    dx, dy, dw, dh = d.geometry(win)
    e2e.check((dw, dh) == (159, 155), "the dialog's client area is %dx%d, not 159x155" % (dw, dh))
    centred((dx, dy, dw, dh), "integral dialog")
    # Its boxes: the upper limit at 120, 480 and the lower at 120, 1440 (twips).
    upper = (dx + round((120 + 855 / 2) / 15), dy + round((480 + 405 / 2) / 15))
    lower = (dx + round((120 + 855 / 2) / 15), dy + round((1440 + 375 / 2) / 15))
    e2e.click(d, upper)
    d.xdotool("type", "--delay", "60", "1")
    e2e.click(d, lower)
    d.xdotool("type", "--delay", "60", "0")
    time.sleep(0.1)
    d.xdotool("key", "Return")
    scr.window_gone(d, "Definite integral")
    # The closing code puts the pointer behind the sign, 20 px right of where it began.
    scr.wait_pointer(d, lambda q: q == (start[0] + 20, start[1]),
                     "the pointer behind the integral sign", timeout=8)
    scr.park(d, client)
    _, found = ink_near(d, p, start, "palette_integral")
    sign = max(found, key=lambda g: g.height) if found else None
    e2e.check(sign and sign.height >= 30 and abs(sign.x0 - start[0]) <= 3,
              "no integral sign at the insertion point %s: %s" % (start, found))
    above = [g for g in found if g.y1 < sign.y0]
    below = [g for g in found if g.y0 > sign.y1]
    e2e.check(len(found) == 3 and len(above) == 1 and len(below) == 1,
              "expected the sign %s with one limit above and one below, found %s"
              % (sign, found))
    for name, g in (("upper", above[0]), ("lower", below[0])):
        e2e.check(g.height <= 12 and sign.x0 - 4 <= g.x0 <= sign.x1 + 6,
                  "the %s limit %s is not small at the sign %s" % (name, g, sign))
    e2e.check(above[0].x0 > below[0].x0,
              "the upper limit %s does not stand right of the lower %s" % (above[0], below[0]))
    # The keys typed into the dialog (1, 0, Enter) never reached the page: no other ink,
    # and the next key typed lands behind the sign.
    d.xdotool("key", "x")
    scr.wait_pointer(d, lambda q: q[1] == start[1] and q[0] > start[0] + 20, "the x typed")
    scr.park(d, client)
    _, after = ink_near(d, p, start, "palette_integral_x")
    e2e.check(len(after) == 4 and after[-1].x0 > sign.x1,
              "expected the integral and an x behind it, found %s" % after)
    # F8 now reopens the dialog, with the limits it had.
    time.sleep(0.6)
    d.xdotool("key", "F8")
    scr.shown_window(d, "Definite integral")
    e2e.alive(p)
    e2e.passed("the integral typed with its limits from the dialog")


def sum_close_box(d, p):
    _, client, start = scr.ready(d, p)
    button = e2e.panel_point(client, 3360, 4680)  # Command59, the sum with limits
    e2e.click(d, button)
    win = scr.shown_window(d, "Sum")
    geometry = d.geometry(win)
    e2e.check(geometry[2:] == (154, 146), "the sum dialog's client area is %s" % (geometry,))
    centred(geometry, "sum dialog")
    x, y = geometry[0] + 30, geometry[1] + 40
    e2e.click(d, (x, y))
    d.xdotool("type", "--delay", "60", "n5")
    d.close_request(win)
    scr.window_gone(d, "Sum")
    # Closing it ends as a click on the palette does: the pointer back on the button.
    scr.wait_pointer(d, lambda q: q == button, "the pointer back on the sum button")
    # Nothing was typed, and typing goes on at the insertion point.
    scr.park(d, client)
    _, found = ink_near(d, p, start, "palette_sum_closed")
    e2e.check(not found, "ink at the insertion point after the dialog was closed: %s" % found)
    d.xdotool("key", "x")
    scr.wait_pointer(d, lambda q: q[1] == start[1] and q[0] > start[0], "the x typed")
    scr.park(d, client)
    _, found = ink_near(d, p, start, "palette_sum_x")
    e2e.check(len(found) == 1, "expected the x alone, found %s" % found)
    e2e.alive(p)
    e2e.passed("the sum dialog's close box cancels and gives the keyboard back")


def two_dialogs(d, p):
    """Both limits dialogs open at once stay above the main window, whatever is clicked."""
    main, client, start = scr.ready(d, p)
    e2e.click(d, e2e.panel_point(client, 2160, 4680))  # the integral
    integral_win = scr.shown_window(d, "Definite integral")
    e2e.click(d, e2e.panel_point(client, 3360, 4680))  # the sum
    sum_win = scr.shown_window(d, "Sum")
    for what, point in (("the sum button", None), ("the page", (client[0] + 300, client[1] + 400)),
                        ("the panel", e2e.panel_point(client, 2160, 3000))):
        if point:
            e2e.click(d, point)
        def above():
            order = d.stacking()
            return (main in order and integral_win in order and sum_win in order and
                    order.index(main) < order.index(integral_win) and
                    order.index(main) < order.index(sum_win))
        e2e.wait_for(above, 3, "both dialogs above the main window after a click on " + what,
                     lambda: "stacking %s, main %s, dialogs %s %s"
                     % (d.stacking(), main, integral_win, sum_win))
        time.sleep(0.3)
        e2e.check(above(), "a dialog went behind the main window after a click on " + what)
    e2e.alive(p)
    e2e.passed("two limits dialogs stay above the main window")


CASES = {"pi": (pi, False), "integral": (integral, False),
         "sum-close-box": (sum_close_box, True), "two-dialogs": (two_dialogs, True)}

if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in CASES:
        e2e.fail("usage: test_palette.py BINARY " + "|".join(CASES))
    case, wm = CASES[sys.argv[2]]
    display = e2e.Display(window_manager=wm)
    case(display, e2e.Program(sys.argv[1], display))
