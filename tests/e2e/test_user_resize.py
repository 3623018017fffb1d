"""A resize by the user reaches the model: the layout pass sizes the page to the new
window and puts the pointer back on the insertion point."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402


def main(binary):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    win, (x, y, _, _) = p.placed()
    e2e.wait_for(lambda: d.pointer() == (x - 4 + 90, 133), 10, "the pointer on the mark")
    d.xdotool("mousemove", "10", "10")
    # The page is the window's width less the panel's 4815 twips: 700 px of client
    # area (10620 twips outer) leave 5805 twips, 387 px.
    d.xdotool("windowsize", str(win), "700", "600")
    e2e.wait_for(lambda: d.geometry(win)[2:] == (700, 600), 10, "the new size")
    e2e.wait_for(lambda: d.pointer() == (x - 4 + 90, 133), 10,
                 "the pointer back on the insertion point (it is at %s)" % (d.pointer(),))
    shot = os.path.join(p.folder, "shot.png")

    def page_resized():
        d.screenshot(shot)
        return (d.pixel(shot, x + 380, y + 300) == (255, 255, 255) and
                d.pixel(shot, x + 395, y + 300) == (0, 0, 0))
    e2e.wait_for(page_resized, 10, "the page 387 px wide")
    # Moved by the user: the window stays where it was put (the model follows it), and
    # a move is no resize, so the pointer stays where the user left it.
    d.xdotool("mousemove", "20", "20")
    d.xdotool("windowmove", str(win), "100", "150")
    e2e.wait_for(lambda: d.geometry(win)[:2] == (100, 150), 10, "the window moved")
    time.sleep(0.3)  # several timer batches: none may put the window back
    e2e.check(d.geometry(win)[:2] == (100, 150), "the window went back to %s" % (d.geometry(win),))
    e2e.check(d.pointer() == (20, 20), "the pointer moved to %s" % (d.pointer(),))
    e2e.check(p.proc.poll() is None, "the program ended")
    e2e.passed("user resize and move")


if __name__ == "__main__":
    main(sys.argv[1])
