"""The background timers in the real window: the pointer over a border frame stops key
capture, the bare page starts it again; the pointer outside the window pauses capture,
coming back resumes it. From one second after start-up the paste/cut pop-up is loaded
(hidden), and while it is loaded the pointer leaving the window pauses nothing: until the
next start of the timers, a key typed with the pointer outside is still played (at the
insertion point, the pointer left outside where the user has it)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402

# Where the pointer stands is read every 250 ms, and no window shows what was read: a key
# is typed after three reads, so that a program late on a loaded machine has made one.
POLLS_S = 0.8


def main(binary):
    d = e2e.Display()
    p = e2e.Program(binary, d)
    _, (x, y, w, h), start = scr.ready(d, p)

    def typed_lands(key):
        """Types a key with the pointer resting on the page away from the insertion
        point; true when the symbol is played (the pointer jumps back to the line)."""
        before = d.pointer()
        d.xdotool("key", "--delay", "100", key)
        return e2e.wait_for(lambda: (lambda q: q if q != before and q[1] == 133 else None)(
            d.pointer()), 5, "the typed %s to be played" % key)

    # Before the first Stop and Start the pop-up's load step has switched the pause off.
    outside = (max(0, x - 100), y + 300)
    d.xdotool("mousemove", str(outside[0]), str(outside[1]))
    time.sleep(POLLS_S)
    d.xdotool("key", "--delay", "100", "4")

    def four_placed():
        shot = scr.Shot(d, p.folder, "background_4")
        ink = shot.groups((start[0] - 2, start[1] - 24, start[0] + 60, start[1] + 24))
        return (ink[-1].x1 + 1, start[1]) if ink else None
    first = e2e.wait_for(four_placed, 5, "the typed 4 to be played")
    e2e.check(first[0] > start[0], "the 4 does not stand at the insertion point: %s" % (first,))
    e2e.check(d.pointer() == outside, "the 4 took the pointer from outside the window to %s"
              % (d.pointer(),))

    # The top border frame (Label17, 19 px high) runs Stop: nothing is captured.
    frame = (x + 300, y + 5)
    d.xdotool("mousemove", str(frame[0]), str(frame[1]))
    time.sleep(POLLS_S)
    d.xdotool("key", "--delay", "100", "7")
    e2e.check(e2e.pointer_stays(d, frame, 0.6), "a key typed with the pointer on the border frame was played")

    # The bare page starts the group again: the next key is played.
    page = (x + 300, y + 300)
    d.xdotool("mousemove", str(page[0]), str(page[1]))
    time.sleep(POLLS_S)
    after = typed_lands("8")
    e2e.check(after[0] > first[0], "the symbol did not advance the pointer: %s" % (after,))

    # Started again, the pointer outside the window (left of it, below the title band)
    # pauses capture...
    d.xdotool("mousemove", str(outside[0]), str(outside[1]))
    time.sleep(POLLS_S)
    d.xdotool("key", "--delay", "100", "5")
    e2e.check(e2e.pointer_stays(d, outside, 0.6), "a key typed with the pointer outside the window was played")

    # ... and coming back onto the page resumes it.
    d.xdotool("mousemove", str(page[0]), str(page[1]))
    time.sleep(POLLS_S)
    typed_lands("6")
    e2e.passed("background timers stop, start, pause and resume")


if __name__ == "__main__":
    main(sys.argv[1])
