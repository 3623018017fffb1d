// The main window's layout pass: the areas follow the window's size, and the writing
// position and the pointer follow the window's moves once.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "ui_fixture.h"

namespace kel::test {
namespace {

constexpr double kPanelWidth = 4815;

struct Layout : Ui {
  // Every control's size, as a window system would be asked to apply it.
  void expectNoNegativeSize() {
    w().forEachControl([](Control& c) {
      EXPECT_GE(c.Width, 0) << c.Name;
      EXPECT_GE(c.Height, 0) << c.Name;
    });
  }
  void expectRunning() {
    for (Timer* t : w().backgroundGroup) EXPECT_TRUE(t->Enabled()) << t->name();
    EXPECT_EQ(p().UserStopped, 0);
    EXPECT_EQ(p().BusyFlag, 0);
  }
  // The pointer and the writing position relative to the window's corner, in pixels.
  struct Relative {
    double pointerX, pointerY, markX, markY;
  };
  Relative relative() {
    const double l = w().Left / 15, t = w().Top / 15;
    return {p().PointerX - l, p().PointerY - t, p().MarkPointerX - l, p().MarkPointerY - t};
  }
  void expectSameRelative(const Relative& a, const Relative& b) {
    EXPECT_NEAR(a.pointerX, b.pointerX, 1e-3);
    EXPECT_NEAR(a.pointerY, b.pointerY, 1e-3);
    EXPECT_NEAR(a.markX, b.markX, 1e-3);
    EXPECT_NEAR(a.markY, b.markY, 1e-3);
  }
};

TEST(WindowLayout, FirstShowPutsThePointerAndTheCaretOnTheWritingPosition) {
  Layout u;
  const MainWindow& w = u.w();
  ASSERT_FALSE(u.desk().pointerMoves.empty());
  // 90 px right of and 100 px below the window's top-left corner.
  EXPECT_EQ(u.desk().pointerMoves.front().x, pixelForPointer(w.Left / 15 + 90));
  EXPECT_EQ(u.desk().pointerMoves.front().y, pixelForPointer(w.Top / 15 + 100));
  EXPECT_EQ(w.Shape2.Left, 1290);
  EXPECT_EQ(w.Shape3.Left, 1290);
  EXPECT_EQ(w.Frame6.Left, w.Width - kPanelWidth);
  EXPECT_EQ(w.Frame8.Left, w.Frame6.Left);
  u.expectNoNegativeSize();
}

TEST(WindowLayout, TheAreasFollowTheWindowsSizeAndNoNegativeSizeIsApplied) {
  struct Case {
    const char* name;
    std::function<void(Layout&)> act;
    bool pageWidthApplies, pageHeightApplies;
  } cases[] = {
      {"resized smaller", [](Layout& u) { u.desk().userResizeForm(u.w(), 12000, 9000); }, true,
       true},
      {"maximised from the right edge", [](Layout& u) { u.desk().userMaximizeForm(u.w()); }, true,
       true},
      {"narrower than the panel and lower than 500 twips",
       [](Layout& u) { u.desk().userResizeForm(u.w(), 1500, 400); }, false, false},
      {"no size at all", [](Layout& u) { u.desk().userResizeForm(u.w(), -50, -50); }, false, false},
      {"huge", [](Layout& u) { u.desk().userResizeForm(u.w(), 3e7, 2e7); }, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Layout u;
    MainWindow& w = u.w();
    const double pageWidth = w.Frame5.Width, pageHeight = w.Frame5.Height;
    const double column = w.Shape2.Left;
    u.p().app.Command2_Click();  // stopped before: the pass switches the group on
    c.act(u);
    EXPECT_EQ(w.Frame6.Left, w.Width - kPanelWidth);
    EXPECT_EQ(w.Frame5.Width, c.pageWidthApplies ? w.Width - kPanelWidth : pageWidth);
    EXPECT_EQ(w.Frame5.Height, c.pageHeightApplies ? w.Height - 500 : pageHeight);
    EXPECT_EQ(w.Frame8.Left, w.Frame6.Left);
    EXPECT_EQ(w.Label17.Width, w.Width);
    EXPECT_EQ(w.Label18.Width, w.Width);
    EXPECT_EQ(w.Label18.Top, w.Frame5.Height - w.Label18.Height - 10);
    EXPECT_EQ(w.Label19.Height, w.Frame5.Height);
    EXPECT_EQ(w.label20.Height, w.Frame5.Height);
    EXPECT_EQ(w.label20.Left, w.Width - w.label20.Width - 70);
    // The marks stay over the same page column.
    EXPECT_EQ(w.Shape2.Left, column);
    EXPECT_EQ(w.Shape3.Left, column);
    EXPECT_TRUE(w.Line4.Visible);
    u.expectRunning();
    u.expectNoNegativeSize();
  }
}

TEST(WindowLayout, MaximisingFromTheRightEdgeShiftsThePointerAndTheMarkWithTheWindow) {
  Layout u;
  MainWindow& w = u.w();
  const Layout::Relative before = u.relative();
  const double left = w.Left, top = w.Top;
  const double pointerX = u.p().PointerX, pointerY = u.p().PointerY;
  const size_t moves = u.desk().pointerMoves.size();
  const PointPx pointerBefore = u.pointer();

  u.desk().userMaximizeForm(w);
  ASSERT_EQ(w.Left, 0);
  ASSERT_EQ(w.Top, 0);
  u.expectSameRelative(u.relative(), before);
  EXPECT_NEAR(u.p().PointerX, pointerX - left / 15, 1e-3);
  EXPECT_NEAR(u.p().PointerY, pointerY - top / 15, 1e-3);
  ASSERT_EQ(u.desk().pointerMoves.size(), moves + 1);
  EXPECT_EQ(u.pointer(),
            (PointPx{pixelForPointer(u.p().PointerX), pixelForPointer(u.p().PointerY)}));
  // The caret stands at the insertion point, on the same page point as before.
  EXPECT_EQ(w.Picture1.Left, u.p().surface.InsertXFor(u.p().PointerX) - 30);

  u.desk().userRestoreForm(w);
  ASSERT_EQ(w.Left, left);
  u.expectSameRelative(u.relative(), before);
  EXPECT_NEAR(u.p().PointerX, pointerX, 1e-3);
  EXPECT_NEAR(u.p().PointerY, pointerY, 1e-3);
  EXPECT_EQ(u.pointer(), pointerBefore);
}

TEST(WindowLayout, AMoveByTheTitleBarShiftsNothingUntilTheNextPassShiftsItOnce) {
  Layout u;
  MainWindow& w = u.w();
  u.p().surface.ZapomniKordinati();  // the writing position where the pointer stands
  const Layout::Relative before = u.relative();
  const size_t moves = u.desk().pointerMoves.size();

  u.desk().userMoveForm(w, w.Left - 1500, w.Top + 1500);
  EXPECT_EQ(u.desk().pointerMoves.size(), moves);  // no pass, nothing shifted

  // The next pass follows the move, 100 px left and 100 px down, once.
  u.desk().userResizeForm(w, w.Width, w.Height);
  u.expectSameRelative(u.relative(), before);
  u.desk().userResizeForm(w, w.Width - 1500, w.Height);
  u.expectSameRelative(u.relative(), before);
  // Every pass moves the real pointer to the insertion point, also when nothing moved.
  EXPECT_EQ(u.desk().pointerMoves.size(), moves + 2);
}

TEST(WindowLayout, MinimisingAndRestoringRepeatedlyLosesNothing) {
  Layout u;
  MainWindow& w = u.w();
  u.p().Form8Shown = 1;
  u.p().palette.ShowForm8();
  const Layout::Relative before = u.relative();
  const double left = w.Left, top = w.Top, width = w.Width, height = w.Height;
  const double page = w.Frame5.Width;

  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(testing::Message() << "round " << i);
    u.desk().userMinimizeForm(w);
    for (Timer* t : w.backgroundGroup) EXPECT_FALSE(t->Enabled()) << t->name();
    EXPECT_FALSE(u.p().palette.Form8Visible());
    EXPECT_EQ(u.p().Form8Shown, 1);
    u.advance(300);
    u.p().BusyFlag = 1;
    u.desk().userRestoreForm(w);
    EXPECT_TRUE(u.p().palette.Form8Visible());
    u.expectRunning();
    EXPECT_EQ(w.Left, left);
    EXPECT_EQ(w.Top, top);
    EXPECT_EQ(w.Width, width);
    EXPECT_EQ(w.Height, height);
    EXPECT_EQ(w.Frame5.Width, page);
    u.expectSameRelative(u.relative(), before);
    u.expectNoNegativeSize();
  }
  // Tiny, huge and back: the writing position and the pointer are where they were.
  u.desk().userResizeForm(w, 100, 100);
  u.desk().userResizeForm(w, 4e7, 4e7);
  u.desk().userMaximizeForm(w);
  u.desk().userMinimizeForm(w);
  u.desk().userRestoreForm(w);  // maximised again
  EXPECT_EQ(w.State, WindowState::Maximized);
  u.desk().userRestoreForm(w);
  u.desk().userResizeForm(w, width, height);
  EXPECT_EQ(w.Frame5.Width, page);
  u.expectSameRelative(u.relative(), before);
}

}  // namespace
}  // namespace kel::test
