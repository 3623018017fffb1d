"""The program's own boxes under a window manager. The key that answers a box is not typed
into the formula: after Clear All answered No with Escape, and after a load confirmed with
Return, the next digit stands at the insertion point the page had before the box, full size
(and typing goes on after the Open dialog that minimised the window).
A session's or terminal's signal while a box or a file dialog is open ends the program
cleanly: exit status 0 and the options file written.

Usage: test_boxes.py BINARY CASE
  CASE: clear-all-escape, load-return, or BOX-SIGNAL with BOX one of clear-all, load,
  refusal, open-dialog and SIGNAL one of term, hup, int."""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_pages as pages  # noqa: E402
import test_ui as ui  # noqa: E402

CLEAR_ALL = "Oперация окончателно изтриване!"
CONFIRM = "Внимание!"
REFUSAL = "Plavetra"
PAGE_FILE = b"1|b|900|1400|24|False|"


def start(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    win, client, writing = scr.ready(d, p)
    # "a1": the 1's width is what a full-size digit takes.
    at = ui.type_symbol(d, "a", writing)
    after = ui.type_symbol(d, "1", at)
    return d, p, client, writing, after, after[0] - at[0]


def open_box(d, p, client, writing, which):
    """Opens the box or dialog; gives its window."""
    w = pages.Window(client)
    if which == "clear-all":
        pages.guide_line_gone(d, writing)
        e2e.click(d, w.clear_all())
        return scr.shown_window(d, CLEAR_ALL)
    path = os.path.join(p.folder, "pages.txt" if which != "refusal" else "bad.txt")
    with open(path, "wb") as f:
        f.write(PAGE_FILE if which != "refusal" else b"1|b|900")
    e2e.click(d, w.open())
    dialog = scr.shown_window(d, "Open")
    if which == "open-dialog":
        return dialog
    # Typed before the dialog has the focus, the path would go elsewhere.
    scr.active(d, dialog, "the Open dialog")
    time.sleep(0.5)
    d.xdotool("type", "--delay", "20", path)
    time.sleep(0.3)
    d.xdotool("key", "Return")
    return scr.shown_window(d, CONFIRM if which == "load" else REFUSAL)


def answered_by_key(binary, which, key):
    d, p, client, writing, at, digit = start(binary)
    box = open_box(d, p, client, writing, which)
    scr.active(d, box, "the box")
    time.sleep(0.3)
    # Pressed in the box, which closes at once; let go after it has gone.
    d.xdotool("keydown", key)
    scr.gone(d, box)
    time.sleep(0.1)
    d.xdotool("keyup", key)
    if which == "load":
        # The window back from the Open dialog, and the file's page 1 in place of the one
        # typed: the "1" gone.
        pages.restored(d, p.window(), writing)
        scr.park(d, client)
        one = (at[0] - digit + 1, at[1] - scr.BAND, at[0] - 1, at[1] + scr.BAND)
        scr.shot_when(d, scr.scratch(), "boxes_loaded", lambda s: not s.points(one),
                      "the loaded page in place of the one typed")
    else:
        # Nothing shows the key let go: the program's key polls (every 50 ms) look at it
        # many times over before the digit comes.
        time.sleep(1.0)
        scr.park(d, client)
    after = ui.type_symbol(d, "2", at)
    e2e.check(after == (at[0] + digit, at[1]),
              "the 2 went from %s to %s, a full-size digit from there ends at %s"
              % (at, after, (at[0] + digit, at[1])))
    e2e.alive(p)
    e2e.passed("boxes: %s answered with %s" % (which, key))


def ended_by_signal(binary, which, sig):
    d, p, client, writing, _, _ = start(binary)
    open_box(d, p, client, writing, which)
    time.sleep(0.3)
    p.proc.send_signal(sig)
    rc = p.wait_exit(10)
    out = p.output()
    e2e.check(rc == 0, "exit status %s; output:\n%s" % (rc, out))
    options = p.options()
    e2e.check(options is not None and options.count(b"|") == 8,
              "the options file holds %r" % (options,))
    e2e.passed("boxes: %s ended by signal %d" % (which, sig))


SIGNALS = {"term": signal.SIGTERM, "hup": signal.SIGHUP, "int": signal.SIGINT}


def main(binary, case):
    if case == "clear-all-escape":
        answered_by_key(binary, "clear-all", "Escape")
    elif case == "load-return":
        answered_by_key(binary, "load", "Return")
    else:
        which, sig = case.rsplit("-", 1)
        ended_by_signal(binary, which, SIGNALS[sig])


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
