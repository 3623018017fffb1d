// Keyboard capture: the poll, the release check and the queue cancel.
#include <array>
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr int kPollIntervalMs = 20;
// While the left Ctrl key is held the poll looks only once a second.
constexpr int kCtrlHeldPollIntervalMs = 1000;
constexpr int kReleaseCheckIntervalMs = 50;
// A poll or a release check this much later than due (a loaded machine left the program
// waiting) may bring keys together that ticks on time would have queued one by one.
constexpr Millis kLateInputMs = 10;

constexpr int kUpperIndexDropPx = 13;
constexpr int kLowerIndexRisePx = 8;

constexpr int kZ = 90;
constexpr const char* kLatinLayoutCode = "5000";
constexpr const char* kCyrillicLayoutCode = "6000";

// Whether a press is one the release check queues: the poll gives the left button to the
// click detector, the Shift and Ctrl keys to their watches, and moves the pointer for the
// arrows while they are held; every other key and button is captured, Space included.
bool isCapturedPress(int vk) {
  if (vk < 2 || vk > 255) return false;
  if (vk == vk::Shift || vk == vk::Control) return false;
  if (vk == vk::LShift || vk == vk::RShift || vk == vk::LControl) return false;
  return vk < vk::Left || vk > vk::Down;
}

}  // namespace

// --- the poll ----------------------------------------------------------------------------

void Input::Timer0_Timer() {
  if (p.Form1.Timer0.lateBy() > kLateInputMs) lateSinceReleaseCheck_ = true;
  p.Form1.Timer0.setInterval(kPollIntervalMs);
  // What depends on a key being held (the left Ctrl, Space, the arrows) is looked at key
  // by key; the left button is the click detector's, the generic Shift and Ctrl and the
  // left Shift are the watches'.
  // The presses first: one made with the pointer back on the page has the pointer follow
  // the insertion point again before an arrow moves it.
  captureKeyPresses();
  for (int k = 2; k <= 255; ++k) {
    if (k == vk::Shift || k == vk::Control || k == vk::LShift) continue;
    // --- editing: Delete's press mark is the editing hotkeys' ----------------------------
    // Asking for it here would take a tap shorter than their poll away from them.
    if (k == vk::Delete) continue;
    // ------------------------------------------------------------------------------------
    ZaForKey(k);
  }
}

void Input::captureKeyPresses() {
  // What is typed comes from the presses themselves, in the order they happened: a key
  // pressed while the previous one is still waiting for its release, or several in one
  // poll, is each captured once, with the Shift and Ctrl of its own press.
  bool typed = false;
  for (const KeyPress& k : p.desktop.takeKeyPresses(KeyReader::Capture)) {
    // Any key, the arrows and Shift too; a mouse button is no typing.
    if (k.vk != vk::LButton && k.vk != vk::RButton && k.vk != vk::MButton) typed = true;
    if (!isCapturedPress(k.vk)) continue;
    // The left Alt outranks every key pressed while it is held: Alt+A, Alt+F4, Alt+Tab
    // queue the Alt key's layout code and nothing else.
    if (k.leftAlt && k.vk != vk::LMenu) continue;
    // The press of a key that was down when a limits dialog submitted: typed into it.
    if (dialogPressesToCome_[static_cast<size_t>(k.vk)]) {
      dialogPressesToCome_[static_cast<size_t>(k.vk)] = false;
      continue;
    }
    // Full (a key held down while thousands are typed): what was typed first stays.
    if (p.CapturedKeys.size() >= kMaxCapturedKeys) continue;
    p.CapturedKeys.push_back({k.vk, k.shift, k.ctrl});
  }
  if (typed) p.surface.TypingResumes();
}

void Input::claimHotkeyPress(int key) {
  // The press may still be in the desktop's list while left Ctrl slows the poll (and
  // while the poll is off, what is typed is not captured at all).
  if (p.Form1.Timer0.Enabled()) captureKeyPresses();
  for (auto it = p.CapturedKeys.rbegin(); it != p.CapturedKeys.rend(); ++it) {
    if (it->code == key) {
      it->ctrl = true;
      return;
    }
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
    p.surface.StartStepForCtrl();
    return;
  }
  // Space is let go at once, so it is queued as soon as it is pressed, not when the
  // user lets it go.
  if (k == vk::Space) ReleaseKey(vk::Space);
  if (k >= vk::Left && k <= vk::Down) za3740(k);
}

