"""The window "Formidrel" at the right edge, 500 twips from the top, with the pointer on
the writing position, and drawn: the white page, the black panel."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402


def main(binary, window_manager):
    d = e2e.Display(window_manager=window_manager)
    p = e2e.Program(binary, d)
    win = p.window()
    # The client area stands at Left/15 + 4, (Top + 505)/15 whatever the window manager
    # draws: its right edge 4 px inside the screen's, its top at 67 px.
    def placed():
        x, y, w, h = d.geometry(win)
        return (x, y, w, h) if x + w == e2e.SCREEN_W - 4 and y == 67 else None
    x, y, w, h = e2e.wait_for(placed, 10, "the client area at right 1276, top 67 (it is at %s)"
                              % (d.geometry(win),))
    e2e.check((w, h) == (982, 751), "client area is %dx%d, not 982x751" % (w, h))
    # The writing position: window Left / 15 + 90, 500 / 15 + 100 rounded.
    left = x - 4
    e2e.wait_for(lambda: d.pointer() == (left + 90, 133), 10,
                 "the pointer at (%d, 133), it is at %s" % (left + 90, d.pointer()))
    if window_manager:
        extents = d.run(["xprop", "-id", str(win), "_NET_FRAME_EXTENTS"]).decode()
        e2e.check("=" in extents, "the window manager drew no frame: " + extents)
        state = d.run(["xprop", "-id", str(win), "_NET_WM_STATE"]).decode()
        e2e.check("_NET_WM_STATE_ABOVE" in state, "the window is not kept on top: " + state)
    # What a user sees, once the window is painted (late on a loaded machine): the page is
    # white, the panel right of it black.
    shot = os.path.join(p.folder, "shot.png")
    seen = {}

    def painted():
        d.screenshot(shot)
        seen["page"] = d.pixel(shot, x + 200, y + 200)
        seen["panel"] = d.pixel(shot, x + w - 20, y + h - 5)
        return seen["page"] == (255, 255, 255) and seen["panel"] == (0, 0, 0)
    e2e.wait_for(painted, 10, "the page white and the panel black",
                 lambda: "page pixel %s, panel pixel %s" % (seen.get("page"), seen.get("panel")))
    e2e.passed("start-up window" + (" under a window manager" if window_manager else ""))


if __name__ == "__main__":
    main(sys.argv[1], "--wm" in sys.argv[2:])
