"""Quitting never loses the pages, in the real window.

- sigterm, sighup, x-server-killed: ab+1 typed, the run ends without anyone to ask; the
  pages are in Recovery.txt beside Options.txt, and the next start offers them in a box of
  their own: Return (Load) puts page 1 back as it was, and the file stays until the pages
  are saved.
- close-box-cancel-no (under openbox): ab+1 typed, the window manager's close request
  asks Yes/No/Cancel; Escape keeps the window, the next close answered No ends the
  program and leaves no file.
- close-box-yes (under openbox): Yes runs the save; the program ends once the file is
  written.
- sighup-under-nohup: started by nohup, the program outlives a hang-up: after it, the next
  symbol is still placed, and SIGTERM then keeps both in Recovery.txt.
- save-past-file-size-limit (under openbox): under a file-size limit of 1 KB (ulimit -f 1)
  60 symbols are saved: the save fails into its box, no temporary file is left, and the
  program goes on.

Usage: test_quit.py BINARY CASE"""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_pages as pg  # noqa: E402
import test_ui as ui  # noqa: E402

RECOVERY = "Recovery.txt"


def formula(d, p, client, start, name):
    """A screenshot of the formula's line, the pointer parked away from it."""
    x = client[0]
    band = (x + 30, start[1] - 30, x + 600, start[1] + 30)
    scr.park(d, client)
    return scr.Shot(d, p.folder, name), band


def temporary_files(p):
    return [f for f in os.listdir(p.folder) if f.endswith(".tmp")]


def other_window(d, name, not_this, timeout=10):
    """A shown window of that name other than the one given (the box over the main
    window, which has the same title)."""
    def found():
        out = d.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                    check_rc=False).decode().split()
        others = [int(w) for w in out if int(w) != not_this]
        return others[0] if others else None
    return e2e.wait_for(found, timeout, "a box titled " + name)


def recovery(binary, end):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    _, client, start = scr.ready(d, p)
    ui.type_symbols(d, ui.AB_PLUS_1, start)
    typed, band = formula(d, p, client, start, "quit_typed")
    e2e.check(len(typed.groups(band)) >= 4, "ab+1 is not on the page: %s" % typed.groups(band))

    status = 0
    if end == "sigterm":
        p.proc.send_signal(signal.SIGTERM)
    elif end == "sighup":
        p.proc.send_signal(signal.SIGHUP)
    else:
        d.server.kill()
        status = 1
    rc = p.wait_exit(10)
    e2e.check(rc == status, "exit status %s, expected %s:\n%s" % (rc, status, p.output()))
    path = os.path.join(p.folder, RECOVERY)
    e2e.check(os.path.exists(path), "no %s after the %s" % (RECOVERY, end))
    with open(path, "rb") as f:
        saved = f.read()
    e2e.check(saved.startswith(b"1|a|") and b"plus.gif" in saved and saved.count(b"|") == 24,
              "%s holds %r" % (RECOVERY, saved))
    e2e.check(p.options() == b"||||||1|0|1", "Options.txt is %r" % p.options())
    e2e.check(not temporary_files(p), "temporary files left: %s" % temporary_files(p))

    if end == "x-server-killed":
        d = e2e.Display()
    p.start(d)
    _, client, start = scr.ready(d, p, offered=True)
    box = scr.shown_window(d, "Незаписани страници")
    time.sleep(0.3)
    d.xdotool("key", "Return")  # Load
    scr.gone(d, box)
    scr.park(d, client)
    scr.shot_when(d, p.folder, "quit_recovered", lambda s: s.region(band) == typed.region(band),
                  "page 1 after the restart as it looked before the %s (%s)" % (end, typed.path))
    e2e.check(os.path.exists(path), "%s removed before the pages were saved" % RECOVERY)
    e2e.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the second run did not end cleanly:\n" + p.output())
    # The page came back from a file nobody chose: it is still unsaved, and kept again.
    e2e.check(os.path.exists(path), "the recovered page was not kept at the second end")
    e2e.passed("quit: %s keeps the page for the next start" % end)


