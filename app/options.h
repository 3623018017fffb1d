// The options file: one line of nine "|"-separated fields (F8, F9 and F10 bindings as
// code and shift pairs, Round, the angle unit, evaluation after " = ").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kel {

inline constexpr const char* kOptionsFileName = "Options.txt";
// A real options file is a few dozen bytes; anything larger is not ours.
inline constexpr std::uintmax_t kOptionsMaxBytes = 64 * 1024;

// Splits at every "|", nothing trimmed; an empty content has no field. Line breaks at
// the very end (CR, LF) are dropped first: a hand-edited file usually ends in one, and it
// must not spoil the last field.
std::vector<std::string> splitOptionFields(std::string_view content);

// Whether the content can be an options file at all: every byte ASCII and none NUL. One in
// UTF-16 or any other form is a file the program cannot read as options.
bool isOptionsText(std::string_view content);

// Whether a stored binding can be a key-queue item: an optional "***" pace marker, an
// optional "`" pointer drop, then at most 12 decimal digits; its shift "", "0" or "1".
bool isStorableBindingCode(const std::string& code);
bool isStorableShiftFlag(const std::string& shift);

struct OptionValues {
  std::string f8Code, f8Shift, f9Code, f9Shift, f10Code, f10Shift;
  int round = 1;
  int angleUnit = 0;
  int evaluateAfterEquals = 1;
};

// The line as written: nine fields, eight separators, no line break.
std::string formatOptionLine(const OptionValues& v);

}  // namespace kel
