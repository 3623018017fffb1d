// Reading the expression left of a " = " just typed, and readings of whole pages.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "selection_fixture.h"

namespace kel::test {
namespace {

const PointPx kTyped{400, 300};

TEST(ReadingAfterEquals, AnEvaluableExpressionIsReadAndItsResultAimedAfterTheSign) {
  Selecting u;
  u.w().Check3.Value = 1;
  u.type(kTyped, {"9", "[po]", "9", " = "});
  EXPECT_EQ(u.w().Text1.Text(), "9*9");
  EXPECT_EQ(u.w().Text21.Text(), "9*9");
  EXPECT_TRUE(u.w().Timer12.Enabled());  // the result is typed after the sign
  EXPECT_TRUE(u.w().Timer11.Enabled());
  EXPECT_EQ(u.records().size(), 4u);
  // The pointer waits right of the sign, on its middle line.
  const Label& eq = u.label(4);
  const PointPx aim = u.screenOf(eq.Left + eq.Width, eq.Top + eq.Height / 2);
  EXPECT_EQ(u.pointer(), aim);
  EXPECT_EQ(pixelForPointer(u.p().LastSymbolRight), aim.x);
  EXPECT_EQ(pixelForPointer(u.p().LastSymbolTop), aim.y);
  // The region flashes blue for half a second.
  EXPECT_TRUE(u.w().frame9.Visible);
  EXPECT_EQ(u.w().frame9.FillColor, kBlue);
  u.advance(520);
  EXPECT_FALSE(u.w().frame9.Visible);
}

TEST(ReadingAfterEquals, ThePictureIsTheRegionInsideItsOutline) {
  Selecting u;
  u.w().Check3.Value = 1;
  u.type(kTyped, {"9", "[po]", "9", " = "});
  ASSERT_EQ(u.desk().captures.size(), 1u);
  const RectPx r = u.desk().captures[0];
  const PointPx corner = u.screenOf(u.p().ExprRegionLeft, u.p().ExprRegionTop);
  EXPECT_EQ(r.left, corner.x + 1);
  EXPECT_EQ(r.top, corner.y + 1);
  EXPECT_EQ(r.width, pixelForPointer((u.p().ExprRegionRight - u.p().ExprRegionLeft) / 15 - 2));
  EXPECT_EQ(r.height, pixelForPointer((u.p().ExprRegionBottom - u.p().ExprRegionTop) / 15 - 2));
  ASSERT_TRUE(u.desk().clipboardPicture);
  EXPECT_EQ(u.desk().clipboardPicture->width, r.width);
  // No selection window was opened for it.
  EXPECT_FALSE(u.p().Form2.Loaded);
}

TEST(ReadingAfterEquals, WhatHasNoMeaningIsShownButNotTyped) {
  struct Case {
    std::initializer_list<std::string> typed;
    const char* text1;
    const char* text21;
  } cases[] = {
      {{"x", " = "}, "x = ", "x="},
      {{"5", "[plus]", "[strelka]", " = "}, "5+SIMVOL = ", "5+SIMVOL="},
      // A "|" caption keeps its record whole and has no meaning either.
      {{"1", "|", "2", " = "},
       "1\xC2\xA6"
       "2 = ",
       "1\xC2\xA6"
       "2="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text1);
    Selecting u;
    u.w().Check3.Value = 1;
    u.type(kTyped, c.typed);
    EXPECT_EQ(u.w().Text1.Text(), c.text1);
    EXPECT_EQ(u.w().Text21.Text(), c.text21);
    EXPECT_FALSE(u.w().Timer12.Enabled());
    EXPECT_FALSE(u.w().frame9.Visible);
    for (const std::string& r : u.records()) EXPECT_EQ(std::count(r.begin(), r.end(), '|'), 7) << r;
  }
}

TEST(ReadingAfterEquals, UntickedComputesNothing) {
  Selecting u;
  u.w().Check3.Value = 0;
  u.type(kTyped, {"9", "[po]", "9", " = "});
  EXPECT_EQ(u.w().Text1.Text(), "");
  EXPECT_TRUE(u.records().empty());
  EXPECT_FALSE(u.w().Timer11.Enabled());
}

// Symbols placed where a page file puts them (twips), read through the region reader.
struct PlacedPage : Selecting {
  void at(double x, double middle, const std::string& caption) {
    p().PlacingFromFile = 1;
    p().InsertX = x;
    p().InsertY = middle;
    p().surface.PlaceTextSymbol(caption, 24, false);
    p().PlacingFromFile = 0;
  }
  void readAll() {
    p().ExprRegionLeft = 0;
    p().ExprRegionTop = 300;
    p().ExprRegionRight = 1e6;
    p().ExprRegionBottom = 6000;
    p().evaluation.SelectRegionBeforeEquals();
  }
};

// Left edges with a fraction (the arrow keys move by 2.5 px) or of six digits still come in
// left-to-right order.
TEST(ReadingAPage, FollowsTheLeftEdgesAsNumbers) {
  PlacedPage u;
  u.at(1440, 2000, "b");
  u.at(1207.5, 2000, "a");
  u.at(123456, 2000, "d");
  u.at(99999, 2000, "c");
  u.readAll();
  EXPECT_EQ(u.w().Text21.Text(), "abcd");
}

TEST(ReadingAPage, MoreThanAThousandSymbolsAreReadWhole) {
  PlacedPage u;
  for (int i = 0; i < 1500; ++i) u.at(500 + 10 * i, 2000, i % 2 ? "2" : "1");
  u.readAll();
  EXPECT_EQ(u.records().size(), 1500u);
  std::string expected;
  for (int i = 0; i < 1500; ++i) expected += i % 2 ? "2" : "1";
  EXPECT_EQ(u.w().Text1.Text(), expected);
}

// Only the top-left corner counts, strictly inside: a corner on an edge is out, a symbol
// whose body reaches out of the rectangle is in.
TEST(ReadingAPage, TheTopLeftCornerMustLieStrictlyInside) {
  struct Case {
    const char* name;
    double dx1, dy1, dx2, dy2;  // the rectangle's edges, from the symbol's corner
    const char* text;
  } cases[] = {
      {"around it", -1, -1, 1000, 1000, "5"},      {"on the left edge", 0, -1, 1000, 1000, ""},
      {"on the top edge", -1, 0, 1000, 1000, ""},  {"on the right edge", -1, -1, 0, 1000, ""},
      {"on the bottom edge", -1, -1, 1000, 0, ""}, {"its body reaching out", -1, -1, 1, 1, "5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlacedPage u;
    u.at(1000, 2000, "5");
    const Label& five = u.label(1);
    u.p().ExprRegionLeft = five.Left + c.dx1;
    u.p().ExprRegionTop = five.Top + c.dy1;
    u.p().ExprRegionRight = five.Left + c.dx2;
    u.p().ExprRegionBottom = five.Top + c.dy2;
    u.p().evaluation.SelectRegionBeforeEquals();
    EXPECT_EQ(u.w().Text1.Text(), c.text);
  }
}

TEST(ReadingAPage, ParkedSymbolsAndATopEdgeOfZeroAreNeverSelected) {
  PlacedPage u;
  u.at(1000, 2000, "1");
  u.at(1300, 2000, "2");
  u.at(1600, 270, "3");                                // its top edge is exactly 0
  u.w().Label3[2].Top = u.w().Label3[2].Top - 150000;  // taken off by Backspace
  u.p().ExprRegionLeft = 0;
  u.p().ExprRegionTop = -200000;
  u.p().ExprRegionRight = 1e6;
  u.p().ExprRegionBottom = 6000;
  u.p().evaluation.SelectRegionBeforeEquals();
  // A rectangle reaching that far above the page takes the parked 2 too.
  EXPECT_EQ(u.w().Text1.Text(), "12");
  u.readAll();
  EXPECT_EQ(u.w().Text1.Text(), "1");
}

}  // namespace
}  // namespace kel::test
