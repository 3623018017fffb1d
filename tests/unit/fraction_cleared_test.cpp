// A fraction open while all pages are cleared: every element is unloaded and the numbering
// begins again, so the indexes the fraction state holds name nothing, or other symbols.
#include <gtest/gtest.h>

#include <vector>

#include "rows_fixture.h"

namespace kel::test::rows {
namespace {

struct Snapshot {
  double left, top, width;
  Picture picture;
  bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> page(RowTypist& t) {
  std::vector<Snapshot> all;
  for (int n = 1; n <= t.p().SymbolCount; ++n) {
    const Control& c = t.symbol(n);
    const Image* img = t.w().Image3.IsLoaded(n) ? &t.w().Image3[n] : nullptr;
    all.push_back({c.Left, c.Top, c.Width, img ? img->Picture : Picture{}});
  }
  return all;
}

// A bar (1) with a numerator of two symbols (2, 3), then Clear All.
void openFractionAndClearAll(RowTypist& t) {
  t.insert();
  t.type({kX, kX}, 100);
  ASSERT_EQ(t.p().BarOpen, 1);
  t.clearAllPages();
}

void expectNoFractionLeft(Program& p) {
  EXPECT_EQ(p.BarPlacedFlag, 0);
  EXPECT_EQ(p.BarOpen, 0);
  EXPECT_EQ(p.CurrentBar, kNoBar);
}

TEST(ClearedFraction, SymbolsThatTookTheOldIndexesAreNeitherStretchedNorMovedNorBlackened) {
  RowTypist t;
  Program& p = t.p();
  openFractionAndClearAll(t);
  // α takes the bar's index 1, near where the bar's end would be; x takes 2 and 3.
  p.PointerX = p.BarStartPointerX + 5;
  t.type({"1026", kX, "34", kX}, 200);
  ASSERT_EQ(p.SymbolKind[1], "1026");
  const std::vector<Snapshot> before = page(t);
  EXPECT_EQ(before[0].width, 15 * 21);  // α keeps its picture's own width

  t.type({"36"}, 500);
  EXPECT_EQ(page(t), before);
  expectNoFractionLeft(p);
  EXPECT_EQ(p.FractionPart, 0);
  EXPECT_TRUE(t.w().Image14.Visible);
}

TEST(ClearedFraction, ABarReadFromAPageFileAtTheOldIndexIsNotTheOpenBar) {
  RowTypist t;
  Program& p = t.p();
  openFractionAndClearAll(t);
  p.PlacingFromFile = 1;
  p.InsertX = 1500;
  p.InsertY = 900;
  p.FileBarWidth = 900;
  p.surface.PlacePictureSymbol("35");
  p.PlacingFromFile = 0;
  ASSERT_EQ(p.SymbolCount, 1);
  EXPECT_EQ(&p.surface.CurrentBarImage(), &t.w().Image10);
  // Typed right where the stored bar ends, and above it.
  p.PointerX = p.BarStartPointerX + 55;
  t.type({kX, kX}, 100);
  const std::vector<Snapshot> before = page(t);
  EXPECT_EQ(before[0].width, 900);

  t.type({"36"}, 500);
  EXPECT_EQ(page(t), before);
  EXPECT_NE(t.w().Image3[1].Picture, t.w().Image2[1].Picture);
  expectNoFractionLeft(p);
}

TEST(ClearedFraction, HomePageDownAndPageUpOnAnEmptyStoreTouchNothing) {
  RowTypist t;
  Program& p = t.p();
  openFractionAndClearAll(t);
  ASSERT_EQ(p.SymbolCount, 0);
  const double startX = p.BarStartPointerX, startY = p.BarStartPointerY;
  EXPECT_NO_THROW(t.type({"34"}, 40));
  EXPECT_EQ(p.PointerX, startX + 13);
  EXPECT_EQ(p.PointerY, startY + 24);
  EXPECT_NO_THROW(t.type({"33"}, 40));
  EXPECT_NO_THROW(t.type({"36"}, 500));
  EXPECT_EQ(p.SymbolCount, 0);
  expectNoFractionLeft(p);
  EXPECT_EQ(p.BarIndex, 0);
}

TEST(ClearedFraction, InsertBeginsANewFractionWithoutWaitingForHome) {
  RowTypist t;
  Program& p = t.p();
  openFractionAndClearAll(t);
  t.s.host.advance(3000);  // the old start is no longer held
  p.PointerX += 40;
  const double startX = p.PointerX;
  t.insert();
  ASSERT_EQ(p.SymbolCount, 1);
  EXPECT_EQ(p.SymbolKind[1], "35");
  EXPECT_EQ(p.BarIndex, 1);
  EXPECT_EQ(p.CurrentBar, 1);
  EXPECT_EQ(t.w().Image3[1].Picture, t.w().Image2[0].Picture);
  EXPECT_EQ(p.PointerX, startX + 10);

  t.type({kXxx, "34", kX, "36"}, 500);
  EXPECT_EQ(t.w().Image3[1].Picture, t.w().Image2[1].Picture);
  const Control& bar = t.symbol(1);
  for (int part : {2, 3}) {
    const double leftGap = t.symbol(part).Left - bar.Left;
    const double rightGap = bar.Left + bar.Width - t.right(part);
    EXPECT_TRUE(rightGap - leftGap == 0 || rightGap - leftGap == 1) << part;
  }
  expectNoFractionLeft(p);
}

}  // namespace
}  // namespace kel::test::rows
