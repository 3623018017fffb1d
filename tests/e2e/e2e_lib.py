"""What every end-to-end test needs: its own X server, its own program folder, and
the certainty that everything it started is gone when it ends, pass or fail.

Standard library only (ctypes for the X requests that must not fail on another client's
window: a window manager makes and destroys frames at any moment, and a tool that walks the
tree, as xwininfo does to find a window's frame, stops at the first that vanished under it).
"""

import atexit
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1280, 1024

# How much more time than on an idle machine a wait for the program or the X server may
# take: each deadline a test writes is the room it needs alone on an idle machine, and is
# stretched by this factor, as ctest's limit of the test is (tests/CMakeLists.txt passes
# the one it scales them by). What must not happen within a time (the pointer staying,
# nothing changing) and the pace of a person's keys and clicks are the case itself and keep
# their seconds. 3 holds on a machine loaded to three times its cores.
TIME_FACTOR = float(os.environ.get("KEL_TEST_TIME_FACTOR") or 3)


def room(seconds):
    """The deadline for what an idle machine does within that many seconds."""
    return seconds * TIME_FACTOR

_started = []  # processes to end, newest first
_folders = []


def _cleanup():
    while _started:
        proc = _started.pop()
        if proc.poll() is None:
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
            try:
                proc.wait(timeout=room(5))
            except subprocess.TimeoutExpired:
                pass
    while _folders:
        shutil.rmtree(_folders.pop(), ignore_errors=True)


def _on_signal(signum, _frame):
    _cleanup()
    sys.exit(128 + signum)


atexit.register(_cleanup)
for _sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_sig, _on_signal)


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def wait_for(condition, timeout, what, details=None):
    """Polls condition() until it returns something true; fails after the room for timeout
    seconds, saying what details() tells."""
    deadline = time.monotonic() + room(timeout)
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what + ("\n" + details() if details else ""))
        time.sleep(0.02)


def alive(p):
    check(p.proc.poll() is None, "the program ended:\n" + p.output())


def click(d, point):
    """A left click at a point of the screen, the pointer resting there first as a
    person's does: the program's 50 ms tick sees it over the control before the press."""
    d.xdotool("mousemove", str(point[0]), str(point[1]))
    time.sleep(0.15)
    d.xdotool("click", "1")


def ctrl_z_held(d):
    """Ctrl+Z as a hand types it: Ctrl held, Z tapped while the program's poll sees Ctrl
    down, Ctrl let go."""
    d.xdotool("keydown", "ctrl")
    time.sleep(0.2)
    d.xdotool("key", "z")
    time.sleep(0.3)
    d.xdotool("keyup", "ctrl")


def settled(d, timeout=15, quiet=1.0):
    """Waits until the pointer has not moved for `quiet` seconds; gives where it is. The
    quiet period is not stretched: every call would wait that much longer on an idle
    machine too, and what follows a rest waits for the screen to show it."""
    deadline = time.monotonic() + room(timeout)
    last, since = d.pointer(), time.monotonic()
    while time.monotonic() - since < quiet:
        check(time.monotonic() < deadline, "the pointer never came to rest")
        time.sleep(0.02)
        now = d.pointer()
        if now != last:
            last, since = now, time.monotonic()
    return last


# The right-hand panel stands at the window's right edge, 120 twips down; the palette's
# buttons in it are square.
PANEL_WIDTH_TW = 4815
BUTTON_TW = 495


def panel_left(client):
    """The panel's left edge in the client area (pixels, not rounded): the window's outer
    Width less the panel's."""
    _, _, w, _ = client
    return ((w + 8) * 15 - PANEL_WIDTH_TW) / 15


def panel_point(client, left, top, width=BUTTON_TW, height=None):
    """The screen point in the middle of a control of the panel (twips in the panel); a
    palette button, square, by its corner alone."""
    x, y, _, _ = client
    height = width if height is None else height
    return (round(x + panel_left(client) + (left + width / 2) / 15),
            round(y + (120 + top + height / 2) / 15))


