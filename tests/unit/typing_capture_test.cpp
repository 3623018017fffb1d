// Keyboard capture: the poll, the release check, their special keys and the queue cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/units.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

TEST(TypingCapture, ATapShorterThanOnePollIsCapturedAndPlaced) {
  for (Millis ms : {1, 5, 12, 19}) {
    SCOPED_TRACE(ms);
    Typist t;
    t.type(65, ms);
    EXPECT_EQ(t.queued(), (Codes{"65"}));
    EXPECT_EQ(t.flags(), (Codes{"0"}));
    ASSERT_EQ(t.placed().size(), 1u);
    EXPECT_EQ(t.placed()[0].caption, "a");
  }
}

TEST(TypingCapture, AHeldKeyIsQueuedOnceWithinTheReleaseCheckAfterItIsLetGo) {
  Typist t;
  t.down(66);
  t.advance(3000);
  EXPECT_TRUE(t.queued().empty());  // no repeat while held
  EXPECT_EQ(t.p().LastKeyCode, "66");
  t.up(66);
  t.advance(50);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  t.advance(1000);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "b");
  EXPECT_EQ(t.p().LastKeyCode, "0");
}

TEST(TypingCapture, ShiftHeldOrLatchedAndCapsLockGiveTheShiftFlag) {
  struct Case {
    const char* name;
    bool capsLock;
    Millis shiftDown, shiftUp;  // relative to the key's press; equal: no Shift
    const char* flag;
    const char* caption;
  } cases[] = {
      {"plain", false, 0, 0, "0", "a"},
      {"Shift held around the key", false, -40, 60, "1", "A"},
      {"Shift let go 150 ms before the key's release", false, -200, -140, "1", "A"},
      {"Shift let go 400 ms before the key's release", false, -460, -390, "0", "a"},
      {"Caps Lock on", true, 0, 0, "1", "A"},
      {"Caps Lock on and Shift held: still the capital", true, -40, 60, "1", "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Typist t;
    if (c.capsLock) t.type(vk::Capital);
    const Millis key = t.host().now() + 500;
    if (c.shiftDown != c.shiftUp) {
      t.host().at(key + c.shiftDown, [&t] { t.down(vk::LShift); });
      t.host().at(key + c.shiftUp, [&t] { t.up(vk::LShift); });
    }
    t.host().at(key, [&t] { t.down(65); });
    t.host().at(key + 10, [&t] { t.up(65); });
    t.advance(1000);
    ASSERT_FALSE(t.queued().empty());
    EXPECT_EQ(t.queued().back(), "65");
    EXPECT_EQ(t.flags().back(), c.flag);
    ASSERT_FALSE(t.placed().empty());
    EXPECT_EQ(t.placed().back().caption, c.caption);
  }
}

TEST(TypingCapture, CapsLockItselfIsQueuedAndPlaysAsNothing) {
  Typist t;
  t.type(vk::Capital);
  EXPECT_EQ(t.queued(), (Codes{"20"}));
  EXPECT_EQ(t.flags(), (Codes{"1"}));  // toggled on by the time it is let go
  EXPECT_EQ(t.w().List1.ListIndex, 0);
  EXPECT_TRUE(t.placed().empty());
}

TEST(TypingCapture, KeysMashedTogetherKeepOnlyTheHighestCodeSeenBeforeTheRelease) {
  {
    // B goes down while A is held: the poll remembers the higher code, A is lost.
    Typist t;
    t.down(65);
    t.advance(30);
    t.down(66);
    t.advance(30);
    t.up(65);
    t.advance(100);
    EXPECT_TRUE(t.queued().empty());  // B is still held
    t.up(66);
    t.advance(200);
    EXPECT_EQ(t.queued(), (Codes{"66"}));
  }
  {
    // Pressed in one poll, the higher code wins whichever went down first.
    Typist t;
    t.down(67);
    t.down(65);
    t.advance(5);
    t.up(67);
    t.up(65);
    t.advance(200);
    EXPECT_EQ(t.queued(), (Codes{"67"}));
  }
  {
    // Keys let go a release check before the next goes down are each queued once, in order.
    Typist t;
    for (int vk : {65, 66, 67, 65}) {
      t.host().tap(vk, 30);
      t.advance(100);
    }
    t.advance(300);
    EXPECT_EQ(t.queued(), (Codes{"65", "66", "67", "65"}));
    ASSERT_EQ(t.placed().size(), 4u);
    EXPECT_EQ(t.placed()[3].caption, "a");
  }
}

TEST(TypingCapture, AKeyLetGoWhileTheWindowIsMinimisedIsQueuedOnceOnRestore) {
  Typist t;
  t.down(68);
  t.advance(40);
  ASSERT_EQ(t.p().LastKeyCode, "68");
  t.desk().userMinimizeForm(t.w());
  ASSERT_FALSE(t.w().Timer00.Enabled());
  t.up(68);
  t.advance(2000);
  EXPECT_TRUE(t.queued().empty());
  t.desk().userRestoreForm(t.w());
  t.advance(300);
  EXPECT_EQ(t.queued(), (Codes{"68"}));
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "d");
  t.advance(1000);
  EXPECT_EQ(t.queued(), (Codes{"68"}));
}

