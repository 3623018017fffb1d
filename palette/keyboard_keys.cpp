// The on-screen keyboard's keys: what a click queues, the pressed key's colour and the
// pointer's way back to the keyboard, the fraction keys' cycle, and the arrow keys, which
// move the insertion point while the pointer stays on the key.
#include <limits>
#include <string>

#include "app/program.h"
#include "input/input.h"
#include "palette/keyboard.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr Colour kPressed = kRed;
constexpr Colour kPadYellow = 0x0080FFFF;
constexpr int kEqualsPadKey = 6, kEqualsKey = 48;
constexpr int kBackspaceKey = 50, kInsertKey = 54, kPageDownKey = 55, kHomeKey = 56;
constexpr int kRightKey = 60, kLeftKey = 61, kUpKey = 62, kDownKey = 63;
// Backspace may turn into an undo: the pointer waits longer before it comes back.
constexpr int kBackspaceReturnMs = 500;
// Ticks of a held arrow key before the insertion point moves 10 px a tick instead of 1.
constexpr int kSlowTicks = 10;
constexpr double kSlowStepPx = 1, kFastStepPx = 10;

bool isArrow(int index) { return index >= kRightKey && index <= kDownKey; }

}  // namespace

void Keyboard::queue(const std::string& code, const std::string& shift) {
  p.input.AppendQueueItem(code, shift);
}

void Keyboard::ZapomniTuk() {
  const PointPx c = p.desktop.cursorPos();
  p.SavedPointerX = c.x;
  p.SavedPointerY = c.y;
  p.surface.LeavePointerWithUser();
}

void Keyboard::skipThisRelease() {
  // Only a press the left-button sampler saw has a release it will see; a click quicker
  // than its 50 ms would leave the mark for the next click, wherever that is.
  if (p.Form1.TextM1.Text() == truthText(true)) p.SkipNextButtonChange2 = 1;
}

void Keyboard::HighlightPadKey(int index) {
  KeyboardForm& f = p.Form8;
  f.Command1[index].BackColor = kPressed;
  p.app.MakeTopmost(f);
  p.ReturnClickPending = 1;
  ZapomniTuk();
  focusSink();
}

void Keyboard::PrepareKeyPress(int index) {
  KeyboardForm& f = p.Form8;
  f.Command3[index].BackColor = kPressed;
  const std::optional<int> code = MainKeyCode(index);
  f.KeyCode = code ? std::to_string(*code) : std::string();
  p.app.MakeTopmost(f);
  p.ReturnClickPending = 1;
  ZapomniTuk();
  focusSink();
}

void Keyboard::Command1_Click(int index) {
  if (index < 0 || index > kLastPadKey) return;
  HighlightPadKey(index);
  // A pad key's click, like a main key's, must not reach the page as a click.
  skipThisRelease();
  queue(kPadKeys[index].item.code, kPadKeys[index].item.shift);
  // The reading that " = " can start does not run while the pointer counts as on a panel.
  if (index == kEqualsPadKey) p.PointerOverPanel = 0;
  p.Form1.Timer28.setEnabled(true);
}

void Keyboard::Command1_MouseDown(int, int, int, double, double) {
  // As a main key's press: the press is the keyboard's, not a press on the page that the
  // button-press re-read would take the insertion point from.
  p.PointerOverPanel = 1;
}

void Keyboard::Command1_MouseMove(int, int, int, double, double) {
  // Over the keyboard, as on every other key: the click detector then ignores the press.
  p.PointerOverForm8 = 1;
  restartAfterStop();
}

void Keyboard::Command3_Click(int index) {
  if (index < 0 || index > kLastMainKey) return;
  KeyboardForm& f = p.Form8;
  MainWindow& w = p.Form1;
  p.PointerOverForm8 = 1;
  p.PointerOverPanel = 1;
  PrepareKeyPress(index);
  skipThisRelease();
  if (index == kEqualsKey) p.PointerOverPanel = 0;
  switch (index) {
    case kBackspaceKey:
      queue("8", "0");
      w.Timer28.setInterval(kBackspaceReturnMs);
      break;
    case kInsertKey:
      queue("45", "0");
      f.Command3[kPageDownKey].Visible = true;
      f.Command3[kInsertKey].Visible = false;
      p.surface.PokazvaneZaHome1();
      break;
    case kPageDownKey:
      // Out of a lower index first, as the real keys leave it.
      if (p.LowerIndexMode == 1) queue("123", "0");
      queue("34", "0");
      f.Command3[kPageDownKey].Visible = false;
      f.Command3[kHomeKey].Visible = true;
      p.surface.PokazvaneZaHome2();
      break;
    case kHomeKey:
      if (p.LowerIndexMode == 1) queue("123", "0");
      queue("36", "0");
      f.Command3[kHomeKey].Visible = false;
      f.Command3[kInsertKey].Visible = true;
      p.surface.ZachisvaneHome();
      break;
    case kRightKey:
    case kLeftKey:
    case kUpKey:
    case kDownKey:
      break;
    default:
      queue(f.KeyCode, std::to_string(f.ShiftOn));
      break;
  }
  w.Timer28.setEnabled(true);
  // The item went with the shift flag 1; the one-shot Shift ends now.
  if (f.ShiftLatched == 1) Command5_Click(1);
}

void Keyboard::Command3_MouseDown(int index, int, int, double, double) {
  KeyboardForm& f = p.Form8;
  p.PointerOverPanel = 1;
  if (!isArrow(index)) return;
  f.HoldTicks = 0;
  f.Timer3.setEnabled(true);
  f.MoveRight = index == kRightKey ? 1 : 0;
  f.MoveLeft = index == kLeftKey ? 1 : 0;
  f.MoveUp = index == kUpKey ? 1 : 0;
  f.MoveDown = index == kDownKey ? 1 : 0;
}

void Keyboard::Command3_MouseMove(int, int, int, double, double) {
  p.PointerOverForm8 = 1;
  restartAfterStop();
}

void Keyboard::Command3_MouseUp(int, int, int, double, double) { p.Form8.Timer3.setEnabled(false); }

void Keyboard::ResetKeyColours() {
  KeyboardForm& f = p.Form8;
  // A keyboard never opened has nothing to reset (and is not loaded for it).
  if (!f.Loaded) return;
  for (int i = 0; i <= kLastPadKey; ++i)
    if (f.Command1.IsLoaded(i)) f.Command1[i].BackColor = i >= 7 && i <= 17 ? kWhite : kPadYellow;
  for (int i = 0; i <= kLastMainKey; ++i)
    if (f.Command3.IsLoaded(i)) f.Command3[i].BackColor = kWhite;
}

// --- the arrow keys ------------------------------------------------------------------------

void Keyboard::Timer3_Timer() {
  KeyboardForm& f = p.Form8;
  if (f.HoldTicks < std::numeric_limits<int>::max()) f.HoldTicks += 1;
  OtmestiMarker();
}

void Keyboard::OtmestiMarker() {
  KeyboardForm& f = p.Form8;
  const double step = f.HoldTicks < kSlowTicks ? kSlowStepPx : kFastStepPx;
  if (f.MoveRight == 1) p.PointerX += step;
  if (f.MoveLeft == 1) p.PointerX -= step;
  if (f.MoveUp == 1) p.PointerY -= step;
  if (f.MoveDown == 1) p.PointerY += step;
  p.surface.KeepInsertionPointOnPage();
  p.surface.LastSymbolAtPointer();
  // The real pointer stays on the key that is held.
}

}  // namespace kel
