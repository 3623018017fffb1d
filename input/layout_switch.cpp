// Typing-layout switching: the Shift and Ctrl watches and their latches, the Ctrl+Shift
// chord, the desktop's input-language chords and the US English keyboard layout.
#include "app/program.h"

namespace kel {

namespace {

constexpr int kWatchIntervalMs = 20;
// While Ctrl is held its watch looks four times a second.
constexpr int kCtrlHeldWatchIntervalMs = 250;

// The latches' words: the Shift latch holds the text form of a truth value, the Ctrl
// latch "1" for held and the word "False" for up.
constexpr const char* kShiftHeld = "True";
constexpr const char* kCtrlHeld = "1";
constexpr const char* kUp = "False";

}  // namespace

void Input::Timer13_Timer() {
  MainWindow& w = p.Form1;
  w.Timer13.setInterval(kWatchIntervalMs);
  if (IsShiftDown()) {
    w.Text7.setText(truthText(IsShiftDown()));
    // The latch stays up for 250 ms after the last tick that saw Shift.
    w.Timer20.setEnabled(false);
    w.Timer20.setEnabled(true);
  }
}

void Input::Timer20_Timer() {
  MainWindow& w = p.Form1;
  w.Timer20.setEnabled(false);
  w.Text7.setText(kUp);
}

void Input::Timer14_Timer() {
  MainWindow& w = p.Form1;
  w.Timer14.setInterval(kWatchIntervalMs);
  if (IsCtrlDown()) {
    p.CtrlDown = 1;
    w.Text9.setText(kCtrlHeld);
    w.Timer14.setInterval(kCtrlHeldWatchIntervalMs);
  } else {
    p.CtrlDown = 0;
    w.Text9.setText(kUp);
    w.Timer14.setInterval(kWatchIntervalMs);
  }
}

// The latches are rewritten on every watch tick but change only on a press or a drop,
// so the chord queues its code once, when the second of the two latches goes up.
void Input::Text7_Change() {
  const MainWindow& w = p.Form1;
  if (w.Text9.Text() == kCtrlHeld && w.Text7.Text() == kShiftHeld)
    AppendQueueItem(p.LatinLayout == 1 ? "6000" : "5000", "0");
}

void Input::Text9_Change() { Text7_Change(); }

void Input::Timer19_Timer() {
  p.Form1.Timer19.setEnabled(false);
  // Left Ctrl+left Shift, then left Alt+left Shift: the two usual input-language chords.
  for (int modifier : {vk::LControl, vk::LMenu}) {
    PressKey(modifier);
    PressKey(vk::LShift);
    ReleaseKey(vk::LShift);
    ReleaseKey(modifier);
  }
}

void Input::SwitchToUSKeyboard() { p.desktop.activateKeyboardLayout("00000409"); }

}  // namespace kel
