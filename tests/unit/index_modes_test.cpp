// Esc (and Shift+6) and F12 into and out of the upper and lower index, and Enter.
#include <gtest/gtest.h>

#include "rows_fixture.h"

namespace kel::test::rows {
namespace {

struct Modes {
  int upper, lower;
  bool operator==(const Modes&) const = default;
};

TEST(IndexKeys, EscAndF12FollowTheModeTable) {
  struct Case {
    const char* key;
    const char* shift;
    Modes before, after;
    int dy;  // pixels, down positive
  } cases[] = {
      {"27", "0", {0, 1}, {0, 0}, -8},   // Esc in a lower index: back on the line
      {"27", "0", {0, 0}, {1, 0}, -13},  // Esc on the line: upper index
      {"27", "0", {1, 0}, {0, 0}, 13},   // Esc in an upper index: back
      {"27", "0", {1, 1}, {0, 0}, -8},   // both: the first row that applies
      {"123", "0", {1, 0}, {0, 0}, 13},  // F12 in an upper index: back on the line
      {"123", "0", {0, 0}, {0, 1}, 8},   // F12 on the line: lower index
      {"123", "0", {0, 1}, {0, 0}, -8},  // F12 in a lower index: back
      {"123", "1", {1, 1}, {0, 0}, 13},
      // Shift+6 is Esc, in every mode; 6 without Shift is no index key.
      {"54", "1", {0, 1}, {0, 0}, -8},
      {"54", "1", {0, 0}, {1, 0}, -13},
      {"54", "1", {1, 0}, {0, 0}, 13},
      {"***27", "1", {0, 0}, {1, 0}, -13},  // Esc looks at no shift flag
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.key << " shift " << c.shift << " from " << c.before.upper << c.before.lower);
    RowTypist t;
    Program& p = t.p();
    p.UpperIndexMode = c.before.upper;
    p.LowerIndexMode = c.before.lower;
    // The index starts from the whole pixel the pointer really stands on.
    p.PointerX = 400.5;
    p.PointerY = 201.5;
    t.desk().userKeyDown(vk::RControl);  // no Ctrl gate
    t.append(c.key, c.shift);
    t.s.host.advance(150);
    EXPECT_EQ((Modes{p.UpperIndexMode, p.LowerIndexMode}), c.after);
    EXPECT_EQ(p.PointerX, 400);
    EXPECT_EQ(p.PointerY, 202 + c.dy);
    EXPECT_EQ(t.pointer(), (PointPx{400, 202 + c.dy}));
  }
}

TEST(IndexKeys, TheSameKeyTwiceReturnsToTheLineWhereItWas) {
  for (const char* key : {"27", "123"}) {
    SCOPED_TRACE(key);
    RowTypist t;
    Program& p = t.p();
    const PointPx start = t.pointer();
    t.type({key, key}, 60);
    EXPECT_EQ((Modes{p.UpperIndexMode, p.LowerIndexMode}), (Modes{0, 0}));
    EXPECT_EQ(t.pointer(), start);
  }
}

TEST(IndexKeys, AnUpperIndexTakesOneSymbolALowerIndexAllUntilItIsLeft) {
  RowTypist t;
  Program& p = t.p();
  const double lineY = p.PointerY;
  t.type({"27", kX}, 100);  // the after-placement step ends the upper index
  t.type({kX}, 100);
  EXPECT_EQ(p.SymbolLevel[1], 1);
  EXPECT_EQ(p.SymbolLevel[2], 0);
  EXPECT_EQ(t.w().Label3[1].Font.Size, 12);
  EXPECT_EQ(t.w().Label3[2].Font.Size, 24);
  EXPECT_EQ(p.PointerY, pixelForPointer(lineY));

  t.type({"123", kX, kX, kX}, 200);
  for (int n = 3; n <= 5; ++n) EXPECT_EQ(p.SymbolLevel[static_cast<size_t>(n)], 2) << n;
  EXPECT_EQ(p.LowerIndexMode, 1);
  t.type({"13", kX}, 500);  // across a new line
  EXPECT_EQ(p.SymbolLevel[6], 2);
  t.type({"123", kX}, 200);
  EXPECT_EQ(p.SymbolLevel[7], 0);
}

TEST(LineKey, EnterGoesToTheMarkSixtyOnePixelsDown) {
  struct Case {
    const char* name;
    Modes before;
    int laterDy;  // what the after-placement step adds 300 ms later
    Modes after;
  } cases[] = {
      {"on the line", {0, 0}, 0, {0, 0}},
      {"in an upper index", {1, 0}, 13, {0, 0}},
      {"in a lower index", {0, 1}, 0, {0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RowTypist t;
    Program& p = t.p();
    p.UpperIndexMode = c.before.upper;
    p.LowerIndexMode = c.before.lower;
    p.PointerX = 500;
    p.PointerY = 200;
    t.desk().userKeyDown(vk::RControl);  // no Ctrl gate; the snapshot waits for Ctrl up
    t.type({"13"}, 20);
    EXPECT_EQ(p.PointerX, p.MarkPointerX);
    EXPECT_EQ(p.PointerY, 261);
    EXPECT_EQ(t.w().Timer4.Interval(), 300);
    t.s.host.advance(280);
    EXPECT_EQ((Modes{p.UpperIndexMode, p.LowerIndexMode}), c.before);
    t.s.host.advance(20);
    EXPECT_EQ(t.w().Timer4.Interval(), 20);
    EXPECT_EQ(p.PointerY, 261 + c.laterDy);
    EXPECT_EQ((Modes{p.UpperIndexMode, p.LowerIndexMode}), c.after);
  }
}

TEST(LineKey, OnlyTheCyrillicEnterHoldsTheQueueForTheStep) {
  for (int latin : {1, 0}) {
    SCOPED_TRACE(latin);
    RowTypist t;
    Program& p = t.p();
    p.LatinLayout = latin;
    t.type({"13", kX}, 100);
    // Latin: the x is placed within the 300 ms; Cyrillic: only once the step has run.
    EXPECT_EQ(p.SymbolCount, latin ? 1 : 0);
    EXPECT_EQ(p.BusyFlag, latin ? 0 : 1);
    t.s.host.advance(300);
    EXPECT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(p.BusyFlag, 0);
    EXPECT_EQ(t.symbol(1).Left, p.surface.InsertXFor(p.MarkPointerX));
  }
}

}  // namespace
}  // namespace kel::test::rows
