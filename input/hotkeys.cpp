// The editing hotkeys, polled whichever window has the focus: Ctrl+V pastes, Ctrl+X or
// Delete deletes the selection, Ctrl+Z undoes, Ctrl+R types the current result.
#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr int kPollMs = 50;
constexpr int kAfterPasteOrDeleteMs = 1500;
constexpr int kAfterUndoOrResultMs = 500;
constexpr int kKeyV = 86, kKeyX = 88, kKeyZ = 90, kKeyR = 82;

}  // namespace

void Input::Timer15_Timer() {
  MainWindow& w = p.Form1;
  w.Timer15.setInterval(kPollMs);
  // Every press since the previous tick, each with the Ctrl it was made with, from a list
  // of the hotkeys' own: a chord shorter than this poll, or one whose Ctrl is up again by
  // now, acts once, and the keyboard poll cannot take it away first.
  const std::vector<KeyPress> presses = p.desktop.takeKeyPresses(KeyReader::Hotkeys);
  // While a limits dialog is open, Delete and the Ctrl chords edit the text of its boxes.
  if (p.evaluation.Form4Visible() || p.evaluation.Form5Visible()) return;
  // How often a command runs: once per press (with Ctrl for a chord); and once for a key
  // still held, as a chord held past the raised interval runs again, and a letter held
  // before Ctrl went down counts when Ctrl comes.
  auto times = [&](int key, bool withCtrl) {
    int n = 0;
    for (const KeyPress& k : presses)
      if (k.vk == key && (k.ctrl || !withCtrl)) ++n;
    if (n == 0 && p.desktop.keyState(key) < 0 && (!withCtrl || IsCtrlDown())) n = 1;
    return n;
  };

  // A letter pressed before Ctrl went down but acted on here is the command's too:
  // claimHotkeyPress keeps it from being typed.
  for (int i = times(kKeyV, true); i > 0; --i) {
    claimHotkeyPress(kKeyV);
    p.pages.Prepihi();
    w.Timer15.setInterval(kAfterPasteOrDeleteMs);
  }
  const int cuts = times(kKeyX, true);
  const int deletes = times(vk::Delete, false);
  for (int i = 0; i < cuts; ++i) claimHotkeyPress(kKeyX);
  for (int i = cuts + deletes; i > 0; --i) {
    p.pages.DelSelektirano();
    w.Timer15.setInterval(kAfterPasteOrDeleteMs);
  }
  for (int i = times(kKeyZ, true); i > 0; --i) {
    claimHotkeyPress(kKeyZ);
    // Onto the toolbar's Undo button, away from the page, as if it had been clicked.
    p.surface.SetPointer(pixelForPointer((w.Left + w.Frame6.Left) / 15 + 40),
                         pixelForPointer(w.Top / 15 + 60));
    w.Timer15.setInterval(kAfterUndoOrResultMs);
    p.pages.Command69_Click();
  }
  for (int i = times(kKeyR, true); i > 0; --i) {
    claimHotkeyPress(kKeyR);
    w.Timer15.setInterval(kAfterUndoOrResultMs);
    p.evaluation.Command17_Click();
  }
}

}  // namespace kel
