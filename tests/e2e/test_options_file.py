"""The options file is written when the session ends the program (SIGTERM, SIGHUP), when
the window is closed and when the X server goes away: a first run writes the defaults, a
file with two fields is completed."""

import os
import signal
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402


def end_by_signal(p, win):
    p.proc.send_signal(signal.SIGTERM)


def end_by_hangup(p, win):
    p.proc.send_signal(signal.SIGHUP)


def end_by_x_server_killed(p, win):
    p.display.server.kill()


def end_by_close_request(p, win):
    p.display.close_request(win)


def end_by_window_destroyed(p, win):
    p.display.xdotool("windowclose", str(win))


CASES = {
    # name: (options file before, how the run ends, options file after, exit status)
    "first-run-sigterm": (None, end_by_signal, b"||||||1|0|1", 0),
    "two-fields-sigterm": (b"1013|0", end_by_signal, b"1013|0|||||1|0|1", 0),
    "two-fields-sighup": (b"1013|0", end_by_hangup, b"1013|0|||||1|0|1", 0),
    "close-request": (b"1013|0|||||0|1|0", end_by_close_request, b"1013|0|||||0|1|0", 0),
    "window-destroyed": (None, end_by_window_destroyed, b"||||||1|0|1", 0),
    # The display is gone: the program saves and ends, reporting the failure.
    "x-server-killed": (b"1013|0", end_by_x_server_killed, b"1013|0|||||1|0|1", 1),
}


def main(binary, case):
    before, end, after, status = CASES[case]
    d = e2e.Display()
    p = e2e.Program(binary, d, options=before)
    win = p.window()
    end(p, win)
    rc = p.wait_exit(10)
    e2e.check(rc == status, "exit status %s, expected %s; output:\n%s" % (rc, status, p.output()))
    got = p.options()
    e2e.check(got == after, "Options.txt is %r, expected %r" % (got, after))
    leftovers = [f for f in os.listdir(p.folder) if f.endswith(".tmp")]
    e2e.check(not leftovers, "temporary files left: %s" % leftovers)
    e2e.passed("options file: " + case)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
