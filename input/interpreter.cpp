// The frame of the two interpreters and the conventions of their rows.
#include "input/interpreter.h"

#include <array>
#include <string_view>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr std::string_view kPacedItemMarker = "***";
constexpr char kPointerDropPrefix = '`';
constexpr int kPointerDropPx = 7;

constexpr int kF4 = 115, kBackspace = 8, kF8 = 119, kF9 = 120, kF10 = 121;
constexpr int kLatinLayoutCode = 5000, kCyrillicLayoutCode = 6000;

void removeAll(std::string& s, std::string_view what) {
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at))
    s.erase(at, what.size());
}

bool isNumberedPicture(const std::string& name) {
  std::optional<long long> n = toWholeNumber(name);
  if (!n || std::to_string(*n) != name) return false;
  return (*n >= 1017 && *n <= 1022) || (*n >= 1026 && *n <= 1051);
}

}  // namespace

// --- the conventions of the rows ----------------------------------------------------------

std::optional<double> PlayedItem::codeValue() const { return toNumber(PlayedCode); }

bool PlayedItem::codeIs(long long code) const {
  std::optional<double> v = codeValue();
  return v && *v == static_cast<double>(code);
}

bool PlayedItem::codeIn(long long first, long long last) const {
  std::optional<double> v = codeValue();
  return v && *v >= static_cast<double>(first) && *v <= static_cast<double>(last);
}

bool PlayedItem::shiftIs(int flag) const {
  std::optional<double> v = toNumber(PlayedShift);
  return v && *v == flag;
}

bool PlayedItem::onTheLine() const { return p.UpperIndexMode == 0 && p.LowerIndexMode == 0; }

bool PlayedItem::inIndexMode() const { return p.UpperIndexMode == 1 || p.LowerIndexMode == 1; }

bool PlayedItem::ctrlGateOpen() const { return !ctrlChord && !p.input.IsCtrlDown(); }

void PlayedItem::placeText(const std::string& caption) const {
  if (inIndexMode())
    p.surface.PlaceTextSymbol(caption, 12, true);
  else
    p.surface.PlaceTextSymbol(caption, 24, false);
}

void PlayedItem::placePicture(const std::string& name) const {
  p.surface.PlacePictureSymbol(inIndexMode() ? SmallPictureName(name) : name);
}

void PlayedItem::movePointer() const { p.surface.FollowInsertionPoint(); }

std::string SmallPictureName(const std::string& name) {
  static constexpr std::array<std::string_view, 6> kNoSmallForm = {"1011", "hskoba", "1015",
                                                                   "1016", "2015",   "35"};
  for (std::string_view n : kNoSmallForm)
    if (name == n) return name;
  if (isNumberedPicture(name)) return name + "01";
  return name + "m";
}

// --- the frame --------------------------------------------------------------------------

Input::Input(Program& p)
    : rowGroups{playFractionRows, playDigitRows, playLetterRows, playSymbolRows, playF2Row}, p(p) {}

void Input::ProcessQueuedKeyLatin() { playQueuedKey(TypingLayout::Latin); }

void Input::ProcessQueuedKeyCyrillic() { playQueuedKey(TypingLayout::Cyrillic); }

void Input::playQueuedKey(TypingLayout layout) {
  MainWindow& w = p.Form1;
  PlayedItem item(p, layout);

  item.PlayedCode = w.List1.Text();
  removeAll(item.PlayedCode, kPacedItemMarker);
  if (!item.PlayedCode.empty() && item.PlayedCode.front() == kPointerDropPrefix) {
    item.PlayedCode.erase(0, 1);
    p.PointerY += kPointerDropPx;
    item.movePointer();
  }
  const std::string shift = w.List2.Text();
  item.PlayedShift = shift.empty() ? std::string() : shift.substr(shift.size() - 1);
  item.ctrlChord = p.input.IsCtrlChordItem(w.List1.ListIndex);

  struct Hotkey {
    int key;
    const std::string& code;
    const std::string& shift;
  };
  for (const Hotkey& h :
       {Hotkey{kF8, p.HotkeyF8Code, p.HotkeyF8Shift}, Hotkey{kF9, p.HotkeyF9Code, p.HotkeyF9Shift},
        Hotkey{kF10, p.HotkeyF10Code, p.HotkeyF10Shift}}) {
    if (item.codeIs(h.key) && !h.code.empty()) {
      // A binding plays the key it names: a code bound while it still carried the queue's
      // markers (a limit's character) plays without them, and without the pointer drop.
      item.PlayedCode = BoundKeyCode(h.code);
      item.PlayedShift = h.shift;
    }
  }

  if (item.codeIs(kF4)) {
    p.pages.Prepihi();
    return;
  }
  if (item.codeIs(kBackspace)) {
    p.pages.IztrBackSpace();
    return;
  }

  // Walked on a copy, so a group that changes the table cannot pull it from under us.
  const std::vector<RowGroup> groups = rowGroups;
  for (const RowGroup& group : groups)
    if (group && group(item)) return;

  if (item.codeIs(kLatinLayoutCode))
    p.app.SwitchLanguageTyped(true);
  else if (item.codeIs(kCyrillicLayoutCode))
    p.app.SwitchLanguageTyped(false);
}

}  // namespace kel
