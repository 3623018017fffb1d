// The letter, digit, punctuation and Space rows of both interpreters, typed through the
// keyboard capture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/units.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

constexpr IndexMode kModes[] = {IndexMode::Line, IndexMode::Upper, IndexMode::Lower,
                                IndexMode::Both};

// Types one key per case from the same starting point in the given mode; with `shifted`
// the left Shift is held over the whole run.
class RowRun {
 public:
  RowRun(bool cyrillic, bool shifted) : shifted_(shifted) {
    t.w().Check3.Value = 0;  // a " = " typed here is not to be evaluated
    if (cyrillic) t.p().LatinLayout = 0;
    if (shifted) {
      t.down(vk::LShift);
      t.advance(40);
    }
  }
  ~RowRun() {
    if (shifted_) t.up(vk::LShift);
  }
  // The symbols the key placed (none, or one).
  std::vector<Placed> type(int vk, IndexMode mode) {
    const int before = t.p().SymbolCount;
    t.home();
    t.setMode(mode);
    t.type(vk);
    std::vector<Placed> all = t.placed();
    EXPECT_FALSE(t.queued().empty());
    if (!t.queued().empty()) {
      EXPECT_EQ(t.queued().back(), std::to_string(vk));
      EXPECT_EQ(t.flags().back(), shifted_ ? "1" : "0");
    }
    return std::vector<Placed>(all.begin() + before, all.end());
  }
  Typist t;

 private:
  bool shifted_;
};

struct Letter {
  int code;
  const char* latin[2];
  const char* cyrillic[2];
};

const Letter kLetters[] = {
    {65, {"a", "A"}, {"\u0430", "\u0410"}}, {66, {"b", "B"}, {"\u0431", "\u0411"}},
    {67, {"c", "C"}, {"\u0446", "\u0426"}}, {68, {"d", "D"}, {"\u0434", "\u0414"}},
    {69, {"e", "E"}, {"\u0435", "\u0415"}}, {70, {"f", "F"}, {"\u0444", "\u0424"}},
    {71, {"g", "G"}, {"\u0433", "\u0413"}}, {72, {"h", "H"}, {"\u0445", "\u0425"}},
    {73, {"i", "I"}, {"\u0438", "\u0418"}}, {74, {"j", "J"}, {"\u0439", "\u0419"}},
    {75, {"k", "K"}, {"\u043A", "\u041A"}}, {76, {"l", "L"}, {"\u043B", "\u041B"}},
    {77, {"m", "M"}, {"\u043C", "\u041C"}}, {78, {"n", "N"}, {"\u043D", "\u041D"}},
    {79, {"o", "O"}, {"\u043E", "\u041E"}}, {80, {"p", "P"}, {"\u043F", "\u041F"}},
    {81, {"q", "Q"}, {"\u044F", "\u042F"}}, {82, {"r", "R"}, {"\u0440", "\u0420"}},
    {83, {"s", "S"}, {"\u0441", "\u0421"}}, {84, {"t", "T"}, {"\u0442", "\u0422"}},
    {85, {"u", "U"}, {"\u0443", "\u0423"}}, {86, {"v", "V"}, {"\u0436", "\u0416"}},
    {87, {"w", "W"}, {"\u0432", "\u0412"}}, {88, {"x", "X"}, {"\u044C", "\u042C"}},
    {89, {"y", "Y"}, {"\u044A", "\u042A"}}, {90, {"z", "Z"}, {"\u0437", "\u0417"}},
};

TEST(TypingRows, LetterKeysInBothLayoutsWithBothFlagsOnTheLineAndInAnIndex) {
  for (bool cyrillic : {false, true}) {
    for (int flag : {0, 1}) {
      for (IndexMode mode : kModes) {
        SCOPED_TRACE(std::string(cyrillic ? "Cyrillic" : "Latin") + " flag " +
                     std::to_string(flag) + " " + modeName(mode));
        RowRun run(cyrillic, flag == 1);
        const bool index = mode != IndexMode::Line;
        for (const Letter& l : kLetters) {
          SCOPED_TRACE(l.code);
          const std::vector<Placed> got = run.type(l.code, mode);
          ASSERT_EQ(got.size(), 1u);
          EXPECT_EQ(got[0].kind, "bukva");
          EXPECT_EQ(got[0].caption, cyrillic ? l.cyrillic[flag] : l.latin[flag]);
          EXPECT_EQ(got[0].size, index ? 12 : 24);
          EXPECT_EQ(got[0].bold, index);
        }
      }
    }
  }
}

