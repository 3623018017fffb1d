"""Chords typed into the real program leave no letter on the page: Ctrl+V pastes, Ctrl+Z
undoes, right Ctrl+X deletes and left Alt+A switches the layout, each as the typing tool
sends it (Ctrl or Alt let go within a few tens of milliseconds, long before the poll's
one-second pace after the left Ctrl has run out). A key typed afterwards is placed at the
writing position as the first and only symbol.

    test_chords.py BINARY CASE
    CASE: ctrl+v, ctrl+z, Control_R+x, alt+a

With KEL_E2E_SHOTS naming a folder, the screenshots it checks are kept there.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

CASES = ("ctrl+v", "ctrl+z", "Control_R+x", "alt+a")
# Past the poll's one second after the left Ctrl, the release check, the player and a
# hotkey's raised interval.
SETTLE_S = 2.0


def around(point):
    """Where a symbol typed at the writing position would stand."""
    x, y = point
    return x - 12, y - 24, x + 60, y + 24


def main(binary, case):
    e2e.check(case in CASES, "no case " + case)
    name = case.replace("+", "-").lower()
    d = e2e.Display()
    p = e2e.Program(binary, d)
    _, client, start = scr.ready(d, p)

    d.xdotool("key", case)
    time.sleep(SETTLE_S)
    e2e.alive(p)
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "chord_%s" % name)
    ink = shot.groups(around(start))
    e2e.check(not ink, "%s left ink at the writing position %s: %s (shot %s)"
              % (case, start, ink, shot.path))

    # The capture goes on: the next key is the first symbol, at the writing position.
    d.xdotool("key", "b")
    scr.wait_pointer(d, lambda q: q[1] == start[1] and q[0] > start[0],
                     "the b after %s placed at %s" % (case, start))
    scr.park(d, client)
    shot = scr.Shot(d, p.folder, "chord_%s_then_b" % name)
    found = shot.groups(around(start))
    e2e.check(len(found) == 1, "after %s and b, %s at the writing position %s, not one "
              "symbol (shot %s)" % (case, found, start, shot.path))
    g = found[0]
    e2e.check(start[0] - 1 <= g.x0 <= start[0] + 6,
              "the b %s does not stand at %s (shot %s)" % (g, start, shot.path))
    e2e.alive(p)
    e2e.passed("%s leaves no letter on the page" % case)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
