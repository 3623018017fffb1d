// The on-screen keyboard Form8: a floating window without a title bar that types into the
// formula by clicking. Its keys append key-queue items directly; the modifier keys change
// how the main keys type; the arrow keys move the insertion point while the pointer stays
// on the keyboard. The window never takes the keyboard focus.
#pragma once

#include <optional>
#include <string>

#include "platform/forms.h"
#include "platform/timer.h"

namespace kel {

class Program;

// The main keys Command3(0..63) and the pad keys Command1(0..21).
inline constexpr int kLastMainKey = 63;
inline constexpr int kLastPadKey = 21;

// The item a key queues: its virtual-key code and its shift flag.
struct KeyItem {
  const char* code;
  const char* shift;
  bool operator==(const KeyItem&) const = default;
};

// A pad key: its caption and the item it queues, whatever the shift state.
struct PadKey {
  const char* caption;
  KeyItem item;
};
extern const PadKey kPadKeys[kLastPadKey + 1];

// The virtual-key code a main key queues with the shift flag of the moment; nothing for
// the keys that queue fixed items or none (Backspace, the fraction keys, the arrows).
std::optional<int> MainKeyCode(int index);

// The caption a main key takes from Caps Lock and Shift, by the symbol caption table:
// nothing for a key without a row (and for 32, 33, 34 and 36 outside the Latin layout).
std::optional<std::string> SymbolCaption(int index, bool shifted, bool latin);
// The caption a layout key puts on a letter key (the 26 letters, 32, 33, 34 and 36);
// nothing for any other key.
std::optional<std::string> LetterCaption(int index, bool latin, bool upper);

// Letters of the Latin and the Cyrillic alphabet in upper or lower case, the rest as it is.
std::string ToUpperCaption(const std::string& s);
std::string ToLowerCaption(const std::string& s);

struct KeyboardForm : Form {
  explicit KeyboardForm(Scheduler& s);

  // Back to front: the two frames, then the drag strip over them.
  Frame Frame2{"Frame2"};                // the main keyboard
  Frame Frame1{"Frame1"};                // the pad
  PictureBox Image1{"Image1"};           // the drag strip
  CommandButton Command8{"Command8"};    // the close key "X", on the strip
  ControlArray<CommandButton> Command3;  // the main keys
  ControlArray<CommandButton> Command1;  // the pad keys
  CommandButton Command4{"Command4"};    // Caps Lock
  ControlArray<CommandButton> Command5;  // the two Shift keys
  CommandButton Command6{"Command6"};    // " Bg"
  CommandButton Command7{"Command7"};    // "En", on the same spot
  CommandButton Command69{"Command69"};  // Undo
  CommandButton Command70{"Command70"};  // Redo
  CommandButton Command9{"Command9"};    // Paste
  CommandButton Command2{"Command2"};    // takes the focus after a key click

  // The window tick, the F12 pictures, the arrow keys' repeat. They run only while the
  // window is loaded.
  Timer Timer1, Timer2, Timer3;

  // --- form-level values ---------------------------------------------------------------
  int ShiftOn = 0;        // the shift flag the main keys queue
  int ShiftLatched = 0;   // a one-shot Shift is pending
  std::string KeyCode;    // the code of the main key being clicked
  int CaptionLayout = 1;  // 1 the keys show Latin letters, 0 Cyrillic
  int MoveRight = 0, MoveLeft = 0, MoveUp = 0, MoveDown = 0;
  int HoldTicks = 0;
};

class Keyboard {
 public:
  explicit Keyboard(Program& p) : p(p) {}

  void WireEvents();
  // Reads the pictures of the picture keys from Simbol/; one that cannot be read leaves
  // its key without a picture.
  void LoadKeyPictures();

  // --- the window ------------------------------------------------------------------------
  // Loads the window, hidden, when it is not loaded: its timers start and its load step
  // runs.
  void Load();
  // Unloads a loaded window: its unload step runs, its timers stop.
  void Unload();
  // Visible (loading it first) with its tick on; hidden with its tick off. Neither
  // changes a flag.
  void Show();
  void Hide();
  bool Visible() const;

  // The main window's "Virtual Keyboard" button.
  void Command71_Click();
  void Form_Load();
  void Form_Unload();
  void Timer1_Timer();
  void Timer2_Timer();
  // The close key.
  void Command8_Click();
  // The bare margin: Stop.
  void Form_MouseMove(int button, int shift, double x, double y);
  void Form_Click();
  void Frame1_Click();
  void Frame2_Click();
  void Frame1_MouseMove(int button, int shift, double x, double y);
  void Frame2_MouseMove(int button, int shift, double x, double y);
  // The drag strip.
  void Image1_MouseDown(int button, int shift, double x, double y);
  void Image1_MouseMove(int button, int shift, double x, double y);
  void Image1_MouseUp(int button, int shift, double x, double y);

  // --- the keys --------------------------------------------------------------------------
  void HighlightPadKey(int index);
  void PrepareKeyPress(int index);
  // Remembers where the pointer is, for the pointer return.
  void ZapomniTuk();
  void Command1_Click(int index);
  void Command1_MouseDown(int index, int button, int shift, double x, double y);
  void Command1_MouseMove(int index, int button, int shift, double x, double y);
  void Command3_Click(int index);
  void Command3_MouseDown(int index, int button, int shift, double x, double y);
  void Command3_MouseMove(int index, int button, int shift, double x, double y);
  void Command3_MouseUp(int index, int button, int shift, double x, double y);
  // Every key back to its colour at rest: the pad's yellow and white, the main keys white.
  void ResetKeyColours();

  // --- the modifier and layout keys ----------------------------------------------------
  void Command4_Click();
  void Command5_Click(int index);
  void Command6_Click();
  void Command7_Click();
  void Command69_Click();
  void Command69_MouseDown(int button, int shift, double x, double y);
  void Command70_Click();
  void Command9_Click();
  void Command9_MouseDown(int button, int shift, double x, double y);
  // The shifted or the unshifted caption set on the main keys.
  void ApplyCaptionSet(bool shifted);

  // --- the arrow keys ----------------------------------------------------------------------
  void Timer3_Timer();
  void OtmestiMarker();

 private:
  // A pointer move over a key or frame: on after a Stop.
  void restartAfterStop();
  void putLetterCaptions(bool latin);
  // What the layout keys do but for the pointer flag of " Bg".
  void drawLayout(bool latin);
  void queue(const std::string& code, const std::string& shift);
  // The click detector is to skip this click's release, when it saw the press.
  void skipThisRelease();
  void focusSink();
  Program& p;
};

}  // namespace kel
