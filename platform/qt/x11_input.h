// The keyboard, the mouse buttons and the pointer of the X display, as the program
// polls them: whatever window has the focus, by physical key.
//
// Down-now comes from QueryKeymap (and QueryPointer for the buttons and the pointer):
// one snapshot answers every query until invalidate() is called, which the desktop
// does before each scheduler batch and each routed widget event, so polling 256 codes
// costs one round trip at most, and none while no key went down or up. The pointer's
// position is read again only when it may have moved: a raw motion event came (from a
// device, or XTest), the desktop saw the pointer move over one of its windows
// (pointerMayHaveMoved), or a quarter of a second has passed (a warp by another program
// outside the program's windows sends no event at all). "Pressed since
// the last query" is a latch per code fed by XInput2 raw press events on the root
// window; they are read from the connection before each snapshot, after each round
// trip and whenever the socket is readable, so a tap shorter than one poll still
// counts once. The same raw presses, in the order they arrive, make the list of the
// user's presses (takeKeyPresses), each with whether a Shift key, a Ctrl key and the left
// Alt key were down at that event; that comes from the raw presses and releases of those
// keycodes, set again from every keymap snapshot. Presses the program injected itself through XTest
// are remembered and consumed when their raw event comes back: other XTest clients (xdotool) share
// the same source device, so only this memory tells them apart.
//
// Plain Xlib on a connection of its own: Qt's connection is left alone.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "platform/desktop.h"

struct _XDisplay;

namespace kel::qt {

// A connection to the display named by DISPLAY, or nullptr.
_XDisplay* openDisplay();

class X11Input {
 public:
  // Takes over the connection and closes it at destruction.
  explicit X11Input(_XDisplay* display);
  ~X11Input();
  X11Input(const X11Input&) = delete;
  X11Input& operator=(const X11Input&) = delete;

  _XDisplay* display() const { return dpy_; }
  int connectionFd() const;
  bool hasRawEvents() const { return xiOpcode_ >= 0; }
  bool hasXTest() const { return xtest_; }

  // The next query takes a fresh snapshot.
  void invalidate() {
    keysValid_ = false;
    buttonsValid_ = false;
    pointerValid_ = false;
    capsValid_ = false;
  }
  // Reads every event the server has sent (the socket is readable).
  void readEvents();

  // Bit 15 down now, bit 0 pressed since the previous query of this code.
  std::uint16_t asyncKeyState(int vk);
  // -128 while down, bit 0 the toggle state.
  std::int16_t keyState(int vk);
  // One synthetic key event through XTest (kept out of the latch).
  void keyEvent(int vk, bool up);
  // The user's key and button presses since the previous call, in arrival order (at most
  // kMaxKeyPresses, the oldest); neither repeats nor the program's own injections. Each
  // reader has its own list.
  std::vector<KeyPress> takeKeyPresses(KeyReader reader = KeyReader::Capture);
  // Synthetic button events: 2/4 left down/up, 8/16 right down/up.
  void mouseEvent(int flags);

  // While one of the program's own boxes or file dialogs is open (calls nest), what the user
  // presses answers that box: such a key or button is no press, sets no latch and reads as
  // up, here and after the box has closed, until it is released.
  void openBox();
  void closeBox();

  void cursorPos(int& x, int& y);
  void setCursorPos(int x, int y);
  bool setCursorPosIfAt(int expectedX, int expectedY, int x, int y);
  // The pointer may stand elsewhere now (it moved over, into or out of a window of ours):
  // the next position asked for is read from the server.
  void pointerMayHaveMoved() { pointerMoved_ = true; }
  // Round trips made for the pointer, for measurements.
  std::uint64_t pointerReads() const { return pointerReads_; }
  int xinputOpcode() const { return xiOpcode_; }