def pointer_stays(display, point, seconds):
    """Whether the pointer stays at point for that long (a played symbol would move it
    back to the insertion point). The seconds are what the case allows the program to do
    wrong in, and end before its next own step: not stretched."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if display.pointer() != point:
            return False
        time.sleep(0.02)
    return True


def _spawn(args, env=None, **kw):
    proc = subprocess.Popen(args, env=env, start_new_session=True, **kw)
    _started.append(proc)
    return proc

# A transient X error of a tool: a window it met on its walk was destroyed before it asked
# about it. The same command asked again sees the tree as it is now.
_VANISHED = re.compile(rb"Bad ?Window|Bad ?Drawable", re.I)
_RETRY_S = 5


class _XErrorEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("display", ctypes.c_void_p),
                ("resourceid", ctypes.c_ulong), ("serial", ctypes.c_ulong),
                ("error_code", ctypes.c_ubyte), ("request_code", ctypes.c_ubyte),
                ("minor_code", ctypes.c_ubyte)]


class _XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _XImage(ctypes.Structure):
    # The fields up to the masks; the rest (the object hook, the function table) is
    # Xlib's own.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.c_void_p),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


_ZPIXMAP = 2
_LSB_FIRST = 0
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.POINTER(_XErrorEvent))
_MAP_STATES = {0: "IsUnMapped", 1: "IsUnviewable", 2: "IsViewable"}
# The handler is the process's, and a process may talk to several servers: each
# connection's errors are kept apart.
_x_errors = {}


@_ERROR_HANDLER
def _on_x_error(dpy, event):
    _x_errors.setdefault(dpy, []).append(event.contents.error_code)
    return 0


def _is_query(args):
    """Whether a command only asks, so that running it again changes nothing."""
    if args[0] in ("xwininfo", "xprop"):
        return True
    return args[0] == "xdotool" and len(args) > 1 and args[1] in (
        "search", "getactivewindow", "getwindowfocus", "getmouselocation", "getwindowgeometry",
        "getwindowname")


class _XConnection:
    """The test's own connection to its X server. It asks only about the window it names,
    so another window's disappearance cannot fail it; an error about that window itself
    (it is gone) is kept, not fatal as Xlib's default handler makes it."""

    def __init__(self, name):
        x = self.x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler.restype = ctypes.c_void_p
        x.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                           ctypes.POINTER(_XWindowAttributes)]
        x.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong)]
        x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [
            ctypes.POINTER(ctypes.c_ulong)] * 2 + [ctypes.POINTER(ctypes.c_int)] * 4 + [
            ctypes.POINTER(ctypes.c_uint)]
        x.XGetImage.restype = ctypes.POINTER(_XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
        x.XFree.argtypes = [ctypes.c_void_p]
        self.xfixes = ctypes.CDLL("libXfixes.so.3")
        self.xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XFixesCursorImage)
        self.xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler(_on_x_error)
        self.dpy = x.XOpenDisplay(name.encode())
        check(self.dpy, "cannot open " + name)
        self.errors = _x_errors.setdefault(self.dpy, [])
        self.root = x.XDefaultRootWindow(self.dpy)

    def attributes(self, window):
        """The window's attributes, or None when it no longer exists."""
        del self.errors[:]
        attrs = _XWindowAttributes()
        if not self.x.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs)) or self.errors:
            return None
        return attrs

    def on_root(self, window, x, y):
        """A point of the window on the screen, or None when it no longer exists."""
        del self.errors[:]
        rx, ry, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if (not self.x.XTranslateCoordinates(self.dpy, window, self.root, x, y, ctypes.byref(rx),
                                             ctypes.byref(ry), ctypes.byref(child))
                or self.errors):
            return None
        return rx.value, ry.value

    def screen_rgb(self, width, height):
        """What the screen shows, as rows of 8-bit red, green, blue: one request for the
        root window's pixels, which Xvfb holds as 32-bit words with red in bits 16-23."""
        del self.errors[:]
        image = self.x.XGetImage(self.dpy, self.root, 0, 0, width, height, ~0, _ZPIXMAP)
        check(image and not self.errors, "the screen's pixels could not be read")
        try:
            im = image.contents
            check(im.bits_per_pixel == 32 and im.byte_order == _LSB_FIRST and
                  (im.red_mask, im.green_mask, im.blue_mask) == (0xFF0000, 0xFF00, 0xFF),
                  "the screen's pixels are %d-bit words with masks %x %x %x"
                  % (im.bits_per_pixel, im.red_mask, im.green_mask, im.blue_mask))
            words = ctypes.string_at(im.data, im.bytes_per_line * height)
            if im.bytes_per_line != 4 * width:
                words = b"".join(words[r * im.bytes_per_line:r * im.bytes_per_line + 4 * width]
                                 for r in range(height))
        finally:
            self.x.XDestroyImage(image)
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = words[2::4], words[1::4], words[0::4]
        return bytes(rgb)

    def cursor(self):
        """The pointer's shape where it stands: its width, height and name (empty for a
        picture of the program's own), or None when the server does not say."""
        image = self.xfixes.XFixesGetCursorImage(self.dpy)
        if not image:
            return None
        try:
            c = image.contents
            return c.width, c.height, (c.name or b"").decode(errors="replace")
        finally:
            self.x.XFree(image)

    def pointer(self):
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        rx, ry, wx, wy, mask = (ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int(),
                                ctypes.c_uint())
        self.x.XQueryPointer(self.dpy, self.root, ctypes.byref(root), ctypes.byref(child),
                             ctypes.byref(rx), ctypes.byref(ry), ctypes.byref(wx),
                             ctypes.byref(wy), ctypes.byref(mask))
        return rx.value, ry.value


