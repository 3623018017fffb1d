// The limits dialogs: Form4 "Definite integral" and Form5 "Sum". Each takes an upper and a
// lower limit; its Submit turns them into key-queue items kept in its own two lists, asks
// the dispatcher for the sign, and hands the items to the key queue once the sign stands
// on the page (Granici, run by the after-placement step). The interpreters then type each
// limit small, at its place above or below the sign.
#pragma once

#include <string>

#include "platform/forms.h"

namespace kel {

class Program;

enum class LimitsKind { Integral = 1, Sum = 2 };

// The window and its controls. Positions are twips of the client area.
struct LimitsDialogForm : Form {
  explicit LimitsDialogForm(LimitsKind kind);

  const LimitsKind kind;
  Image Image1{"Image1"};              // the sign, between the two boxes
  TextBox Text1{"Text1"};              // the upper limit
  TextBox Text2{"Text2"};              // the lower limit
  CommandButton Command1{"Command1"};  // "Submit"
  Label Label1{"Label1"};              // "There is no upper limit" / "... lower limit"
  // The dialog's own queue items (code, shift flag), never shown.
  ListBox List1{"List1"}, List2{"List2"};

  // The state the dialog is designed with: a dialog loaded again after it was unloaded
  // starts from it.
  void ResetToDesign();
};

// The procedures of one limits dialog; the twins differ only where the kind says so.
class LimitsDialog {
 public:
  LimitsDialog(Program& p, LimitsDialogForm& f);

  // Loads the dialog, hidden, when it is not loaded: its load step runs.
  void Load();
  // Loaded, centred on the screen, shown modeless, with the focus on Submit.
  void Show();
  // Unloads a loaded dialog: its unload step runs first.
  void Unload();
  bool Visible();

  void Form_Load();
  void Form_Unload();
  // Submit.
  void Command1_Click();
  // Enter in a box; every other key is the box's.
  void Text1_KeyDown(int keyCode, int shift);
  void Text2_KeyDown(int keyCode, int shift);
  // Enter while Submit has the focus (it has it when the dialog opens): Submit.
  void Command1_KeyDown(int keyCode, int shift);
  void Text1_Change();
  void Text2_Change();
  // Builds the limit items from the two boxes (the sum dialog's Prerabotka2: the same,
  // without the pointer-drop prefix).
  void Prerabotka();
  // Appends the dialog's items to the key queue and clears BoundsDialog.
  void Granici();

 private:
  bool integral() const { return f.kind == LimitsKind::Integral; }
  void enterPressed();
  void reportMissing(TextBox& box, const char* message);
  void addItem(const std::string& code, const std::string& shift);
  void addLimitCharacters(const std::string& limit, bool lower);

  Program& p;
  LimitsDialogForm& f;
};

// Wires the two dialogs' events to their procedures.
void WireLimitsDialogs(Program& p);

}  // namespace kel
