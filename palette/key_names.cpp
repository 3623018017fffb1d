#include "palette/key_names.h"

#include <cmath>

#include "platform/units.h"

namespace kel {

namespace {

std::string made(const KeyNameRow& row, int code) {
  const std::string lower(1, static_cast<char>('a' + code - 65));
  switch (row.made) {
    case KeyName::Fixed:
      return row.name;
    case KeyName::Digit:
      return std::string(1, static_cast<char>(code));
    case KeyName::KeypadDigit:
      return std::string(1, static_cast<char>('0' + code - 96));
    case KeyName::Lower:
      return lower;
    case KeyName::Upper:
      return std::string(1, static_cast<char>(code));
    case KeyName::LowerToUpper:
      return lower + " -> " + std::string(1, static_cast<char>(code));
  }
  return std::string();
}

}  // namespace

std::optional<std::string> NameOfKey(std::span<const KeyNameRow> rows, const std::string& code,
                                     const std::string& shift, int maxCode) {
  const std::optional<double> c = toNumber(code);
  if (!c || *c != std::floor(*c) || *c < 0 || *c > maxCode) return std::nullopt;
  const int k = static_cast<int>(*c);
  const std::optional<double> s = toNumber(shift);
  for (const KeyNameRow& row : rows) {
    if (k < row.first || k > row.last) continue;
    if (row.shift != kAnyShift && !(s && *s == row.shift)) continue;
    return made(row, k);
  }
  return std::nullopt;
}

}  // namespace kel
