// What the on-screen keyboard's keys queue and the captions its modifier and layout keys
// put on them.
#include <cstdint>
#include <string>

#include "palette/keyboard.h"

namespace kel {

namespace {

// The virtual-key codes of the main keys, by index; 0 where a key queues a fixed item or
// none (Backspace 50, the fraction keys 54 to 56, the arrows 60 to 63).
constexpr int kMainCodes[kLastMainKey + 1] = {
    81,  87,  69,  82,  84,  89, 85,  73,  79,  80,             // q w e r t y u i o p
    65,  83,  68,  70,  71,  72, 74,  75,  76,                  // a s d f g h j k l
    90,  88,  67,  86,  66,  78, 77,                            // z x c v b n m
    188, 190, 191, 186, 222, 13, 219, 221, 220, 32,  192,       // , . / ; ' Enter [ ] \ Space `
    49,  50,  51,  52,  53,  54, 55,  56,  57,  48,  189, 187,  // 1 ... 0 - =
    27,  0,   27,  123, 123, 0,  0,   0,   119, 120, 121,       // Esc <- Esc F12 F12 ... F8-F10
    0,   0,   0,   0,                                           // the arrows
};

// A caption shows "&&" as one ampersand (a single one only marks an access key and shows
// nothing): the shifted "7" is written so, or its key would show blank.
struct SymbolRow {
  int index;
  const char* unshifted;
  const char* shifted;
  bool latinOnly;
};
constexpr SymbolRow kSymbolRows[] = {
    {26, ",", "<", false}, {27, ".", ">", false},  {28, "/", "?", false},
    {29, ";", ":", false}, {30, "'", "\"", false}, {31, "Enter", "Enter", false},
    {32, "[", "{", true},  {33, "]", "}", true},   {34, "\\", "|", true},
    {36, "`", "~", true},  {37, "1", "!", false},  {38, "2", "@", false},
    {39, "3", "#", false}, {40, "4", "$", false},  {41, "5", "%", false},
    {42, "6", "^", false}, {43, "7", "&&", false}, {44, "8", "*", false},
    {45, "9", "(", false}, {46, "0", ")", false},  {47, "-", "_", false},
    {48, "=", "+", false},
};

struct LetterRow {
  int index;
  const char* latinLower;
  const char* latinUpper;
  const char* cyrillicLower;
  const char* cyrillicUpper;
};
constexpr LetterRow kLetterRows[] = {
    {0, "q", "Q", "я", "Я"},  {1, "w", "W", "в", "В"},   {2, "e", "E", "е", "Е"},
    {3, "r", "R", "р", "Р"},  {4, "t", "T", "т", "Т"},   {5, "y", "Y", "ъ", "Ъ"},
    {6, "u", "U", "у", "У"},  {7, "i", "I", "и", "И"},   {8, "o", "O", "о", "О"},
    {9, "p", "P", "п", "П"},  {10, "a", "A", "а", "А"},  {11, "s", "S", "с", "С"},
    {12, "d", "D", "д", "Д"}, {13, "f", "F", "ф", "Ф"},  {14, "g", "G", "г", "Г"},
    {15, "h", "H", "х", "Х"}, {16, "j", "J", "й", "Й"},  {17, "k", "K", "к", "К"},
    {18, "l", "L", "л", "Л"}, {19, "z", "Z", "з", "З"},  {20, "x", "X", "ь", "Ь"},
    {21, "c", "C", "ц", "Ц"}, {22, "v", "V", "ж", "Ж"},  {23, "b", "B", "б", "Б"},
    {24, "n", "N", "н", "Н"}, {25, "m", "M", "м", "М"},  {32, "[", "{", "ш", "Ш"},
    {33, "]", "}", "щ", "Щ"}, {34, "\\", "|", "ю", "Ю"}, {36, "`", "~", "ч", "Ч"},
};

// Decodes one UTF-8 character at s[i], advancing i; a byte that starts no character of
// its own is taken as it is.
std::uint32_t next(const std::string& s, size_t& i, size_t& length) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c >= 0xC0 && c < 0xE0 && i + 1 < s.size() && (b(i + 1) & 0xC0) == 0x80) {
    length = 2;
    const std::uint32_t cp = ((c & 0x1Fu) << 6) | (b(i + 1) & 0x3Fu);
    i += 2;
    return cp;
  }
  length = 1;
  ++i;
  return c;
}

void append(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
    return;
  }
  out += static_cast<char>(0xC0 | (cp >> 6));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

// Latin a-z and the Cyrillic letters U+0400 to U+045F change case; nothing else does.
std::uint32_t upper(std::uint32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

std::uint32_t lower(std::uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

template <class F>
std::string mapCase(const std::string& s, F f) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t at = i;
    size_t length = 1;
    const std::uint32_t cp = next(s, i, length);
    if (length == 1 && cp >= 0x80)
      out += s[at];  // a stray byte stays as it was
    else
      append(out, f(cp));
  }
  return out;
}

}  // namespace

std::optional<int> MainKeyCode(int index) {
  if (index < 0 || index > kLastMainKey || kMainCodes[index] == 0) return std::nullopt;
  return kMainCodes[index];
}

std::optional<std::string> SymbolCaption(int index, bool shifted, bool latin) {
  for (const SymbolRow& row : kSymbolRows) {
    if (row.index != index) continue;
    if (row.latinOnly && !latin) return std::nullopt;
    return shifted ? row.shifted : row.unshifted;
  }
  return std::nullopt;
}

std::optional<std::string> LetterCaption(int index, bool latin, bool upperCase) {
  for (const LetterRow& row : kLetterRows) {
    if (row.index != index) continue;
    if (latin) return upperCase ? row.latinUpper : row.latinLower;
    return upperCase ? row.cyrillicUpper : row.cyrillicLower;
  }
  return std::nullopt;
}

std::string ToUpperCaption(const std::string& s) { return mapCase(s, upper); }

std::string ToLowerCaption(const std::string& s) { return mapCase(s, lower); }

}  // namespace kel
