// Keyboard input and the key queue.
#pragma once

namespace kel {

class Program;

class Input {
 public:
  explicit Input(Program& p) : p(p) {}

  // --- key and button state ----------------------------------------------------------
  // Whether either Ctrl, either Shift, or the left mouse button is held at this moment.
  bool IsCtrlDown();
  bool IsShiftDown();
  bool IsLeftButtonDown();
  // Whether Caps Lock is toggled on (whether or not the key is held).
  bool IsCapsLockOn();
  // One synthetic key-down or key-up event.
  void PressKey(int vk);
  void ReleaseKey(int vk);

  // Activates the US English keyboard layout. On X11 the program reads keys by their
  // physical place, so this only asks the desktop and never changes what is typed.
  void SwitchToUSKeyboard();

 private:
  Program& p;
};

// The text form of a truth value, as the latches and histories compare it.
inline const char* truthText(bool b) { return b ? "True" : "False"; }

}  // namespace kel
