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

void Palette::ShowForm8() {}

void Palette::HideForm8() {}

void Palette::UnloadForm8() {}

// The keyboard has no window yet and is never shown, so nothing asks where it stands.
FormRectTw Palette::Form8Rect() const { return {}; }

void Palette::Timer6_Timer() {
  // What the queue relies on: the dispatcher runs once per switch-on and adds one to
  // the play limit on each run.
  p.Form1.Timer6.setEnabled(false);
  p.QueueLength += 1;
}

}  // namespace kel
