"""A picture in Simbol/ that is no picture the program could use does not hold up the
start-up: a FIFO is not opened (opening it would wait for a writer for good) and a GIF
that declares a 5000 x 5000 frame in 35 bytes is not decoded. The window shows at once,
draws its page, and the program still answers: SIGTERM saves the options file."""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402


def u16(v):
    return bytes([v & 0xFF, v >> 8])


# Header, a 5000 x 5000 logical screen with a two-colour table, one 5000 x 5000 frame of
# two bytes of LZW data, the trailer.
BOMB = (b"GIF89a" + u16(5000) + u16(5000) + b"\x80\0\0" + bytes(6) + b"\x2c" + u16(0) + u16(0)
        + u16(5000) + u16(5000) + b"\0\x02\x02\x44\x01\0;")


def plant_fifo(folder):
    path = os.path.join(folder, "Simbol", "caret0.gif")
    os.remove(path)
    os.mkfifo(path)


def plant_bomb(folder):
    for name in ("keyf12.gif", "kursor.gif"):
        with open(os.path.join(folder, "Simbol", name), "wb") as f:
            f.write(BOMB)


CASES = {"fifo": plant_fifo, "oversized-gif": plant_bomb}


def main(binary, case):
    assert len(BOMB) == 35
    d = e2e.Display()
    p = e2e.Program(binary, d, options=b"1013|0", prepare=CASES[case])
    win = p.window(timeout=5)
    shown = time.monotonic() - p.started_at
    x, y, w, h = d.geometry(win)
    shot = os.path.join(p.folder, "shot.png")
    def page_white():
        d.screenshot(shot)
        return d.pixel(shot, x + 200, y + 200) == (255, 255, 255)
    e2e.wait_for(page_white, 5, "the page drawn white")
    # Past the second in which the page takes its pointer from kursor.gif.
    time.sleep(1.2)
    p.proc.send_signal(signal.SIGTERM)
    rc = p.wait_exit(5)
    e2e.check(rc == 0, "exit status %s; output:\n%s" % (rc, p.output()))
    got = p.options()
    e2e.check(got == b"1013|0|||||1|0|1", "Options.txt is %r" % (got,))
    e2e.passed("bad pictures: %s (window shown after %.2f s)" % (case, shown))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
