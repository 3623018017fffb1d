"""One run at a time in a program folder, in the real window under openbox.

- second-start: ab+1 typed in a first run, its window minimised; a second start of the same
  binary in the same folder says so in a box titled Formidrel, brings the first run's
  window back up, and ends (status 0) once the box is answered, having written neither
  Options.txt nor Recovery.txt. The first run goes on; its SIGTERM then keeps its page in
  Recovery.txt and writes Options.txt.
- recovery-kept: a first run keeps the pages an earlier run left (Escape on its offer); a
  second start's box is left open for three seconds: no recovery offer comes up beside it
  (it would load or discard the first run's pages), and Recovery.txt is as it was.
- after-sigkill: a run killed with SIGKILL leaves the folder free: the next start shows
  its window as usual.

Usage: test_second_run.py BINARY CASE"""

import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_quit as quit_test  # noqa: E402
import test_recovery as recovery  # noqa: E402
import test_ui as ui  # noqa: E402


def folder_files(p):
    """What the program folder holds besides its pictures, the lock and the test's log."""
    return sorted(f for f in os.listdir(p.folder)
                  if f not in ("Simbol", "kelvarin", "stderr.log", "Kelvarin.lock"))


def start_again(p):
    """The same binary started once more in the same folder, its output in a log of its
    own."""
    log = open(os.path.join(p.folder, "second.log"), "w+b")
    proc = e2e._spawn([p.binary], env=p.display.env, stdout=log, stderr=log, cwd="/")
    return proc, log


def output_of(log):
    log.flush()
    log.seek(0)
    return log.read().decode(errors="replace")


def answered_and_ended(d, box, second, log):
    """The second start's box answered with Return; the start ends with status 0."""
    scr.active(d, box, "the box")
    d.xdotool("key", "Return")
    try:
        rc = second.wait(timeout=e2e.room(10))
    except subprocess.TimeoutExpired:
        e2e.fail("the second start did not end:\n" + output_of(log))
    e2e.check(rc == 0, "the second start ended with %s:\n%s" % (rc, output_of(log)))


def second_start(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    win, _client, start = scr.ready(d, p)
    ui.type_symbols(d, ui.AB_PLUS_1, start)
    before = folder_files(p)
    e2e.check("Recovery.txt" not in before and "Options.txt" not in before,
              "the folder holds %s before any end" % before)

    d.xdotool("windowminimize", str(win))
    e2e.wait_for(lambda: d.map_state(win) != "IsViewable", 10, "the first window minimised")

    second, log = start_again(p)
    box = quit_test.other_window(d, "Formidrel", win)
    # The running window is up again, under the box that speaks of it.
    e2e.wait_for(lambda: d.map_state(win) == "IsViewable", 10,
                 "the first run's window raised again")
    answered_and_ended(d, box, second, log)
    e2e.check(folder_files(p) == before + ["second.log"],
              "the second start left %s in the folder" % folder_files(p))
    e2e.alive(p)

    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the first run did not end cleanly:\n" + p.output())
    with open(os.path.join(p.folder, "Recovery.txt"), "rb") as f:
        saved = f.read()
    e2e.check(saved.startswith(b"1|a|") and b"plus.gif" in saved,
              "Recovery.txt holds %r" % saved)
    e2e.check(p.options() == b"||||||1|0|1", "Options.txt is %r" % p.options())
    e2e.passed("second run: told, the first raised, nothing of the folder touched")


def recovery_kept(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d, prepare=recovery.left_by_earlier_run)
    scr.ready(d, p, offered=True)
    offer = recovery.offer_active(d)
    d.xdotool("key", "Escape")
    scr.gone(d, offer)
    win = p.window()

    second, log = start_again(p)
    box = quit_test.other_window(d, "Formidrel", win)
    # The offer would come from the second start's own start-up step, as late as a loaded
    # machine makes it, and nothing else ends the box: the watch is stretched as a wait is.
    deadline = time.monotonic() + e2e.room(3)
    while time.monotonic() < deadline:
        shown = d.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % recovery.OFFER],
                      check_rc=False).split()
        e2e.check(not shown, "a recovery offer beside the second start's box:\n"
                  + output_of(log))
        time.sleep(0.1)
    answered_and_ended(d, box, second, log)
    e2e.check(recovery.recovery_bytes(p) == recovery.LEFT, "Recovery.txt holds %r"
              % recovery.recovery_bytes(p))
    e2e.alive(p)
    e2e.passed("second run: no recovery offer of the first run's pages")


def after_sigkill(binary):
    d = e2e.Display(window_manager=True)
    p = e2e.Program(binary, d)
    scr.ready(d, p)
    p.proc.send_signal(signal.SIGKILL)
    p.wait_exit(10)
    p.start()
    p.window()
    e2e.alive(p)
    p.proc.send_signal(signal.SIGTERM)
    e2e.check(p.wait_exit(10) == 0, "the run after the kill did not end cleanly:\n" + p.output())
    e2e.passed("second run: a killed run leaves the folder free")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    {"second-start": second_start, "recovery-kept": recovery_kept,
     "after-sigkill": after_sigkill}[sys.argv[2]](sys.argv[1])
