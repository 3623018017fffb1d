#include "platform/qt/x11_input.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <xcb/xcb.h>

// X.h names its key-press event type KeyPress; here that name is the desktop's press
// record, and the events read are XInput2's raw events.
#undef KeyPress

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/vk_keycodes.h"

namespace kel::qt {

namespace {

// A press the program injected comes back within a few milliseconds; one whose raw
// event never arrived (the server dropped it) must not swallow a later real press.
constexpr std::int64_t kInjectionLifetimeMs = 2000;
constexpr std::size_t kMaxInjections = 256;

std::int64_t monotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A window of ours that someone destroyed, or a request that raced with it, must not
// end the program: Xlib's default handler exits on any protocol error.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// Xlib's default for a broken connection ends the process on the spot, before the
// program could save anything. This handler is for every connection of the process;
// returning hands over to the connection's exit handler, which is Xlib's exit for those
// of others and X11Input::onConnectionLost for ours.
int onIOError(Display*) { return 0; }

// The X button of a mouse virtual key, and back: 1 left, 2 middle, 3 right.
int vkOfButton(int button) {
  switch (button) {
    case 1:
      return 1;
    case 2:
      return 4;
    case 3:
      return 2;
    default:
      return 0;
  }
}

// The keys whose state at each press the list of presses records: both Shifts, both
// Ctrls, the left Alt.
bool isPressModifierVk(int vk) { return vk >= 160 && vk <= 164; }

}  // namespace

_XDisplay* openDisplay() { return XOpenDisplay(nullptr); }

X11Input::X11Input(_XDisplay* display) : dpy_(display) {
  XSetErrorHandler(ignoreXError);
  XSetIOErrorHandler(onIOError);
  XSetIOErrorExitHandler(dpy_, onConnectionLost, this);
  root_ = DefaultRootWindow(dpy_);

  int opcode = 0, event = 0, error = 0;
  if (XQueryExtension(dpy_, "XInputExtension", &opcode, &event, &error)) {
    int major = 2, minor = 2;
    if (XIQueryVersion(dpy_, &major, &minor) == Success &&
        (major > 2 || (major == 2 && minor >= 1))) {
      xiOpcode_ = opcode;
      selectRawEvents(true);
    }
  }
  int tmajor = 0, tminor = 0;
  xtest_ = XTestQueryExtension(dpy_, &event, &error, &tmajor, &tminor);
  int kmajor = XkbMajorVersion, kminor = XkbMinorVersion;
  xkb_ = XkbQueryExtension(dpy_, &opcode, &event, &error, &kmajor, &kminor);
  if (xkb_) capsAtom_ = XInternAtom(dpy_, "Caps Lock", False);
  netWmState_ = XInternAtom(dpy_, "_NET_WM_STATE", False);
  netWmStateAbove_ = XInternAtom(dpy_, "_NET_WM_STATE_ABOVE", False);
  netFrameExtents_ = XInternAtom(dpy_, "_NET_FRAME_EXTENTS", False);
  XFlush(dpy_);
}

X11Input::~X11Input() {
  if (dpy_) XCloseDisplay(dpy_);
}

int X11Input::connectionFd() const { return ConnectionNumber(dpy_); }

void X11Input::onConnectionLost(_XDisplay*, void* self) {
  auto* input = static_cast<X11Input*>(self);
  if (input->lost_) return;
  input->lost_ = true;
  if (input->connectionLost) input->connectionLost();
}

void X11Input::flush() { XFlush(dpy_); }

void X11Input::sync() {
  XSync(dpy_, False);
  drainQueued();
}

// --- events -----------------------------------------------------------------------------

void X11Input::selectRawEvents(bool motion) {
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(bits, XI_RawKeyPress);
  XISetMask(bits, XI_RawKeyRelease);
  XISetMask(bits, XI_RawButtonPress);
  XISetMask(bits, XI_RawButtonRelease);
  if (motion) XISetMask(bits, XI_RawMotion);
  XIEventMask mask;
  mask.deviceid = XIAllMasterDevices;
  mask.mask_len = sizeof bits;
  mask.mask = bits;
  XISelectEvents(dpy_, root_, &mask, 1);
  motionSelected_ = motion;
}

void X11Input::readEvents() {
  while (XPending(dpy_) > 0) {
    XEvent ev;
    XNextEvent(dpy_, &ev);
    handleEvent(&ev);
  }
}

void X11Input::drainQueued() {
  while (XEventsQueued(dpy_, QueuedAlready) > 0) {
    XEvent ev;
    XNextEvent(dpy_, &ev);
    handleEvent(&ev);
  }
}

void X11Input::handleEvent(void* xevent) {
  XEvent& ev = *static_cast<XEvent*>(xevent);
  if (ev.type == DestroyNotify) {
    if (windowDestroyed) windowDestroyed(ev.xdestroywindow.window);
    return;
  }
  if (ev.type != GenericEvent || ev.xcookie.extension != xiOpcode_) return;
  if (!XGetEventData(dpy_, &ev.xcookie)) return;
  const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
  switch (ev.xcookie.evtype) {
    case XI_RawKeyPress:
      keysChanged_ = true;
      // Whoever pressed it, a Shift, Ctrl or Alt key down holds for what is typed next.
      modifierKeycode(raw->detail, true);
      // A held key's repeats are no new press.
      if (!(raw->flags & XIKeyRepeat) && !consumeInjected(raw->detail)) {
        if (boxDepth_ > 0) {
          if (raw->detail > 0 && raw->detail < 256)
            boxKeycode_[static_cast<std::size_t>(raw->detail)] = true;
          break;
        }
        rawPress(vkForKeycode(raw->detail));
        recordPress(vkForKeycode(raw->detail));
      }
      break;
    case XI_RawKeyRelease:
      keysChanged_ = true;
      modifierKeycode(raw->detail, false);
      if (raw->detail > 0 && raw->detail < 256)
        boxKeycode_[static_cast<std::size_t>(raw->detail)] = false;
      break;
    case XI_RawButtonPress:
      buttonsChanged_ = true;
      if (!consumeInjected(256 + raw->detail)) {
        if (boxDepth_ > 0) {
          if (raw->detail > 0 && raw->detail < 8)
            boxButton_[static_cast<std::size_t>(raw->detail)] = true;
          break;
        }
        rawPress(vkOfButton(raw->detail));
        recordPress(vkOfButton(raw->detail));
      }
      break;
    case XI_RawButtonRelease:
      buttonsChanged_ = true;
      if (raw->detail > 0 && raw->detail < 8)
        boxButton_[static_cast<std::size_t>(raw->detail)] = false;
      break;
    case XI_RawMotion:
      pointerMoved_ = true;
      // Enough said until the next read.
      if (motionSelected_) {
        selectRawEvents(false);
        XFlush(dpy_);
      }
      break;
    default:
      break;
  }
  XFreeEventData(dpy_, &ev.xcookie);
}

void X11Input::rawPress(int vk) {
  if (vk <= 0 || vk > 255) return;
  latch_[static_cast<std::size_t>(vk)] = true;
  toggled_[static_cast<std::size_t>(vk)] = !toggled_[static_cast<std::size_t>(vk)];
  if (int g = genericVk(vk)) {
    latch_[static_cast<std::size_t>(g)] = true;
    toggled_[static_cast<std::size_t>(g)] = !toggled_[static_cast<std::size_t>(g)];
  }
}

void X11Input::recordPress(int vk) {
  if (vk <= 0 || vk > 255) return;
  KeyPress press{vk};
  for (int kc = 8; kc <= 255; ++kc) {
    if (!modifierKeycodeDown_[static_cast<std::size_t>(kc)]) continue;
    const int m = vkForKeycode(kc);
    press.shift = press.shift || m == 160 || m == 161;
    press.ctrl = press.ctrl || m == 162 || m == 163;
    press.leftAlt = press.leftAlt || m == 164;
  }
  // Once full, the presses typed first are the ones kept.
  for (std::deque<KeyPress>& list : presses_)
    if (list.size() < kMaxKeyPresses) list.push_back(press);
}

void X11Input::modifierKeycode(int keycode, bool down) {
  if (keycode <= 0 || keycode > 255) return;
  if (isPressModifierVk(vkForKeycode(keycode)))
    modifierKeycodeDown_[static_cast<std::size_t>(keycode)] = down;
}

// Set again from each keymap snapshot (the raw events read after it are applied on top),
// so a Shift or Ctrl release that never came as a raw event does not stick to every later
// key.
void X11Input::modifiersFromKeymap() {
  for (int kc = 8; kc <= 255; ++kc) {
    if (isPressModifierVk(vkForKeycode(kc)))
      modifierKeycodeDown_[static_cast<std::size_t>(kc)] =
          (keymap_[static_cast<std::size_t>(kc >> 3)] & (1u << (kc & 7))) != 0;
  }
}

std::vector<KeyPress> X11Input::takeKeyPresses(KeyReader reader) {
  // What Xlib has read already counts; the socket itself is read by readEvents().
  drainQueued();
  std::deque<KeyPress>& list = presses_[static_cast<std::size_t>(reader)];
  std::vector<KeyPress> out(list.begin(), list.end());
  list.clear();
  return out;
}

bool X11Input::consumeInjected(int code) {
  forgetStaleInjections();
  auto it = std::find_if(injected_.begin(), injected_.end(),
                         [code](const Injection& i) { return i.code == code; });
  if (it == injected_.end()) return false;
  injected_.erase(it);
  return true;
}

void X11Input::forgetStaleInjections() {
  if (injected_.empty()) return;
  const std::int64_t now = monotonicMs();
  injected_.erase(
      std::remove_if(injected_.begin(), injected_.end(),
                     [now](const Injection& i) { return now - i.atMs > kInjectionLifetimeMs; }),
      injected_.end());
}

// --- snapshots ------------------------------------------------------------------------

void X11Input::readQueued() {
  while (XEventsQueued(dpy_, QueuedAfterReading) > 0) {
    XEvent ev;
    XNextEvent(dpy_, &ev);
    handleEvent(&ev);
  }
}

bool X11Input::due(std::int64_t& lastAt, std::int64_t periodMs) {
  const std::int64_t now = monotonicMs();
  if (now - lastAt < periodMs) return false;
  lastAt = now;
  return true;
}

void X11Input::ensureKeys() {
  if (keysValid_) return;
  keysValid_ = true;
  // Whatever the server has sent so far: presses to latch, and whether any key went
  // down or up since the last look. The socket itself has been read by readEvents()
  // (the socket notifier runs before the timers in each turn of the event loop); what
  // Xlib has queued since is taken without another system call. Without raw events
  // the keyboard is read every time.
  drainQueued();
  if (!keysChanged_ && xiOpcode_ >= 0 && !due(keysAt_)) return;
  keysChanged_ = false;
  xcb_connection_t* c = XGetXCBConnection(dpy_);
  if (xcb_query_keymap_reply_t* r = xcb_query_keymap_reply(c, xcb_query_keymap(c), nullptr)) {
    std::copy(std::begin(r->keys), std::end(r->keys), keymap_.begin());
    std::free(r);
    modifiersFromKeymap();
    // A box's key found up was let go, whether or not its release came.
    for (int kc = 8; kc <= 255; ++kc)
      if (!(keymap_[static_cast<std::size_t>(kc >> 3)] & (1u << (kc & 7))))
        boxKeycode_[static_cast<std::size_t>(kc)] = false;
  }
  // Every press the server processed before answering has come with the reply.
  readQueued();
}

void X11Input::ensurePointer(bool positionToo) {
  if (pointerValid_ || (!positionToo && buttonsValid_)) return;
  buttonsValid_ = true;
  // The position decides whether the user has moved the pointer since the program last
  // put it somewhere: a motion the server has sent in the meantime is read from the
  // socket too, without a round trip.
  if (positionToo)
    readQueued();
  else
    drainQueued();
  if (xiOpcode_ >= 0) {
    if (!positionToo && !buttonsChanged_ && !due(buttonsAt_)) return;
    if (positionToo && !buttonsChanged_ && !pointerMoved_ && !due(pointerAt_, kPointerRecheckMs)) {
      pointerValid_ = true;
      return;
    }
  }
  pointerValid_ = true;
  buttonsChanged_ = false;
  pointerMoved_ = false;
  pointerAt_ = buttonsAt_ = monotonicMs();
  ++pointerReads_;
  // Motion from here on is reported: the request goes out before the query.
  if (xiOpcode_ >= 0 && !motionSelected_) selectRawEvents(true);
  xcb_connection_t* c = XGetXCBConnection(dpy_);
  const xcb_query_pointer_cookie_t q = xcb_query_pointer(c, static_cast<xcb_window_t>(root_));
  if (xcb_query_pointer_reply_t* r = xcb_query_pointer_reply(c, q, nullptr)) {
    if (r->same_screen) {
      pointerX_ = r->root_x;
      pointerY_ = r->root_y;
    }
    pointerMask_ = r->mask;
    std::free(r);
    for (unsigned b = 1; b <= 5; ++b)
      if (!(pointerMask_ & (Button1Mask << (b - 1)))) boxButton_[b] = false;
  }
  readQueued();
}

bool X11Input::keyDown(int vk) {
  if (vk == 1 || vk == 2 || vk == 4) {
    ensurePointer(false);
    const unsigned button = vk == 1 ? 1 : vk == 2 ? 3 : 2;
    if (boxButton_[button]) return false;
    return (pointerMask_ & (Button1Mask << (button - 1))) != 0;
  }
  ensureKeys();
  for (std::uint8_t kc : keycodesForVk(vk))
    if (kc != 0 && !boxKeycode_[kc] && (keymap_[kc >> 3] & (1u << (kc & 7)))) return true;
  return false;
}

void X11Input::openBox() {
  // What came before the box was typed before it.
  if (boxDepth_++ == 0 && !lost_) readEvents();
}

void X11Input::closeBox() {
  // The key or click that closed the box reached Qt's connection; its raw event on this
  // one was sent no later, so after a round trip it has been read as the box's too.
  if (boxDepth_ == 1 && !lost_) sync();
  if (boxDepth_ > 0) --boxDepth_;
}

std::uint16_t X11Input::asyncKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  std::uint16_t r = keyDown(vk) ? 0x8000 : 0;
  bool& latched = latch_[static_cast<std::size_t>(vk)];
  if (latched) r |= 1;
  latched = false;
  return r;
}

