// Closing a fraction: which symbols count as numerator and denominator, and the centring
// arithmetic, on fractions laid out by hand.
#include <gtest/gtest.h>

#include "placement_fixture.h"

namespace kel::test {
namespace {

class Closing : public PlacementTest {
 protected:
  void SetUp() override {
    PlacementTest::SetUp();
    openBar();
  }
  // Opens a bar from Left 100 to 1000 twips (BarStartInsertX 100).
  void openBar() {
    pointAt(170, 160);
    pictureSymbol("35");
    barIndex = p().SymbolCount;
    bar().Left = 100;
    bar().Width = 900;
    p().BarStartInsertX = 100;
    // The pointer stands right of the bar's end, so the symbols below never stretch it.
    pointAt(400, 160);
  }
  // A text symbol placed while the bar is open, then put where the case wants it.
  Label& part(double left, double width, double top) {
    text("x");
    Label& l = w().Label3[p().SymbolCount];
    l.Left = left;
    l.Width = width;
    l.Top = top;
    return l;
  }
  Image& bar() { return w().Image3[barIndex]; }
  int barIndex = 0;
};

TEST_F(Closing, EachPartIsCentredWithTheOddTwipToTheRight) {
  struct Case {
    double g1, g2;  // left and right gap of the part before closing
    double shift;
  } cases[] = {
      {30, 270, 120},  // centred: 150 twips from each end
      {30, -45, -38},  // overhangs the right end: Int(-7.5) is -8
      {5, 10, 2},      // left gap 7, right gap 8
      {0, 0, 0},
  };
  for (bool below : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message()
                   << (below ? "denominator " : "numerator ") << c.g1 << " " << c.g2);
      if (p().BarPlacedFlag == 0) openBar();
      const double top = below ? bar().Top + 300 : bar().Top - 300;
      // Two symbols: the first gives the left gap, the last the right gap.
      Label& first = part(100 + c.g1, 200, top);
      Label& last = part(600, 1000 - c.g2 - 600, top + 10);
      p().surface.Command14_Click();
      EXPECT_EQ(first.Left, 100 + c.g1 + c.shift);
      EXPECT_EQ(last.Left, 600 + c.shift);
      EXPECT_EQ(first.Top, top);  // nothing moves vertically
      EXPECT_EQ(last.Top, top + 10);
      EXPECT_EQ(bar().Left, 100);
      EXPECT_EQ(bar().Width, 900);
    }
  }
}

TEST_F(Closing, OnlySymbolsAboveOrBelowTheBarTakePart) {
  // Numerator 2, a symbol on the bar's own line 3, one moved above the page 4 (a deleted
  // symbol), denominator 5.
  Label& num = part(130, 600, bar().Top - 300);
  Label& onTheBar = part(400, 100, bar().Top);
  Label& deleted = part(130, 600, -4000);
  Label& den = part(105, 885, bar().Top + 300);
  p().surface.Command14_Click();
  EXPECT_EQ(num.Left, 250);
  EXPECT_EQ(onTheBar.Left, 400);
  EXPECT_EQ(deleted.Left, 130);
  EXPECT_EQ(den.Left, 107);
  EXPECT_EQ(p().NumeratorLastIndex, 2);
  EXPECT_EQ(p().DenominatorFirstIndex, 5);
  EXPECT_EQ(p().DenominatorLastIndex, 5);
}

TEST_F(Closing, TheBarTurnsBlackOverTheWidthItReachedAndTheFractionEnds) {
  part(130, 600, bar().Top - 300);
  const double top = bar().Top;
  p().surface.Command14_Click();
  EXPECT_EQ(bar().Picture, w().Image2[1].Picture);
  EXPECT_EQ(bar().Picture->Path, pictureFile("bar1"));
  EXPECT_EQ(bar().Width, 900);
  EXPECT_EQ(bar().Left, 100);
  EXPECT_EQ(bar().Top, top);
  EXPECT_EQ(p().BarPlacedFlag, 0);
  EXPECT_EQ(p().BarOpen, 0);
  EXPECT_EQ(p().CurrentBar, kNoBar);
  EXPECT_EQ(p().BarIndex, 2);
  // Closing again finds nothing to close.
  Label& later = part(130, 600, top - 300);
  p().surface.Command14_Click();
  EXPECT_EQ(later.Left, 130);
  EXPECT_EQ(p().BarIndex, 2);
}

TEST_F(Closing, NumeratorSymbolsTypedAfterTheDenominatorMoveWithTheFirst) {
  // Numerator, Page Down, denominator, Page Up, more numerator: the denominator's
  // indexes lie inside the numerator's range, so both shifts move it.
  Label& num1 = part(130, 200, bar().Top - 300);
  Label& den = part(105, 885, bar().Top + 300);
  Label& num2 = part(330, 400, bar().Top - 300);
  p().surface.Command14_Click();
  EXPECT_EQ(num1.Left, 250);  // G1 30, G2 270: +120
  EXPECT_EQ(num2.Left, 450);
  // The numerator's +120 carries it along first; its own centring, measured from there,
  // still leaves it centred.
  EXPECT_EQ(den.Left, 107);
}

TEST_F(Closing, APartWithNothingInItMovesNothing) {
  // A first fraction closed with a numerator (2) and a denominator (3).
  Label& num = part(130, 600, bar().Top - 300);
  Label& den = part(105, 885, bar().Top + 300);
  p().surface.Command14_Click();
  const double numLeft = num.Left, denLeft = den.Left;

  // A numerator only: the closing indexes of the denominator still name symbol 3.
  openBar();
  Label& alone = part(130, 600, bar().Top - 300);
  p().surface.Command14_Click();
  EXPECT_EQ(alone.Left, 250);
  EXPECT_EQ(num.Left, numLeft);
  EXPECT_EQ(den.Left, denLeft);
  EXPECT_EQ(p().DenominatorFirstIndex, 3);  // kept, as the closing indexes are
  EXPECT_EQ(p().DenominatorLastIndex, 3);

  // Nothing at all after the bar.
  openBar();
  p().surface.Command14_Click();
  EXPECT_EQ(num.Left, numLeft);
  EXPECT_EQ(den.Left, denLeft);
  EXPECT_EQ(alone.Left, 250);
  EXPECT_EQ(bar().Picture, w().Image2[1].Picture);
}

}  // namespace
}  // namespace kel::test
