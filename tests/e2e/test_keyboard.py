"""The on-screen keyboard in the real window: its button opens it under the right-hand
panel; clicks on "a", "+" and "1" type a+1 at the insertion point while the pointer stays on
the keyboard; " Bg" turns the letters Cyrillic and the main window blue, and
the key in the place of "q" types the Cyrillic ya; the window follows a drag by its strip;
"X" closes it and the button opens it again where it was. Under a window manager it never
takes the focus from the window that has it, and stays above the other windows.

Minimised, the main window takes it along and brings it back; a palette button held hides
it, and when that press is released off the button it stays hidden, a minimise and a
restore included, until a release on the page shows it again.

Usage: test_keyboard.py BINARY CASE, CASE one of type, focus-under-wm, minimise-under-wm."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

BLACK, BLUE = (0, 0, 0), (0, 0, 255)
KEYBOARD = "Virtual Keyboard"  # its window's name
WIDTH, HEIGHT = 4560 // 15, 5880 // 15  # its client area, and it has no frame


def keyboard_button(client):
    return e2e.panel_point(client, 960, 6480, 2895, 375)  # Command71 "Virtual Keyboard"


# Keys by their place in the window (twips): the frame's corner, then the key's within it.
MAIN, PAD = (120, 240), (120, 3000)
KEYS = {
    "a": (MAIN, 540, 1440, 255, 375),
    "q": (MAIN, 480, 960, 255, 375),
    "Bg": (MAIN, 0, 960, 420, 375),
    "+": (PAD, 2760, 600, 375, 375),
    "1": (PAD, 1320, 600, 375, 375),
    "strip": ((0, 0), 120 + 600, 60, 0, 255),
    "X": ((0, 0), 120 + 3840, 60, 495, 255),
}


def key_point(kbd, name):
    frame, left, top, width, height = KEYS[name]
    x, y = kbd[:2]
    return (x + round((frame[0] + left + width / 2) / 15),
            y + round((frame[1] + top + height / 2) / 15))


def click_and_place(d, point, start, count, what):
    """Clicks a key; the formula typed from start shows count symbols, the last the key's,
    while the pointer stays on the key."""
    e2e.click(d, point)
    sx, sy = start
    scr.wait_symbols(d, (sx - 12, sy - 45, sx + 200, sy + 50), count, what)
    e2e.check(d.pointer() == point, "the pointer left the %s key for %s" % (what, d.pointer()))


def formula(d, p, client, start, name):
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, name)
    sx, sy = start
    return shot, shot.groups((sx - 12, sy - 45, sx + 200, sy + 50))


def open_keyboard(d, client):
    e2e.click(d, keyboard_button(client))
    win = scr.shown_window(d, KEYBOARD)
    return win, d.geometry(win)


def type_case(d, p):
    _, client, start = scr.ready(d, p)
    x, y, w, _ = client
    win, kbd = open_keyboard(d, client)
    # Centred under the panel's column, 5800 twips below the main window's top edge.
    panel_left = (w + 8) * 15 - e2e.PANEL_WIDTH_TW
    expect = (round((panel_left + (4815 - 4560) / 2 + (x - 4) * 15) / 15),
              round((y * 15 - 505 + 5800) / 15), WIDTH, HEIGHT)
    e2e.check(all(abs(a - b) <= 1 for a, b in zip(kbd, expect)),
              "the keyboard stands at %s, not %s" % (kbd, expect))

    for n, key in enumerate(("a", "+", "1")):
        click_and_place(d, key_point(kbd, key), start, n + 1, key)
    _, found = formula(d, p, client, start, "keyboard_a_plus_1")
    e2e.check(len(found) == 3, "expected a, + and 1 at the insertion point %s, found %s"
              % (start, found))
    a, plus, one = found
    e2e.check(abs(a.x0 - start[0]) <= 3 and a.y0 < start[1] < a.y1,
              "the a %s does not stand at the insertion point %s" % (a, start))
    e2e.check(a.x1 < plus.x0 and plus.x1 < one.x0 and plus.y0 < start[1] < plus.y1,
              "a, + and 1 are not in a row: %s" % found)

    # " Bg": the main window turns blue, and so does the keyboard's own background.
    e2e.click(d, key_point(kbd, "Bg"))
    backgrounds = {"top border frame": (x + 300, y + 5),
                   "toolbar": (round(x + panel_left / 15 + 100), y + 30),
                   "keyboard margin": (kbd[0] + 3, kbd[1] + 100)}

    def blue():
        s = scr.Shot(d, p.folder, "keyboard_bulgarian")
        return s if all(s.rgb(*pt) == BLUE for pt in backgrounds.values()) else None
    e2e.wait_for(blue, 5, "the blue backgrounds of the Bulgarian layout",
                 lambda: str({n: scr.Shot(d, p.folder, "keyboard_late").rgb(*pt)
                              for n, pt in backgrounds.items()}))
    # The key in the place of "q" types the Cyrillic ya: a letter without the descender
    # of a q, standing on the line as the a does.
    click_and_place(d, key_point(kbd, "q"), start, 4, "ya")
    _, found = formula(d, p, client, start, "keyboard_ya")
    e2e.check(len(found) == 4, "expected a+1 and one letter behind it, found %s" % found)
    ya = found[3]
    e2e.check(ya.x0 > one.x1 and abs(ya.y1 - a.y1) <= 1 and ya.height >= a.height - 1,
              "the letter %s behind the 1 is no ya standing on the line as the a %s does"
              % (ya, a))

    # A drag by the strip: the window follows the pointer's travel.
    moved = drag(d, win, kbd, -400, -240, 40)
    # Nothing was typed or selected on the way.
    _, found = formula(d, p, client, start, "keyboard_after_drag")
    e2e.check(len(found) == 4, "the drag changed the formula: %s" % found)

    # "X" closes it; the button opens it again where it was dragged.
    e2e.click(d, key_point(moved, "X"))
    scr.window_gone(d, KEYBOARD)
    win, again = open_keyboard(d, client)
    e2e.check(again == moved, "the keyboard opened again at %s, not where it was, %s"
              % (again, moved))
    e2e.alive(p)
    e2e.passed("the keyboard types a+1 and ya, follows its strip, closes and opens again")


def drag(d, win, kbd, dx, dy, steps):
    """Drags the keyboard by its strip; gives where it stands afterwards."""
    strip = key_point(kbd, "strip")
    d.xdotool("mousemove", str(strip[0]), str(strip[1]))
    time.sleep(0.1)
    d.xdotool("mousedown", "1")
    for i in range(1, steps + 1):
        d.xdotool("mousemove", str(strip[0] + dx * i // steps), str(strip[1] + dy * i // steps))
    time.sleep(0.1)
    d.xdotool("mouseup", "1")
    target = (kbd[0] + dx, kbd[1] + dy)
    # The window follows motion reported relative to itself while the window manager is
    # still moving it: on a loaded machine a step can come out a pixel off the pointer's.
    return e2e.wait_for(lambda: (lambda g: g if abs(g[0] - target[0]) <= 2 and
                                 abs(g[1] - target[1]) <= 2 else None)(
        d.geometry(win)), 5, "the keyboard dragged to %s" % (target,),
        lambda: "it is at %s" % (d.geometry(win),))


def focus_under_wm(d, p):
    _, client, start = scr.ready(d, p)
    win, kbd = open_keyboard(d, client)
    e2e.check(kbd[2:] == (WIDTH, HEIGHT), "the keyboard's window is %s, not %dx%d with no frame"
              % (kbd, WIDTH, HEIGHT))
    info = d.run(["xprop", "-id", str(win), "WM_HINTS", "_NET_WM_STATE"]).decode()
    e2e.check("input focus: False" in info and "_NET_WM_STATE_ABOVE" in info,
              "the keyboard's window asks for the focus or is not above: %s" % info)
    # Off the main window, to the left, where another program's window will lie.
    kbd = drag(d, win, kbd, -(kbd[0] - 10), 0, 40)
    other, msg = scr.other_program(d, "260x200+40+%d" % (kbd[1] + 40), "another program")
    d.xdotool("windowactivate", "--sync", str(msg))
    e2e.wait_for(lambda: d.active_window() == msg, 5, "the other window active")
    # The window manager raised the other program's window: the keyboard stays above it.
    def above():
        order = d.stacking()  # one reading: the window manager restacks as it likes
        return win in order and msg in order and order.index(win) > order.index(msg)
    e2e.wait_for(above, 5,
                 "the keyboard above the other program's window",
                 lambda: "stacking %s, keyboard %d, other %d" % (d.stacking(), win, msg))
    margin = (kbd[0] + 3, kbd[1] + 150)  # inside the other window, on the keyboard's margin
    # Raised again over the other window, the keyboard is painted anew when it gets to it.
    scr.shot_when(d, p.folder, "keyboard_over_other", lambda s: s.rgb(*margin) == BLACK,
                  "the keyboard shown over the other window at %s" % (margin,))
    # Keys type into the formula while the other window keeps the focus.
    click_and_place(d, key_point(kbd, "a"), start, 1, "a")
    click_and_place(d, key_point(kbd, "1"), start, 2, "1")
    e2e.check(d.active_window() == msg,
              "a key click took the focus from the other window: %s is active" % d.active_window())
    drag(d, win, kbd, 60, -30, 15)
    e2e.check(d.active_window() == msg, "the drag took the focus")
    _, found = formula(d, p, client, start, "keyboard_wm_a1")
    e2e.check(len(found) == 2 and abs(found[0].x0 - start[0]) <= 3,
              "expected a1 at the insertion point %s, found %s" % (start, found))
    other.terminate()
    e2e.alive(p)
    e2e.passed("under a window manager the keyboard stays on top and never takes the focus")


def map_state(d, win):
    state = d.map_state(win)
    e2e.check(state, "the keyboard's window is gone")
    return state


def wait_map(d, win, state, what):
    e2e.wait_for(lambda: map_state(d, win) == state, 5, what,
                 lambda: "its map state is %s" % map_state(d, win))


def stays_unmapped(d, win, seconds):
    """Whether the keyboard stays hidden that long."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if map_state(d, win) != "IsUnMapped":
            return False
        time.sleep(0.02)
    return True


