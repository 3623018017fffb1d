// The F8, F9 and F10 bindings: what the hotkey row shows for each, the two bind buttons and
// the F8 help, the F8 binder, and the picture of a saved code at start-up.
#include <cmath>
#include <span>
#include <string>
#include <string_view>

#include "app/program.h"
#include "palette/key_names.h"
#include "palette/palette_buttons.h"
#include "platform/units.h"

namespace kel {

namespace {

// A caption of its own, or one made from the code (the digit or the letter it types).
constexpr KeyNameRow kCaptions[] = {
    {13, 13, 0, KeyName::Fixed, "Enter"},
    {32, 32, 0, KeyName::Fixed, "Space"},
    {8, 8, kAnyShift, KeyName::Fixed, "Backspace"},
    {27, 27, kAnyShift, KeyName::Fixed, "Esc"},
    {192, 192, 1, KeyName::Fixed, "~"},
    {192, 192, 0, KeyName::Fixed, "`"},
    {48, 57, 0, KeyName::Digit, nullptr},
    {48, 48, 1, KeyName::Fixed, ")"},
    {49, 49, 1, KeyName::Fixed, "!"},
    {50, 50, 1, KeyName::Fixed, "@"},
    {51, 51, 1, KeyName::Fixed, "#"},
    {52, 52, 1, KeyName::Fixed, "$"},
    {53, 53, 1, KeyName::Fixed, "%"},
    // Shift+6 goes into the upper index as Esc does; Shift+8 places the multiplication dot.
    {54, 54, 1, KeyName::Fixed, "Up"},
    {55, 55, 1, KeyName::Fixed, "&"},
    {56, 56, 1, KeyName::Fixed, "."},
    {57, 57, 1, KeyName::Fixed, "("},
    {189, 189, 1, KeyName::Fixed, "_"},
    {189, 189, 0, KeyName::Fixed, "-"},
    {187, 187, 1, KeyName::Fixed, "+"},
    {187, 187, 0, KeyName::Fixed, "="},
    {65, 90, 0, KeyName::Lower, nullptr},
    {65, 90, 1, KeyName::Upper, nullptr},
    {219, 219, 0, KeyName::Fixed, "["},
    {219, 219, 1, KeyName::Fixed, "{"},
    {220, 220, 0, KeyName::Fixed, "\\"},
    {220, 220, 1, KeyName::Fixed, "|"},
    {221, 221, 0, KeyName::Fixed, "]"},
    {221, 221, 1, KeyName::Fixed, "}"},
    {186, 186, 0, KeyName::Fixed, ";"},
    {186, 186, 1, KeyName::Fixed, ":"},
    {222, 222, 0, KeyName::Fixed, "'"},
    {222, 222, 1, KeyName::Fixed, "\""},
    {188, 188, 0, KeyName::Fixed, ","},
    {188, 188, 1, KeyName::Fixed, "<"},
    {190, 190, 0, KeyName::Fixed, "."},
    {190, 190, 1, KeyName::Fixed, ">"},
    {191, 191, 0, KeyName::Fixed, "/"},
    {191, 191, 1, KeyName::Fixed, "?"},
    {33, 33, 0, KeyName::Fixed, "PgUp"},
    {34, 34, 0, KeyName::Fixed, "PgDn"},
    {36, 36, 0, KeyName::Fixed, "Home"},
    {35, 35, 0, KeyName::Fixed, "End"},
    {96, 105, 0, KeyName::KeypadDigit, nullptr},
    {111, 111, 0, KeyName::Fixed, ":"},
    {106, 106, 0, KeyName::Fixed, "."},
    {109, 109, 0, KeyName::Fixed, "-"},
    {107, 107, 0, KeyName::Fixed, "+"},
    {110, 110, 0, KeyName::Fixed, ","},
};

constexpr int kFirstLimitsDialog = 1057;

}  // namespace

std::optional<std::string> HotkeyCaption(const std::string& code, const std::string& shift) {
  return NameOfKey(kCaptions, code, shift, 255);
}

std::string BoundKeyCode(const std::string& code) {
  std::string key = code;
  constexpr std::string_view kPaced = "***";
  for (size_t at = key.find(kPaced); at != std::string::npos; at = key.find(kPaced, at))
    key.erase(at, kPaced.size());
  if (!key.empty() && key.front() == '`') key.erase(0, 1);
  return key;
}

void Palette::ZapisNaznachen(const std::string& code, const std::string& shift,
                             const std::string& key) {
  MainWindow& w = p.Form1;
  Label* label = nullptr;
  Image* image = nullptr;
  if (key == "F8") {
    label = &w.Label7;
    image = &w.Image4;
  } else if (key == "F9") {
    label = &w.Label8;
    image = &w.Image6;
  } else if (key == "F10") {
    label = &w.Label9;
    image = &w.Image7;
  } else {
    return;
  }
  // Shown as the key it plays: a code with the queue's markers plays without them.
  const std::optional<std::string> name = HotkeyCaption(BoundKeyCode(code), shift);
  if (name) {
    image->Picture = Picture{};
    image->Visible = false;
    label->Caption = *name;
    label->Visible = true;
  } else {
    showPicture(*image, w.Picture2.Picture);
    image->Visible = true;
    label->Visible = false;
  }
}

void Palette::SmeniKartinka(const std::string& code) {
  MainWindow& w = p.Form1;
  const std::optional<double> v = toNumber(BoundKeyCode(code));
  if (!v) return;
  // Every palette symbol (2015 too, so that a saved binding of it shows its own face) and
  // the two limits buttons.
  for (std::span<const PaletteCell> cells :
       {std::span<const PaletteCell>(kPaletteCells), std::span<const PaletteCell>(kLimitsCells)}) {
    for (const PaletteCell& cell : cells) {
      if (*v != cell.code) continue;
      w.Picture2.Picture = (w.*cell.button).Picture;
      return;
    }
  }
}

void Palette::Command32_Click() {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  p.app.ReturnToMainWindow();
  p.desktop.messageBox(" In F8, only the last used symbol, click on ->F9 or ->F10", msgbox::OkOnly,
                       "");
}

namespace {

// F8, F9 and F10 themselves: a binding to one of them would play nothing but that key
// (F8 bound to F8 plays nothing at all), so such an item never replaces a binding.
bool isBindingKey(const std::string& code) {
  const std::optional<double> v = toNumber(BoundKeyCode(code));
  return v && (*v == vk::F8 || *v == vk::F9 || *v == vk::F10);
}

}  // namespace

void Palette::Command33_Click() { bindFromQueue(p.HotkeyF9Code, p.HotkeyF9Shift, "F9"); }

void Palette::Command34_Click() { bindFromQueue(p.HotkeyF10Code, p.HotkeyF10Shift, "F10"); }

void Palette::bindFromQueue(std::string& code, std::string& shift, const char* key) {
  MainWindow& w = p.Form1;
  p.desktop.setFocus(w, w.Command63);
  p.app.ReturnToMainWindow();
  if (w.List1.ListCount() == 0) {
    p.desktop.messageBox("Click on a symbol or key on the keyboard and then this button.",
                         msgbox::OkOnly, "");
    return;
  }
  // The item played last, as it played: F8, F9 and F10 play their bindings, in the
  // interpreter's order, so an F8 repeat binds the symbol it placed (F8 is never bound to
  // itself). A binding key that played nothing (unbound) leaves the binding as it was.
  struct Binding {
    int key;
    const std::string& code;
    const std::string& shift;
  };
  std::string played = w.List1.Text(), playedShift = w.List2.Text();
  for (const Binding& b : {Binding{vk::F8, p.HotkeyF8Code, p.HotkeyF8Shift},
                           Binding{vk::F9, p.HotkeyF9Code, p.HotkeyF9Shift},
                           Binding{vk::F10, p.HotkeyF10Code, p.HotkeyF10Shift}}) {
    const std::optional<double> v = toNumber(BoundKeyCode(played));
    if (v && *v == b.key && !b.code.empty()) {
      played = b.code;
      playedShift = b.shift;
    }
  }
  if (!isBindingKey(played)) {
    code = played;
    shift = playedShift;
  }
  // Right after an integral with limits: the key reopens its dialog. A sum (1062) is
  // bound as it is.
  if (const std::optional<double> v = toNumber(code); v && *v == 1056) {
    code = std::to_string(kFirstLimitsDialog);
    shift = "0";
  }
  // The row shows the face of the symbol bound, which the preview holds only when that
  // symbol was the palette's last click.
  SmeniKartinka(code);
  ZapisNaznachen(code, shift, key);
  p.desktop.bringToFront(w);
}

void Palette::Timer17_Timer() {
  MainWindow& w = p.Form1;
  w.Timer17.setEnabled(false);
  if (p.HotkeyAssignAction == 1 || p.HotkeyAssignAction == 2) {
    // After an integral or a sum with limits, F8 opens the same dialog again.
    const bool integral = p.HotkeyAssignAction == 1;
    p.HotkeyF8Code = integral ? "1057" : "1058";
    p.HotkeyF8Shift = "0";
    ZapisNaznachen(p.HotkeyF8Code, p.HotkeyF8Shift, "F8");
    showPicture(w.Image4, integral ? w.Command58.Picture : w.Command59.Picture);
    p.HotkeyAssignAction = 0;
    return;
  }
  if (isBindingKey(w.List1.Text())) return;
  p.HotkeyF8Code = w.List1.Text();
  p.HotkeyF8Shift = w.List2.Text();
  ZapisNaznachen(p.HotkeyF8Code, p.HotkeyF8Shift, "F8");
}

}  // namespace kel