std::int16_t X11Input::keyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  std::int16_t r = keyDown(vk) ? -128 : 0;
  bool on = toggled_[static_cast<std::size_t>(vk)];
  if (vk == 20 && xkb_) {
    if (!capsValid_) {
      Bool state = False;
      if (capsAtom_ && XkbGetNamedIndicator(dpy_, capsAtom_, nullptr, &state, nullptr, nullptr)) {
        capsOn_ = state;
      } else {
        XkbStateRec st;
        capsOn_ = XkbGetState(dpy_, XkbUseCoreKbd, &st) == Success && (st.locked_mods & LockMask);
      }
      capsValid_ = true;
    }
    on = capsOn_;
  }
  if (on) r = static_cast<std::int16_t>(r | 1);
  return r;
}

// --- injection ------------------------------------------------------------------------

void X11Input::keyEvent(int vk, bool up) {
  if (!xtest_) return;
  const int kc = keycodesForVk(vk)[0];
  if (kc == 0) return;
  if (!up && xiOpcode_ >= 0) {
    forgetStaleInjections();
    if (injected_.size() < kMaxInjections) injected_.push_back({kc, monotonicMs()});
  }
  XTestFakeKeyEvent(dpy_, static_cast<unsigned>(kc), up ? False : True, CurrentTime);
  XFlush(dpy_);
  // The server has the new state; so does this snapshot.
  if (keysValid_) {
    const auto bit = static_cast<unsigned char>(1u << (kc & 7));
    if (up)
      keymap_[static_cast<std::size_t>(kc >> 3)] &= static_cast<unsigned char>(~bit);
    else
      keymap_[static_cast<std::size_t>(kc >> 3)] |= bit;
  }
}

