"""The pages are never changed behind the user's back, in the real window under a window
manager:

    equals-load   questions answered after " = " on three pages (one a fraction) are saved,
                  cleared and loaded back with "compute after =" ticked: the pages look as
                  they did, the clipboard keeps its picture, and a second save writes the
                  same bytes; in radians and in degrees (ARG: rad, deg)
    fraction-page a fraction closed with Home and undone until its bar is red again stays on
                  its page: on page 2 Insert begins a fraction of its own, and back on page 1
                  Home closes the first one
    delete-undo   after a drag and Delete, the first Undo brings the symbols back (ARG:
                  ctrl+z with Ctrl held, soon-ctrl+z within the hotkeys' rest after the
                  delete, quick-ctrl+z as one chord shorter than their poll, click on the
                  Undo button, ctrl-then-click: a tap of Ctrl, then the click)

Usage: test_page_state.py BINARY CASE [ARG]

Set KEL_E2E_SHOTS to a folder to keep the screenshots."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_editing as ed  # noqa: E402
import test_fraction as fr  # noqa: E402
import test_pages as pg  # noqa: E402
import test_reading as rd  # noqa: E402

# Round unticked, the angle unit, "compute after =" ticked.
OPTIONS = {"rad": b"||||||0|0|1", "deg": b"||||||0|1|1"}


def band(client, start):
    x, _, _, _ = client
    return (x + 30, start[1] - 40, x + 600, start[1] + 3 * 61 + 40)


def ctrl_z(d, quick):
    if quick:
        d.xdotool("key", "ctrl+z")
    else:
        e2e.ctrl_z_held(d)


def undo_button(w):
    return round(w.x + w.panel + 427 / 15), round(w.y + (240 + 247) / 15)


def type_questions(d, client, start):
    """Page 1: 2+3*4= and 9*9= on the next line; page 2: sin30=; page 3: 2/3 as a fraction
    and =; each answered by the program as it is typed."""
    w = pg.Window(client)
    d.xdotool("type", "--delay", "120", "2+3*4=")
    e2e.settled(d)
    d.xdotool("key", "Return")
    e2e.settled(d, quiet=0.5)
    d.xdotool("type", "--delay", "120", "9*9=")
    e2e.settled(d)
    for page, keys in ((2, ["s", "i", "n", "3", "0", "equal"]),
                       (3, ["Insert", "2", "Next", "3", "Home", "equal"])):
        e2e.click(d, w.page_button(page))
        pg.page_shown(d, w, page)
        e2e.click(d, start)  # the insertion point there
        time.sleep(0.5)  # the click taken, which no window shows on a page still empty
        d.xdotool("key", "--delay", "200", *keys)
        e2e.settled(d)
    e2e.click(d, w.page_button(1))
    pg.page_shown(d, w, 1)


def case_equals_load(d, p, client, start, unit):
    win = p.window()
    w = pg.Window(client)
    type_questions(d, client, start)
    scr.park(d, client)
    typed = scr.Shot(d, p.folder, "state_typed_" + unit)
    b = band(client, start)
    e2e.check(len(scr.glyphs(typed, start, start[1], start[0] + 400)) > 7,
              "2+3*4= was not answered as typed (shot %s)" % typed.path)

    first = os.path.join(p.folder, "questions.txt")
    e2e.click(d, w.save())
    pg.through_dialog(d, "Save As", first, "Plavetra")
    pg.restored(d, win, start)
    with open(first, "rb") as f:
        saved = f.read()
    e2e.check(saved.count(b"| = |") >= 4 and b"|3|" in saved, "the file holds %r" % saved)

    e2e.click(d, w.clear_all())
    box = scr.shown_window(d, "Oперация окончателно изтриване!")
    time.sleep(0.3)
    d.xdotool("key", "Return")
    scr.gone(d, box)
    scr.park(d, client)
    scr.shot_when(d, scr.scratch(), "state_cleared", lambda s: not s.groups(b),
                  "the pages empty after Clear All")
    clip_before = rd.clipboard(d)[:2]

    e2e.click(d, w.open())
    pg.through_dialog(d, "Open", first, "Внимание!")
    pg.restored(d, win, start)
    # A page a second, from page 1: the load is done once it has shown the last page it
    # fills.
    pg.page_shown(d, w, 3, timeout=10)
    e2e.click(d, w.page_button(1))
    pg.page_shown(d, w, 1)
    scr.park(d, client)
    loaded = scr.Shot(d, p.folder, "state_loaded_" + unit)
    e2e.check(loaded.region(b) == typed.region(b),
              "page 1 loaded does not look as it was saved (%s, %s)"
              % (loaded.path, typed.path))
    e2e.check(rd.clipboard(d)[:2] == clip_before,
              "loading changed the clipboard: %s, before %s" % (rd.clipboard(d)[:2], clip_before))

    second = os.path.join(p.folder, "again.txt")
    e2e.click(d, w.save())
    pg.through_dialog(d, "Save As", second, "Plavetra")
    pg.restored(d, win, start)
    with open(second, "rb") as f:
        again = f.read()
    e2e.check(again == saved, "the second save differs:\n%r\n%r" % (saved, again))
    # Seconds after the load: no reading of a loaded " = " came late either.
    e2e.check(rd.clipboard(d)[:2] == clip_before,
              "after the load the clipboard changed: %s, before %s"
              % (rd.clipboard(d)[:2], clip_before))
    e2e.alive(p)
    e2e.passed("equals-load (%s): the pages came back as saved, byte for byte" % unit)


def closed(d, p, client, box, name, what):
    """Waits for the fraction in box closed: its bar black, nothing red."""
    scr.park(d, client)
    scr.shot_when(d, p.folder, name,
                  lambda s: fr.find_bar(s, box, scr.is_dark) and not s.points(box, scr.is_red),
                  what)


def case_fraction_page(d, p, client, start, _arg):
    w = pg.Window(client)
    box = (start[0] - 30, start[1] - 44, start[0] + 250, start[1] + 50)
    d.xdotool("key", "--delay", "200", "1", "Insert", "2", "Next", "3", "Home")
    closed(d, p, client, box, "state_closed", "Home to close 1's fraction 2 over 3")
    d.xdotool("key", "4")
    e2e.settled(d)
    # Ctrl+Z until the bar is red (open) again: the 4 goes, then the Home. Each undo shows
    # as a change of the formula.
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "state_typed")
    for tries in range(4):
        before = shot.region(box)
        ctrl_z(d, quick=False)
        scr.park(d, client)
        shot, _ = scr.shot_until(d, p.folder, "state_undo_%d" % tries,
                                 lambda s: s.region(box) != before, timeout=3)
        red = fr.find_bar(shot, box, scr.is_red)
        if red:
            break
    e2e.check(red, "no Ctrl+Z reopened the fraction (shot %s)" % shot.path)

    e2e.click(d, w.page_button(2))
    pg.page_shown(d, w, 2)
    e2e.click(d, start)  # the insertion point there
    time.sleep(0.5)  # the click taken, which no window shows on a page still empty
    d.xdotool("key", "--delay", "200", "Insert", "5", "Next", "6")
    e2e.settled(d)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "state_page2_open")
    bar = fr.find_bar(shot, box, scr.is_red)
    e2e.check(bar, "Insert on page 2 put down no bar of its own (shot %s)" % shot.path)
    groups = [g for g in shot.groups(box)]
    above = [g for g in groups if g.y1 < bar.y0]
    below = [g for g in groups if g.y0 > bar.y1]
    e2e.check(len(above) == 1 and len(below) == 1,
              "page 2's fraction is not 5 over 6: above %s, below %s (shot %s)"
              % (above, below, shot.path))
    d.xdotool("key", "Home")
    closed(d, p, client, box, "state_page2_closed", "Home to close page 2's fraction")

    e2e.click(d, w.page_button(1))
    pg.page_shown(d, w, 1)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "state_page1_back")
    e2e.check(fr.find_bar(shot, box, scr.is_red),
              "page 1's fraction is no longer open (shot %s)" % shot.path)
    d.xdotool("key", "Home")
    closed(d, p, client, box, "state_page1_closed", "Home to close page 1's fraction")
    e2e.alive(p)
    e2e.passed("fraction-page: each page kept its own fraction")


def case_delete_undo(d, p, client, start, how):
    w = pg.Window(client)
    end, before, found = ed.typed(d, client, start, "12+34", p.folder, "state_typed")
    ed.select(d, found[3][0] + 5, end[0] + 28, start[1], client)
    d.xdotool("key", "Delete")
    # The hotkeys rest 1.5 s after a delete; a Ctrl+Z typed meanwhile undoes once they look.
    deleted_at = time.monotonic()
    scr.park(d, client)
    line = ed.line_band(start, start[1], end[0] + 30)
    scr.shot_when(d, p.folder, "state_deleted", lambda s: s.region(line) != before.region(line),
                  "Delete to take 34 off")
    time.sleep(max(0, deleted_at + (0.5 if how == "soon-ctrl+z" else 2.0) - time.monotonic()))
    if how == "ctrl-then-click":
        # A quick tap of Ctrl runs the after-placement step, which changes nothing.
        d.xdotool("key", "ctrl")
        time.sleep(0.5)
    if how in ("ctrl+z", "soon-ctrl+z", "quick-ctrl+z"):
        ctrl_z(d, quick=how == "quick-ctrl+z")
    else:
        e2e.click(d, undo_button(w))
    scr.park(d, client)
    scr.shot_when(d, p.folder, "state_undone", lambda s: s.region(line) == before.region(line),
                  "the first Undo (%s) to bring 34 back (shot %s)" % (how, before.path))
    e2e.alive(p)
    e2e.passed("delete-undo (%s): the first Undo brought the deleted symbols back" % how)


CASES = {"equals-load": case_equals_load, "fraction-page": case_fraction_page,
         "delete-undo": case_delete_undo}


def main(binary, case, arg):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, options=OPTIONS.get(arg, OPTIONS["rad"]))
    _, client, start = scr.ready(d, p)
    CASES[case](d, p, client, start, arg)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else "rad")