class Display:
    """A fresh Xvfb on a free display number (-displayfd), optionally with openbox."""

    def __init__(self, window_manager=False):
        r, w = os.pipe()
        self.server = _spawn(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[w], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        deadline = time.monotonic() + room(10)
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([r], [], [], left)[0]:
                fail("Xvfb did not report its display")
            chunk = os.read(r, 16)
            if not chunk:
                fail("Xvfb ended before reporting its display")
            number += chunk
        os.close(r)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        for var in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"):
            self.env.pop(var, None)
        self._xconn = None
        self.wm = None
        if window_manager:
            self.wm = _spawn(["openbox", "--sm-disable"], env=self.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Up means answering requests: its root properties come before its event
            # loop runs, and a window mapped in between may never be managed.
            def answers():
                self.run(["xdotool", "set_num_desktops", "2"], check_rc=False)
                return b"= 2" in self.run(["xprop", "-root", "_NET_NUMBER_OF_DESKTOPS"],
                                          check_rc=False)
            wait_for(answers, 10, "the window manager")

    def run(self, args, timeout=10, check_rc=True):
        """Runs a tool on this display; a query that met a window vanishing on its walk
        is asked again (for a while: a window it was asked about that is gone stays gone)."""
        deadline = time.monotonic() + room(_RETRY_S)
        while True:
            res = subprocess.run(args, env=self.env, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, timeout=room(timeout))
            if (res.returncode == 0 or not _is_query(args) or not _VANISHED.search(res.stderr)
                    or time.monotonic() > deadline):
                break
            time.sleep(0.02)
        if check_rc and res.returncode != 0:
            fail("%s failed: %s" % (" ".join(args), res.stderr.decode(errors="replace")))
        return res.stdout

    def xdotool(self, *args, timeout=10):
        return self.run(["xdotool"] + list(args), timeout=timeout).decode()

    @property
    def _x(self):
        if self._xconn is None:
            self._xconn = _XConnection(self.name)
        return self._xconn

    def pointer(self):
        return self._x.pointer()

    def cursor(self):
        return self._x.cursor()

    def geometry(self, window):
        """The window's client area on the screen: x, y, width, height."""
        attrs = self._x.attributes(int(window))
        # The outer corner of its border, as xwininfo gives it.
        at = attrs and self._x.on_root(int(window), -attrs.border_width, -attrs.border_width)
        check(at, "the window %s is gone" % window)
        return at[0], at[1], attrs.width, attrs.height

    def map_state(self, window):
        """IsViewable, IsUnviewable or IsUnMapped as xwininfo says it, None once the window
        is gone."""
        attrs = self._x.attributes(int(window))
        return _MAP_STATES.get(attrs.map_state) if attrs else None

    def active_window(self):
        """The active window, None while there is none (between two activations)."""
        out = self.run(["xdotool", "getactivewindow"], check_rc=False).split()
        return int(out[0]) if out and out[0].isdigit() else None

    def wm_state(self, window):
        """The window's WM_STATE as xprop shows it (Normal, Iconic)."""
        return self.run(["xprop", "-id", str(window), "WM_STATE"]).decode()

    def stacking(self):
        """The managed windows bottom to top, as the window manager has them."""
        out = self.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"]).decode()
        return [int(v, 16) for v in re.findall(r"0x[0-9a-f]+", out)]

    def screen_rgb(self):
        """The whole screen as it shows now, rows of 8-bit red, green, blue."""
        return self._x.screen_rgb(SCREEN_W, SCREEN_H)

    def screenshot(self, path):
        self.run(["import", "-window", "root", path], timeout=20)

    def pixel(self, path, x, y):
        """The colour of one pixel of a screenshot, as (r, g, b)."""
        out = self.run(["convert", path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8",
                        "txt:-"]).decode()
        m = re.search(r"\((\d+),(\d+),(\d+)", out.split("\n", 1)[-1])
        check(m, "convert said " + out)
        return tuple(int(v) for v in m.groups())

    def close_request(self, window):
        """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                        ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                        ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

        class Event(ctypes.Union):
            _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

        dpy = x11.XOpenDisplay(self.name.encode())
        check(dpy, "cannot open " + self.name)
        ev = Event()
        ev.xclient.type = 33  # ClientMessage
        ev.xclient.window = window
        ev.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        ev.xclient.format = 32
        ev.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        ev.xclient.data[1] = 0  # CurrentTime
        x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(ev))
        x11.XFlush(dpy)
        x11.XCloseDisplay(dpy)


class Program:
    """The real binary in a program folder of its own (the options file is written
    beside the binary). prepare(folder), when given, runs before the program starts;
    launcher, when given, is the command that starts it (["nohup"])."""

    def __init__(self, binary, display, options=None, prepare=None, file_size_limit=None,
                 launcher=None):
        self.folder = tempfile.mkdtemp(prefix="kelvarin-e2e-")
        _folders.append(self.folder)
        self.binary = os.path.join(self.folder, "kelvarin")
        shutil.copy2(binary, self.binary)
        simbol = os.path.join(os.path.dirname(os.path.abspath(binary)), "Simbol")
        if os.path.isdir(simbol):
            shutil.copytree(simbol, os.path.join(self.folder, "Simbol"))
        self.options_path = os.path.join(self.folder, "Options.txt")
        if options is not None:
            with open(self.options_path, "wb") as f:
                f.write(options)
        if prepare:
            prepare(self.folder)  # what the folder holds besides, before the start
        self.display = display
        self.log = open(os.path.join(self.folder, "stderr.log"), "w+b")
        self.file_size_limit = file_size_limit
        self.launcher = list(launcher or [])
        self.start()

    def start(self, display=None):
        """Starts the binary (again, after it ended) in its folder, on this display or
        another; with file_size_limit (bytes), as under ulimit -f."""
        if display is not None:
            self.display = display
        limit = self.file_size_limit

        def limited():
            import resource
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        self.started_at = time.monotonic()
        self.proc = _spawn(self.launcher + [self.binary], env=self.display.env, stdout=self.log,
                           stderr=self.log, cwd="/",
                           preexec_fn=limited if limit is not None else None)

    def window(self, timeout=10):
        """The main window, once it is mapped."""
        def mapped():
            if self.proc.poll() is not None:
                fail("the program ended (%s) before its window showed:\n%s"
                     % (self.proc.returncode, self.output()))
            res = subprocess.run(["xdotool", "search", "--name", "^Formidrel$"],
                                 env=self.display.env, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL, timeout=room(10))
            for wid in res.stdout.decode().split():
                if self.display.map_state(wid) == "IsViewable":
                    return int(wid)
            return None
        def details():
            tree = self.display.run(["xwininfo", "-root", "-tree"], check_rc=False).decode()
            return "program output:\n%s\nwindows:\n%s" % (self.output(), tree[:3000])
        return wait_for(mapped, timeout, "the window named Formidrel", details)

    def placed(self, timeout=10):
        """The main window and its client area once it stands where the program puts it,
        500 twips from the top of the screen (the client area 67 px down)."""
        win = self.window(timeout)
        client = wait_for(lambda: (lambda g: g if g[1] == 67 else None)(
            self.display.geometry(win)), timeout, "the window in its place",
            lambda: "it is at %s" % (self.display.geometry(win),))
        return win, client

    def wait_exit(self, timeout=10):
        try:
            return self.proc.wait(timeout=room(timeout))
        except subprocess.TimeoutExpired:
            fail("the program did not end within %g s; its output:\n%s"
                 % (room(timeout), self.output()))

    def options(self):
        try:
            with open(self.options_path, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read().decode(errors="replace")


def passed(name):
    print("PASS: " + name, flush=True)
