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
  // Held now, or pressed since the previous query. A letter is asked only while Ctrl is
  // held, so a letter typed on its own keeps its press mark for the keyboard poll.
  auto pressed = [&](int key) { return p.desktop.asyncKeyState(key) != 0; };
  auto chord = [&](int key) { return IsCtrlDown() && pressed(key); };

  // A letter pressed before Ctrl went down but acted on here is the command's too:
  // claimHotkeyPress keeps it from being typed.
  w.Timer15.setInterval(kPollMs);
  // While a limits dialog is open, Delete and the Ctrl chords edit the text of its boxes.
  if (p.evaluation.Form4Visible() || p.evaluation.Form5Visible()) {
    // --- editing: a Delete typed in a box deletes nothing on the page afterwards ---------
    pressed(vk::Delete);
    // ------------------------------------------------------------------------------------
    return;
  }
  if (chord(kKeyV)) {
    claimHotkeyPress(kKeyV);
    p.pages.Prepihi();
    w.Timer15.setInterval(kAfterPasteOrDeleteMs);
  }
  const bool cut = chord(kKeyX);
  const bool del = pressed(vk::Delete);
  if (cut) claimHotkeyPress(kKeyX);
  if (cut || del) {
    p.pages.DelSelektirano();
    w.Timer15.setInterval(kAfterPasteOrDeleteMs);
  }
  if (chord(kKeyZ)) {
    claimHotkeyPress(kKeyZ);
    // Onto the toolbar's Undo button, away from the page, as if it had been clicked.
    p.desktop.setCursorPos(pixelForPointer((w.Left + w.Frame6.Left) / 15 + 40),
                           pixelForPointer(w.Top / 15 + 60));
    w.Timer15.setInterval(kAfterUndoOrResultMs);
    p.pages.Command69_Click();
  }
  if (chord(kKeyR)) {
    claimHotkeyPress(kKeyR);
    w.Timer15.setInterval(kAfterUndoOrResultMs);
    p.evaluation.Command17_Click();
  }
}

}  // namespace kel