TEST(TypingCapture, LeftCtrlEndsAnUpperIndexAtOnceAndSlowsThePollToOneSecond) {
  Typist t;
  t.p().UpperIndexMode = 1;
  const int undo = t.p().UndoIndex;
  const double y = t.p().PointerY;
  t.down(vk::LControl);
  t.advance(45);
  EXPECT_EQ(t.p().UpperIndexMode, 0);
  EXPECT_EQ(t.p().PointerY, pixelForPointer(y) + 13);
  EXPECT_EQ(t.desk().cursorPos().y, pixelForPointer(y) + 13);
  EXPECT_EQ(t.p().UndoIndex, undo);  // Ctrl is held: no undo step
  EXPECT_EQ(t.w().Timer0.Interval(), 1000);

  // A key typed meanwhile waits for the next poll, a second after the last.
  t.host().tap(66, 12);
  t.advance(500);
  EXPECT_EQ(t.p().LastKeyCode, "0");
  t.advance(600);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  EXPECT_TRUE(t.placed().empty());  // played while Ctrl is held: the gate keeps it off

  t.up(vk::LControl);
  t.advance(1100);
  EXPECT_EQ(t.w().Timer0.Interval(), 20);
  t.type(66);
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "b");
}

TEST(TypingCapture, SpaceIsLetGoAtOnceAndQueuedOnceHoweverLongItIsHeld) {
  Typist t;
  t.down(vk::Space);
  t.advance(2000);
  ASSERT_FALSE(t.desk().keyInjections.empty());
  const SimDesktop::KeyInjection& k = t.desk().keyInjections.front();
  EXPECT_EQ(k.vk, vk::Space);
  EXPECT_TRUE(k.up);
  EXPECT_EQ(t.desk().keyInjections.size(), 1u);
  EXPECT_EQ(t.queued(), (Codes{"32"}));
  t.up(vk::Space);
  t.advance(500);
  EXPECT_EQ(t.queued(), (Codes{"32"}));
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].kind, "32");
}

TEST(TypingCapture, ShiftKeysAndArrowKeysNeverEnterTheQueue) {
  Typist t;
  for (int vk : {vk::LShift, vk::RShift, vk::Left, vk::Up, vk::Right, vk::Down}) t.type(vk);
  EXPECT_TRUE(t.queued().empty());
  EXPECT_EQ(t.p().LastKeyCode, "0");
}

TEST(TypingCapture, AnArrowKeyDropsWhatTheQueueStillHolds) {
  Typist t;
  t.p().BusyFlag = 1;  // as while a limits dialog holds the player
  for (int vk : {65, 66, 67}) t.type(vk);
  ASSERT_EQ(t.queued(), (Codes{"65", "66", "67"}));
  t.type(vk::Right);
  EXPECT_EQ(t.p().BusyFlag, 0);
  t.advance(500);
  EXPECT_TRUE(t.placed().empty());
  t.type(68);
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "d");
}

