// Interpreter rows: the digit keys, the numeric keypad, the punctuation keys and Space.
#include "app/program.h"
#include "input/interpreter.h"

namespace kel {

namespace {

enum class Does { Same, Text, Picture, At };
enum class Gate { None, Always, InIndexOnly };

struct Effect {
  Does does = Does::Same;  // Same: the Cyrillic layout does what the Latin one does
  const char* what = nullptr;
};

constexpr Effect text(const char* caption) { return {Does::Text, caption}; }
constexpr Effect picture(const char* name) { return {Does::Picture, name}; }
constexpr Effect kSame{};
constexpr Effect kAt{Does::At, "@"};

constexpr int kAny = -1;

struct Row {
  int code;
  int shift;  // 0, 1 or kAny
  Effect latin;
  Effect cyrillic;
  Gate gate;
};

// Shift+6 (54 with flag 1) has no row here: the frame plays it as Esc.
constexpr Row kRows[] = {
    {48, 0, text("0"), kSame, Gate::None},
    {48, 1, picture("zskoba"), kSame, Gate::None},
    {49, 0, text("1"), kSame, Gate::None},
    {49, 1, text("!"), kSame, Gate::None},
    {50, 0, text("2"), kSame, Gate::None},
    {50, 1, kAt, kSame, Gate::InIndexOnly},
    {51, 0, text("3"), kSame, Gate::None},
    {51, 1, text("#"), kSame, Gate::None},
    {52, 0, text("4"), kSame, Gate::None},
    {52, 1, text("$"), kSame, Gate::None},
    {53, 0, text("5"), kSame, Gate::None},
    {53, 1, text("%"), kSame, Gate::None},
    {54, 0, text("6"), kSame, Gate::None},
    {55, 0, text("7"), kSame, Gate::None},
    // A label shows "&&" as one ampersand (a single one would mark an access key).
    {55, 1, text("&&"), kSame, Gate::None},
    {56, 0, text("8"), kSame, Gate::None},
    {56, 1, picture("po"), kSame, Gate::None},
    {57, 0, text("9"), kSame, Gate::None},
    {57, 1, picture("oskoba"), kSame, Gate::None},

    {96, kAny, text("0"), kSame, Gate::None},
    {97, kAny, text("1"), kSame, Gate::None},
    {98, kAny, text("2"), kSame, Gate::None},
    {99, kAny, text("3"), kSame, Gate::None},
    {100, kAny, text("4"), kSame, Gate::None},
    {101, kAny, text("5"), kSame, Gate::None},
    {102, kAny, text("6"), kSame, Gate::None},
    {103, kAny, text("7"), kSame, Gate::None},
    {104, kAny, text("8"), kSame, Gate::None},
    {105, kAny, text("9"), kSame, Gate::None},
    {106, kAny, picture("po"), kSame, Gate::None},
    {107, kAny, picture("plus"), kSame, Gate::None},
    {109, kAny, picture("minus"), kSame, Gate::None},
    // The keypad's decimal key types what the comma key types: results use it.
    {110, 0, text(","), kSame, Gate::None},
    {110, 1, text(" < "), kSame, Gate::None},
    {111, kAny, picture("del"), kSame, Gate::None},

    {186, 0, text(";"), kSame, Gate::Always},
    {186, 1, picture("del"), kSame, Gate::None},
    // The text placer takes every " = " as the end of an expression.
    {187, 0, text(" = "), kSame, Gate::None},
    {187, 1, picture("plus"), kSame, Gate::None},
    {188, 0, text(","), kSame, Gate::None},
    {188, 1, text(" < "), kSame, Gate::None},
    {189, 0, picture("minus"), kSame, Gate::None},
    {189, 1, text("_"), kSame, Gate::None},
    {190, 0, picture("po"), kSame, Gate::None},
    {190, 1, text(" > "), kSame, Gate::None},
    {191, 0, text("/"), kSame, Gate::Always},
    {191, 1, text("?"), kSame, Gate::Always},
    {192, 0, text("`"), text("ч"), Gate::None},
    {192, 1, text("~"), text("Ч"), Gate::None},
    {219, 0, picture("goskoba"), text("ш"), Gate::None},
    {219, 1, picture("boskoba"), text("Ш"), Gate::None},
    {220, 0, text("\\"), text("ю"), Gate::Always},
    {220, 1, text("|"), text("Ю"), Gate::Always},
    {221, 0, picture("gzskoba"), text("щ"), Gate::None},
    {221, 1, picture("bzskoba"), text("Щ"), Gate::None},
    {222, 0, text("'"), kSame, Gate::Always},
    {222, 1, text("\""), kSame, Gate::Always},
};

constexpr int kSpace = 32;
constexpr int kCyrillicSpacePx = 20;

bool gateOpen(const PlayedItem& item, Gate gate) {
  switch (gate) {
    case Gate::None:
      return true;
    case Gate::Always:
      return item.ctrlGateOpen();
    case Gate::InIndexOnly:
      return !item.inIndexMode() || item.ctrlGateOpen();
  }
  return true;
}

bool playSpace(PlayedItem& item) {
  if (item.latin()) {
    item.placePicture("32");
    return true;
  }
  // In the Cyrillic layout Space only moves the insertion point: nothing is placed, so
  // an index mode stays on and no after-placement step runs.
  if (!item.ctrlGateOpen()) return false;
  if (item.p.evaluation.Form4Visible() || item.p.evaluation.Form5Visible()) return false;
  item.p.PointerX += kCyrillicSpacePx;
  item.movePointer();
  return true;
}

}  // namespace

bool playDigitRows(PlayedItem& item) {
  if (item.codeIs(kSpace)) return playSpace(item);
  for (const Row& row : kRows) {
    if (!item.codeIs(row.code)) continue;
    if (row.shift != kAny && !item.shiftIs(row.shift)) continue;
    if (!gateOpen(item, row.gate)) return false;
    const Effect& e = item.cyrillic() && row.cyrillic.does != Does::Same ? row.cyrillic : row.latin;
    switch (e.does) {
      case Does::Text:
        item.placeText(e.what);
        break;
      case Does::Picture:
        item.placePicture(e.what);
        break;
      case Does::At:
        // "@" has sizes of its own: 18 bold on the line, 10 bold in an index.
        item.p.surface.PlaceTextSymbol(e.what, item.inIndexMode() ? 10 : 18, true);
        break;
      case Does::Same:
        return false;
    }
    return true;
  }
  return false;
}

}  // namespace kel