void X11Input::mouseEvent(int flags) {
  if (!xtest_) return;
  struct Step {
    int flag;
    unsigned button;
    bool press;
  };
  // The order a combined event is taken in: left before right, down before up.
  static constexpr Step kSteps[] = {{2, 1, true}, {4, 1, false}, {8, 3, true}, {16, 3, false}};
  for (const Step& s : kSteps) {
    if (!(flags & s.flag)) continue;
    if (s.press && xiOpcode_ >= 0) {
      forgetStaleInjections();
      if (injected_.size() < kMaxInjections)
        injected_.push_back({256 + static_cast<int>(s.button), monotonicMs()});
    }
    XTestFakeButtonEvent(dpy_, s.button, s.press ? True : False, CurrentTime);
    if (buttonsValid_) {
      const unsigned bit = s.button == 1 ? Button1Mask : Button3Mask;
      pointerMask_ = s.press ? (pointerMask_ | bit) : (pointerMask_ & ~bit);
    }
  }
  XFlush(dpy_);
}

// --- pointer ----------------------------------------------------------------------------

void X11Input::cursorPos(int& x, int& y) {
  ensurePointer(true);
  x = pointerX_;
  y = pointerY_;
}

void X11Input::setCursorPos(int x, int y) {
  XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, x, y);
  XFlush(dpy_);
  // The snapshot knows where the pointer is now; the server keeps it on the screen.
  const int screen = DefaultScreen(dpy_);
  pointerX_ = std::clamp(x, 0, DisplayWidth(dpy_, screen) - 1);
  pointerY_ = std::clamp(y, 0, DisplayHeight(dpy_, screen) - 1);
}