TEST(TypingCapture, LeftAltQueuesTheSwitchToTheOtherLayout) {
  Typist t;
  t.type(vk::LMenu);
  EXPECT_EQ(t.queued(), (Codes{"6000"}));
  EXPECT_EQ(t.p().LatinLayout, 0);
  t.type(65);
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "а");  // Cyrillic

  // Back to Latin: the layout is Latin as soon as the key is let go, before the item plays.
  t.p().BusyFlag = 1;
  t.type(vk::LMenu);
  EXPECT_EQ(t.queued().back(), "5000");
  EXPECT_EQ(t.p().LatinLayout, 1);
  t.p().BusyFlag = 0;
  t.type(65);
  ASSERT_EQ(t.placed().size(), 2u);
  EXPECT_EQ(t.placed()[1].caption, "a");
}

TEST(TypingCapture, CtrlZQueuesAnEmptyItemAndCtrlLetGoFirstQueuesTheLetter) {
  {
    Typist t;
    t.down(vk::LControl);
    t.advance(100);
    ASSERT_EQ(t.p().CtrlDown, 1);
    // Held until the poll's next look, a second after it saw Ctrl (the undo hotkey takes
    // the press mark of a shorter tap for itself).
    t.down(90);
    t.advance(1100);
    t.up(90);
    t.advance(100);
    EXPECT_EQ(t.queued(), (Codes{""}));
    EXPECT_EQ(t.w().List1.ListIndex, 0);  // played, as nothing
    t.up(vk::LControl);
    t.advance(1200);
    EXPECT_TRUE(t.placed().empty());
  }
  {
    Typist t;
    t.down(vk::LControl);
    t.advance(100);
    t.down(90);
    t.advance(100);
    t.up(vk::LControl);
    t.advance(1300);  // the Ctrl watch has seen Ctrl up
    ASSERT_EQ(t.p().CtrlDown, 0);
    t.up(90);
    t.advance(200);
    EXPECT_EQ(t.queued(), (Codes{"90"}));
    ASSERT_EQ(t.placed().size(), 1u);
    EXPECT_EQ(t.placed()[0].caption, "z");
  }
}

TEST(TypingCapture, TheRightButtonOverThePageOpensThePopUpOnlyOverAShownSelection) {
  struct Case {
    const char* name;
    bool selectionShown;
    bool overPanel;
    int overForm8;
    bool popUp;
    bool rubberBandStopped;
  } cases[] = {
      {"selection shown", true, false, 0, true, true},
      {"no selection", false, false, 0, false, true},
      {"over the right-hand panel", true, true, 0, false, false},
      {"over a floating window", true, false, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Typist t;
    t.w().Text21.Visible = c.selectionShown;
    t.w().Timer18.setEnabled(true);
    const int panelX = static_cast<int>(singleDiv15(t.w().Left) + singleDiv15(t.w().Frame6.Left));
    const PointPx at = c.overPanel ? PointPx{panelX + 40, 200} : PointPx{400, 200};
    t.desk().userMovePointer(at.x, at.y);
    t.p().PointerOverForm8 = c.overForm8;
    t.desk().userButtonDown(vk::RButton);
    t.advance(40);
    t.desk().userButtonUp(vk::RButton);
    t.advance(100);
    EXPECT_TRUE(t.queued().empty());  // the button is never a queue item
    EXPECT_EQ(t.p().pages.Form7Shown(), c.popUp);
    if (c.popUp) {
      EXPECT_EQ(t.p().pages.Form7Left(), 15 * at.x + 200);
      EXPECT_EQ(t.p().pages.Form7Top(), 15 * at.y - 1000);
    }
    EXPECT_EQ(t.w().Timer18.Enabled(), !c.rubberBandStopped);
  }
}

// --- cancelling the queue ----------------------------------------------------------------

TEST(TypingStop, SkipsTheThreeUnplayedItemsAndPlaysWhatComesAfter) {
  Typist t;
  t.p().BusyFlag = 1;
  for (int vk : {65, 66, 67}) t.type(vk);
  ASSERT_EQ(t.queued(), (Codes{"65", "66", "67"}));
  const double x = t.p().PointerX, y = t.p().PointerY;
  t.p().input.StopIzpalnenie();
  EXPECT_EQ(t.p().BusyFlag, 0);
  EXPECT_EQ(t.p().QueueLength, 2);
  EXPECT_EQ(t.w().List1.ListIndex, 2);
  EXPECT_EQ(t.w().List2.ListIndex, 2);
  ASSERT_FALSE(t.desk().mouseInjections.empty());
  const SimDesktop::MouseInjection& m = t.desk().mouseInjections.back();
  EXPECT_EQ(m.flags, mouseflag::LeftUp);
  EXPECT_EQ(m.x, pixelForPointer(x));
  EXPECT_EQ(m.y, pixelForPointer(y));
  t.advance(500);
  EXPECT_TRUE(t.placed().empty());
  t.type(68);
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "d");
}

