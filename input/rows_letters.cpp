// Interpreter rows: the letter keys A to Z, Latin and Bulgarian phonetic.
#include <array>

#include "input/interpreter.h"

namespace kel {

namespace {

struct LetterKey {
  int code;
  const char* latin[2];     // flag 0, flag 1
  const char* cyrillic[2];  // the phonetic layout's letter on the same key
};

// The Cyrillic captions are Cyrillic code points, never the Latin letters that look
// alike ("а", "е", "о", "р", "с", "у", "х"). ч, ш, щ and ю lie on punctuation keys.
constexpr std::array<LetterKey, 26> kLetters = {{
    {65, {"a", "A"}, {"а", "А"}}, {66, {"b", "B"}, {"б", "Б"}}, {67, {"c", "C"}, {"ц", "Ц"}},
    {68, {"d", "D"}, {"д", "Д"}}, {69, {"e", "E"}, {"е", "Е"}}, {70, {"f", "F"}, {"ф", "Ф"}},
    {71, {"g", "G"}, {"г", "Г"}}, {72, {"h", "H"}, {"х", "Х"}}, {73, {"i", "I"}, {"и", "И"}},
    {74, {"j", "J"}, {"й", "Й"}}, {75, {"k", "K"}, {"к", "К"}}, {76, {"l", "L"}, {"л", "Л"}},
    {77, {"m", "M"}, {"м", "М"}}, {78, {"n", "N"}, {"н", "Н"}}, {79, {"o", "O"}, {"о", "О"}},
    {80, {"p", "P"}, {"п", "П"}}, {81, {"q", "Q"}, {"я", "Я"}}, {82, {"r", "R"}, {"р", "Р"}},
    {83, {"s", "S"}, {"с", "С"}}, {84, {"t", "T"}, {"т", "Т"}}, {85, {"u", "U"}, {"у", "У"}},
    {86, {"v", "V"}, {"ж", "Ж"}}, {87, {"w", "W"}, {"в", "В"}}, {88, {"x", "X"}, {"ь", "Ь"}},
    {89, {"y", "Y"}, {"ъ", "Ъ"}}, {90, {"z", "Z"}, {"з", "З"}},
}};

constexpr int kY = 89;

}  // namespace

bool playLetterRows(PlayedItem& item) {
  for (const LetterKey& key : kLetters) {
    if (!item.codeIs(key.code)) continue;
    int flag;
    if (item.shiftIs(0))
      flag = 0;
    else if (item.shiftIs(1))
      flag = 1;
    else
      return false;
    // Every letter waits for Ctrl to be up but the lower-case y on the line.
    const bool gated = !(key.code == kY && flag == 0 && item.onTheLine());
    if (gated && !item.ctrlGateOpen()) return false;
    item.placeText(item.latin() ? key.latin[flag] : key.cyrillic[flag]);
    return true;
  }
  return false;
}

}  // namespace kel
