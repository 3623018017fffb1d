// The queue-item interpreter: the frame every played item goes through, and the
// conventions that every row of the key groups uses.
//
// Contract of the frame (Input::ProcessQueuedKeyLatin / ProcessQueuedKeyCyrillic, called
// by the queue player once per played item, after the item became the current entry of
// List1 and List2):
//
//  1. PlayedCode = the List1 text with every "***" removed. A leading "`" is removed
//     (one only) and the pointer moves 7 px down before anything else is read.
//  2. PlayedShift = the last character of the List2 text ("" when it is empty).
//  3. F8, F9, F10 (119, 120, 121), tested in this order, each on what the test before
//     left: a bound hotkey puts its code and shift flag in place of the item's; an
//     unbound one leaves the item as it is (it then matches no row).
//  4. F4 (115) pastes (Pages::Prepihi), Backspace (8) deletes backwards
//     (Pages::IztrBackSpace); either ends the item. Neither looks at Ctrl.
//  5. The row groups of Input::rowGroups are tried in turn: index, line and fraction
//     keys; digit, punctuation and space keys; letter keys; symbol and limit codes;
//     F2. The first group that acts ends the item.
//  6. The layout codes: 5000 runs App::Command60_Click (Latin), 6000
//     App::Command61_Click (Cyrillic), whatever Ctrl, shift and index mode; the
//     switch takes effect from the next played item.
//  Any other code plays as nothing. Codes are compared as numbers ("48" is 48); an
//  empty or non-numeric code is no number and matches nothing.
//
// Contract of a row group (one file each: rows_fraction.cpp, rows_digits.cpp,
// rows_letters.cpp, rows_symbols.cpp, rows_f2.cpp):
//  - `bool group(PlayedItem& item)`: returns true when one of its rows acted, false when
//    none did (a row held shut by the Ctrl gate has not acted). At most one row of the
//    whole interpreter acts per item, so a group returns as soon as its row has acted.
//  - A row tests item.codeIs(...) / codeIn(...), item.shiftIs(0 or 1) where it names a
//    shift state, item.onTheLine() / item.inIndexMode() where it has a pair of rows,
//    and item.ctrlGateOpen() last, where its table marks the Ctrl gate (the gate is
//    shut while Ctrl is held at the moment it is tested, and always for an item queued
//    for a Ctrl chord).
//  - Text symbols go through item.placeText(caption) (24 pt regular on the line, 12 pt
//    bold in an index mode); a row with sizes of its own ("@") calls
//    Surface::PlaceTextSymbol itself. Pictures go through item.placePicture(name),
//    which uses SmallPictureName(name) in an index mode.
//  - Pointer moves change PointerX/PointerY and then call item.movePointer().
//  - Follow-up items are appended with Input::AppendQueueItem.
//  - item.layout says which interpreter plays the item; the Shift+6 row may rewrite
//    item.PlayedCode / item.PlayedShift (to Esc) before the Esc row of its group.
//  - A row never throws on bad input; an exception from what it calls ends the item and
//    the player goes on with the next one.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kel {

class Program;

enum class TypingLayout { Latin, Cyrillic };

// The item being played, as the rows see it, with the conventions every row uses.
class PlayedItem {
 public:
  PlayedItem(Program& p, TypingLayout layout) : p(p), layout(layout) {}

  Program& p;
  const TypingLayout layout;
  std::string PlayedCode;
  std::string PlayedShift;
  // Queued for a key pressed while Ctrl was held (or one an editing hotkey acted on).
  bool ctrlChord = false;

  bool latin() const { return layout == TypingLayout::Latin; }
  bool cyrillic() const { return layout == TypingLayout::Cyrillic; }

  // The code as a number; nothing for an empty or non-numeric code.
  std::optional<double> codeValue() const;
  bool codeIs(long long code) const;
  bool codeIn(long long first, long long last) const;
  // The shift flag compared as a number with 0 or 1.
  bool shiftIs(int flag) const;

  // On the line: neither index mode; in an index mode: either of them.
  bool onTheLine() const;
  bool inIndexMode() const;
  // Open while Ctrl is up at this moment, unless the item is a Ctrl chord's.
  bool ctrlGateOpen() const;

  // The text rule: 24 pt regular on the line, 12 pt bold in an index mode.
  void placeText(const std::string& caption) const;
  // The picture rule: the name on the line, its small form in an index mode.
  void placePicture(const std::string& name) const;
  // Moves the real pointer to (PointerX, PointerY), halves to even.
  void movePointer() const;
};

// The small form of a picture used in an index mode: word names and "32" take "m",
// the numbered pictures 1017-1022 and 1026-1051 take "01"; "1011", "hskoba", "1015",
// "1016", "2015" and the fraction bar "35" have none and stay as they are.
std::string SmallPictureName(const std::string& name);

using RowGroup = std::function<bool(PlayedItem&)>;

// The row groups, one file each, in the order the frame tries them.
bool playFractionRows(PlayedItem& item);  // Esc, F12, Enter, Insert, Page Up/Down, Home
bool playDigitRows(PlayedItem& item);     // digits, keypad, punctuation, Space
bool playLetterRows(PlayedItem& item);    // A to Z
bool playSymbolRows(PlayedItem& item);    // palette symbol codes, limit positions
bool playF2Row(PlayedItem& item);         // F2: an empty item

}  // namespace kel