def close_box(binary, answer):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    win, client, start = scr.ready(d, p)
    ui.type_symbols(d, ui.AB_PLUS_1, start)
    scr.park(d, client)
    d.close_request(win)
    box = other_window(d, "Formidrel", win)
    scr.active(d, box, "the box")
    shots = os.environ.get("KEL_E2E_SHOTS")
    if shots:
        d.screenshot(os.path.join(shots, "quit_close_box.png"))
    time.sleep(0.3)
    if answer == "cancel-no":
        d.xdotool("key", "Escape")  # Cancel
        scr.gone(d, box)
        time.sleep(0.5)
        e2e.alive(p)
        e2e.check(d.map_state(win) == "IsViewable", "the window did not stay after Cancel")
        d.close_request(win)
        box = other_window(d, "Formidrel", win)
        scr.active(d, box, "the box")
        time.sleep(0.3)
        d.xdotool("key", "n")  # No
        rc = p.wait_exit(10)
        e2e.check(rc == 0, "exit status %s after No:\n%s" % (rc, p.output()))
    else:
        d.xdotool("key", "Return")  # Yes, the default
        path = os.path.join(p.folder, "pages.txt")
        pg.through_dialog(d, "Save As", path, "Plavetra")
        rc = p.wait_exit(10)
        e2e.check(rc == 0, "exit status %s after Yes:\n%s" % (rc, p.output()))
        with open(path, "rb") as f:
            saved = f.read()
        e2e.check(saved.startswith(b"1|a|") and saved.count(b"|") == 24,
                  "the file holds %r" % saved)
    e2e.check(not os.path.exists(os.path.join(p.folder, RECOVERY)),
              "%s left after the user answered" % RECOVERY)
    e2e.check(p.options() == b"||||||1|0|1", "Options.txt is %r" % p.options())
    e2e.passed("quit: the close box asks Yes/No/Cancel (%s)" % answer)


def save_past_file_size_limit(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, file_size_limit=1024)
    win, client, start = scr.ready(d, p)
    at = start
    for line in range(3):
        at = ui.type_symbols(d, "a" * 20, at)
        if line < 2:
            d.xdotool("key", "Return")
            at = scr.wait_pointer(d, lambda q, y=at[1]: q[1] == y + 61,
                                  "the next line under the writing position")
    path = os.path.join(p.folder, "pages.txt")
    e2e.click(d, pg.Window(client).save())
    pg.through_dialog(d, "Save As", path, "Plavetra")  # the box that says it failed
    pg.restored(d, win, start)
    e2e.alive(p)
    e2e.check(not os.path.exists(path), "a file of %d bytes was written past the limit"
              % (os.path.getsize(path) if os.path.exists(path) else 0))
    e2e.check(not temporary_files(p), "temporary files left: %s" % temporary_files(p))
    # The program goes on: the next symbol is placed.
    d.xdotool("mousemove", str(at[0]), str(at[1]))
    time.sleep(0.3)
    ui.type_symbol(d, "b", d.pointer())
    e2e.alive(p)
    e2e.passed("quit: a save past the file-size limit fails into its box, the program goes on")


def hang_up_under_nohup(binary):
    d = e2e.Display()
    p = e2e.Program(binary, d, launcher=["nohup"])
    _, client, start = scr.ready(d, p)
    at = ui.type_symbol(d, "a", start)
    p.proc.send_signal(signal.SIGHUP)
    # A program that took the hang-up closes at once, before the next key is placed.
    ui.type_symbol(d, "b", at)
    e2e.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    rc = p.wait_exit(10)
    e2e.check(rc == 0, "exit status %s after SIGTERM:\n%s" % (rc, p.output()))
    path = os.path.join(p.folder, RECOVERY)
    e2e.check(os.path.exists(path), "no %s after SIGTERM" % RECOVERY)
    with open(path, "rb") as f:
        saved = f.read()
    e2e.check(saved.startswith(b"1|a|") and b"|1|b|" in saved and saved.count(b"|") == 12,
              "%s holds %r" % (RECOVERY, saved))
    e2e.passed("quit: a run under nohup outlives a hang-up")


def main(binary, case):
    if case in ("sigterm", "sighup", "x-server-killed"):
        recovery(binary, case)
    elif case == "close-box-cancel-no":
        close_box(binary, "cancel-no")
    elif case == "close-box-yes":
        close_box(binary, "yes")
    elif case == "sighup-under-nohup":
        hang_up_under_nohup(binary)
    elif case == "save-past-file-size-limit":
        save_past_file_size_limit(binary)
    else:
        e2e.fail("no case " + case)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