// The server is held for the query and the warp, so that no other client's motion (a
// pointer the user is moving, xdotool) is processed between them: either it came first and
// the pointer stays where it went, or it comes after the warp and takes the pointer along.
bool X11Input::setCursorPosIfAt(int expectedX, int expectedY, int x, int y) {
  XGrabServer(dpy_);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned int mask = 0;
  const bool sameScreen =
      XQueryPointer(dpy_, root_, &root, &child, &rootX, &rootY, &winX, &winY, &mask) != 0;
  const bool at = sameScreen && rootX == expectedX && rootY == expectedY;
  if (at) XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, x, y);
  XUngrabServer(dpy_);
  XFlush(dpy_);
  if (at) {
    const int screen = DefaultScreen(dpy_);
    pointerX_ = std::clamp(x, 0, DisplayWidth(dpy_, screen) - 1);
    pointerY_ = std::clamp(y, 0, DisplayHeight(dpy_, screen) - 1);
  } else if (sameScreen) {
    pointerX_ = rootX;
    pointerY_ = rootY;
  }
  return at;
}

// --- windows ----------------------------------------------------------------------------

void X11Input::setAbove(unsigned long window) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = netWmState_;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
  ev.xclient.data.l[1] = static_cast<long>(netWmStateAbove_);
  ev.xclient.data.l[2] = 0;
  ev.xclient.data.l[3] = 1;  // a normal application asks
  XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XRaiseWindow(dpy_, window);
  XFlush(dpy_);
}

