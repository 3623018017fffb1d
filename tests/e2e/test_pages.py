"""The pages in the real window, under a window manager: what is typed on page 1 comes back
after a visit to page 2; Ctrl+Z takes back the symbol typed last; the pages saved through
the Save dialog (xdotool types the file name into it) come back from the file, through the
Open dialog and the confirmation, after Clear All has emptied them, and page 1 then looks
as it did before the save.

Usage: test_pages.py BINARY

With KEL_E2E_SHOTS naming a folder, the screenshots it compares are kept there."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_ui as ui  # noqa: E402



class Window:
    """Where the main window's controls stand on the screen (their design places, twips)."""

    def __init__(self, client):
        self.client = client
        self.x, self.y, _, _ = client
        self.panel = e2e.panel_left(client)

    def in_panel(self, left, top, width, height):
        return e2e.panel_point(self.client, left, top, width, height)

    def page_button(self, page):
        k = page - 1
        # In the lower tool frame (6480 twips down the panel), three to a row.
        return self.in_panel(900 + (k % 3) * 660, 6480 + 2400 + (k // 3) * 360, 645, 345)

    def toolbar(self, left):
        # The toolbar stands over the panel's left edge, 240 twips down the window.
        return (round(self.x + self.panel + (left + 307) / 15), round(self.y + (240 + 247) / 15))

    def save(self):
        return self.toolbar(2370)

    def open(self):
        return self.toolbar(1740)

    def clear_all(self):
        return self.in_panel(3000, 5280, 1455, 255)


def page_shown(d, w, page, timeout=5):
    """Waits until the page's button is red, as the button of the page shown is: the page
    switch that made it so has put that page up too."""
    x, y = w.page_button(page)
    face = (x - 18, y - 9, x + 18, y + 9)  # inside the button's 43 x 23 px
    scr.shot_when(d, scr.scratch(), "page_%d_shown" % page,
                  lambda s: 2 * len(s.points(face, scr.is_red)) > 37 * 19,
                  "page %d shown, its button red" % page, timeout)


def guide_line(start):
    """Where the writing position's guide line runs down the bare page from its mark (start
    stands on the mark's column): red, for a second after each layout pass."""
    return start[0] - 3, start[1] + 100, start[0] + 3, start[1] + 400


def guide_line_gone(d, start, timeout=5):
    """Waits until the guide line is gone: it would stand in what a screenshot of the page
    is compared with."""
    scr.shot_when(d, scr.scratch(), "guide_line",
                  lambda s: not s.points(guide_line(start), scr.is_red),
                  "the guide line gone from the page", timeout)


def restored(d, win, start):
    """Waits for the main window restored after a dialog that minimised it, and for the
    restore's layout pass, which puts the pointer back on the insertion point (a click
    meanwhile would go there) and shows the guide line for a second; then for the line to
    go. The pass is read by the pointer it leaves on the page (the test left it on the
    panel's button that opened the dialog and has not moved it since): on a loaded machine
    the line's second was seen over before the test had seen the box close."""
    wm_normal(d, win)

    def on_page(q):
        x, y, w, h = d.geometry(win)
        return x <= q[0] < x + e2e.panel_left((x, y, w, h)) and y <= q[1] < y + h
    scr.wait_pointer(d, on_page, "the pointer back on the page by the restore's layout pass",
                     timeout=10)
    guide_line_gone(d, start)


def through_dialog(d, dialog, path, box):
    """Types the path into the file dialog of that title, then answers the message box of
    the other title that follows with its default button (Return)."""
    wid = scr.shown_window(d, dialog)
    # Typed before the dialog has the focus, the path would go elsewhere.
    scr.active(d, wid, "the dialog " + dialog)
    time.sleep(0.5)
    d.xdotool("type", "--delay", "20", path)
    time.sleep(0.3)
    d.xdotool("key", "Return")
    shown = scr.shown_window(d, box)
    scr.active(d, shown, "the message box " + box)
    time.sleep(0.3)
    d.xdotool("key", "Return")
    scr.gone(d, shown)


def wm_normal(d, win):
    e2e.wait_for(lambda: "Normal" in d.wm_state(win), 10, "the main window restored")


def main(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    win, client, start = scr.ready(d, p)
    x, y, _, _ = client
    at = ui.type_symbols(d, ui.AB_PLUS_1, start)
    band = (x + 30, start[1] - 30, x + 600, start[1] + 30)  # the formula's line, inside the borders
    scr.park(d, client)
    typed = scr.Shot(d, p.folder, "pages_typed")
    e2e.check(len(typed.groups(band)) >= 4, "ab+1 is not on the page: %s" % typed.groups(band))

    w = Window(client)
    e2e.click(d, w.page_button(2))
    scr.park(d, client)
    scr.shot_when(d, p.folder, "pages_page2", lambda s: not s.groups(band),
                  "page 2 empty on the formula's line")

    button = w.page_button(1)
    e2e.click(d, button)
    # The pointer stays on the button, where a next click would go; the insertion point is
    # where it was when page 1 was left: the 2 typed now stands after the "1".
    e2e.check(e2e.pointer_stays(d, button, 0.6),
              "the pointer left the page button for %s" % (d.pointer(),))
    d.xdotool("key", "2")
    scr.park(d, client)
    two = scr.shot_when(d, p.folder, "pages_two", lambda s: len(s.groups(band)) > 4,
                        "the 2 typed after the 1").groups(band)
    after = (two[-1].x0, two[-1].y0)
    e2e.check(0 <= two[-1].x0 - at[0] <= 4, "the 2 stands at %s, not after the 1 at %s"
              % (after, at))
    time.sleep(0.3)
    e2e.ctrl_z_held(d)
    scr.park(d, client)
    scr.shot_when(d, p.folder, "pages_undone", lambda s: s.region(band) == typed.region(band),
                  "page 1 after Ctrl+Z as it was before the 2 was typed (%s; the 2 went to %s)"
                  % (typed.path, after))

    # Save: the walk over the pages, then the dialog with the window minimised.
    path = os.path.join(p.folder, "pages.txt")
    e2e.click(d, w.save())
    through_dialog(d, "Save As", path, "Plavetra")  # the box names the file
    restored(d, win, start)
    with open(path, "rb") as f:
        saved = f.read()
    e2e.check(saved.startswith(b"1|a|") and saved.count(b"|") == 24 and b"plus.gif" in saved,
              "the file holds %r" % saved)

    e2e.click(d, w.clear_all())
    box = scr.shown_window(d, "Oперация окончателно изтриване!")
    time.sleep(0.3)
    d.xdotool("key", "Return")  # Yes
    scr.gone(d, box)
    scr.park(d, client)
    scr.shot_when(d, p.folder, "pages_cleared", lambda s: not s.groups(band),
                  "the formula's line empty after Clear All")

    e2e.click(d, w.open())
    through_dialog(d, "Open", path, "Внимание!")  # the confirmation: OK
    restored(d, win, start)
    scr.park(d, client)
    scr.shot_when(d, p.folder, "pages_loaded", lambda s: s.region(band) == typed.region(band),
                  "page 1 loaded from the file as it looked before the save (%s)" % typed.path)
    e2e.alive(p)
    e2e.passed("pages: switch, Ctrl+Z, save through the dialog, clear all, load")


if __name__ == "__main__":
    main(sys.argv[1])
