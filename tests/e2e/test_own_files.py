"""A save onto the program's own recovery file, in the real window under a window manager:
the save is refused in the failed save's box (its warning sign, not the information sign of
a save that was written), and the file and the pages stay.

- save-onto-recovery: ab+1 typed; once Recovery.txt has appeared beside the binary, Save
  is given its full path. Seconds later the file holds what it held; after a SIGTERM it
  holds the page, and the next start offers it.
- save-onto-offered: a Recovery.txt of pages 1 and 3 is there at the start, loaded from its
  offer (Return); Save is given the path the offer showed. The file keeps both pages, also
  after a SIGTERM, and the next start offers it again.

Usage: test_own_files.py BINARY CASE"""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_pages as pg  # noqa: E402
import test_recovery as rec  # noqa: E402
import test_ui as ui  # noqa: E402

RECOVERY = rec.RECOVERY
# Past the seconds in which a file taken for saved would be removed, or written again.
SETTLE_S = 7


def is_yellow(rgb):
    r, g, b = rgb
    return r >= 200 and g >= 200 and b < 100


def save_refused(d, p, win, client, start, path):
    """Save, the dialog given this path: the box that follows is the failed save's, whose
    icon is the warning sign (yellow); answered, the window comes back."""
    e2e.click(d, pg.Window(client).save())
    dialog = scr.shown_window(d, "Save As")
    scr.active(d, dialog, "the dialog Save As")
    time.sleep(0.5)
    d.xdotool("type", "--delay", "20", path)
    time.sleep(0.3)
    d.xdotool("key", "Return")
    box = scr.shown_window(d, "Plavetra")
    scr.active(d, box, "the box after the save")
    x, y, _, _ = d.geometry(box)
    shot = scr.shot_when(d, p.folder, "own_files_box",
                         lambda s: len(s.points((x + 4, y + 4, x + 52, y + 52), is_yellow)) > 100,
                         "the failed save's box (its warning sign) after a save onto %s" % path)
    time.sleep(0.3)
    d.xdotool("key", "Return")
    scr.gone(d, box)
    pg.restored(d, win, start)
    return shot


def main(binary, case):
    d = e2e.Display(window_manager=True)
    if case == "save-onto-recovery":
        p = e2e.Program(binary, d)
        win, client, start = scr.ready(d, p)
        ui.type_symbols(d, ui.AB_PLUS_1, start)
        e2e.wait_for(lambda: rec.recovery_bytes(p), 15, "%s beside the binary" % RECOVERY)
    elif case == "save-onto-offered":
        p = e2e.Program(binary, d, prepare=rec.left_by_earlier_run)
        win, client, start = scr.ready(d, p, offered=True)
        box = rec.offer_active(d)
        time.sleep(0.3)
        d.xdotool("key", "Return")  # Load
        scr.gone(d, box)
        time.sleep(3)  # pages 1 and 3 placed, a second apart
    else:
        e2e.fail("no case " + case)
    path = os.path.join(p.folder, RECOVERY)
    kept = rec.recovery_bytes(p)
    e2e.check(kept.startswith(b"1|a|"), "%s holds %r before the save" % (RECOVERY, kept))

    save_refused(d, p, win, client, start, path)
    time.sleep(SETTLE_S)
    e2e.alive(p)
    e2e.check(rec.recovery_bytes(p) == kept, "%s holds %r %d s after the save onto it, not %r"
              % (RECOVERY, rec.recovery_bytes(p), SETTLE_S, kept))
    p.proc.send_signal(signal.SIGTERM)
    rc = p.wait_exit(10)
    e2e.check(rc == 0, "exit status %s:\n%s" % (rc, p.output()))
    after = rec.recovery_bytes(p) or b""
    if case == "save-onto-offered":
        e2e.check(after == rec.LEFT, "%s holds %r after the SIGTERM" % (RECOVERY, after))
    else:
        e2e.check(after.startswith(b"1|a|") and b"plus.gif" in after and after.count(b"|") == 24,
                  "%s holds %r after the SIGTERM" % (RECOVERY, after))
    p.start(d)
    rec.offer_active(d)
    e2e.alive(p)
    e2e.passed("own files: a save onto %s is refused, the file and the pages stay (%s)"
               % (RECOVERY, case))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
