"""The recovery file in the real window, under a window manager: the pages of a run that
ended without anyone to ask are never lost.

- offer-sigterm, offer-sighup, offer-x-server-killed: a Recovery.txt of pages 1 and 3 is
  there at the start; its offer ("Незаписани страници") is ended by the signal or by the
  X server going away. The file is as it was, and the next start offers it again.
- offer-escape: Escape on the offer keeps the file; Escape is no upper index for the
  formula (the next symbol stands on the line); after a SIGTERM the next start offers it
  again.

- placing-0.3, placing-0.8, placing-1.2: a Recovery.txt of pages 1, 5 and 12 is loaded
  from its offer (Return); a SIGTERM that many seconds later, while the pages are placed one
  a second, keeps all three pages in the file, as they were.
- placing-9000: the same with 9 000 records on page 1, placed a share at a time, and the
  SIGTERM half a second after Return.

- sigkill-12: ab+1 typed, and twelve seconds later the program is killed (SIGKILL, as the
  kernel's out-of-memory killer or a desktop's force quit ends it: no step of its own runs).
  The recovery file, kept current a few seconds after the typing, holds the page: the next
  start offers it, and Return puts it back as it was.

Usage: test_recovery.py BINARY CASE"""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
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
    box = scr.shown_window(d, OFFER)
    scr.active(d, box, "the offer")
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
    e2e.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the second run did not end cleanly:\n" + p.output())
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after the second run"
              % (RECOVERY, recovery_bytes(p)))
    e2e.passed("recovery: the %s under the offer keeps the file for the next start" % end)


def escape(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, prepare=left_by_earlier_run)
    _, client, start = scr.ready(d, p, offered=True)
    box = offer_active(d)
    d.xdotool("key", "Escape")
    scr.gone(d, box)
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after Escape"
              % (RECOVERY, recovery_bytes(p)))
    # The Escape answered the box: the next symbol goes on the line, not into an index.
    d.xdotool("mousemove", str(start[0]), str(start[1]))
    scr.wait_pointer(d, lambda q: q == start, "the pointer on the writing position")
    ui.type_symbol(d, "a", start)
    e2e.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the run did not end cleanly:\n" + p.output())
    # What was kept is still there as it was; the "a" typed went to a file of its own.
    e2e.check(recovery_bytes(p) == LEFT, "%s holds %r after the run"
              % (RECOVERY, recovery_bytes(p)))
    p.start(d)
    offer_active(d)
    e2e.alive(p)
    e2e.passed("recovery: Escape on the offer keeps the file, offered again at the next start")


def pages_one_five_twelve(big):
    text = b"".join(b"1|%d|%d|%d|24|False|" % (i, 300 + 15 * (i % 60), 900 + 600 * (i // 60))
                    for i in range(big))
    return text + b"5|p|1500|900|24|False|5|q|1800|900|24|False|12|z|1500|900|24|False|"


def quit_while_placing(binary, big, after):
    left = pages_one_five_twelve(big)

    def prepare(folder):
        with open(os.path.join(folder, RECOVERY), "wb") as f:
            f.write(left)
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, prepare=prepare)
    box = offer_active(d)
    d.xdotool("key", "Return")  # Load
    accepted = time.monotonic()
    scr.gone(d, box)
    wait = accepted + after - time.monotonic()
    e2e.check(wait > 0, "the offer took %.2f s to close, past the %.1f s to quit at"
              % (after - wait, after))
    time.sleep(wait)  # the moment of the quit is the case itself
    p.proc.send_signal(signal.SIGTERM)
    rc = p.wait_exit(10)
    e2e.check(rc == 0, "exit status %s:\n%s" % (rc, p.output()))
    kept = recovery_bytes(p) or b""
    e2e.check(kept == left, "%s holds %d of the %d records after a SIGTERM %.1f s after Load"
              % (RECOVERY, kept.count(b"|") // 6, left.count(b"|") // 6, after))
    e2e.passed("recovery: a SIGTERM %.1f s after loading %d records keeps every one"
               % (after, left.count(b"|") // 6))


def killed_after_typing(binary, seconds):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    _, client, start = scr.ready(d, p)
    x = client[0]
    ui.type_symbols(d, ui.AB_PLUS_1, start)
    typed_at = time.monotonic()
    band = (x + 30, start[1] - 30, x + 600, start[1] + 30)
    scr.park(d, client)
    typed = scr.Shot(d, p.folder, "recovery_typed")
    e2e.check(len(typed.groups(band)) >= 4, "ab+1 is not on the page: %s" % typed.groups(band))
    time.sleep(max(0, typed_at + seconds - time.monotonic()))  # the moment of the kill is the case
    p.proc.send_signal(signal.SIGKILL)
    p.wait_exit(10)
    kept = recovery_bytes(p) or b""
    e2e.check(kept.startswith(b"1|a|") and b"plus.gif" in kept and kept.count(b"|") == 24,
              "%s holds %r %d s after the typing" % (RECOVERY, kept, seconds))
    p.start(d)
    _, client, start = scr.ready(d, p, offered=True)
    box = offer_active(d)
    d.xdotool("key", "Return")  # Load
    scr.gone(d, box)
    scr.park(d, client)
    scr.shot_when(d, p.folder, "recovery_back", lambda s: s.region(band) == typed.region(band),
                  "page 1 back as it was typed before the kill (%s)" % typed.path)
    e2e.alive(p)
    e2e.passed("recovery: a SIGKILL %d s after typing loses nothing" % seconds)


def main(binary, case):
    if case.startswith("offer-") and case != "offer-escape":
        ended_while_offered(binary, case[len("offer-"):])
    elif case == "offer-escape":
        escape(binary)
    elif case.startswith("sigkill-"):
        killed_after_typing(binary, int(case[len("sigkill-"):]))
    elif case == "placing-9000":
        quit_while_placing(binary, 9000, 0.5)
    elif case.startswith("placing-"):
        quit_while_placing(binary, 2, float(case[len("placing-"):]))
    else:
        e2e.fail("no case " + case)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
