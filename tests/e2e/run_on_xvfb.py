"""Runs a test binary on an X server of its own."""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import e2e_lib as e2e  # noqa: E402

if __name__ == "__main__":
    d = e2e.Display()
    proc = subprocess.Popen(sys.argv[1:], env=d.env, start_new_session=True)
    e2e._started.append(proc)
    sys.exit(proc.wait(timeout=e2e.room(120)))
