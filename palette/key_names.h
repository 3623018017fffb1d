// Tables that name a key by its code and shift (the hotkey row, the key indicator): each row
// a range of codes and a shift, naming the key by a text of its own or by a rule on the code.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace kel {

inline constexpr int kAnyShift = -1;

// How a row names its key: its own text, or the digit, the keypad digit, the letter in lower
// or upper case, or the lower-case letter, " -> " and the upper-case one.
enum class KeyName { Fixed, Digit, KeypadDigit, Lower, Upper, LowerToUpper };

struct KeyNameRow {
  int first, last;
  int shift;  // 0, 1 or kAnyShift
  KeyName made;
  const char* name;  // of a Fixed row
};

// The name of the first row that matches the code and the shift, both compared as numbers;
// nothing when none does. A code that is no whole number from 0 to maxCode matches no row.
std::optional<std::string> NameOfKey(std::span<const KeyNameRow> rows, const std::string& code,
                                     const std::string& shift, int maxCode);

}  // namespace kel