void Input::ForgetKeyPressesWhileOff() {
  // Neither typed nor acted on: the hotkeys forget them too (a Delete typed into another
  // window deletes nothing here).
  p.desktop.takeKeyPresses(KeyReader::Capture);
  p.desktop.takeKeyPresses(KeyReader::Hotkeys);
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
  // A limits dialog takes the keys while it is open (they are dropped when it submits or
  // closes), and what is typed after its Submit waits until the limits stand: it is then
  // queued behind them, in the order it was typed.
  if (p.BoundsQueueState == 1) return;
  if (p.BoundsQueueState == 2) {
    p.BoundsQueueState = 0;
    dialogPressesToCome_.fill(false);
  }
  // Keys released between two checks on time share the undo step of the first of them, as
  // the design has it. After a late check, or a late poll since the last check, nobody can
  // tell when each key was let go: each key found is a change of its own (one more Undo
  // at worst, never a letter the user did not undo).
  const bool late = lateSinceReleaseCheck_ || w.Timer00.lateBy() > kLateInputMs;
  lateSinceReleaseCheck_ = false;
  const int before = w.List1.ListCount();
  // In press order: a key released while an earlier one is still held waits for it.
  while (!p.CapturedKeys.empty()) {
    const CapturedKey key = p.CapturedKeys.front();
    const int state = Gore(key.code);
    if (state != 1 && state != 0) return;  // still held: queued at its release
    p.CapturedKeys.pop_front();
    const int queued = w.List1.ListCount();
    queueReleasedKey(key);
    if (late && queued > before && w.List1.ListCount() > queued) QueueAsOwnStep(queued);
  }
}

void Input::queueReleasedKey(const CapturedKey& key) {
  if (key.code == vk::RButton) {
    rightButtonReleased();
    return;
  }
  std::string code = std::to_string(key.code);
  // Ctrl+Z is the undo hotkey's: it queues an empty item rather than the letter.
  if (key.code == kZ && (key.ctrl || p.CtrlDown == 1)) code.clear();
  if (key.code == vk::LMenu) {
    if (p.LatinLayout == 1) {
      code = kCyrillicLayoutCode;
    } else {
      // Back to Latin at once: another Alt before this item is played queues the
      // switch to Cyrillic again, as it would in the Latin layout.
      p.LatinLayout = 1;
      code = kLatinLayoutCode;
    }
  }
  // Shifted as it was typed: Shift held when the key went down, not some time before
  // its release.
  const bool shifted = IsCapsLockOn() || key.shift;
  AppendQueueItem(code, shifted ? "1" : "0");
  // Likewise Ctrl: a chord's letter stays out of the formula even when Ctrl is let go
  // before the item is played.
  if (key.ctrl) p.CtrlChordItems.push_back(p.Form1.List1.ListCount() - 1);
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
    p.surface.ReadInsertionPoint();
    p.PointerY += kUpperIndexDropPx;
    p.surface.FollowInsertionPoint();
  }
  if (p.LowerIndexMode == 1) {
    p.LowerIndexMode = 0;
    p.surface.ReadInsertionPoint();
    p.PointerY -= kLowerIndexRisePx;
    p.surface.FollowInsertionPoint();
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
  if (limitsPlacing_) LimitsStand();
  if (p.BoundsQueueState != 1) return;
  if (p.evaluation.Form4Visible() || p.evaluation.Form5Visible()) return;
  // What was typed behind the limits goes with the rest of the queue.
  p.CapturedKeys.clear();
  p.BoundsQueueState = 2;
}

// --- typing behind a limits dialog ---------------------------------------------------------

void Input::DropKeysTypedIntoDialog() {
  std::array<bool, 256> reported{};
  for (const KeyPress& k : p.desktop.takeKeyPresses(KeyReader::Capture))
    if (k.vk > 0 && k.vk < 256) reported[static_cast<size_t>(k.vk)] = true;
  for (const CapturedKey& k : p.CapturedKeys)
    if (k.code > 0 && k.code < 256) reported[static_cast<size_t>(k.code)] = true;
  p.CapturedKeys.clear();
  // On X11 the press that reached the dialog's box and the one the capture reads come by
  // two ways, in no fixed order: the Enter that submitted may still be on its way.
  for (int k = 2; k <= 255; ++k)
    dialogPressesToCome_[static_cast<size_t>(k)] =
        isCapturedPress(k) && !reported[static_cast<size_t>(k)] && Gore(k) < 0;
}

void Input::LimitsSubmitted() {
  DropKeysTypedIntoDialog();
  limitsPlacing_ = true;
  deferredClick_ = {};
}

void Input::DeferClick(PointPx raw, PointPx point) {
  deferredClick_.pending = true;
  deferredClick_.raw = raw;
  deferredClick_.point = point;
}

void Input::LimitsStand() {
  limitsPlacing_ = false;
  const DeferredClick click = deferredClick_;
  deferredClick_ = {};
  if (!click.pending) return;
  // As the click would have done at once: the insertion point where it set it, and the
  // pointer following from there if the user has left it where they clicked.
  if (p.desktop.cursorPos() == click.raw) p.surface.ReadPointer();
  p.PointerX = click.point.x;
  p.PointerY = click.point.y;
  if (click.caretSet) {
    p.CurrentSymbolIndex = click.symbol;
    p.CaretAfterSymbol = click.caretAfter;
  }
  p.surface.ComputeInsertPoint();
  p.surface.FollowInsertionPoint();
}

}  // namespace kel
