// The key indicator Form3: a small always-on-top window that follows the insertion point
// and names the key the queue player has just played ("Pressed: Shift + a -> A"), or shows
// the symbol's picture. Its red background is see-through. Only the main window's hidden
// "Show" button shows it, so in a run it stays hidden; but it is loaded, hidden, the first
// time anything asks about it, and its callers update it only while it is visible.
#pragma once

#include <optional>
#include <string>

#include "platform/forms.h"

namespace kel {

class Program;

// The name the indicator shows for a played item's code and shift, compared as numbers;
// nothing when the item is shown as a picture.
std::optional<std::string> KeyIndicatorCaption(const std::string& code, const std::string& shift);

struct KeyIndicatorForm : Form {
  KeyIndicatorForm();

  Label Label1{"Label1"};           // "Pressed:"
  Label Label111{"Label111"};       // "Caps Lock +"
  Label Label222{"Label222"};       // "Shift + "
  Label Label7{"Label7"};           // the key's name, or a hint
  Image Image4{"Image4"};           // the symbol's picture
  PictureBox Picture2{"Picture2"};  // the picture of the symbol chosen last
  TextBox Text1{"Text1"};           // the played item's code text
  TextBox Text2{"Text2"};           // its shift text
};

class KeyIndicator {
 public:
  explicit KeyIndicator(Program& p) : p(p) {}

  void WireEvents();
  // Loads the window, hidden, when it is not loaded (its load step runs).
  void Load();
  void Unload();
  // Whether it is shown; asking loads it.
  bool Visible();
  // Hidden (loading it first).
  void Hide();
  // The main window's hidden "Show" button.
  void Command38_Click();

  void Form_Load();
  void ZapisNaznachen2();
  void Text1_Change();

  // What its callers do while it is shown: the window just below the insertion point.
  void PlaceUnderPointer();
  // Width from the name label: its left and width and 100 twips.
  void FitWidth();

 private:
  void autoSized(Label& l);
  Program& p;
};

}  // namespace kel
