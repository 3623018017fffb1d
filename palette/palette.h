// The symbol palette, the pending-code dispatcher, the key images and the F8, F9 and F10
// bindings; the on-screen keyboard (Form8) and the key indicator (Form3), with what the
// rest of the program asks of them.
#pragma once

#include <optional>
#include <string>

#include "palette/key_indicator.h"
#include "palette/keyboard.h"

namespace kel {

class Program;
struct CommandButton;

// A window's outer rectangle in twips.
struct FormRectTw {
  double Left = 0, Top = 0, Width = 0, Height = 0;
};

// The name the hotkey row shows for a bound code and shift, or nothing when the binding
// is shown as a picture. Both are compared as numbers.
std::optional<std::string> HotkeyCaption(const std::string& code, const std::string& shift);

// The key a binding names: its code with the queue's markers (every "***", then one
// leading "`") dropped, as the interpreters drop them from a queued item.
std::string BoundKeyCode(const std::string& code);

class Palette {
 public:
  explicit Palette(Program& prog) : keyboard(prog), indicator(prog), p(prog) {}

  // The procedures of the on-screen keyboard and of the key indicator.
  Keyboard keyboard;
  KeyIndicator indicator;

  // Wires the palette's events on the main window: the buttons' clicks, the presses and
  // releases that hide and show the on-screen keyboard, the key images, the hotkey
  // buttons, the dispatcher and the pointer return.
  void WireEvents();
  // Reads the faces of the palette, limits and hotkey buttons from Simbol/; a face that
  // cannot be read leaves its button without a picture.
  void LoadButtonFaces();

  // --- palette buttons ---------------------------------------------------------------------
  // A palette button's click: remember the pointer, hand the code to the dispatcher, keep
  // the button's face in Picture2.
  void PaletteButton_Click(int code);
  // The button of a palette symbol code (45 codes), or nullptr.
  CommandButton* PaletteButton(int code);
  void BlokVirtualKlav();
  void Check1_MouseUp(int button, int shift, double x, double y);
  void Command15_MouseUp(int button, int shift, double x, double y);
  void Command16_MouseUp(int button, int shift, double x, double y);
  // The "=" button of the result row got the focus.
  void Command17_GotFocus();

  // --- the dispatcher and the pointer return -------------------------------------------
  void Timer6_Timer();
  void Timer28_Timer();

  // --- the key images ------------------------------------------------------------------
  void Image8_Click();
  void Image12_Click();
  void Image14_Click();
  void Image15_Click();
  void Image16_Click();
  void Image17_Click();

  // --- the hotkey bindings -------------------------------------------------------------
  // Shows a binding on the hotkey row: the key's name, or the picture Picture2 holds.
  void ZapisNaznachen(const std::string& code, const std::string& shift, const std::string& key);
  // Puts the face of the button that produces a code into Picture2; other codes leave it.
  void SmeniKartinka(const std::string& code);
  // F8 help, bind F9, bind F10.
  void Command32_Click();
  void Command33_Click();
  void Command34_Click();
  // The F8 binder (one-shot): binds F8 to "1057" or "1058" when HotkeyAssignAction asks
  // for it, otherwise to the item played last.
  void Timer17_Timer();

  // --- what the rest of the program asks of the on-screen keyboard (Form8) ------------------
  // Shows the on-screen keyboard (visible, loading it first, its refresh timer on) and
  // hides it (hidden, refresh timer off) without changing Form8Shown.
  void ShowForm8();
  void HideForm8();
  // Whether the on-screen keyboard's window is up. Asking never loads it.
  bool Form8Visible() const;
  // Shows or hides one of the on-screen keyboard's main keys (Form8.Command3(index)); the
  // fraction hints use its keys 54 (Insert), 55 (Page Down) and 56 (Home). A keyboard that
  // was never opened is left alone.
  void SetForm8KeyVisible(int index, bool visible);
  // Gives the keyboard's keys their colours at rest again, undoing a pressed key's highlight.
  void ResetForm8KeyColours();
  // Switches the keyboard's refresh timer off, leaving the window as it is.
  void StopForm8Timer();
  // Unloads the on-screen keyboard when it is loaded.
  void UnloadForm8();
  // The on-screen keyboard's window rectangle, as the pointer-leaves-window check
  // reads it while Form8Shown is 1.
  FormRectTw Form8Rect() const;

 private:
  // One F9 or F10 bind button.
  void bindFromQueue(std::string& code, std::string& shift, const char* key);
  // A key image: its key queued, the dispatcher's common steps asked for.
  void keyImageClick(const char* code);

  Program& p;
};

}  // namespace kel
