// The on-screen keyboard's window as it is designed: its strip, its two frames and their
// keys at their places, captions and colours.
#include <initializer_list>

#include "palette/keyboard.h"

namespace kel {

namespace {

constexpr double kClientWidth = 4560, kClientHeight = 5880;
constexpr Colour kDesignBack = 0x0080C0FF;
// The system's highlight colour, which the drag strip shows.
constexpr Colour kHighlight = 0x00D77800;
constexpr Colour kCloseKeyBack = 0x000000C0;
constexpr Colour kPadYellow = 0x0080FFFF;
constexpr Colour kBgKeyBack = 0x0080C0FF;
constexpr Colour kEnKeyBack = 0x00C0FFFF;

// Main keys are 255 x 375 twips at a pitch of 300; rows 480 apart.
constexpr double kKeyWidth = 255, kKeyHeight = 375, kPitch = 300;
constexpr double kPadKeySize = 375;

CommandButton keyTemplate(const char* name) {
  CommandButton b(name);
  b.Style = 1;
  b.BackColor = kWhite;
  b.Font = Font{"MS Sans Serif", 8.25, true, 204};
  b.Width = kKeyWidth;
  b.Height = kKeyHeight;
  return b;
}

void place(Control& c, Control* container, double l, double t, double w, double h) {
  c.Container = container;
  place(c, l, t, w, h);
  c.Visible = true;
}

// A pad key's place: its row and column.
struct PadPlace {
  int index;
  double left, top;
};
constexpr PadPlace kPadPlaces[] = {
    // The brackets' row.
    {20, 840, 120},
    {18, 1320, 120},
    {3, 1800, 120},
    {4, 2280, 120},
    {19, 2760, 120},
    {21, 3240, 120},
    // The digits' block: "1" "2" "3" "+", "4" "5" "6" "-", "7" "8" "9" "*", "0" "," "/" "=".
    {7, 1320, 600},
    {8, 1800, 600},
    {9, 2280, 600},
    {0, 2760, 600},
    {10, 1320, 1080},
    {11, 1800, 1080},
    {12, 2280, 1080},
    {1, 2760, 1080},
    {13, 1320, 1560},
    {14, 1800, 1560},
    {15, 2280, 1560},
    {2, 2760, 1560},
    {16, 1320, 2040},
    {17, 1800, 2040},
    {5, 2280, 2040},
    {6, 2760, 2040},
};

}  // namespace

const PadKey kPadKeys[kLastPadKey + 1] = {
    {"+", {"107", "0"}}, {"-", {"109", "0"}}, {"*", {"106", "0"}}, {"(", {"57", "1"}},
    {")", {"48", "1"}},  {"/", {"191", "0"}}, {"=", {"187", "0"}}, {"1", {"49", "0"}},
    {"2", {"50", "0"}},  {"3", {"51", "0"}},  {"4", {"52", "0"}},  {"5", {"53", "0"}},
    {"6", {"54", "0"}},  {"7", {"55", "0"}},  {"8", {"56", "0"}},  {"9", {"57", "0"}},
    {"0", {"48", "0"}},  {",", {"188", "0"}}, {"[", {"219", "0"}}, {"]", {"221", "0"}},
    {"{", {"219", "1"}}, {"}", {"221", "1"}},
};

KeyboardForm::KeyboardForm(Scheduler& s)
    : Form("Form8"),
      Command3(keyTemplate("Command3"), kLastMainKey),
      Command1(keyTemplate("Command1"), kLastPadKey),
      Command5(keyTemplate("Command5"), 1),
      Timer1(s, "Form8.Timer1", 50, false),
      Timer2(s, "Form8.Timer2", 500, false),
      Timer3(s, "Form8.Timer3", 50, false) {
  // Not shown anywhere (the window has no title bar), but window lists name it.
  Caption = "Virtual Keyboard";
  Borderless = true;
  NeverActivates = true;
  // Dragged by its strip, and its arrow keys repeat until their release, wherever the
  // pointer has gone meanwhile.
  CapturesMouse = true;
  Sizable = false;
  Width = kClientWidth;
  Height = kClientHeight;
  BackColor = kDesignBack;

  place(Image1, nullptr, 120, 60, 4335, 255);
  Image1.BackColor = kHighlight;
  place(Command8, &Image1, 3840, 0, 495, 255);
  Command8.Caption = "X";
  Command8.Style = 1;
  Command8.BackColor = kCloseKeyBack;
  Command8.ForeColor = kWhite;
  Command8.Font = Font{"MS Sans Serif", 8.25, true, 0};

  place(Frame2, nullptr, 120, 240, 4340, 3015);
  place(Frame1, nullptr, 120, 3000, 4335, 2655);
  for (Frame* f : {&Frame1, &Frame2}) f->BackColor = kDesignBack;

  // --- the main keys ---------------------------------------------------------------------
  for (int i = 1; i <= kLastMainKey; ++i) Command3.Load(i);
  auto key = [&](int i, Control* in, double left, double top, double width = kKeyWidth,
                 double height = kKeyHeight) -> CommandButton& {
    CommandButton& b = Command3[i];
    place(b, in, left, top, width, height);
    return b;
  };
  Frame* const main = &Frame2;
  // Row 40: Esc, F8, F9, F10 (their bindings' pictures come at run time), F12.
  key(51, main, 0, 40, 495);
  key(57, main, 1250, 40, 400, 360);
  key(58, main, 2040, 40, 400, 360);
  key(59, main, 2760, 40, 400, 360);
  key(52, main, 3840, 40, 495);
  // Row 480: the grave accent, the digits, "-", "=", Backspace.
  key(36, main, 0, 480).Caption = "`";
  for (int i = 37; i <= 48; ++i) key(i, main, (i - 36) * kPitch, 480);
  static constexpr const char* kDigitRow[] = {"1", "2", "3", "4", "5", "6",
                                              "7", "8", "9", "0", "-", "="};
  for (int i = 37; i <= 48; ++i) Command3[i].Caption = kDigitRow[i - 37];
  key(50, main, 3880, 480, 470).Caption = "<-";
  // Row 960: the layout key, "q" to "p", "[" "]" "\".
  static constexpr const char* kLetters = "qwertyuiopasdfghjklzxcvbnm";
  for (int i = 0; i <= 9; ++i) key(i, main, 480 + i * kPitch, 960);
  key(32, main, 3480, 960).Caption = "[";
  key(33, main, 3780, 960).Caption = "]";
  key(34, main, 4080, 960).Caption = "\\";
  // Row 1440: Caps Lock, "a" to "l", ";" "'", Enter.
  for (int i = 10; i <= 18; ++i) key(i, main, 540 + (i - 10) * kPitch, 1440);
  key(29, main, 3240, 1440).Caption = ";";
  key(30, main, 3540, 1440).Caption = "'";
  key(31, main, 3840, 1440, 495).Caption = "Enter";
  // Row 1920: Shift, "z" to "m", "," "." "/", Shift.
  for (int i = 19; i <= 25; ++i) key(i, main, 660 + (i - 19) * kPitch, 1920);
  key(26, main, 2760, 1920).Caption = ",";
  key(27, main, 3060, 1920).Caption = ".";
  key(28, main, 3360, 1920).Caption = "/";
  for (int i = 0; i <= 25; ++i) Command3[i].Caption = std::string(1, kLetters[i]);
  // Row 2400: Undo, Space, Redo.
  key(35, main, 1080, 2400, 1815).Caption = " ";

  Frame* const pad = &Frame1;
  key(49, pad, 240, 120, 495);
  key(53, pad, 3720, 120, 495);
  key(54, pad, 240, 600, 690, 480);
  key(55, pad, 240, 1260, 690, 480).Visible = false;
  key(56, pad, 240, 1920, 690, 480).Visible = false;
  key(62, pad, 3600, 840, kPadKeySize, kPadKeySize);
  key(61, pad, 3240, 1200, kPadKeySize, kPadKeySize);
  key(60, pad, 3960, 1200, kPadKeySize, kPadKeySize);
  key(63, pad, 3600, 1560, kPadKeySize, kPadKeySize);
  // Enter, the fraction keys and F8 to F10 start with the desktop's button colour.
  for (int i : {31, 54, 55, 56, 57, 58, 59}) Command3[i].BackColor = kButtonFace;

  // --- the pad -----------------------------------------------------------------------------
  for (int i = 1; i <= kLastPadKey; ++i) Command1.Load(i);
  for (const PadPlace& at : kPadPlaces) {
    CommandButton& b = Command1[at.index];
    place(b, pad, at.left, at.top, kPadKeySize, kPadKeySize);
    b.Caption = kPadKeys[at.index].caption;
    b.Font = Font{"MS Sans Serif", 12, true, 0};
    b.BackColor = at.index >= 7 && at.index <= 17 ? kWhite : kPadYellow;
  }
  static_assert(sizeof kPadPlaces / sizeof kPadPlaces[0] == kLastPadKey + 1);

  // --- the modifier, layout and command keys ---------------------------------------------
  Command5.Load(1);
  place(Command4, main, 0, 1440, 495, kKeyHeight);
  Command4.Caption = "Caps";
  place(Command5[0], main, 0, 1920, 615, kKeyHeight);
  place(Command5[1], main, 3720, 1920, 615, kKeyHeight);
  for (int i : {0, 1}) Command5[i].Caption = "Shift";
  place(Command6, main, 0, 960, 420, kKeyHeight);
  Command6.Caption = " Bg";
  place(Command7, main, 0, 960, 420, kKeyHeight);
  Command7.Caption = "En";
  Command7.Visible = false;
  place(Command69, main, 0, 2400, 735, kKeyHeight);
  place(Command70, main, 3600, 2400, 735, kKeyHeight);
  Command69.Visible = false;
  Command70.Visible = false;
  place(Command9, pad, 3480, 2040, 615, 255);
  Command9.Caption = "Paste";
  Command9.Visible = false;  // shown while a read selection is on display
  // The Shift keys are main keys' copies; the others look like them.
  for (CommandButton* b : {&Command4, &Command6, &Command7, &Command69, &Command70, &Command9}) {
    b->Style = 1;
    b->Font = Font{"MS Sans Serif", 8.25, true, 204};
    b->BackColor = kWhite;
  }
  Command6.BackColor = kBgKeyBack;
  Command7.BackColor = kEnKeyBack;
  place(Command2, nullptr, 0, 0, 15, 15);

  add(Frame2);
  add(Frame1);
  add(Image1);
  add(Command8);
  add(Command3);
  add(Command1);
  add(Command4);
  add(Command5);
  add(Command6);
  add(Command7);
  add(Command69);
  add(Command70);
  add(Command9);
  add(Command2);
}

}  // namespace kel
