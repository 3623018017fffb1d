// Fractions typed through the key queue: Insert, numerator, Page Down, denominator, Home.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "rows_fixture.h"

namespace kel::test::rows {
namespace {

struct Part {
  double leftGap, rightGap;
};

// Gaps between a part (symbols first..last) and the bar's ends.
Part gaps(RowTypist& t, int bar, int first, int last) {
  const Control& b = t.symbol(bar);
  return {t.symbol(first).Left - b.Left, b.Left + b.Width - t.right(last)};
}

TEST(FractionTyping, InsertToHomeCentresNumeratorAndDenominator) {
  struct Case {
    const char* name;
    int numerator, denominator;  // how many "x" each
    Part num, den;               // their gaps after Home
    double barWidth;
  } cases[] = {
      // The bar keeps 30 px ahead of a pointer that stays near its end.
      {"numerator wider", 3, 1, {187, 188}, {412, 413}, 1050},
      {"denominator wider", 1, 3, {435, 435}, {210, 210}, 1095},
      {"as wide", 2, 2, {210, 210}, {210, 210}, 870},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RowTypist t;
    Program& p = t.p();
    const double startX = p.PointerX, startY = p.PointerY;
    t.insert();
    EXPECT_EQ(p.FractionPart, 1);
    EXPECT_EQ(p.PointerX, startX + 10);  // the queued Page Up: the numerator
    EXPECT_EQ(p.PointerY, startY - 16);
    for (int i = 0; i < c.numerator; ++i) t.type({kX}, 40);
    t.type({"34"}, 40);
    EXPECT_EQ(p.FractionPart, 2);
    EXPECT_EQ(p.PointerX, startX + 13);
    EXPECT_EQ(p.PointerY, startY + 24);
    for (int i = 0; i < c.denominator; ++i) t.type({kX}, 40);

    const int bar = 1, num = 2, den = 2 + c.numerator;
    const int last = 1 + c.numerator + c.denominator;
    const double barEndX = p.BarEndPointerX, barEndY = p.BarEndPointerY;
    std::vector<double> tops;
    for (int i = 1; i <= last; ++i) tops.push_back(t.symbol(i).Top);

    t.append("36");
    t.append(kX);  // typed at once behind the fraction
    t.s.host.advance(20);
    EXPECT_EQ(p.BusyFlag, 1);  // the queue waits for the step 300 ms later
    EXPECT_EQ(p.SymbolCount, last);
    EXPECT_EQ(p.PointerX, barEndX);
    EXPECT_EQ(p.PointerY, barEndY);
    EXPECT_EQ(t.pointer(), (PointPx{pixelForPointer(barEndX), pixelForPointer(barEndY)}));
    EXPECT_EQ(p.FractionPart, 0);

    EXPECT_EQ(t.symbol(bar).Width, c.barWidth);
    EXPECT_EQ(t.w().Image3[bar].Picture, t.w().Image2[1].Picture);
    const Part n = gaps(t, bar, num, den - 1), d = gaps(t, bar, den, last);
    EXPECT_EQ(n.leftGap, c.num.leftGap);
    EXPECT_EQ(n.rightGap, c.num.rightGap);
    EXPECT_EQ(d.leftGap, c.den.leftGap);
    EXPECT_EQ(d.rightGap, c.den.rightGap);
    for (int i = 1; i <= last; ++i) EXPECT_EQ(t.symbol(i).Top, tops[static_cast<size_t>(i - 1)]);

    t.s.host.advance(280);
    EXPECT_EQ(p.SymbolCount, last);
    t.s.host.advance(40);
    EXPECT_EQ(p.SymbolCount, last + 1);  // placed behind the fraction, on its line
    EXPECT_EQ(t.symbol(last + 1).Left, t.s.p().surface.InsertXFor(barEndX));
  }
}

TEST(FractionTyping, HintsFollowTheStages) {
  RowTypist t;
  MainWindow& w = t.w();
  auto stage = [&w] {
    return std::vector<bool>{w.Image14.Visible, w.Image16.Visible, w.Image17.Visible};
  };
  EXPECT_EQ(stage(), (std::vector<bool>{true, false, false}));
  t.insert();
  EXPECT_EQ(stage(), (std::vector<bool>{false, true, false}));
  t.type({kX, "34"}, 100);
  EXPECT_EQ(stage(), (std::vector<bool>{false, false, true}));
  t.type({kX, "36"}, 500);
  EXPECT_EQ(stage(), (std::vector<bool>{true, false, false}));
}

TEST(FractionTyping, HomeWithNothingPlacedSinceTheLastClosingChangesNoSymbol) {
  RowTypist t;
  Program& p = t.p();
  t.insert();
  t.type({kX, "34", kX, "36"}, 500);
  std::vector<double> lefts;
  for (int i = 1; i <= 3; ++i) lefts.push_back(t.symbol(i).Left);
  const int barIndex = p.BarIndex;

  t.type({"36"}, 500);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(t.symbol(i).Left, lefts[static_cast<size_t>(i - 1)]);
  EXPECT_EQ(t.w().Image3[1].Picture, t.w().Image2[1].Picture);
  EXPECT_EQ(p.BarIndex, barIndex);
  EXPECT_EQ(p.FractionPart, 0);
  EXPECT_EQ(p.PointerX, p.BarEndPointerX);  // Home still goes behind the last fraction
}

TEST(FractionTyping, HomeRightAfterInsertMovesNoEarlierSymbol) {
  RowTypist t;
  Program& p = t.p();
  t.insert();
  t.type({kXxx, "34", kX, "36"}, 500);  // a first fraction: symbols 1 to 3
  std::vector<double> lefts;
  for (int i = 1; i <= 3; ++i) lefts.push_back(t.symbol(i).Left);

  t.insert();           // a second bar, 4
  t.type({"36"}, 500);  // closed with nothing in it
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(t.symbol(i).Left, lefts[static_cast<size_t>(i - 1)]);
  EXPECT_EQ(t.w().Image3[4].Picture, t.w().Image2[1].Picture);
  EXPECT_EQ(p.BarPlacedFlag, 0);

  t.insert();  // a numerator only
  t.type({kX, "36"}, 500);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(t.symbol(i).Left, lefts[static_cast<size_t>(i - 1)]);
  const Part n = gaps(t, 5, 6, 6);
  EXPECT_LE(std::abs(n.rightGap - n.leftGap), 1);
}

TEST(FractionTyping, ASecondInsertWhileTheBarIsOpenDoesNothing) {
  RowTypist t;
  Program& p = t.p();
  t.insert();
  t.type({kX}, 40);
  const double x = p.PointerX, y = p.PointerY;
  const int items = t.w().List1.ListCount();
  t.type({"45"}, 100);
  EXPECT_EQ(p.SymbolCount, 2);
  EXPECT_EQ(p.PointerX, x);
  EXPECT_EQ(p.PointerY, y);
  EXPECT_EQ(t.w().List1.ListCount(), items + 1);  // no Page Up queued
  EXPECT_EQ(p.FractionPart, 1);
}

TEST(FractionTyping, TheFractionStartHoldsForThreeSecondsAfterTheInsertThatRecordedIt) {
  RowTypist t;
  Program& p = t.p();
  const double startX = p.PointerX, startY = p.PointerY;
  t.insert();
  t.type({kX, "34", kX, "36"}, 500);
  EXPECT_TRUE(t.w().timerNovaDrob.Enabled());

  // A second fraction begun elsewhere within the 3 s: its Page Up still goes to the
  // first fraction's numerator.
  p.PointerX += 100;
  t.insert();
  EXPECT_EQ(p.PointerX, startX + 10);
  EXPECT_EQ(p.PointerY, startY - 16);
  t.type({kX, "36"}, 3000);

  EXPECT_GE(t.s.host.now(), 1000 + 3000);
  EXPECT_FALSE(t.w().timerNovaDrob.Enabled());
  EXPECT_EQ(p.FractionStartLatched, 0);
  p.PointerX = startX + 200;
  p.PointerY = startY + 100;
  t.insert();
  EXPECT_EQ(p.BarStartPointerX, startX + 200);
  EXPECT_EQ(p.PointerX, startX + 210);
  EXPECT_EQ(p.PointerY, startY + 84);
}

TEST(FractionTyping, PageUpAndPageDownAreGatedByCtrlAndPageDownLeavesALowerIndex) {
  RowTypist t;
  Program& p = t.p();
  t.insert();
  const double startX = p.BarStartPointerX, startY = p.BarStartPointerY;

  t.desk().userKeyDown(vk::RControl);
  const double x = p.PointerX, y = p.PointerY;
  t.type({"34", "33"}, 100);
  EXPECT_EQ(p.PointerX, x);
  EXPECT_EQ(p.PointerY, y);
  EXPECT_EQ(p.FractionPart, 1);
  t.desk().userKeyUp(vk::RControl);

  // Page Up acts only on the line; Page Down not in an upper index.
  p.UpperIndexMode = 1;
  t.type({"33", "34"}, 40);
  EXPECT_EQ(p.PointerX, x);
  EXPECT_EQ(p.FractionPart, 1);
  p.UpperIndexMode = 0;
  p.LowerIndexMode = 1;
  t.type({"33"}, 40);
  EXPECT_EQ(p.PointerX, x);

  t.type({"34"}, 40);
  EXPECT_EQ(p.LowerIndexMode, 0);
  EXPECT_EQ(p.FractionPart, 2);
  EXPECT_EQ(p.PointerX, startX + 13);  // the same place as from the line
  EXPECT_EQ(p.PointerY, startY + 24);
  EXPECT_TRUE(t.w().Image17.Visible);
}

TEST(FractionTyping, HomeLeavesALowerIndexButNotAnUpperOne) {
  RowTypist t;
  Program& p = t.p();
  t.insert();
  t.type({kX}, 40);
  p.LowerIndexMode = 1;
  t.type({"36"}, 20);
  EXPECT_EQ(p.LowerIndexMode, 0);
  EXPECT_EQ(p.PointerY, p.BarEndPointerY);
  t.s.host.advance(400);

  t.insert();
  p.UpperIndexMode = 1;
  t.type({"36"}, 20);
  const double y = p.PointerY;
  EXPECT_EQ(y, p.BarEndPointerY);
  EXPECT_EQ(p.UpperIndexMode, 1);
  t.s.host.advance(300);  // the after-placement step, 300 ms later, ends it
  EXPECT_EQ(p.UpperIndexMode, 0);
  EXPECT_EQ(p.PointerY, pixelForPointer(y) + 13);
  EXPECT_EQ(p.BusyFlag, 0);
}

}  // namespace
}  // namespace kel::test::rows