// What a key of the digit and punctuation block places: a text with its sizes, or a
// picture with its small form.
struct Expect {
  const char* text = nullptr;
  const char* picture = nullptr;
  const char* smallPicture = nullptr;
  double lineSize = 24, indexSize = 12;
  bool lineBold = false;
};
Expect text(const char* c) { return {c}; }
Expect picture(const char* name, const char* small) { return {nullptr, name, small}; }

struct KeyRow {
  int code;
  int flag;
  Expect latin;
  Expect cyrillic;  // no text and no picture: as in the Latin layout
};

const KeyRow kKeyRows[] = {
    {48, 0, text("0"), {}},
    {48, 1, picture("zskoba", "zskobam"), {}},
    {49, 0, text("1"), {}},
    {49, 1, text("!"), {}},
    {50, 0, text("2"), {}},
    {50, 1, {"@", nullptr, nullptr, 18, 10, true}, {}},
    {51, 0, text("3"), {}},
    {51, 1, text("#"), {}},
    {52, 0, text("4"), {}},
    {52, 1, text("$"), {}},
    {53, 0, text("5"), {}},
    {53, 1, text("%"), {}},
    {54, 0, text("6"), {}},
    {55, 0, text("7"), {}},
    {55, 1, text("&&"), {}},
    {56, 0, text("8"), {}},
    {56, 1, picture("po", "pom"), {}},
    {57, 0, text("9"), {}},
    {57, 1, picture("oskoba", "oskobam"), {}},
    {186, 0, text(";"), {}},
    {186, 1, picture("del", "delm"), {}},
    {187, 0, text(" = "), {}},
    {187, 1, picture("plus", "plusm"), {}},
    {188, 0, text(","), {}},
    {188, 1, text(" < "), {}},
    {189, 0, picture("minus", "minusm"), {}},
    {189, 1, text("_"), {}},
    {190, 0, picture("po", "pom"), {}},
    {190, 1, text(" > "), {}},
    {191, 0, text("/"), {}},
    {191, 1, text("?"), {}},
    {192, 0, text("`"), text("\u0447")},
    {192, 1, text("~"), text("\u0427")},
    {219, 0, picture("goskoba", "goskobam"), text("\u0448")},
    {219, 1, picture("boskoba", "boskobam"), text("\u0428")},
    {220, 0, text("\\"), text("\u044E")},
    {220, 1, text("|"), text("\u042E")},
    {221, 0, picture("gzskoba", "gzskobam"), text("\u0449")},
    {221, 1, picture("bzskoba", "bzskobam"), text("\u0429")},
    {222, 0, text("'"), {}},
    {222, 1, text("\""), {}},
    // The keypad: either flag gives the same.
    {96, 0, text("0"), {}},
    {96, 1, text("0"), {}},
    {97, 0, text("1"), {}},
    {98, 1, text("2"), {}},
    {99, 0, text("3"), {}},
    {100, 1, text("4"), {}},
    {101, 0, text("5"), {}},
    {102, 1, text("6"), {}},
    {103, 0, text("7"), {}},
    {104, 1, text("8"), {}},
    {105, 0, text("9"), {}},
    {105, 1, text("9"), {}},
    {106, 0, picture("po", "pom"), {}},
    {106, 1, picture("po", "pom"), {}},
    {107, 0, picture("plus", "plusm"), {}},
    {107, 1, picture("plus", "plusm"), {}},
    {109, 0, picture("minus", "minusm"), {}},
    {109, 1, picture("minus", "minusm"), {}},
    {110, 0, text(","), {}},
    {110, 1, text(" < "), {}},
    {111, 0, picture("del", "delm"), {}},
    {111, 1, picture("del", "delm"), {}},
};

