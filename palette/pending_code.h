// The value a button hands to the pending-code dispatcher: nothing yet, a whole number, a
// floating-point number or a text ("Nisto"). Whole codes reach 100000000001, past 32 bits.
//
// The dispatcher's rows compare it by numeric value, whatever its kind: 1013, 1013LL and
// 1013.0 are the same request. A text is read as a number ("1013" is 1013); a text that is
// no number, like the empty value, matches no row, and that is no error.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>

namespace kel {

class PendingValue {
 public:
  enum class Kind { Empty, Whole, Floating, Text };

  PendingValue() = default;
  PendingValue(int v) : v_(static_cast<long long>(v)) {}
  PendingValue(long long v) : v_(v) {}
  PendingValue(double v) : v_(v) {}
  PendingValue(const char* s) : v_(std::string(s ? s : "")) {}
  PendingValue(std::string s) : v_(std::move(s)) {}

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  // The numeric value; nothing for the empty value and for a text that is no number.
  std::optional<double> number() const;
  // Whether the value is this code, compared as numbers.
  bool is(long long code) const;
  // How the value reads as text (empty for the empty value).
  std::string text() const;

  // Numbers compare by value across kinds; a text that is a number compares as that
  // number, any other text only with the same text.
  friend bool operator==(const PendingValue& a, const PendingValue& b);
  friend std::ostream& operator<<(std::ostream& os, const PendingValue& v) {
    return os << v.text();
  }

 private:
  std::variant<std::monostate, long long, double, std::string> v_;
};

}  // namespace kel
