// The caret: it follows the pointer on the page, stays at the insertion point while the
// pointer is over the panel or the on-screen keyboard, blinks, and shows the index mode.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ui_fixture.h"

namespace kel::test {
namespace {

// Where the caret stands for an insertion point: its left edge 30 twips left of the
// insertion X, its middle on the insertion line.
struct CaretPlace {
  double left, top;
};
CaretPlace caretFor(Ui& u, double x, double y) {
  return {u.p().surface.InsertXFor(x) - 30, u.p().surface.InsertYFor(y) - 375.0 / 2};
}

void expectCaretAt(Ui& u, CaretPlace c) {
  EXPECT_EQ(u.w().Picture1.Left, c.left);
  EXPECT_EQ(u.w().Picture1.Top, c.top);
}

TEST(Caret, FollowsThePointerOnThePageWithinATick) {
  Ui u;
  for (PointPx at : {PointPx{500, 300}, PointPx{377, 611}, PointPx{958, 100}}) {
    SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
    u.moveTo(at);
    u.advance(50);
    expectCaretAt(u, caretFor(u, at.x, at.y));
    EXPECT_EQ(u.p().PointerOverPanel, 0);
    EXPECT_EQ(u.p().PointerPoint.x, at.x);
  }
  // 500 px and 300 px on a window at 4350, 500 twips: insertion point 3090, 3495.
  u.moveTo({500, 300});
  u.advance(50);
  EXPECT_EQ(u.w().Picture1.Left, 3060);
  EXPECT_EQ(u.w().Picture1.Top, 3495 - 187.5);
}

TEST(Caret, StaysAtTheInsertionPointOverThePanelAndTheOnScreenKeyboard) {
  for (bool keyboard : {false, true}) {
    SCOPED_TRACE(keyboard ? "over the on-screen keyboard" : "over the panel");
    Ui u;
    u.p().PointerX = 420.5;
    u.p().PointerY = 250;
    const CaretPlace insertion = caretFor(u, 420.5, 250);
    for (PointPx at : {PointPx{1000, 600}, PointPx{1100, 700}, PointPx{1200, 200}}) {
      u.moveTo(at);
      if (keyboard) {
        // Wherever that window stands: here over the page, left of the panel.
        at = {600, 400};
        u.moveTo(at);
        u.p().PointerOverForm8 = 1;
      }
      u.advance(50);
      expectCaretAt(u, insertion);
      EXPECT_EQ(u.p().PointerOverPanel, 1);
    }
    // Back on the page it follows again.
    u.p().PointerOverForm8 = 0;
    u.moveTo({500, 300});
    u.advance(50);
    expectCaretAt(u, caretFor(u, 500, 300));
    EXPECT_EQ(u.p().PointerOverPanel, 0);
  }
}

TEST(Caret, BlinksEveryElevenTicksAndRunsWhileTheBackgroundIsStopped) {
  Ui u;
  u.p().app.Spirane();
  u.moveTo({600, 300});  // not over a border frame; the page shows the caret at once
  // Counted from a blink, it turns over every 550 ms.
  const bool before = u.w().Picture1.Visible;
  int turns = 0;
  for (int i = 0; i < 22 * 3; ++i) {
    const bool was = u.w().Picture1.Visible;
    u.advance(50);
    if (u.w().Picture1.Visible != was) ++turns;
  }
  EXPECT_EQ(turns, 6);
  EXPECT_EQ(u.w().Picture1.Visible, before);
  EXPECT_FALSE(u.w().Timer0.Enabled());
}

TEST(Caret, ShowsThePictureOfTheIndexMode) {
  Ui u(true);
  MainWindow& w = u.w();
  auto file = [](const Picture& p) {
    const std::string& s = p.Path;
    return s.substr(s.find_last_of("/\\") + 1);
  };
  // The design pictures, read at start-up.
  EXPECT_EQ(file(w.Picture00.Picture), "caret0.gif");
  EXPECT_EQ(file(w.Picture3.Picture), "caret1.gif");
  EXPECT_EQ(file(w.Picture4.Picture), "caret2.gif");
  EXPECT_EQ(w.Picture00.Picture->WidthPx, 4);
  EXPECT_EQ(w.Picture00.Picture->HeightPx, 24);
  EXPECT_EQ(w.Picture3.Picture->HeightPx, 17);
  EXPECT_EQ(file(w.Image13.Picture), "keyf12.gif");
  EXPECT_EQ(file(w.Image1.Picture), "keyf12low.gif");
  EXPECT_EQ(file(w.Image12.Picture), "keyesc.gif");
  EXPECT_EQ(file(w.Image14.Picture), "keyinsert.gif");
  EXPECT_EQ(file(w.Image16.Picture), "keypagedown.gif");
  EXPECT_EQ(file(w.Image17.Picture), "keyhome.gif");
  EXPECT_EQ(file(w.Image15.Picture), "keypageup.gif");
  EXPECT_EQ(w.Image12.Width, 46 * 15);

  struct Case {
    int upper, lower;
    const char* caret;
    const char* f12;
  } cases[] = {
      {0, 0, "caret0.gif", "keyf12.gif"},
      {0, 1, "caret2.gif", "keyf12low.gif"},
      // The upper index keeps whatever the F12 key showed: here the lower-index picture.
      {1, 0, "caret1.gif", "keyf12low.gif"},
      {1, 1, "caret1.gif", "keyf12low.gif"},
      {0, 0, "caret0.gif", "keyf12.gif"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "upper " << c.upper << ", lower " << c.lower);
    u.p().UpperIndexMode = c.upper;
    u.p().LowerIndexMode = c.lower;
    // A hidden caret still takes its new picture.
    w.Picture1.Visible = false;
    u.advance(50);
    EXPECT_EQ(file(w.Picture1.Picture), c.caret);
    EXPECT_EQ(file(w.Image8.Picture), c.f12);
  }
}

TEST(Caret, MissingPicturesLeaveTheControlsAsTheyAre) {
  Ui u;  // no Simbol folder
  EXPECT_TRUE(u.w().Picture00.Picture.empty());
  EXPECT_EQ(u.w().Image12.Width, 690);
  u.advance(100);
  EXPECT_TRUE(u.w().Picture1.Picture.empty());
}

}  // namespace
}  // namespace kel::test