TEST(TypingRows, DigitAndPunctuationKeysInBothLayoutsWithBothFlagsOnTheLineAndInAnIndex) {
  for (bool cyrillic : {false, true}) {
    for (int flag : {0, 1}) {
      for (IndexMode mode : kModes) {
        SCOPED_TRACE(std::string(cyrillic ? "Cyrillic" : "Latin") + " flag " +
                     std::to_string(flag) + " " + modeName(mode));
        RowRun run(cyrillic, flag == 1);
        const bool index = mode != IndexMode::Line;
        for (const KeyRow& r : kKeyRows) {
          if (r.flag != flag) continue;
          SCOPED_TRACE(r.code);
          const Expect& e =
              cyrillic && (r.cyrillic.text || r.cyrillic.picture) ? r.cyrillic : r.latin;
          const std::vector<Placed> got = run.type(r.code, mode);
          ASSERT_EQ(got.size(), 1u);
          if (e.text) {
            EXPECT_EQ(got[0].kind, "bukva");
            EXPECT_EQ(got[0].caption, e.text);
            EXPECT_EQ(got[0].size, index ? e.indexSize : e.lineSize);
            EXPECT_EQ(got[0].bold, index || e.lineBold);
          } else {
            EXPECT_EQ(got[0].kind, index ? e.smallPicture : e.picture);
          }
        }
      }
    }
  }
}

TEST(TypingRows, SpaceIsAPictureInLatinAndAPointerMoveInCyrillic) {
  struct Case {
    const char* name;
    bool cyrillic;
    IndexMode mode;
    bool ctrl;
    int dialog;           // 4 or 5: that limits dialog is shown
    const char* picture;  // placed, or nullptr
    int dx;               // pointer move of a Cyrillic Space
  } cases[] = {
      {"Latin on the line", false, IndexMode::Line, false, 0, "32", 0},
      {"Latin in an upper index", false, IndexMode::Upper, false, 0, "32m", 0},
      {"Latin in a lower index", false, IndexMode::Lower, false, 0, "32m", 0},
      {"Latin with Ctrl held", false, IndexMode::Line, true, 0, "32", 0},
      {"Cyrillic on the line", true, IndexMode::Line, false, 0, nullptr, 20},
      {"Cyrillic in an upper index", true, IndexMode::Upper, false, 0, nullptr, 20},
      {"Cyrillic with Ctrl held", true, IndexMode::Line, true, 0, nullptr, 0},
      {"Cyrillic with the integral dialog shown", true, IndexMode::Line, false, 4, nullptr, 0},
      {"Cyrillic with the sum dialog shown", true, IndexMode::Line, false, 5, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Typist t;
    if (c.cyrillic) t.p().LatinLayout = 0;
    if (c.dialog != 0) t.p().evaluation.ShowLimitsDialog(c.dialog == 4 ? 1 : 2);
    t.setMode(c.mode);
    const double x = t.p().PointerX, y = t.p().PointerY;
    if (c.ctrl) {
      t.down(vk::LControl);
      t.advance(100);
    }
    t.host().tap(vk::Space, 12);
    t.advance(c.ctrl ? 1200 : 200);
    ASSERT_EQ(t.queued(), (std::vector<std::string>{"32"}));
    if (c.picture) {
      ASSERT_EQ(t.placed().size(), 1u);
      EXPECT_EQ(t.placed()[0].kind, c.picture);
      EXPECT_EQ(t.p().UpperIndexMode, 0);  // a placement ends an upper index
    } else {
      EXPECT_TRUE(t.placed().empty());
      EXPECT_EQ(t.p().PointerX, x + c.dx);
      EXPECT_EQ(t.p().PointerY, y);
      EXPECT_EQ(t.desk().cursorPos().x, pixelForPointer(x + c.dx));
      EXPECT_EQ(t.p().UpperIndexMode, c.mode == IndexMode::Upper ? 1 : 0);
    }
  }
}

TEST(TypingRows, CyrillicSpaceInAnUpperIndexKeepsTheIndexForTheNextSymbol) {
  Typist t;
  t.p().LatinLayout = 0;
  t.p().UpperIndexMode = 1;
  const double x = t.p().PointerX;
  for (int i = 0; i < 3; ++i) t.type(vk::Space);
  EXPECT_EQ(t.p().PointerX, x + 60);
  t.type(50);
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "2");
  EXPECT_EQ(t.placed()[0].size, 12);
  EXPECT_TRUE(t.placed()[0].bold);
  EXPECT_EQ(t.p().UpperIndexMode, 0);
}