  // Window services that Qt has no call for.
  // Asks the window manager to keep a mapped window above the others (_NET_WM_STATE_ABOVE).
  void setAbove(unsigned long window);
  // Activates and raises the top-level window of another process (its _NET_WM_PID) that
  // has this title, with a window manager or without one. False when none was found.
  bool raiseWindowOfProcess(long pid, const std::string& title);
  // Reports the destruction of one of the program's windows by someone else.
  void watchWindow(unsigned long window);
  std::function<void(unsigned long window)> windowDestroyed;
  // Where the window's top-left pixel is on the screen, as the server has it.
  bool windowOrigin(unsigned long window, int& x, int& y);
  // The frame a window manager draws around the window: left, right, top, bottom.
  bool frameExtents(unsigned long window, long extents[4]);
  void flush();
  // Waits until the server has handled every request sent so far.
  void sync();

  // Called once, from inside the Xlib call that found the connection broken (the X
  // server ended or was killed). The process goes on: every later Xlib call on the
  // connection fails at once, and nothing should ask it anything any more.
  std::function<void()> connectionLost;
  bool lost() const { return lost_; }

 private:
  static void onConnectionLost(_XDisplay* display, void* self);
  void readQueued();
  void selectRawEvents(bool motion);
  void ensureKeys();
  void ensurePointer(bool positionToo);
  bool due(std::int64_t& lastAt, std::int64_t periodMs = kRecheckMs);
  void drainQueued();
  void handleEvent(void* xevent);
  void rawPress(int vk);
  void recordPress(int vk);
  void modifierKeycode(int keycode, bool down);
  void modifiersFromKeymap();
  bool consumeInjected(int code);
  void forgetStaleInjections();
  bool keyDown(int vk);

  _XDisplay* dpy_ = nullptr;
  bool lost_ = false;
  unsigned long root_ = 0;
  int xiOpcode_ = -1;
  bool xtest_ = false;
  bool xkb_ = false;
  unsigned long capsAtom_ = 0;
  unsigned long netWmState_ = 0, netWmStateAbove_ = 0, netFrameExtents_ = 0;

  // The snapshot. The keyboard and the buttons change only by device events, which
  // come as raw events too: while none has come, the last answer is still the state,
  // and no round trip is needed (it is taken anyway once a second, should an event
  // ever be lost). The pointer's position likewise, but a move may come without any
  // event (a warp), so it is read again sooner.
  static constexpr std::int64_t kRecheckMs = 1000;
  static constexpr std::int64_t kPointerRecheckMs = 250;
  std::array<unsigned char, 32> keymap_{};
  int pointerX_ = 0, pointerY_ = 0;
  unsigned pointerMask_ = 0;
  bool keysValid_ = false, buttonsValid_ = false, pointerValid_ = false;
  bool keysChanged_ = true, buttonsChanged_ = true;
  std::int64_t keysAt_ = 0, buttonsAt_ = 0;
  // Raw motion is asked for only until the first one after a read: one event says what
  // is to be known, and a moving mouse would otherwise wake the program at its own rate.
  bool pointerMoved_ = true;
  bool motionSelected_ = false;
  std::int64_t pointerAt_ = 0;
  std::uint64_t pointerReads_ = 0;
  bool capsOn_ = false;
  bool capsValid_ = false;

  std::array<bool, 256> latch_{};
  std::array<bool, 256> toggled_{};

  // Keycodes and buttons (1 to 7) that went down while a box was open, until they go up.
  int boxDepth_ = 0;
  std::array<bool, 256> boxKeycode_{};
  std::array<bool, 8> boxButton_{};

  // The user's presses not taken yet by each reader, and which Shift, Ctrl and left Alt keycodes
  // are down as the raw events tell it.
  std::array<std::deque<KeyPress>, kKeyReaders> presses_;
  std::array<bool, 256> modifierKeycodeDown_{};

  // Presses this program injected whose raw events have not come back yet: key
  // presses by keycode, button presses as 256 + button.
  struct Injection {
    int code;
    std::int64_t atMs;
  };
  std::vector<Injection> injected_;
};

}  // namespace kel::qt