TEST(TypingStop, EndsAnIndexModeWithItsPointerCorrection) {
  struct Case {
    IndexMode mode;
    int dy;
  } cases[] = {
      {IndexMode::Line, 0}, {IndexMode::Upper, 13}, {IndexMode::Lower, -8}, {IndexMode::Both, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(modeName(c.mode));
    Typist t;
    t.desk().userMovePointer(401, 150);  // the modes' moves start from the real pointer
    t.setMode(c.mode);
    t.p().input.StopIzpalnenie();
    EXPECT_EQ(t.p().UpperIndexMode, 0);
    EXPECT_EQ(t.p().LowerIndexMode, 0);
    if (c.mode != IndexMode::Line) {
      EXPECT_EQ(t.p().PointerX, 401);
      EXPECT_EQ(t.p().PointerY, 150 + c.dy);
      EXPECT_EQ(t.desk().cursorPos(), (PointPx{401, 150 + c.dy}));
    }
    EXPECT_EQ(t.w().List1.ListIndex, -1);  // nothing was ever queued
    EXPECT_EQ(t.p().QueueLength, -1);
    t.type(65);
    EXPECT_EQ(t.placed().size(), 1u);
  }
}

TEST(TypingStop, CaptureComesBackWhenTheLimitsSequenceIsSkipped) {
  // A limits dialog was submitted (its window hidden) and the capture waits for the end
  // of the limit sequence; an arrow key skips the queue before that end is played.
  Typist t;
  t.p().BoundsQueueState = 1;
  t.type(65);
  EXPECT_TRUE(t.queued().empty());
  t.p().input.StopIzpalnenie();
  t.advance(100);
  EXPECT_EQ(t.p().BoundsQueueState, 0);
  EXPECT_TRUE(t.queued().empty());  // the key typed meanwhile is not played later
  t.type(66);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "b");
}

TEST(TypingStop, AnOpenLimitsDialogKeepsTheCaptureHeld) {
  for (int dialog : {4, 5}) {
    SCOPED_TRACE(dialog);
    Typist t;
    t.p().BoundsQueueState = 1;
    (dialog == 4 ? t.p().evaluation.form4Shown : t.p().evaluation.form5Shown) = true;
    t.p().input.StopIzpalnenie();
    EXPECT_EQ(t.p().BoundsQueueState, 1);
    t.type(65);
    EXPECT_TRUE(t.queued().empty());
  }
}

TEST(TypingStop, EmptyingTheListsEndsTheHoldToo) {
  Typist t;
  t.p().BoundsQueueState = 1;
  t.p().input.AppendQueueItem("1054", "0");
  t.w().List1.Clear();
  t.w().List2.Clear();
  t.p().input.CancelBoundsQueueHold();
  t.advance(100);
  EXPECT_EQ(t.p().BoundsQueueState, 0);
  t.type(66);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
}

TEST(TypingStop, TheKeyWaitingWhenADialogClosesIsDiscarded) {
  Typist t;
  t.p().BoundsQueueState = 1;
  t.down(65);
  t.advance(40);
  t.up(65);
  t.advance(200);
  EXPECT_TRUE(t.queued().empty());
  t.p().BoundsQueueState = 2;
  t.advance(200);
  EXPECT_EQ(t.p().BoundsQueueState, 0);
  EXPECT_TRUE(t.queued().empty());
  EXPECT_EQ(t.p().LastKeyCode, "0");
}

}  // namespace
}  // namespace kel::test
