// Keyboard input and the key queue.
#pragma once

namespace kel {

class Program;

class Input {
 public:
  explicit Input(Program& p) : p(p) {}

  // Activates the US English keyboard layout. On X11 the program reads keys by their
  // physical place, so this only asks the desktop and never changes what is typed.
  void SwitchToUSKeyboard();

 private:
  Program& p;
};

}  // namespace kel
