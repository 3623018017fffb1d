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
  // Whether the on-screen keyboard's window is up (until it is built, what the two
  // above last did).
  bool Form8Visible() const { return form8Visible_; }
  // The pending-code dispatcher's tick.
  void Timer6_Timer();
  // The F8 binder (one-shot): binds F8 to "1057" or "1058" when HotkeyAssignAction asks
  // for it, otherwise to the item played last.
  void Timer17_Timer();
  // Shows or hides one of the on-screen keyboard's main keys (Form8.Command3(index)); the
  // fraction hints use its keys 54 (Insert), 55 (Page Down) and 56 (Home). Called only
  // while the keyboard is shown; until it is built nothing is kept.
  void SetForm8KeyVisible(int index, bool visible);
  // Unloads the on-screen keyboard when it is loaded.
  void UnloadForm8();
  // The on-screen keyboard's window rectangle, as the pointer-leaves-window check
  // reads it while Form8Shown is 1.
  FormRectTw Form8Rect() const;

 private:
  Program& p;
  bool form8Visible_ = false;
};

}  // namespace kel
