// The key indicator: its window, the name of a played key, and where it stands.
#include "palette/key_indicator.h"

#include "app/program.h"
#include "palette/key_names.h"
#include "platform/units.h"

namespace kel {

namespace {

// Where the name starts right of the last label shown, and the window's margin.
constexpr double kNameGap = 100;
// The window stands this far below the insertion point (twips).
constexpr double kBelowPointer = 800;
constexpr Colour kSeeThrough = 0x000000FF;  // pure red, made see-through
constexpr Colour kLabelBack = 0x00C0FFFF;

// The KeyIndicatorCaption table.
constexpr KeyNameRow kNames[] = {
    {115, 115, 0, KeyName::Fixed, "F4"},
    {37, 37, 0, KeyName::Fixed, "left arrow"},
    {38, 38, 0, KeyName::Fixed, "up arrow"},
    {39, 39, 0, KeyName::Fixed, "right arrow"},
    {40, 40, 0, KeyName::Fixed, "down arrow"},
    {13, 13, 0, KeyName::Fixed, "Enter"},
    {32, 32, 0, KeyName::Fixed, "Space"},
    {20, 20, 0, KeyName::Fixed, "Caps Lock"},
    {8, 8, kAnyShift, KeyName::Fixed, "Backspace"},
    {27, 27, kAnyShift, KeyName::Fixed, "Esc -> Up"},
    {192, 192, 1, KeyName::Fixed, "` -> ~"},
    {192, 192, 0, KeyName::Fixed, "` -> Down"},
    {48, 57, 0, KeyName::Digit, nullptr},
    {48, 48, 1, KeyName::Fixed, "0 -> )"},
    {49, 49, 1, KeyName::Fixed, "1 -> !"},
    {50, 50, 1, KeyName::Fixed, "2 -> @"},
    {51, 51, 1, KeyName::Fixed, "3 -> #"},
    {52, 52, 1, KeyName::Fixed, "4 -> $"},
    {53, 53, 1, KeyName::Fixed, "5 -> %"},
    {54, 54, 1, KeyName::Fixed, "6 -> Up"},
    {55, 55, 1, KeyName::Fixed, "7 -> &"},
    {56, 56, 1, KeyName::Fixed, "8 -> ."},
    {57, 57, 1, KeyName::Fixed, "9 -> ("},
    {189, 189, 1, KeyName::Fixed, "- -> _"},
    {189, 189, 0, KeyName::Fixed, "-"},
    {187, 187, 1, KeyName::Fixed, "= -> +"},
    {187, 187, 0, KeyName::Fixed, "="},
    {65, 90, 0, KeyName::Lower, nullptr},
    {65, 90, 1, KeyName::LowerToUpper, nullptr},
    {219, 219, 0, KeyName::Fixed, "["},
    {219, 219, 1, KeyName::Fixed, "[ -> {"},
    {220, 220, 0, KeyName::Fixed, "\\"},
    {220, 220, 1, KeyName::Fixed, "\\ -> |"},
    {221, 221, 0, KeyName::Fixed, "]"},
    {221, 221, 1, KeyName::Fixed, "] -> }"},
    {186, 186, 0, KeyName::Fixed, ";"},
    {186, 186, 1, KeyName::Fixed, "; -> :"},
    {222, 222, 0, KeyName::Fixed, "'"},
    {222, 222, 1, KeyName::Fixed, "' -> \""},
    {188, 188, 0, KeyName::Fixed, ","},
    {188, 188, 1, KeyName::Fixed, ", -> <"},
    {190, 190, 0, KeyName::Fixed, "."},
    {190, 190, 1, KeyName::Fixed, ". -> >"},
    {191, 191, 0, KeyName::Fixed, "/"},
    {191, 191, 1, KeyName::Fixed, "/ -> ?"},
    {45, 45, 0, KeyName::Fixed, "Insert"},
    {46, 46, 0, KeyName::Fixed, "Delete"},
    {36, 36, 0, KeyName::Fixed, "Home"},
    {35, 35, 0, KeyName::Fixed, "End"},
    {96, 105, 0, KeyName::KeypadDigit, nullptr},
    {111, 111, 0, KeyName::Fixed, ":"},
    {106, 106, 0, KeyName::Fixed, "."},
    {109, 109, 0, KeyName::Fixed, "-"},
    {107, 107, 0, KeyName::Fixed, "+"},
    {110, 110, 0, KeyName::Fixed, ","},
    {119, 119, 0, KeyName::Fixed, "F8"},
    {120, 120, 0, KeyName::Fixed, "F9"},
    {121, 121, 0, KeyName::Fixed, "F10"},
    {5000, 5000, kAnyShift, KeyName::Fixed, "Change keyboard"},
    {6000, 6000, kAnyShift, KeyName::Fixed, "Change keyboard"},
};

bool isLayoutCode(const std::string& code) {
  const std::optional<double> c = toNumber(code);
  return c && (*c == 5000 || *c == 6000);
}

// A label shows a single "&" as no character at all (it marks an access key): the name
// "7 -> &" is given to the label with its ampersand doubled, so that it shows as named.
std::string asLabelCaption(const std::string& name) {
  std::string caption;
  for (char c : name) {
    caption += c;
    if (c == '&') caption += '&';
  }
  return caption;
}

}  // namespace

std::optional<std::string> KeyIndicatorCaption(const std::string& code, const std::string& shift) {
  // Only a whole key code has a name; "***" and the grave accent make no number at all.
  return NameOfKey(kNames, code, shift, 6000);
}

KeyIndicatorForm::KeyIndicatorForm() : Form("Form3") {
  Caption = "Key indicator";
  Borderless = true;
  NeverActivates = true;
  Sizable = false;
  Width = 4000;
  Height = 735;
  BackColor = kSeeThrough;
  for (Label* l : {&Label1, &Label111, &Label222, &Label7}) {
    l->AutoSize = true;
    l->Font = Font{"MS Sans Serif", 8.25, false, 0};
    l->BackColor = kLabelBack;
    l->ForeColor = kBlack;
  }
  place(Label1, 0, 240, 705, 195);
  Label1.Caption = "Pressed:";
  place(Label111, 1320, 240, 825, 195);
  Label111.Caption = "Caps Lock +";
  Label111.Visible = false;
  place(Label222, 1320, 240, 585, 195);
  Label222.Caption = "Shift + ";
  Label222.Visible = false;
  place(Label7, 3240, 240, 45, 195);
  Label7.Visible = false;
  place(Image4, 3120, 240, 495, 435);
  Image4.BackColor = kSeeThrough;
  Picture2.Visible = false;
  Text1.Visible = false;
  Text2.Visible = false;
  add(Label1);
  add(Label111);
  add(Label222);
  add(Label7);
  add(Image4);
  add(Picture2);
  add(Text1);
  add(Text2);
}

void KeyIndicator::WireEvents() {
  p.Form3.Text1.Change = [this] { Text1_Change(); };
  p.Form1.Command38.Click = [this] { Command38_Click(); };
}

void KeyIndicator::Load() {
  KeyIndicatorForm& f = p.Form3;
  if (f.Loaded) return;
  f.Loaded = true;
  Form_Load();
}

void KeyIndicator::Unload() {
  if (!p.Form3.Loaded) return;
  p.desktop.unloadForm(p.Form3);
}

bool KeyIndicator::Visible() {
  Load();
  return p.Form3.Visible;
}

void KeyIndicator::Hide() {
  Load();
  p.desktop.hideForm(p.Form3);
}

void KeyIndicator::Command38_Click() {
  Load();
  p.desktop.showForm(p.Form3);
}

void KeyIndicator::autoSized(Label& l) { autoSize(p.desktop, l); }

void KeyIndicator::Form_Load() {
  KeyIndicatorForm& f = p.Form3;
  for (Label* l : {&f.Label1, &f.Label111, &f.Label222, &f.Label7}) autoSized(*l);
  p.app.MakeTopmost(f);
  p.app.MakeColorTransparent(f, kSeeThrough);
  // Loading a hidden window takes no foreground on this desktop, so there is none to hand
  // back to the main window: bringing it forward here would take the focus from the window
  // the user types into, at the first item played.
}

void KeyIndicator::Text1_Change() { ZapisNaznachen2(); }

void KeyIndicator::ZapisNaznachen2() {
  KeyIndicatorForm& f = p.Form3;
  const std::string code = f.Text1.Text();
  std::string shift = f.Text2.Text();
  bool capsOn = p.input.IsCapsLockOn();
  if (isLayoutCode(code)) {
    capsOn = false;
    shift = "0";
  }
  f.Label111.Visible = capsOn;
  const std::optional<double> s = toNumber(shift);
  f.Label222.Visible = s && *s == 1 && !capsOn;

  // The name starts 100 twips right of the last label shown, the picture at its edge.
  f.Label7.Left = f.Label1.Left + f.Label1.Width + kNameGap;
  f.Image4.Left = f.Label7.Left - kNameGap;
  for (const Label* l : {&f.Label111, &f.Label222}) {
    if (!l->Visible) continue;
    f.Label7.Left = l->Left + l->Width + kNameGap;
    f.Image4.Left = f.Label7.Left - kNameGap;
  }

  if (std::optional<std::string> name = KeyIndicatorCaption(code, shift)) {
    f.Image4.Picture = Picture{};
    f.Image4.Visible = false;
    f.Label7.Caption = asLabelCaption(*name);
    autoSized(f.Label7);
    f.Label7.Visible = true;
  } else {
    f.Image4.Picture = f.Picture2.Picture;
    f.Image4.Visible = true;
    f.Label7.Visible = false;
  }

  // A result being typed shows no key names.
  const int i = p.Form1.List1.ListIndex;
  if (p.QueueStartIndex < i && i < p.QueueEndIndex) {
    f.Label7.Caption = p.ResultTypingActive == 1 ? "only one F4" : "nothing";
    autoSized(f.Label7);
  } else {
    p.ResultTypingActive = 0;
  }
  FitWidth();
}

void KeyIndicator::FitWidth() {
  KeyIndicatorForm& f = p.Form3;
  f.Width = f.Label7.Left + f.Label7.Width + kNameGap;
}

void KeyIndicator::PlaceUnderPointer() {
  KeyIndicatorForm& f = p.Form3;
  f.Left = 15 * p.PointerX;
  f.Top = 15 * p.PointerY + kBelowPointer;
}

}  // namespace kel
