// Keyboard input and the key queue.
#pragma once

#include <string>
#include <vector>

#include "input/interpreter.h"

namespace kel {

class Program;

class Input {
 public:
  explicit Input(Program& p);

  // --- the key queue and its player --------------------------------------------------
  // Appends one item: its code text to List1, its shift flag to List2, and one more
  // item to play (QueueLength + 1). Every writer of the queue goes through here.
  void AppendQueueItem(const std::string& code, const std::string& shift);
  // The player: one item per tick, handed to the interpreter of the typing layout.
  void Timer1_Timer();

  // --- the interpreters --------------------------------------------------------------
  void ProcessQueuedKeyLatin();
  void ProcessQueuedKeyCyrillic();
  // The row groups the interpreters try, in order (see input/interpreter.h). Tests may
  // put a group of their own in.
  std::vector<RowGroup> rowGroups;

  // --- keyboard capture ----------------------------------------------------------------
  // Cancels what the queue still holds before an arrow move (ends an index mode too).
  void StopIzpalnenie();
  // An arrow key (37 to 40) seen down by the keyboard poll: moves the insertion point.
  void za3740(int k);

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
  void playQueuedKey(TypingLayout layout);
  Program& p;
};

// The text form of a truth value, as the latches and histories compare it.
inline const char* truthText(bool b) { return b ? "True" : "False"; }

}  // namespace kel
