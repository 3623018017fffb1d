// The arrow keys move the insertion point by small steps, faster while held.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui_fixture.h"

namespace kel::test {
namespace {

// The pointer moves the program made from a given index of the desktop's record on.
std::vector<PointPx> movesFrom(Ui& u, size_t from) {
  std::vector<PointPx> m;
  for (size_t i = from; i < u.desk().pointerMoves.size(); ++i)
    m.push_back({u.desk().pointerMoves[i].x, u.desk().pointerMoves[i].y});
  return m;
}

TEST(ArrowKeys, EachKeyStepsTheInsertionPointTwoOrThreePixelsByParity) {
  struct Case {
    int key;
    PointPx from;
    PointPx to;
  } cases[] = {
      // 2.5 px to the nearest pixel, halves to the even one: 2 from even, 3 from odd.
      {vk::Left, {500, 300}, {498, 300}},  {vk::Left, {501, 300}, {498, 300}},
      {vk::Right, {500, 300}, {502, 300}}, {vk::Right, {501, 300}, {504, 300}},
      {vk::Up, {500, 300}, {500, 298}},    {vk::Up, {500, 301}, {500, 298}},
      {vk::Down, {500, 300}, {500, 302}},  {vk::Down, {500, 301}, {500, 304}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " from " << c.from.x << "," << c.from.y);
    Ui u;
    u.moveTo(c.from);
    // A tap shorter than one poll still moves once.
    u.host().tap(c.key, 5);
    u.advance(40);
    EXPECT_EQ(u.pointer(), c.to);
    // The insertion point keeps the fraction; only the pointer goes to a whole pixel.
    const int dx = c.to.x > c.from.x ? 1 : c.to.x < c.from.x ? -1 : 0;
    const int dy = c.to.y > c.from.y ? 1 : c.to.y < c.from.y ? -1 : 0;
    EXPECT_EQ(u.p().PointerX, c.from.x + 2.5 * dx);
    EXPECT_EQ(u.p().PointerY, c.from.y + 2.5 * dy);
    EXPECT_EQ(u.w().List1.ListCount(), 0);  // arrows never enter the queue
  }
}

TEST(ArrowKeys, HoldingAKeySpeedsTheStepUpAndLettingGoRestsIt) {
  Ui u;
  u.moveTo({400, 300});
  const size_t before = u.desk().pointerMoves.size();
  u.desk().userKeyDown(vk::Right);
  const Millis start = u.host().now();
  u.advance(1000);
  u.desk().userKeyUp(vk::Right);
  u.advance(60);

  const std::vector<PointPx> m = movesFrom(u, before);
  const auto& log = u.desk().pointerMoves;
  ASSERT_GT(m.size(), 40u);  // one move per 20 ms poll
  int x = 400;
  for (size_t i = 0; i < m.size(); ++i) {
    const Millis at = log[before + i].at - start;
    const int step = m[i].x - x;
    x = m[i].x;
    EXPECT_EQ(m[i].y, 300);
    // The hold watch counts from the first move; after more than six of its 50 ms
    // ticks the step is 10 px, before that 2.5 px.
    if (at < 340) {
      EXPECT_TRUE(step == 2 || step == 3) << "at " << at << " ms: " << step;
    } else if (at > 380) {
      EXPECT_EQ(step, 10) << "at " << at << " ms";
    }
  }
  EXPECT_EQ(u.p().ArrowStep, 2.5);
  EXPECT_EQ(u.p().ArrowHoldTicks, 0);
  EXPECT_FALSE(u.w().Timer16.Enabled());

  // At rest again: the next tap is a small step.
  u.host().tap(vk::Left, 30);
  u.advance(60);
  EXPECT_TRUE(x - u.pointer().x == 2 || x - u.pointer().x == 3);
}

TEST(ArrowKeys, HoldingOneArrowThenAnotherWithoutAGapKeepsTheLargeStep) {
  Ui u;
  u.moveTo({700, 300});
  u.desk().userKeyDown(vk::Right);
  u.advance(500);
  u.desk().userKeyDown(vk::Down);
  u.desk().userKeyUp(vk::Right);
  const int y = u.pointer().y;
  u.advance(20);
  EXPECT_EQ(u.pointer().y, y + 10);
  u.desk().userKeyUp(vk::Down);
}

// A short tap right after a hold, while the hold watch still runs, must not be lost to the
// watch: the poll still sees it.
TEST(ArrowKeys, ATapJustBeforeTheHoldWatchTicksStillMoves) {
  Ui u;
  u.moveTo({700, 300});
  u.desk().userKeyDown(vk::Left);
  u.advance(120);
  Timer& watch = u.w().Timer16;
  Timer& poll = u.w().Timer0;
  ASSERT_TRUE(watch.Enabled());
  // A moment when the watch's next tick falls halfway between two polls.
  for (int i = 0; i < 100; ++i) {
    const Millis gap = watch.due() - poll.due();
    if (((gap % 20) + 20) % 20 == 10 && watch.due() - u.host().now() >= 10) break;
    u.advance(1);
  }
  const Millis tick = watch.due();
  ASSERT_EQ((((tick - poll.due()) % 20) + 20) % 20, 10);
  u.host().at(tick - 8, [&] { u.desk().userKeyUp(vk::Left); });
  u.host().at(tick - 3, [&] { u.desk().userKeyDown(vk::Left); });
  u.host().at(tick - 1, [&] { u.desk().userKeyUp(vk::Left); });
  u.advance(tick - 8 - u.host().now());
  const int x = u.pointer().x;
  u.advance(40);
  EXPECT_TRUE(x - u.pointer().x == 2 || x - u.pointer().x == 3) << x << " -> " << u.pointer().x;
}

TEST(ArrowKeys, AnArrowDropsWhatTheQueueStillHoldsAndEndsAnUpperIndex) {
  Ui u;
  auto played = std::make_shared<std::vector<std::string>>();
  u.p().input.rowGroups.insert(u.p().input.rowGroups.begin(), [played](PlayedItem& item) {
    played->push_back(item.PlayedCode);
    return false;
  });
  u.moveTo({700, 300});
  u.p().BusyFlag = 1;  // the items wait
  for (const char* code : {"163", "163", "163"}) u.p().input.AppendQueueItem(code, "0");
  u.p().UpperIndexMode = 1;
  u.host().tap(vk::Left, 5);
  u.advance(200);
  EXPECT_TRUE(played->empty());  // nothing waiting was played
  EXPECT_EQ(u.p().UpperIndexMode, 0);
  EXPECT_EQ(u.p().BusyFlag, 0);
  // 13 px down for the upper index, then the step.
  EXPECT_EQ(u.pointer(), (PointPx{698, 313}));
  u.p().input.AppendQueueItem("163", "0");
  u.advance(40);
  EXPECT_EQ(*played, std::vector<std::string>{"163"});  // what comes after is played
}

// Whether a placed symbol's insertion point stood on the page, clear of its border frames,
// with the background work (the capture with it) still running.
void expectTypedOnThePage(Ui& u, const Label& l) {
  MainWindow& w = u.w();
  EXPECT_GE(l.Left, w.Label19.Left + w.Label19.Width);
  EXPECT_LT(l.Left, w.Frame5.Width);
  EXPECT_GT(u.middle(l), w.Label17.Top + w.Label17.Height);
  EXPECT_LT(u.middle(l), w.Label18.Top);
  EXPECT_TRUE(w.Timer0.Enabled());
  EXPECT_EQ(u.p().UserStopped, 0);
}

// An arrow key held for a second and a half runs about 600 px: it stops at the edge of the
// page, and the key typed next stands there, not on the panel or a border frame.
TEST(ArrowKeys, AHeldKeyStopsAtTheEdgeOfThePage) {
  struct Case {
    int key;
    Millis held;
  } cases[] = {{vk::Right, 1500}, {vk::Right, 4000}, {vk::Left, 1500},
               {vk::Up, 1500},    {vk::Down, 1500},  {vk::Down, 4000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " for " << c.held << " ms");
    Ui u;
    u.moveTo(u.screenOf(3000, 3000));
    u.desk().userKeyDown(c.key);
    u.advance(c.held);
    u.desk().userKeyUp(c.key);
    u.advance(100);
    u.host().tap('X', 30);
    u.advance(200);
    ASSERT_EQ(u.p().SymbolCount, 1);
    expectTypedOnThePage(u, u.label(1));
    EXPECT_EQ(u.pointer(),
              (PointPx{pixelForPointer(u.p().PointerX), pixelForPointer(u.p().PointerY)}));
  }
}

}  // namespace
}  // namespace kel::test
