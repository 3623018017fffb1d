// The on-screen arrow keys: held down, they move the insertion point 1 px a tick and then
// 10 px a tick, while the real pointer stays on the key and the caret follows the point.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "keyboard_fixture.h"

namespace kel::test {
namespace {

struct Arrows : KeyboardUser {
  // The button held on an arrow key for a number of its 50 ms ticks, then released.
  void hold(int index, int ticks) {
    moveTo(onKeyboard(key(index)));
    advance(60);
    desk().userButtonDown(vk::LButton);
    advance(50 * ticks);
    desk().userButtonUp(vk::LButton);
  }
};

// 1 px for each of the first nine ticks of a hold, 10 px for each tick from the tenth on.
TEST(KeyboardArrows, TheStepGrowsFromTheTenthTick) {
  struct Case {
    int ticks;
    double moved;
  } cases[] = {{0, 0}, {1, 1}, {9, 9}, {10, 19}, {12, 39}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ticks);
    Arrows u;
    const double x = u.p().PointerX;
    u.hold(60, c.ticks);
    EXPECT_DOUBLE_EQ(u.p().PointerX - x, c.moved);
  }
  // Tick by tick over twelve ticks of one hold: nine steps of 1 px, then steps of 10 px.
  Arrows u;
  Program& p = u.p();
  u.moveTo(u.onKeyboard(u.key(63)));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  const double y0 = p.PointerY;
  std::vector<double> steps;
  for (int tick = 1; tick <= 12; ++tick) {
    const double y = p.PointerY;
    u.advance(50);
    steps.push_back(p.PointerY - y);
    EXPECT_EQ(u.k().HoldTicks, tick);
  }
  u.desk().userButtonUp(vk::LButton);
  EXPECT_EQ(steps, (std::vector<double>{1, 1, 1, 1, 1, 1, 1, 1, 1, 10, 10, 10}));
  EXPECT_DOUBLE_EQ(p.PointerY - y0, 39);
}

TEST(KeyboardArrows, EachKeyMovesItsWayAndThePointerStaysOnTheKey) {
  struct Case {
    int index;
    double dx, dy;
  } cases[] = {{60, 39, 0}, {61, -39, 0}, {62, 0, -39}, {63, 0, 39}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    Arrows u;
    Program& p = u.p();
    MainWindow& w = u.w();
    const double x = p.PointerX, y = p.PointerY;
    const PointPx on = u.onKeyboard(u.key(c.index));
    u.moveTo(on);
    u.advance(60);
    u.desk().userButtonDown(vk::LButton);
    u.advance(600);
    EXPECT_DOUBLE_EQ(p.PointerX - x, c.dx);
    EXPECT_DOUBLE_EQ(p.PointerY - y, c.dy);
    EXPECT_EQ(u.pointer(), on);
    // The last symbol's place follows the point.
    EXPECT_FLOAT_EQ(p.LastSymbolRight,
                    static_cast<float>(15 * (p.PointerX - singleDiv15(w.Left) - 4)));
    EXPECT_FLOAT_EQ(p.LastSymbolTop,
                    static_cast<float>(std::floor(15 * (p.PointerY - singleDiv15(w.Top)) - 505) -
                                       w.Picture1.Height / 2 - 90));
    u.desk().userButtonUp(vk::LButton);
    u.advance(500);
    EXPECT_DOUBLE_EQ(p.PointerX - x, c.dx);  // the release stopped it
    // The caret stands at the moved point, the pointer still on the keyboard.
    EXPECT_EQ(w.Picture1.Left, 15 * (p.PointerX - singleDiv15(w.Left) - 4) - 30);
    EXPECT_EQ(w.Picture1.Top,
              std::floor(15 * (p.PointerY - singleDiv15(w.Top)) - 505) - w.Picture1.Height / 2);
  }
}

// The held key has the mouse: released anywhere (over a pad key, off the window), it stops.
TEST(KeyboardArrows, AnArrowReleasedOffItsKeyStops) {
  for (bool offWindow : {false, true}) {
    SCOPED_TRACE(offWindow ? "off the window" : "over a pad key");
    Arrows u;
    Program& p = u.p();
    u.moveTo(u.onKeyboard(u.key(60)));
    u.advance(60);
    u.desk().userButtonDown(vk::LButton);
    u.advance(100);
    const PointPx to =
        offWindow ? PointPx{static_cast<int>(u.k().Left / 15) - 40, 300} : u.onKeyboard(u.pad(7));
    u.moveTo(to);
    u.desk().userButtonUp(vk::LButton);
    const double x = p.PointerX;
    u.advance(1000);
    EXPECT_FALSE(u.k().Timer3.Enabled());
    EXPECT_EQ(p.PointerX, x);
  }
}

// Hidden while held (the main window minimised), it stops: its release will not come.
TEST(KeyboardArrows, AnArrowHiddenWhileHeldStops) {
  Arrows u;
  Program& p = u.p();
  u.moveTo(u.onKeyboard(u.key(63)));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.advance(100);
  u.desk().userMinimizeForm(u.w());
  const double y = p.PointerY;
  u.desk().userButtonUp(vk::LButton);
  u.advance(500);
  u.desk().userRestoreForm(u.w());
  u.advance(500);
  EXPECT_FALSE(u.k().Timer3.Enabled());
  EXPECT_EQ(p.PointerY, y);
}

TEST(KeyboardArrows, ANewPressCountsAgainAndOnlyTheNewDirectionMoves) {
  Arrows u;
  Program& p = u.p();
  const double x = p.PointerX, y = p.PointerY;
  u.hold(61, 12);  // left 39
  u.advance(400);
  u.hold(60, 3);  // right 3, counted from the first tick again
  EXPECT_DOUBLE_EQ(p.PointerX - x, -36);
  EXPECT_DOUBLE_EQ(p.PointerY, y);
  EXPECT_EQ(u.k().MoveLeft, 0);
  EXPECT_EQ(u.k().MoveRight, 1);
}

TEST(KeyboardArrows, AKeyTypedAfterwardsStandsAtTheMovedPoint) {
  Arrows u;
  Program& p = u.p();
  u.hold(63, 12);
  u.advance(400);
  const double x = p.PointerX, y = p.PointerY;
  u.type(u.key(10));
  ASSERT_EQ(p.SymbolCount, 1);
  EXPECT_EQ(u.label(1).Left, p.surface.InsertXFor(x));
  EXPECT_EQ(u.middle(u.label(1)), p.surface.InsertYFor(y));
}

// Held for seconds, an arrow key of the keyboard stops the point at the edge of the page,
// and the key clicked next stands there, on the page.
TEST(KeyboardArrows, AHeldKeyStopsAtTheEdgeOfThePage) {
  for (int index : {60, 61, 62, 63}) {
    SCOPED_TRACE(index);
    Arrows u;
    MainWindow& w = u.w();
    u.hold(index, 100);
    u.advance(400);
    u.type(u.key(10));
    ASSERT_EQ(u.p().SymbolCount, 1);
    const Label& l = u.label(1);
    EXPECT_GE(l.Left, w.Label19.Left + w.Label19.Width);
    EXPECT_LT(l.Left, w.Frame5.Width);
    EXPECT_GT(u.middle(l), w.Label17.Top + w.Label17.Height);
    EXPECT_LT(u.middle(l), w.Label18.Top);
  }
}

}  // namespace
}  // namespace kel::test
