"""Correcting a formula in the real window: a drag over the end of a typed formula and Delete
take it off the page and leave the rest where it stood, Ctrl+Z brings it back; a drag, a
right click on the bare page and Paste in the pop-up put a copy where the right click was,
and holding the right move button moves the selection to the right; Cut in the pop-up takes
the selection away at once, and Paste puts it back elsewhere; a click beside the pop-up
closes it half a second later; Backspace at the end of the text takes back the symbol typed
last. After a drag over "abc", a click elsewhere on the page and a right click on the
selection, Paste reached straight from outside the pop-up and held 60 ms puts the copy where
the click was, three times over.

    test_editing.py BINARY CASE [--wm]
    CASE: delete, paste-move, cut, backspace, lost-focus, paste-at-click; --wm: under a
    window manager (openbox)

Set KEL_E2E_SHOTS to a folder to keep the screenshots.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_reading as rd  # noqa: E402

CASES = ("delete", "paste-move", "cut", "backspace", "lost-focus", "paste-at-click")
POPUP_TITLE = "       Изберете"
# Where the pop-up's buttons stand in its client area (twips), and the pop-up's place
# against the right click (screen twips).
PASTE = (360 + 2655 // 2, 1320 + 495 // 2)
CUT = (360 + 2655 // 2, 360 + 495 // 2)
# The right move button Command65 within the panel: Frame2 at 6480 twips down the panel,
# Frame7 at (3000, 2520) in it, the button at (840, 480) in Frame7, 375 twips square.
MOVE_RIGHT_TW = (3000 + 840 + 187, 6480 + 2520 + 480 + 187)


def line_band(start, line_y, right):
    return (start[0] - 12, line_y - scr.BAND, right, line_y + scr.BAND)


def looks_like(shot_a, a, line_a, shot_b, b, line_b):
    """Whether a symbol of one screenshot has the very pixels of a symbol of another."""
    if a[1] - a[0] != b[1] - b[0]:
        return False
    return (shot_a.region((a[0], line_a - scr.BAND, a[1], line_a + scr.BAND))
            == shot_b.region((b[0], line_b - scr.BAND, b[1], line_b + scr.BAND)))


def typed(d, client, start, text, shots, name):
    d.xdotool("type", "--delay", "120", text)
    end = e2e.settled(d)
    e2e.check(end[1] == start[1], "the formula left its line: the pointer is at %s" % (end,))
    scr.park(d, client)
    shot = scr.Shot(d, shots, name)
    found = scr.glyphs(shot, start, start[1], end[0] + 30)
    e2e.check(len(found) == len(text), "%s typed shows %d symbols: %s (shot %s)"
              % (text, len(found), found, shot.path))
    return end, shot, found


def select(d, start_x, end_x, line_y, client):
    """A drag with the left button over a part of a line; waits for the reading and its
    evaluation that follow the release."""
    rd.drag(d, (start_x, line_y - 29), (end_x, line_y + 26))
    d.xdotool("mouseup", "1")
    # The evaluation follows 300 ms after the release.
    scr.shot_when(d, scr.scratch(), "editing-selected",
                  lambda s: (rd.shows_text(s, rd.box(client, rd.TEXT21)) and
                             rd.shows_text(s, rd.box(client, rd.TEXT8))),
                  "the selection read above the page and its value in the result row")


def right_click(d, at):
    d.xdotool("mousemove", str(at[0]), str(at[1]))
    time.sleep(0.2)
    d.xdotool("click", "3")
    return scr.shown_window(d, POPUP_TITLE)


def popup_button(at, button):
    """A button of the pop-up opened by a right click at a screen point: its client area
    stands by the frame rule, 200 twips right of and 1000 twips above the pointer."""
    left = (15 * at[0] + 200) / 15 + 4
    top = (15 * at[1] - 1000 + 505) / 15
    return round(left + button[0] / 15), round(top + button[1] / 15)


def click_popup(d, at, button, wid):
    # Across the bare window to the button, as a hand goes.
    x, y = popup_button(at, button)
    d.xdotool("mousemove", str(x - 80), str(y - 20))
    time.sleep(0.1)
    d.xdotool("mousemove", str(x), str(y))
    time.sleep(0.15)
    d.xdotool("click", "1")
    scr.gone(d, wid)


def case_delete(d, p, client, start, shots):
    end, before, found = typed(d, client, start, "12+34", shots, "editing-typed")
    three, four = found[3], found[4]
    select(d, three[0] + 5, end[0] + 28, start[1], client)
    d.xdotool("key", "Delete")
    scr.park(d, client)
    gone = (three[0] - 1, start[1] - scr.BAND, four[1] + 2, start[1] + scr.BAND)
    shot = scr.shot_when(d, shots, "editing-deleted", lambda s: not s.points(gone),
                         "34 off the page after Delete")
    left = line_band(start, start[1], three[0] - 3)
    e2e.check(shot.region(left) == before.region(left),
              "12+ does not stand as it stood after the delete (shots %s, %s)"
              % (before.path, shot.path))

    time.sleep(1.5)  # the hotkeys rest 1.5 s after a delete, which is seen done
    e2e.ctrl_z_held(d)
    scr.park(d, client)
    whole = line_band(start, start[1], end[0] + 30)
    scr.shot_when(d, shots, "editing-undone", lambda s: s.region(whole) == before.region(whole),
                  "the formula 12+34 as typed after Ctrl+Z (shot %s)" % before.path)
    e2e.alive(p)
    e2e.passed("Delete took 34 off and left 12+ in place; Ctrl+Z brought it back")


def move_right_button(client):
    x, y, _, _ = client
    return (round(x + e2e.panel_left(client) + MOVE_RIGHT_TW[0] / 15),
            round(y + (120 + MOVE_RIGHT_TW[1]) / 15))


def case_paste_move(d, p, client, start, shots):
    end, before, found = typed(d, client, start, "12+34", shots, "editing-typed")
    one, two, plus = found[0], found[1], found[2]
    select(d, start[0] - 10, plus[0] + 3, start[1], client)
    # A right click on the bare page, a line below: the insertion point goes there.
    at = (start[0] + 40, start[1] + scr.LINE_GAP)
    wid = right_click(d, at)
    shot = scr.Shot(d, shots, "editing-popup")
    click_popup(d, at, PASTE, wid)
    scr.park(d, client)
    pasted = scr.shot_when(d, shots, "editing-pasted",
                           lambda s: len(scr.glyphs(s, at, at[1], at[0] + 80)) >= 2,
                           "the copy of 12 where the right click was (shot %s)" % shot.path)
    copies = scr.glyphs(pasted, (at[0], at[1]), at[1], at[0] + 80)
    e2e.check(len(copies) == 2, "%d symbols where the right click was, not the copy of 12: %s "
              "(shots %s, %s)" % (len(copies), copies, shot.path, pasted.path))
    e2e.check(at[0] - 1 <= copies[0][0] <= at[0] + 6,
              "the copy of 12 does not start at the insertion point %s: %s (shot %s)"
              % (at, copies, pasted.path))
    for src, cp in zip((one, two), copies):
        e2e.check(looks_like(before, src, start[1], pasted, cp, at[1]),
                  "the copy %s does not look like %s (shot %s)" % (cp, src, pasted.path))
    line = line_band(start, start[1], end[0] + 30)
    e2e.check(pasted.region(line) == before.region(line),
              "the formula itself changed with the paste (shots %s, %s)"
              % (before.path, pasted.path))

    # Holding the right move button moves the selection, the 12 of the first line.
    button = move_right_button(client)
    d.xdotool("mousemove", str(button[0]), str(button[1]))
    time.sleep(0.2)
    d.xdotool("mousedown", "1")
    time.sleep(0.5)
    d.xdotool("mouseup", "1")
    scr.park(d, client)

    def moved_ones(shot):
        return [g for g in scr.glyphs(shot, start, start[1], start[0] + 500)
                if g[0] > one[0] and looks_like(before, one, start[1], shot, g, start[1])]
    moved = scr.shot_when(d, shots, "editing-moved", moved_ones,
                          "a 1 right of where it stood after holding the right move button")
    now = scr.glyphs(moved, start, start[1], start[0] + 500)
    ones = moved_ones(moved)
    e2e.check(len(ones) == 1, "no 1 right of where it stood after holding the right move "
              "button: %s (shot %s)" % (now, moved.path))
    shift = ones[0][0] - one[0]
    twos = [g for g in now if g[0] == two[0] + shift]
    e2e.check(twos and looks_like(before, two, start[1], moved, twos[0], start[1]),
              "the 2 did not move with the 1 by %d px (shot %s)" % (shift, moved.path))
    e2e.check(not moved.points((one[0] - 1, start[1] - scr.BAND, two[1] + 1,
                                start[1] + scr.BAND)) or
              shift < two[1] - one[0],
              "12 is still where it stood (shot %s)" % moved.path)
    # The rest of the formula stays where it stood, unless the 12 went over it.
    rest = (plus[0] - 1, start[1] - scr.BAND, found[4][1] + 1, start[1] + scr.BAND)
    if ones[0][0] > found[4][1] + 2:
        e2e.check(moved.region(rest) == before.region(rest),
                  "+34 moved with the selection (shot %s)" % moved.path)
    # The copy is no part of the selection: it stays.
    e2e.check(scr.glyphs(moved, at, at[1], at[0] + 80) == copies,
              "the copy moved with the selection (shot %s)" % moved.path)
    e2e.alive(p)
    e2e.passed("Paste put a copy of 12 at the right click; the right move button moved 12 "
               "%d px to the right" % shift)


def case_cut(d, p, client, start, shots):
    end, before, found = typed(d, client, start, "12+34", shots, "editing-typed")
    three, four = found[3], found[4]
    select(d, three[0] + 5, end[0] + 28, start[1], client)
    at = (start[0] + 200, start[1] + scr.LINE_GAP)
    wid = right_click(d, at)
    click_popup(d, at, CUT, wid)
    scr.park(d, client)
    gone = (three[0] - 1, start[1] - scr.BAND, four[1] + 2, start[1] + scr.BAND)
    scr.shot_when(d, shots, "editing-cut", lambda s: not s.points(gone),
                  "34 off the page after Cut")
    # The next pop-up has nothing left to cut: Paste puts the cut 34 where it was opened.
    there = (start[0] + 40, start[1] + 2 * scr.LINE_GAP)
    wid = right_click(d, there)
    shown = scr.Shot(d, shots, "editing-paste-only")
    cut_button = popup_button(there, CUT)
    face = shown.rgb(*cut_button)
    e2e.check(min(face) > 230, "the second pop-up still shows Cut (%s at %s, shot %s)"
              % (face, cut_button, shown.path))
    click_popup(d, there, PASTE, wid)
    scr.park(d, client)
    pasted = scr.shot_when(d, shots, "editing-cut-pasted",
                           lambda s: len(scr.glyphs(s, there, there[1], there[0] + 80)) >= 2,
                           "the cut 34 where the pop-up was opened")
    copies = scr.glyphs(pasted, there, there[1], there[0] + 80)
    e2e.check(len(copies) == 2 and all(looks_like(before, s, start[1], pasted, c, there[1])
                                       for s, c in zip((three, four), copies)),
              "34 did not come back where the pop-up was opened: %s (shot %s)"
              % (copies, pasted.path))
    e2e.alive(p)
    e2e.passed("Cut took 34 away at once; Paste put it back elsewhere")


def case_backspace(d, p, client, start, shots):
    d.xdotool("type", "--delay", "120", "12")
    e2e.settled(d, quiet=0.5)
    scr.park(d, client)
    two = scr.Shot(d, shots, "editing-12")
    d.xdotool("type", "--delay", "120", "3")
    end = e2e.settled(d, quiet=0.5)
    d.xdotool("key", "BackSpace")
    scr.park(d, client)
    band = line_band(start, start[1], end[0] + 30)
    scr.shot_when(d, shots, "editing-backspace", lambda s: s.region(band) == two.region(band),
                  "12 left after Backspace after 123 (shot %s)" % two.path)
    e2e.alive(p)
    e2e.passed("Backspace at the end of 123 left 12")


def case_lost_focus(d, p, client, start, shots):
    end, before, found = typed(d, client, start, "12+34", shots, "editing-typed")
    select(d, start[0] - 10, end[0] + 28, start[1], client)
    at = (start[0] + 40, start[1] + scr.LINE_GAP)
    wid = right_click(d, at)
    time.sleep(1.0)
    e2e.check(d.map_state(wid) == "IsViewable", "the pop-up closed by itself")
    # A click on the page, away from it.
    d.xdotool("mousemove", str(start[0] + 300), str(start[1] + 250))
    time.sleep(0.2)
    d.xdotool("click", "1")
    scr.gone(d, wid, timeout=3)
    scr.park(d, client)
    shot = scr.Shot(d, shots, "editing-closed")
    whole = line_band(start, start[1], end[0] + 30)
    e2e.check(shot.region(whole) == before.region(whole),
              "the formula changed (shots %s, %s)" % (before.path, shot.path))
    e2e.alive(p)
    e2e.passed("a click beside the pop-up closed it")


def case_paste_at_click(d, p, client, start, shots):
    x, y, _, _ = client
    # The places of the report, by the client area's corner at (294, 67).
    line = (x + 126, y + 450)
    d.xdotool("mousemove", str(line[0]), str(line[1]))
    time.sleep(0.1)
    d.xdotool("click", "1")
    time.sleep(0.3)
    end, before, found = typed(d, client, line, "abc", shots, "editing-abc")
    on_selection = (x + 150, y + 450)
    paste = (x + 357, y + 521)
    e2e.check(abs(popup_button(on_selection, PASTE)[0] - paste[0]) < 2655 / 30 - 4 and
              abs(popup_button(on_selection, PASTE)[1] - paste[1]) < 495 / 30 - 2,
              "%s is not on the pop-up's Paste button" % (paste,))
    clicks = [(x + 400, y + 650), (x + 400, y + 590), (x + 400, y + 710)]
    page = (x + 22, y + 22, x + 660, y + 730)
    landed = []
    for n, at in enumerate(clicks):
        scr.park(d, client)
        bare = {g.box for g in scr.Shot(d, scr.scratch(), "editing-before-paste").groups(page)}
        # The selection window over abc while the button is down; gone once the release
        # has been taken and the selection read.
        rd.drag(d, (line[0] - 10, line[1] - 29), (end[0] + 20, line[1] + 26))
        outline = (line[0] - 10, line[1] - 29, end[0] + 20, line[1] + 26)

        def outlined(sh):
            return sh.points(outline, lambda px: px == rd.OUTLINE)
        scr.shot_when(d, scr.scratch(), "editing-outlined", outlined,
                      "the selection window over abc")
        d.xdotool("mouseup", "1")
        scr.shot_when(d, scr.scratch(), "editing-read", lambda sh: not outlined(sh),
                      "the selection read and its window gone")
        d.xdotool("mousemove", str(at[0]), str(at[1]))
        time.sleep(0.1)
        d.xdotool("click", "1")
        time.sleep(0.3)
        wid = right_click(d, on_selection)
        # Straight onto Paste from outside the pop-up, held as a hand holds it.
        d.xdotool("mousemove", str(paste[0]), str(paste[1]), "sleep", "0.02", "mousedown", "1",
                  "sleep", "0.06", "mouseup", "1")
        scr.gone(d, wid)

        def new_ink(sh):
            return [g for g in sh.groups(page) if g.box not in bare]
        # The copy, with the pointer left where the program put it (the caret, 3 px wide,
        # beside it); none shows when it lies over an earlier one.
        deadline = time.monotonic() + e2e.room(5)
        while (len([g for g in new_ink(scr.Shot(d, scr.scratch(), "editing-pasting"))
                    if g.width > 4]) < 3 and time.monotonic() < deadline):
            time.sleep(0.1)
        scr.park(d, client)
        pasted = scr.Shot(d, shots, "editing-pasted-%d" % n)
        new = new_ink(pasted)
        begins = (new[0].x0, (new[0].y0 + new[0].y1) // 2) if new else None
        landed.append((at, begins, pasted.path))
    wrong = [r for r in landed if not r[1] or not (r[0][0] - 1 <= r[1][0] <= r[0][0] + 6 and
                                                   abs(r[1][1] - r[0][1]) <= 8)]
    e2e.check(not wrong, "%d of 3 copies not at the click: (click, where the copy begins, "
              "shot) %s" % (len(wrong), wrong))
    e2e.alive(p)
    e2e.passed("3 of 3 copies pasted from the pop-up stand at the click %s" % (clicks,))


def main(binary, case, wm=False):
    e2e.check(case in CASES, "no case " + case)
    d = e2e.Display(window_manager=wm)
    p = e2e.Program(binary, d, options=rd.OPTIONS)
    _, client, start = scr.ready(d, p)
    {"delete": case_delete, "paste-move": case_paste_move, "cut": case_cut,
     "backspace": case_backspace, "lost-focus": case_lost_focus,
     "paste-at-click": case_paste_at_click}[case](
        d, p, client, start, p.folder)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], "--wm" in sys.argv[3:])
