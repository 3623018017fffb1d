"""The name typed into the Save dialog is taken without the blanks around it, in the real
window under openbox: "   <folder>/sub/trim.txt" is that file (not a folder of blanks in
the dialog's folder), and "  trim3.txt  " is trim3.txt in the folder the dialog shows (the
home folder).

Usage: test_save_names.py BINARY"""

import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402
import e2e_screen as scr  # noqa: E402
import test_pages as pg  # noqa: E402
import test_ui as ui  # noqa: E402


def main(binary):
    d = e2e.Display(window_manager=True)
    home = tempfile.mkdtemp(prefix="kelvarin-e2e-home-")
    e2e._folders.append(home)
    d.env["HOME"] = home  # the dialog opens in the home folder
    p = e2e.Program(binary, d)
    win, client, start = scr.ready(d, p)
    ui.type_symbol(d, "a", start)
    w = pg.Window(client)

    os.mkdir(os.path.join(home, "sub"))
    cases = [("   " + os.path.join(home, "sub", "trim.txt"), os.path.join(home, "sub", "trim.txt")),
             ("  trim3.txt  ", os.path.join(home, "trim3.txt"))]
    for typed, meant in cases:
        e2e.click(d, w.save())
        pg.through_dialog(d, "Save As", typed, "Plavetra")
        pg.restored(d, win, start)
        e2e.check(os.path.isfile(meant), "%r was not saved as %s; the home folder holds %s"
                  % (typed, meant, sorted(os.listdir(home))))
        with open(meant, "rb") as f:
            e2e.check(f.read().startswith(b"1|a|"), "%s does not hold the page" % meant)
    # Besides Qt's own settings (.config), nothing else: no file or folder of blanks.
    left = sorted(f for f in os.listdir(home)
                  if f not in ("sub", "trim3.txt") and not f.startswith("."))
    e2e.check(not left, "the home folder holds besides: %s" % left)
    e2e.passed("save names: the blanks around a typed name are not part of it")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
