"""Minimised and restored under a window manager, the window comes back where it was and
so does the capture: the restore puts the pointer back on the insertion point, and what
is typed then stands there. (openbox flies the frame to the bottom of the screen and back;
where the server has it on the way is no place the window was given.)"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_ui as ui  # noqa: E402


def main(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    win, client, _ = scr.ready(d, p)
    x, y, _, _ = client
    # A press on the page makes its point the insertion point.
    here = (x + 300, y + 400)
    d.xdotool("mousemove", str(here[0]), str(here[1]), "click", "1")
    at = ui.type_symbol(d, "7", here)
    time.sleep(0.3)

    for round_ in (1, 2):
        d.xdotool("windowminimize", str(win))
        e2e.wait_for(lambda: "Iconic" in d.wm_state(win), 5, "the window minimised")
        time.sleep(0.5)
        d.xdotool("windowactivate", str(win))
        e2e.wait_for(lambda: "Normal" in d.wm_state(win), 5, "the window restored")
        # The layout pass of the restore puts the pointer on the insertion point.
        scr.wait_pointer(d, lambda q: q == at, "the pointer back on the insertion point %s "
                         "after restore %d" % (at, round_))
        e2e.wait_for(lambda: d.geometry(win) == client, 5, "the window back in its place",
                     lambda: "it is at %s, was at %s" % (d.geometry(win), client))
        time.sleep(0.3)  # past the frame's flight back
        e2e.check(d.pointer() == at, "the pointer went on to %s" % (d.pointer(),))
        # Typed after the restore, the symbol stands at the insertion point.
        digit = str(round_ + 7)
        after = ui.type_symbol(d, digit, at)
        scr.park(d, client)
        shot = scr.Shot(d, p.folder, "restored_%d" % round_)
        # What stands from the insertion point on is the new digit alone, on its line
        # (the symbols before it end left of it).
        found = shot.groups((at[0], at[1] - 24, at[0] + 40, at[1] + 24))
        e2e.check(len(found) == 1 and at[0] <= found[0].x0 <= at[0] + 6 and
                  abs((found[0].y0 + found[0].y1) / 2 - at[1]) <= 6,
                  "the %s typed after restore %d does not stand at %s: %s (shot %s)"
                  % (digit, round_, at, found, shot.path))
        d.xdotool("mousemove", str(after[0]), str(after[1]))
        time.sleep(0.2)
        at = after
    e2e.alive(p)
    e2e.passed("minimise and restore under a window manager, then typing")


if __name__ == "__main__":
    main(sys.argv[1])
