// Keyboard capture: the poll, the release check and the queue cancel.
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr int kPollIntervalMs = 20;
// While the left Ctrl key is held the poll looks only once a second.
constexpr int kCtrlHeldPollIntervalMs = 1000;
constexpr int kReleaseCheckIntervalMs = 50;

constexpr int kUpperIndexDropPx = 13;
constexpr int kLowerIndexRisePx = 8;

constexpr int kZ = 90;
constexpr const char* kLatinLayoutCode = "5000";
constexpr const char* kCyrillicLayoutCode = "6000";

// LastKeyCode compared as a number, as the release step compares it.
bool keyCodeIs(const std::string& text, long long code) {
  const std::optional<double> v = toNumber(text);
  return v && *v == static_cast<double>(code);
}

}  // namespace

// --- the poll ----------------------------------------------------------------------------

void Input::Timer0_Timer() {
  p.Form1.Timer0.setInterval(kPollIntervalMs);
  // The left button is the click detector's, the generic Shift and Ctrl and the left
  // Shift are the watches'; every other code is looked at, lowest first, so when several
  // keys are down in one poll the highest one is remembered.
  for (int k = 2; k <= 255; ++k) {
    if (k == vk::Shift || k == vk::Control || k == vk::LShift) continue;
    ZaForKey(k);
  }
}

void Input::ZaForKey(int kakvo) {
  const int k = kakvo;
  // Held now or pressed since the previous look: a tap shorter than a poll still counts.
  if (p.desktop.asyncKeyState(k) == 0) return;
  MainWindow& w = p.Form1;
  if (k == vk::LControl) {
    // Holding Ctrl ends a pending upper index at once (no undo step while it is held),
    // and the poll then looks only once a second while Ctrl stays down.
    w.Timer0.setInterval(kCtrlHeldPollIntervalMs);
    w.Timer4.setEnabled(true);
    return;
  }
  // Space is let go at once, so it is queued as soon as it is pressed, not when the
  // user lets it go.
  if (k == vk::Space) ReleaseKey(vk::Space);
  if (k == vk::LShift || k == vk::RShift) return;
  if (k >= vk::Left && k <= vk::Down) {
    za3740(k);
    return;
  }
  p.LastKeyCode = std::to_string(k);
}

int Input::Gore(int butona) {
  try {
    return p.desktop.keyState(butona);
  } catch (const std::exception&) {
    return 0;
  }
}

// --- the release check -------------------------------------------------------------------

void Input::Timer00_Timer() {
  MainWindow& w = p.Form1;
  w.Timer00.setInterval(kReleaseCheckIntervalMs);
  // A limits dialog takes the keys while it is open; the key waiting when it closes was
  // typed into the dialog and is dropped.
  if (p.BoundsQueueState == 1) return;
  if (p.BoundsQueueState == 2) {
    p.LastKeyCode = "0";
    p.BoundsQueueState = 0;
    return;
  }
  if (keyCodeIs(p.LastKeyCode, 0)) return;
  const std::optional<long long> code = toWholeNumber(p.LastKeyCode);
  const int state = code && *code >= 0 && *code <= 255 ? Gore(static_cast<int>(*code)) : 0;
  if (state != 1 && state != 0) return;  // still held: queued at its release

  // Ctrl+Z is the undo hotkey's: it queues an empty item rather than the letter.
  if (keyCodeIs(p.LastKeyCode, kZ) && p.CtrlDown == 1) p.LastKeyCode = "";

  if (!keyCodeIs(p.LastKeyCode, vk::RButton)) {
    if (keyCodeIs(p.LastKeyCode, vk::LMenu)) {
      if (p.LatinLayout == 1) {
        p.LastKeyCode = kCyrillicLayoutCode;
      } else {
        // Back to Latin at once: another Alt before this item is played queues the
        // switch to Cyrillic again, as it would in the Latin layout.
        p.LatinLayout = 1;
        p.LastKeyCode = kLatinLayoutCode;
      }
    }
    const bool shifted = IsCapsLockOn() || w.Text7.Text() == "True";
    AppendQueueItem(p.LastKeyCode, shifted ? "1" : "0");
  } else {
    rightButtonReleased();
  }
  p.LastKeyCode = "0";
}

void Input::rightButtonReleased() {
  MainWindow& w = p.Form1;
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  const double x = c.x, y = c.y;
  // Over the right-hand panel or a floating window the button is theirs.
  if (x > singleDiv15(w.Left) + singleDiv15(w.Frame6.Left) || p.PointerOverForm8 == 1) return;
  w.Timer18.setEnabled(false);
  if (w.Text21.Visible) p.pages.ShowForm7At(15 * x + 200, 15 * y - 1000);
  p.pages.UnloadForm2();
}

// --- cancelling the queue ----------------------------------------------------------------

void Input::StopIzpalnenie() {
  MainWindow& w = p.Form1;
  if (p.UpperIndexMode == 1) {
    p.UpperIndexMode = 0;
    p.surface.ReadPointer();
    p.PointerY += kUpperIndexDropPx;
    p.surface.MovePointerToInsertionPoint();
  }
  if (p.LowerIndexMode == 1) {
    p.LowerIndexMode = 0;
    p.surface.ReadPointer();
    p.PointerY -= kLowerIndexRisePx;
    p.surface.MovePointerToInsertionPoint();
  }
  p.BusyFlag = 0;
  // A left-button-up at the insertion point ends whatever press is still under way.
  p.desktop.mouseEvent(mouseflag::LeftUp, pixelForPointer(p.PointerX), pixelForPointer(p.PointerY));
  // Nothing already in the lists is played; what is appended afterwards is.
  const int last = w.List1.ListCount() - 1;
  p.QueueLength = last;
  w.List1.ListIndex = last;
  w.List2.ListIndex = last;
  CancelBoundsQueueHold();
}

void Input::CancelBoundsQueueHold() {
  if (p.BoundsQueueState != 1) return;
  if (p.evaluation.Form4Visible() || p.evaluation.Form5Visible()) return;
  p.BoundsQueueState = 2;
}

}  // namespace kel
