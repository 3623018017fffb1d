// Seams of the palette, the hotkeys and the on-screen keyboard.
#include "palette/palette.h"

#include "app/program.h"

namespace kel {

void Palette::SmeniKartinka(const std::string&) {}

void Palette::ZapisNaznachen(const std::string&, const std::string&, const std::string&) {}

void Palette::BlokVirtualKlav() {
  if (p.Form8Shown != 1) return;
  HideForm8();
  p.Form8Shown = 0;
  p.Form8Suspended = 1;
}

void Palette::ShowForm8() { form8Visible_ = true; }

void Palette::HideForm8() { form8Visible_ = false; }

void Palette::UnloadForm8() { form8Visible_ = false; }

// The keyboard has no window yet and is never shown, so nothing asks where it stands.
FormRectTw Palette::Form8Rect() const { return {}; }

void Palette::SetForm8KeyVisible(int, bool) {}

void Palette::Timer17_Timer() {
  MainWindow& w = p.Form1;
  w.Timer17.setEnabled(false);
  if (p.HotkeyAssignAction == 1 || p.HotkeyAssignAction == 2) {
    // After an integral or a sum with limits, F8 opens the same dialog again.
    p.HotkeyF8Code = p.HotkeyAssignAction == 1 ? "1057" : "1058";
    p.HotkeyF8Shift = "0";
    ZapisNaznachen(p.HotkeyF8Code, p.HotkeyF8Shift, "F8");
    p.HotkeyAssignAction = 0;
    return;
  }
  p.HotkeyF8Code = w.List1.Text();
  p.HotkeyF8Shift = w.List2.Text();
  ZapisNaznachen(p.HotkeyF8Code, p.HotkeyF8Shift, "F8");
}

void Palette::Timer6_Timer() {
  // What the queue relies on: the dispatcher runs once per switch-on and adds one to
  // the play limit on each run.
  p.Form1.Timer6.setEnabled(false);
  p.QueueLength += 1;
}

}  // namespace kel
