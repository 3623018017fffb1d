// The pointer zone watcher, the re-read of the pointer at left-button presses and
// releases, and F2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui_fixture.h"

namespace kel::test {
namespace {

// A limits dialog (4 integral, 5 sum) standing at 400..600 x 300..400 px, shown or not.
void standDialog(Ui& u, int dialog, bool shown) {
  LimitsDialogForm& f = dialog == 4 ? u.p().Form4 : u.p().Form5;
  if (shown) u.p().evaluation.ShowLimitsDialog(dialog == 4 ? 1 : 2);
  f.Left = 6000;
  f.Top = 4500;
  f.Width = 3000;
  f.Height = 1500;
}

TEST(ZoneWatcher, RightOfThePageAndInsideAShownLimitsDialogAreBlocked) {
  struct Case {
    const char* name;
    int dialog;  // 0 none, 4 integral, 5 sum
    bool shown;
    PointPx at;
    int blocked;
  } cases[] = {
      {"on the page", 0, false, {500, 400}, 0},
      {"on the page's right edge", 0, false, {959, 400}, 0},
      {"just right of the page", 0, false, {960, 400}, 1},
      {"over the panel", 0, false, {1100, 400}, 1},
      {"inside a shown integral dialog", 4, true, {450, 350}, 1},
      {"inside a shown sum dialog", 5, true, {450, 350}, 1},
      {"on a shown dialog's edge", 4, true, {400, 350}, 0},
      {"inside a hidden integral dialog", 4, false, {450, 350}, 0},
      {"inside a hidden sum dialog", 5, false, {450, 350}, 0},
      {"beside a shown dialog", 5, true, {700, 350}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ui u;
    // Both dialogs stand at 400..600 x 300..400 px when there is one to show.
    standDialog(u, 4, c.dialog == 4 && c.shown);
    standDialog(u, 5, c.dialog == 5 && c.shown);
    ASSERT_EQ((u.w().Left + u.w().Frame5.Width) / 15, 959);
    u.moveTo(c.at);
    u.advance(50);
    EXPECT_EQ(u.p().RecordingBlocked, c.blocked);
    EXPECT_EQ(u.p().ZonePointX, c.at.x);
  }
}

// A press at one point, a drag to another and a release there: the re-read follows the
// pointer at the release unless the watcher does not watch this press.
TEST(ButtonReRead, TheReleaseIsReadOnlyForAWatchedPress) {
  struct Case {
    const char* name;
    bool overDialog, busy;
    PointPx press, release;
    bool read;
  } cases[] = {
      {"on the page", false, false, {500, 400}, {560, 420}, true},
      {"over a shown limits dialog", true, false, {450, 350}, {460, 360}, false},
      {"onto the panel", false, false, {1000, 600}, {1020, 610}, false},
      // Within 10 px, so that it is no selection drag (whose sizing reads the pointer).
      {"while busy", false, true, {500, 400}, {508, 406}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ui u;
    standDialog(u, 4, c.overDialog);
    u.moveTo(c.press);
    u.advance(60);
    u.p().BusyFlag = c.busy ? 1 : 0;
    u.desk().userButtonDown(vk::LButton);
    u.advance(60);
    EXPECT_EQ(u.w().Text5.Text(), c.read ? "1" : "0");
    const double pressedX = u.p().PointerX;
    u.moveTo(c.release);
    u.advance(60);
    u.desk().userButtonUp(vk::LButton);
    u.advance(60);
    EXPECT_EQ(u.w().Text5.Text(), "0");
    if (c.read) {
      EXPECT_EQ(u.p().PointerX, c.release.x);
      EXPECT_EQ(u.p().PointerY, c.release.y);
    } else {
      EXPECT_EQ(u.p().PointerX, pressedX);
    }
  }
}

TEST(ButtonReRead, AReleaseWhileTheTimersAreOffIsSeenWhenTheyRunAgain) {
  Ui u;
  u.moveTo({500, 400});
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.advance(60);
  ASSERT_EQ(u.w().Text5.Text(), "1");
  u.p().app.Spirane();
  u.moveTo({540, 420});
  u.desk().userButtonUp(vk::LButton);
  u.advance(200);
  EXPECT_EQ(u.w().Text5.Text(), "1");  // the latch keeps its value while off
  EXPECT_EQ(u.p().PointerX, 500);
  u.p().app.Startirane();
  u.advance(50);
  EXPECT_EQ(u.w().Text5.Text(), "0");
  EXPECT_EQ(u.p().PointerX, 540);
  EXPECT_EQ(u.p().PointerY, 420);
}

TEST(F2Row, AppendsAnEmptyItemThatPlaysAsNothingUpToItsBound) {
  Ui u;
  u.p().input.AppendQueueItem("113", "0");
  u.advance(100);
  EXPECT_EQ(u.w().List1.Items, (std::vector<std::string>{"113", ""}));
  EXPECT_EQ(u.w().List2.Items, (std::vector<std::string>{"0", ""}));
  EXPECT_EQ(u.w().List1.ListIndex, 1);  // the empty item was played
  EXPECT_EQ(u.p().StepIndex, 1);
  EXPECT_EQ(u.p().SymbolCount, 0);

  // The 10 001st F2 of a run still appends; from the 10 002nd on nothing does.
  u.p().StepIndex = 10000;
  for (int i = 0; i < 2; ++i) {
    u.p().input.AppendQueueItem("113", "0");
    u.advance(100);
  }
  EXPECT_EQ(u.w().List1.ListCount(), 5);
  EXPECT_EQ(u.p().StepIndex, 10001);
}

}  // namespace
}  // namespace kel::test