def minimise_under_wm(d, p):
    main, client, _ = scr.ready(d, p)
    win, kbd = open_keyboard(d, client)
    # Minimised, the main window takes the keyboard with it; restored, it brings it back
    # where it stood.
    d.xdotool("windowminimize", str(main))
    wait_map(d, win, "IsUnMapped", "the keyboard hidden with the minimised main window")
    d.xdotool("windowactivate", str(main))
    wait_map(d, win, "IsViewable", "the keyboard back with the restored main window")
    e2e.check(d.geometry(win) == kbd, "the keyboard came back at %s, not at %s"
              % (d.geometry(win), kbd))
    # A palette button held hides it; released off the button (no click) it stays hidden,
    # through a minimise and a restore too, until a release on the page shows it again.
    x, y, _, _ = client
    button = e2e.panel_point(client, 360, 2280)
    d.xdotool("mousemove", str(button[0]), str(button[1]))
    time.sleep(0.1)
    d.xdotool("mousedown", "1")
    wait_map(d, win, "IsUnMapped", "the keyboard hidden while the button is held")
    d.xdotool("mousemove", str(button[0]), str(button[1] + 300))
    time.sleep(0.1)
    d.xdotool("mouseup", "1")
    e2e.check(stays_unmapped(d, win, 0.5), "a press released off its button showed "
              "the keyboard")
    d.xdotool("windowminimize", str(main))
    e2e.wait_for(lambda: "Iconic" in d.wm_state(main), 5, "the main window minimised")
    e2e.check(stays_unmapped(d, win, 0.3), "the minimise showed the suspended keyboard")
    d.xdotool("windowactivate", str(main))
    e2e.wait_for(lambda: "Normal" in d.wm_state(main), 5, "the main window restored")
    e2e.check(stays_unmapped(d, win, 0.5), "the restore showed the suspended keyboard")
    page = (x + 450, y + 560)
    d.xdotool("mousemove", str(page[0]), str(page[1]))
    time.sleep(0.1)
    d.xdotool("click", "1")
    wait_map(d, win, "IsViewable", "the keyboard shown by a release on the page")
    e2e.check(d.geometry(win) == kbd, "the keyboard came back at %s, not at %s"
              % (d.geometry(win), kbd))
    e2e.alive(p)
    e2e.passed("the keyboard hides and comes back with the main window and its suspension")


CASES = {"type": (type_case, False), "focus-under-wm": (focus_under_wm, True),
         "minimise-under-wm": (minimise_under_wm, True)}

if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[2] not in CASES:
        e2e.fail("usage: test_keyboard.py BINARY " + "|".join(CASES))
    case, wm = CASES[sys.argv[2]]
    display = e2e.Display(window_manager=wm)
    case(display, e2e.Program(sys.argv[1], display))