namespace {

// A window property as bytes; empty when it is not there or not of this type.
std::string windowProperty(Display* dpy, Window w, Atom name, Atom type, int wantFormat,
                           long maxLongs = 1024) {
  Atom got = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string out;
  if (XGetWindowProperty(dpy, w, name, 0, maxLongs, False, type, &got, &format, &count, &after,
                         &data) == Success &&
      got == type && format == wantFormat && data) {
    // Format 32 comes as longs, whatever their size.
    const size_t unit = format == 32 ? sizeof(long) : static_cast<size_t>(format / 8);
    out.assign(reinterpret_cast<const char*>(data), count * unit);
  }
  if (data) XFree(data);
  return out;
}

}  // namespace

bool X11Input::raiseWindowOfProcess(long pid, const std::string& title) {
  if (lost_ || pid <= 0) return false;
  const Atom clientList = XInternAtom(dpy_, "_NET_CLIENT_LIST", False);
  const Atom wmPid = XInternAtom(dpy_, "_NET_WM_PID", False);
  const Atom netWmName = XInternAtom(dpy_, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(dpy_, "UTF8_STRING", False);
  const Atom activeWindow = XInternAtom(dpy_, "_NET_ACTIVE_WINDOW", False);
  // The window manager's list of the windows it manages; without one, the top-levels are
  // the root's children.
  std::vector<Window> windows;
  const std::string list = windowProperty(dpy_, root_, clientList, XA_WINDOW, 32, 1 << 16);
  for (size_t at = 0; at + sizeof(long) <= list.size(); at += sizeof(long)) {
    long w = 0;
    std::memcpy(&w, list.data() + at, sizeof w);
    windows.push_back(static_cast<Window>(w));
  }
  if (windows.empty()) {
    Window rootOut = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(dpy_, root_, &rootOut, &parent, &children, &n) && children)
      windows.assign(children, children + n);
    if (children) XFree(children);
  }
  bool raised = false;
  for (const Window w : windows) {
    const std::string p = windowProperty(dpy_, w, wmPid, XA_CARDINAL, 32);
    long owner = 0;
    if (p.size() < sizeof owner) continue;
    std::memcpy(&owner, p.data(), sizeof owner);
    if (owner != pid) continue;
    std::string name = windowProperty(dpy_, w, netWmName, utf8, 8);
    if (name.empty()) name = windowProperty(dpy_, w, XA_WM_NAME, XA_STRING, 8);
    if (name != title) continue;
    // Shown again if it was minimised, then activated as a pager asks for it: the user
    // asked for that window by starting the program again.
    XMapRaised(dpy_, w);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = activeWindow;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 2;  // source: a pager, on the user's behalf
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    raised = true;
  }
  XSync(dpy_, False);
  drainQueued();
  return raised;
}

void X11Input::watchWindow(unsigned long window) {
  XSelectInput(dpy_, window, StructureNotifyMask);
  XFlush(dpy_);
}

bool X11Input::windowOrigin(unsigned long window, int& x, int& y) {
  Window child = 0;
  const bool ok = XTranslateCoordinates(dpy_, window, root_, 0, 0, &x, &y, &child);
  drainQueued();
  return ok;
}

bool X11Input::frameExtents(unsigned long window, long extents[4]) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int rc = XGetWindowProperty(dpy_, window, netFrameExtents_, 0, 4, False, XA_CARDINAL, &type,
                                    &format, &count, &after, &data);
  bool ok = rc == Success && type == XA_CARDINAL && format == 32 && count == 4 && data;
  if (ok) {
    const auto* v = reinterpret_cast<const long*>(data);  // format 32 comes as longs
    for (int i = 0; i < 4; ++i) extents[i] = v[i];
  }
  if (data) XFree(data);
  drainQueued();
  return ok;
}

}  // namespace kel::qt
