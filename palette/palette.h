// What the main window uses of the symbol palette, the hotkeys and the on-screen
// keyboard. Until those are built these are seams: they keep only the effects the
// main window relies on.
#pragma once

#include <string>

namespace kel {

class Program;

// A window's outer rectangle in twips.
struct FormRectTw {
  double Left = 0, Top = 0, Width = 0, Height = 0;
};

class Palette {
 public:
  explicit Palette(Program& p) : p(p) {}

  // Puts the picture of a palette symbol code into the preview; other codes leave it.
  void SmeniKartinka(const std::string& code);
  // Shows a hotkey binding on the hotkey row.
  void ZapisNaznachen(const std::string& code, const std::string& shift, const std::string& hotkey);
  // Hides the on-screen keyboard for the length of a press on the main window.
  void BlokVirtualKlav();
  // Shows the on-screen keyboard (visible, its refresh timer on) and hides it
  // (hidden, refresh timer off) without changing Form8Shown.
  void ShowForm8();
  void HideForm8();
  // The pending-code dispatcher's tick.
  void Timer6_Timer();
  // Unloads the on-screen keyboard when it is loaded.
  void UnloadForm8();
  // The on-screen keyboard's window rectangle, as the pointer-leaves-window check
  // reads it while Form8Shown is 1.
  FormRectTw Form8Rect() const;

 private:
  Program& p;
};

}  // namespace kel