// Keys played while the left Ctrl key is held. Caps Lock gives the flag 1, since Ctrl
// and Shift together would switch the layout.
TEST(TypingRows, TheCtrlGateKeepsItsRowsOffTheFormula) {
  struct Case {
    int code;
    int flag;
    bool cyrillic;
    bool lowerIndex;
    const char* placed;  // caption or picture name; nullptr: nothing
  } cases[] = {
      {186, 0, false, false, nullptr},  // ";"
      {191, 0, false, false, nullptr},  // "/"
      {191, 1, false, false, nullptr},  // "?"
      {220, 0, false, false, nullptr},  // backslash
      {220, 1, false, false, nullptr},  // vertical bar
      {222, 0, false, false, nullptr},  // apostrophe
      {222, 1, false, false, nullptr},  // double quote
      {50, 1, false, true, nullptr},    // "@" in an index
      {50, 1, false, false, "@"},       // "@" on the line
      {48, 0, false, false, "0"},        {97, 0, false, false, "1"},
      {219, 0, false, false, "goskoba"}, {187, 0, false, false, " = "},
      {187, 1, false, false, "plus"},    {186, 1, false, false, "del"},
      {188, 0, false, false, ","},       {188, 1, false, false, " < "},
      {190, 1, false, false, " > "},     {189, 1, false, false, "_"},
      {192, 1, false, false, "~"},       {192, 0, true, false, "\u0447"},  // ч
      {219, 0, true, false, "\u0448"},                                     // ш
      {221, 0, true, false, "\u0449"},                                     // щ
      {220, 0, true, false, nullptr},                                      // ю
      {65, 0, false, false, nullptr},    {65, 1, true, false, nullptr},
      {89, 0, false, false, "y"},  // the one letter without the gate, on the line only
      {89, 0, true, false, "\u044A"},    {89, 1, false, false, nullptr},
      {89, 0, false, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + (c.flag ? " shifted" : "") +
                 (c.cyrillic ? " Cyrillic" : "") + (c.lowerIndex ? " in an index" : ""));
    Typist t;
    t.w().Check3.Value = 0;
    if (c.flag == 1) t.type(vk::Capital);
    if (c.cyrillic) t.p().LatinLayout = 0;
    t.p().LowerIndexMode = c.lowerIndex ? 1 : 0;
    t.down(vk::LControl);
    t.advance(100);
    t.host().tap(c.code, 12);
    t.advance(1200);  // the poll looks once a second while the left Ctrl key is held
    ASSERT_EQ(t.queued().back(), std::to_string(c.code));
    ASSERT_EQ(t.flags().back(), c.flag ? "1" : "0");
    EXPECT_EQ(t.w().List1.ListIndex, t.w().List1.ListCount() - 1);  // played
    const std::vector<Placed> got = t.placed();
    if (!c.placed) {
      EXPECT_TRUE(got.empty());
    } else {
      ASSERT_EQ(got.size(), 1u);
      EXPECT_EQ(got[0].kind == "bukva" ? got[0].caption : got[0].kind, c.placed);
    }
    t.up(vk::LControl);
    t.advance(1200);
    EXPECT_EQ(t.placed().size(), got.size());  // a gated item is not played again
  }
}

// Ctrl is taken at the press: a letter pressed while Ctrl was held stays out of the formula
// when it is played after Ctrl is up; one pressed just before Ctrl is typed.
TEST(TypingRows, ALetterIsGatedByTheCtrlOfItsPressNotOfItsPlaying) {
  for (bool withCtrl : {true, false}) {
    SCOPED_TRACE(withCtrl ? "pressed with Ctrl held" : "pressed before Ctrl");
    Typist t;
    t.w().Timer1.setEnabled(false);  // the player waits
    if (withCtrl) {
      t.down(vk::LControl);
      t.advance(100);
      t.host().tap(75, 12);
    } else {
      t.host().tap(75, 12);
      t.advance(30);
      t.down(vk::LControl);
    }
    t.advance(1200);
    ASSERT_EQ(t.queued(), (std::vector<std::string>{"75"}));
    t.up(vk::LControl);
    t.advance(100);
    t.w().Timer1.setEnabled(true);
    t.advance(100);
    EXPECT_EQ(t.placed().size(), withCtrl ? 0u : 1u);
  }
}

}  // namespace
}  // namespace kel::test
