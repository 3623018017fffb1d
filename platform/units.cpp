#include "platform/units.h"

#include <cctype>

namespace kel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<double> toNumber(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && isBlank(text[b])) ++b;
  while (e > b && isBlank(text[e - 1])) --e;
  std::string_view t = text.substr(b, e - b);
  if (t.empty() || t.size() > 40) return std::nullopt;
  size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') {
    negative = t[i] == '-';
    ++i;
  }
  double value = 0;
  size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
    value = value * 10 + (t[i] - '0');
    ++i;
    ++digits;
  }
  if (i < t.size() && t[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) {
      value += (t[i] - '0') * scale;
      scale /= 10;
      ++i;
      ++digits;
    }
  }
  if (digits == 0 || i != t.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<long long> toWholeNumber(std::string_view text) {
  auto v = toNumber(text);
  if (!v || *v > 2147483647.0 || *v < -2147483648.0) return std::nullopt;
  return roundHalfEven(*v);
}

}  // namespace kel
