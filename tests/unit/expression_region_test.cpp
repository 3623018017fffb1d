// The region left of a " = " that is read and evaluated.
#include <gtest/gtest.h>

#include "placement_fixture.h"

namespace kel::test {
namespace {

using ExpressionRegion = PlacementTest;

// The page X of a pointer X in this fixture's window.
double pageX(double pointerX) { return 15 * (pointerX - 104); }

TEST_F(ExpressionRegion, WalkTakesTheExpressionInAndStopsAtTheSemicolon) {
  w().Check3.Value = 0;
  pointAt(170, 160);
  text("a");
  text(";");
  text("b");  // at 200 px
  pictureSymbol("plus");
  text("c");
  text(" = ");
  const Label& eq = w().Label3[6];
  EXPECT_EQ(p().ExprRegionLeft, w().Label3[3].Left - 150);
  EXPECT_EQ(p().ExprRegionLeft, pageX(200) - 150);
  EXPECT_EQ(p().ExprRegionTop, eq.Top - 450);
  EXPECT_EQ(p().ExprRegionRight, eq.Left + eq.Width + 100);
  EXPECT_EQ(p().ExprRegionBottom, eq.Top + eq.Height + 450);
}

TEST_F(ExpressionRegion, OtherCaptionsLeaveTheRegionAlone) {
  text("x");
  text("=");
  EXPECT_EQ(p().ExprRegionLeft, 0);
  EXPECT_EQ(p().ExprRegionBottom, 0);
}

TEST_F(ExpressionRegion, NothingLeftOnTheLineLeavesTheLeftEdgeAt400) {
  text(170, 230, "a");  // a line lower, outside the band
  text(300, 160, " = ");
  EXPECT_EQ(p().ExprRegionLeft, 400);

  text(170, 160, " = ");  // a sign that is the first symbol of its line
  EXPECT_EQ(p().ExprRegionLeft, 400);
}

TEST_F(ExpressionRegion, ASpaceStopsTheWalkOnlyInsideTheBand) {
  struct Case {
    double spaceY;
    bool reachesB;
  } cases[] = {{160, false}, {230, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spaceY);
    const int b = p().SymbolCount + 1;
    text(170, 160, "b");
    pictureSymbol(185, c.spaceY, "32");
    text(210, 160, "c");
    text(" = ");
    const double expected = c.reachesB ? w().Label3[b].Left : w().Label3[b + 2].Left;
    EXPECT_EQ(p().ExprRegionLeft, expected - 150);
    text(";");  // ends this expression for the next case
  }
}

TEST_F(ExpressionRegion, AGapOfMoreThan650TwipsEndsTheExpression) {
  struct Case {
    double gapPx;  // between c's right edge and d
    bool takesC;
  } cases[] = {{43, true}, {44, false}};  // 645 and 660 twips
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gapPx);
    const int first = p().SymbolCount + 1;
    text(170, 160, "c");
    text(185 + c.gapPx, 160, "d");
    text(" = ");
    const double expected = c.takesC ? w().Label3[first].Left : w().Label3[first + 1].Left;
    EXPECT_EQ(p().ExprRegionLeft, expected - 150);
    text(";");
  }
}

TEST_F(ExpressionRegion, AFractionBarOnTheCaretsLineIsNeverCutOffByTheGap) {
  struct Case {
    bool caretOnBarLine;
    int firstTakenIn;  // symbol index whose Left - 150 is the region's left edge
  } cases[] = {{true, 1}, {false, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caretOnBarLine);
    SimProgram fresh;
    fresh.w().Left = 1500;
    fresh.w().Top = 1500;
    Program& q = fresh.p();
    MainWindow& win = fresh.w();
    q.PointerY = 160;
    q.PointerX = 170;
    q.surface.PlaceTextSymbol("x", 24, false);  // ends at 1215, the bar starts at 1230
    q.BarStartPointerX = 186;
    q.PointerX = 186;
    q.surface.PlacePictureSymbol("35");  // 450 wide: ends at 1680
    // The caret mark's middle on the bar's middle, or far above it.
    const Image& bar = win.Image3[2];
    win.Picture1.Top = c.caretOnBarLine ? bar.Top + bar.Height / 2 - win.Picture1.Height / 2 : 0;
    q.PointerX = 266;  // 750 twips right of the bar
    q.surface.PlaceTextSymbol("y", 24, false);
    q.surface.PlaceTextSymbol(" = ", 24, false);
    EXPECT_EQ(q.ExprRegionLeft, win.Image3.IsLoaded(c.firstTakenIn)
                                    ? win.Image3[c.firstTakenIn].Left - 150
                                    : win.Label3[c.firstTakenIn].Left - 150);
  }
}

TEST_F(ExpressionRegion, TickedCheck3OutlinesTheRegionForHalfASecond) {
  w().Check3.Value = 1;
  text(200, 160, "b");
  text(" = ");
  EXPECT_TRUE(w().Timer32.Enabled());
  EXPECT_TRUE(w().Timer4.Enabled());
  const Shape& f = w().frame9;
  EXPECT_EQ(f.Left, p().ExprRegionLeft);
  EXPECT_EQ(f.Top, p().ExprRegionTop);
  EXPECT_EQ(f.Width, p().ExprRegionRight - p().ExprRegionLeft);
  EXPECT_EQ(f.Height, p().ExprRegionBottom - p().ExprRegionTop);
  EXPECT_FALSE(f.Visible);  // placed, not shown: showing is the reader's business

  w().frame9.Visible = true;  // as the reader shows it
  s.host.advance(499);
  EXPECT_TRUE(w().frame9.Visible);
  s.host.advance(1);
  EXPECT_FALSE(w().frame9.Visible);
  EXPECT_FALSE(w().Timer32.Enabled());
}

TEST_F(ExpressionRegion, UntickedCheck3OnlyComputesTheRegion) {
  w().Check3.Value = 0;
  text(200, 160, "b");
  text(" = ");
  EXPECT_EQ(p().ExprRegionLeft, pageX(200) - 150);
  EXPECT_FALSE(w().Timer32.Enabled());
  EXPECT_EQ(w().frame9.Width, 0);
  EXPECT_TRUE(w().Timer4.Enabled());
}

// A sign put back from a page file is a symbol of the page as it was saved: no region, no
// outline, no reading.
TEST_F(ExpressionRegion, ASignFromAPageFileIsNeitherOutlinedNorRead) {
  w().Check3.Value = 1;
  p().ExprRegionLeft = 1234;
  p().PlacingFromFile = 1;
  p().InsertX = 3000;
  p().InsertY = 1000;
  text(" = ");
  EXPECT_EQ(p().ExprRegionLeft, 1234);
  EXPECT_FALSE(w().Timer32.Enabled());
  EXPECT_FALSE(w().Timer11.Enabled());
  EXPECT_EQ(w().frame9.Width, 0);
  EXPECT_TRUE(w().Timer4.Enabled());
}

TEST_F(ExpressionRegion, ASignAtThePageEdgeGivesAnEmptyOutlineNotANegativeOne) {
  w().Check3.Value = 1;
  pointAt(104, 160);                             // the page's left edge
  p().surface.PlaceTextSymbol(" = ", 6, false);  // 180 wide: right edge 180 + 100 < 400
  EXPECT_EQ(p().ExprRegionRight, 280);
  EXPECT_EQ(w().frame9.Width, 0);
}

}  // namespace
}  // namespace kel::test
