#include "evaluation/char_key_code.h"

namespace kel {

namespace {

struct Punctuation {
  char ch;
  int code;
};
// By the key that carries it on the US keyboard.
constexpr Punctuation kPunctuation[] = {
    {'!', 491},  {'#', 511},  {'$', 521},   {'&', 551},  {'*', 561},   {'(', 571},  {')', 481},
    {'-', 1890}, {'_', 1891}, {'=', 1870},  {'+', 1871}, {';', 1860},  {':', 1861}, {',', 1880},
    {'<', 1881}, {'.', 1900}, {'>', 1901},  {'/', 1910}, {'?', 1911},  {'[', 2190}, {'{', 2191},
    {']', 2210}, {'}', 2211}, {'\\', 2200}, {'|', 2201}, {'\'', 2220}, {'"', 2221},
};

// Not the key of "@" (Shift+2): the symbol code of pi with shift 0.
constexpr int kPiCode = 10130;

}  // namespace

std::string CharToKeyCode(const std::string& ch) {
  if (ch.size() != 1) return std::string();
  const char c = ch[0];
  if (c >= '0' && c <= '9') return std::to_string(10 * c);
  if (c >= 'a' && c <= 'z') return std::to_string(10 * (c - 'a' + 'A'));
  if (c >= 'A' && c <= 'Z') return std::to_string(10 * c + 1);
  if (c == '@') return std::to_string(kPiCode);
  for (const Punctuation& p : kPunctuation)
    if (p.ch == c) return std::to_string(p.code);
  return std::string();
}

}  // namespace kel
