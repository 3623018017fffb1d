"""The recovery file in the real window, under a window manager: the pages of a run that
ended without anyone to ask are never lost.

- offer-sigterm, offer-sighup, offer-x-server-killed: a Recovery.txt of pages 1 and 3 is
  there at the start; its offer ("Незаписани страници") is ended by the signal or by the
  X server going away. The file is as it was, and the next start offers it again.
- offer-escape: Escape on the offer keeps the file; Escape is no upper index for the
  formula (the next symbol stands on the line); after a SIGTERM the next start offers it
  again.

Usage: test_recovery.py BINARY CASE"""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_pages as pg  # noqa: E402
import test_ui as ui  # noqa: E402

RECOVERY = "Recovery.txt"
OFFER = "Незаписани страници"
LEFT = b"1|a|1500|900|24|False|1|b|1800|900|24|False|3|c|1500|900|24|False|"


def left_by_earlier_run(folder):
    with open(os.path.join(folder, RECOVERY), "wb") as f:
        f.write(LEFT)


def recovery_bytes(p):
    path = os.path.join(p.folder, RECOVERY)
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def offer_active(d):
    """The offer once it has the keyboard: a key pressed before would go elsewhere."""
    box = pg.visible_window(d, OFFER)
    e2e.wait_for(lambda: d.run(["xdotool", "getactivewindow"], check_rc=False).strip() ==
                 box.encode(), 10, "the offer active")
    return box


def ended_while_offered(binary, end):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, prepare=left_by_earlier_run)
    offer_active(d)
    status = 0
    if end == "x-server-killed":
        d.server.kill()
        status = 1
    else:
        p.proc.send_signal(signal.SIGTERM if end == "sigterm" else signal.SIGHUP)
    rc = p.wait_exit(10)
    e2e.check(rc == status, "exit status %s, expected %s:\n%s" % (rc, status, p.output()))
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after the %s under its offer"
              % (RECOVERY, recovery_bytes(p), end))
    if end == "x-server-killed":
        d = e2e.Display(window_manager=True)
    p.start(d)
    offer_active(d)
    ui.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the second run did not end cleanly:\n" + p.output())
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after the second run"
              % (RECOVERY, recovery_bytes(p)))
    e2e.passed("recovery: the %s under the offer keeps the file for the next start" % end)


def escape(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, prepare=left_by_earlier_run)
    _, client, start = scr.ready(d, p)
    box = offer_active(d)
    d.xdotool("key", "Escape")
    pg.gone(d, box)
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after Escape"
              % (RECOVERY, recovery_bytes(p)))
    # The Escape answered the box: the next symbol goes on the line, not into an index.
    d.xdotool("mousemove", str(start[0]), str(start[1]))
    scr.wait_pointer(d, lambda q: q == start, "the pointer on the writing position")
    ui.type_symbol(d, "a", start)
    ui.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the run did not end cleanly:\n" + p.output())
    # What was kept is still there as it was; the "a" typed went to a file of its own.
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after the run"
              % (RECOVERY, recovery_bytes(p)))
    p.start(d)
    offer_active(d)
    ui.alive(p)
    e2e.passed("recovery: Escape on the offer keeps the file, offered again at the next start")


def main(binary, case):
    if case.startswith("offer-") and case != "offer-escape":
        ended_while_offered(binary, case[len("offer-"):])
    elif case == "offer-escape":
        escape(binary)
    else:
        e2e.fail("no case " + case)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
