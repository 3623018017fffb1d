// Keyboard capture: the poll, the release check, their special keys and the queue cancel.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/units.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;
using Captured = std::deque<CapturedKey>;

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
  EXPECT_EQ(t.p().CapturedKeys, (Captured{{66, false}}));
  t.up(66);
  t.advance(50);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  t.advance(1000);
  EXPECT_EQ(t.queued(), (Codes{"66"}));
  ASSERT_EQ(t.placed().size(), 1u);
  EXPECT_EQ(t.placed()[0].caption, "b");
  EXPECT_TRUE(t.p().CapturedKeys.empty());
}

// The flag is Shift as it was when the key went down. (It used to be read at the key's
// release from the Shift latch, which stays up 250 ms after Shift: a key typed just after
// a shifted one came out shifted too, so those cases now expect the plain letter.)
TEST(TypingCapture, ShiftHeldAtThePressOrCapsLockGiveTheShiftFlag) {
  struct Case {
    const char* name;
    bool capsLock;
    Millis shiftDown, shiftUp;  // relative to the key's press; equal: no Shift
    const char* flag;
    const char* caption;
  } cases[] = {
      {"plain", false, 0, 0, "0", "a"},
      {"Shift held around the key", false, -40, 60, "1", "A"},
      {"Shift held at the press, let go before the release", false, -40, 5, "1", "A"},
      {"Shift let go 150 ms before the key's release", false, -200, -140, "0", "a"},
      {"Shift let go 400 ms before the key's release", false, -460, -390, "0", "a"},
      {"Shift let go 5 ms before the press", false, -60, -5, "0", "a"},
      {"Shift pressed while the key is held", false, 5, 60, "0", "a"},
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

// These keys used to share one slot: a key pressed before the previous one was queued
// overwrote it, and within one poll the higher code won. Now every press is kept, in the
// order of the presses.
TEST(TypingCapture, KeysMashedTogetherAreEachQueuedInPressOrder) {
  for (auto [first, second] : {std::pair{65, 66}, std::pair{66, 65}}) {
    SCOPED_TRACE(first);
    // The second goes down while the first is held (rollover), and is let go last.
    Typist t;
    t.down(first);
    t.advance(30);
    t.down(second);
    t.advance(30);
    t.up(first);
    t.advance(100);
    EXPECT_EQ(t.queued(), (Codes{std::to_string(first)}));  // the second is still held
    t.up(second);
    t.advance(200);
    EXPECT_EQ(t.queued(), (Codes{std::to_string(first), std::to_string(second)}));
    ASSERT_EQ(t.placed().size(), 2u);
    EXPECT_EQ(t.placed()[1].caption, second == 65 ? "a" : "b");
  }
  {
    // Both pressed within one poll: the order of the presses, whatever the codes.
    Typist t;
    t.down(67);
    t.down(65);
    t.advance(5);
    t.up(67);
    t.up(65);
    t.advance(200);
    EXPECT_EQ(t.queued(), (Codes{"67", "65"}));
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

// A key pressed with Shift, then keys without it, faster than the poll looks: each is
// queued with the Shift of its own press, none is lost, none moves.
TEST(TypingCapture, ABurstFasterThanThePollIsQueuedCompleteInPressOrder) {
  {
    // "+" then "1" inside one poll interval.
    Typist t;
    const Millis poll = t.w().Timer0.due();
    t.host().at(poll + 1, [&t] { t.down(vk::LShift); });
    t.host().at(poll + 2, [&t] { t.down(187); });
    t.host().at(poll + 5, [&t] { t.up(187); });
    t.host().at(poll + 6, [&t] { t.up(vk::LShift); });
    t.host().at(poll + 9, [&t] { t.down(49); });
    t.host().at(poll + 12, [&t] { t.up(49); });
    t.advance(400);
    EXPECT_EQ(t.queued(), (Codes{"187", "49"}));
    EXPECT_EQ(t.flags(), (Codes{"1", "0"}));
    ASSERT_EQ(t.placed().size(), 2u);
    EXPECT_EQ(t.placed()[0].kind, "plus");
    EXPECT_EQ(t.placed()[1].caption, "1");
  }
  {
    // "ab+12 = " as a typing tool sends it: a key every 12 ms, each down for 6 ms, Shift
    // around the "+".
    Typist t;
    t.w().Check3.Value = 0;  // no evaluation after the sign
    struct Key {
      int vk;
      bool shift;
    } keys[] = {{65, false}, {66, false}, {187, true},  {49, false},
                {50, false}, {32, false}, {187, false}, {32, false}};
    Millis at = t.host().now() + 3;
    for (const Key& k : keys) {
      if (k.shift) t.host().at(at, [&t] { t.down(vk::LShift); });
      t.host().at(at, [&t, vk = k.vk] { t.down(vk); });
      t.host().at(at + 6, [&t, vk = k.vk] { t.up(vk); });
      if (k.shift) t.host().at(at + 6, [&t] { t.up(vk::LShift); });
      at += 12;
    }
    t.advance(1000);
    EXPECT_EQ(t.queued(), (Codes{"65", "66", "187", "49", "50", "32", "187", "32"}));
    EXPECT_EQ(t.flags(), (Codes{"0", "0", "1", "0", "0", "0", "0", "0"}));
    std::vector<std::string> shown;
    for (const Placed& e : t.placed()) shown.push_back(e.kind == "bukva" ? e.caption : e.kind);
    EXPECT_EQ(shown, (Codes{"a", "b", "plus", "1", "2", "32", " = ", "32"}));
  }
}

TEST(TypingCapture, AKeyLetGoWhileAnEarlierOneIsHeldWaitsForIt) {
  Typist t;
  t.down(65);
  t.advance(30);
  t.host().tap(66, 12);
  t.advance(300);
  EXPECT_TRUE(t.queued().empty());  // B is up, but A went down first and is still held
  EXPECT_EQ(t.p().CapturedKeys, (Captured{{65, false}, {66, false}}));
  t.up(65);
  t.advance(60);
  EXPECT_EQ(t.queued(), (Codes{"65", "66"}));
  t.advance(200);
  ASSERT_EQ(t.placed().size(), 2u);
  EXPECT_EQ(t.placed()[0].caption, "a");
  EXPECT_EQ(t.placed()[1].caption, "b");
}

TEST(TypingCapture, TheCapturedKeysAreBoundedAndTheFirstTypedStay) {
  Typist t;
  // A held key keeps everything typed after it waiting, up to the bound; what comes after
  // that is dropped, not what was typed first.
  t.down(65);
  t.advance(30);
  Codes typed{"65"};
  for (std::size_t i = 0; i < kMaxCapturedKeys + 5; ++i) {
    const int vk = 66 + static_cast<int>(i % 24);
    typed.push_back(std::to_string(vk));
    t.host().at(t.host().now() + static_cast<Millis>(i / 4), [&t, vk] {
      t.down(vk);
      t.up(vk);
    });
  }
  t.advance(static_cast<Millis>(kMaxCapturedKeys / 4) + 100);
  EXPECT_EQ(t.p().CapturedKeys.size(), kMaxCapturedKeys);
  EXPECT_TRUE(t.queued().empty());
  t.up(65);
  t.advance(100);
  typed.resize(kMaxCapturedKeys);
  EXPECT_EQ(t.queued(), typed);
}

// A typing tool at 2 000 keys a second: every press of a tenth of a second is queued, in
// order, with its own Shift.
TEST(TypingCapture, ABurstOfTwoHundredPressesInATenthOfASecondLosesNone) {
  Typist t;
  Codes codes, flags;
  const Millis begin = t.host().now() + 7;
  for (int i = 0; i < 200; ++i) {
    const int vk = i % 36 < 26 ? 65 + i % 36 : 48 + i % 36 - 26;
    const bool shift = i % 7 == 3;
    codes.push_back(std::to_string(vk));
    flags.push_back(shift ? "1" : "0");
    t.host().at(begin + i / 2, [&t, vk, shift] {
      if (shift) t.down(vk::LShift);
      t.down(vk);
      t.up(vk);
      if (shift) t.up(vk::LShift);
    });
  }
  t.w().Timer1.setEnabled(false);  // the queue is what is checked, not the page
  t.advance(300);
  EXPECT_EQ(t.queued(), codes);
  EXPECT_EQ(t.flags(), flags);
  EXPECT_TRUE(t.p().CapturedKeys.empty());
}

TEST(TypingCapture, KeysTypedWhileThePollIsOffAreNotPlayedWhenItIsBack) {
  struct Case {
    const char* name;
    void (*off)(Typist&);
    void (*on)(Typist&);
  } cases[] = {
      {"stopped and started", [](Typist& t) { t.p().app.Command2_Click(); },
       [](Typist& t) { t.p().app.Command3_Click(); }},
      {"minimised and restored", [](Typist& t) { t.desk().userMinimizeForm(t.w()); },
       [](Typist& t) { t.desk().userRestoreForm(t.w()); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Typist t;
    c.off(t);
    ASSERT_FALSE(t.w().Timer0.Enabled());
    for (int vk : {65, 66, 67}) t.type(vk);
    c.on(t);
    t.advance(300);
    EXPECT_TRUE(t.queued().empty());
    t.type(68);
    EXPECT_EQ(t.queued(), (Codes{"68"}));
  }
}

TEST(TypingCapture, AKeyLetGoWhileTheWindowIsMinimisedIsQueuedOnceOnRestore) {
  Typist t;
  t.down(68);
  t.advance(40);
  ASSERT_EQ(t.p().CapturedKeys, (Captured{{68, false}}));
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
  EXPECT_TRUE(t.p().CapturedKeys.empty());
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
  EXPECT_TRUE(t.p().CapturedKeys.empty());
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
    EXPECT_EQ(t.p().Form7.Visible, c.popUp);
    if (c.popUp) {
      EXPECT_EQ(t.p().Form7.Left, 15 * at.x + 200);
      EXPECT_EQ(t.p().Form7.Top, 15 * at.y - 1000);
    }
    EXPECT_EQ(t.w().Timer18.Enabled(), !c.rubberBandStopped);
  }
}

// --- the headless desktop's presses ------------------------------------------------------

TEST(SimDesktopPresses, ThePressesOfTheUserInOrderWithShiftAndNothingElse) {
  SimHost h;
  SimDesktop& d = h.desktop;
  d.userKeyDown(65);
  d.userKeyDown(65);  // held: no new press
  d.userKeyDown(vk::RShift);
  d.userKeyDown(49);
  d.userKeyUp(vk::RShift);
  d.userButtonDown(vk::RButton);
  d.keyEvent(66, false);  // the program's own: never the user's
  d.mouseEvent(mouseflag::LeftDown, 0, 0);
  EXPECT_EQ(d.takeKeyPresses(),
            (std::vector<KeyPress>{{65, false}, {vk::RShift, true}, {49, true}, {2, false}}));
  EXPECT_TRUE(d.takeKeyPresses().empty());
  d.userKeyUp(65);
  d.userKeyDown(65);
  EXPECT_EQ(d.takeKeyPresses(), (std::vector<KeyPress>{{65, false}}));

  // Ctrl and the left Alt as they were at each press; the right Alt is not the left.
  d.userKeyDown(vk::RControl);
  d.userKeyDown(67);
  d.userKeyUp(vk::RControl);
  d.userKeyDown(vk::LMenu);
  d.userKeyDown(68);
  d.userKeyUp(vk::LMenu);
  d.userKeyDown(vk::RMenu);
  d.userKeyDown(69);
  EXPECT_EQ(d.takeKeyPresses(), (std::vector<KeyPress>{{vk::RControl, false, true, false},
                                                       {67, false, true, false},
                                                       {vk::LMenu, false, false, true},
                                                       {68, false, false, true},
                                                       {vk::RMenu, false, false, false},
                                                       {69, false, false, false}}));

  const int total = static_cast<int>(kMaxKeyPresses) + 6;
  for (int i = 0; i < total; ++i) {
    d.userKeyDown(70 + i % 20);
    d.userKeyUp(70 + i % 20);
  }
  const std::vector<KeyPress> kept = d.takeKeyPresses();
  ASSERT_EQ(kept.size(), kMaxKeyPresses);
  EXPECT_EQ(kept.front().vk, 70);  // the six newest went
  EXPECT_EQ(kept.back().vk, 70 + static_cast<int>(kMaxKeyPresses - 1) % 20);
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
    // The modes' moves start from the real pointer, where the user has it on the page
    // and types.
    t.desk().userMovePointer(401, 150);
    t.p().surface.TypingResumes();
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
    t.p().evaluation.ShowLimitsDialog(dialog == 4 ? 1 : 2);
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

// Every key typed into the dialog is dropped when it closes, not only the last one.
TEST(TypingStop, TheKeysWaitingWhenADialogClosesAreDiscarded) {
  Typist t;
  t.p().BoundsQueueState = 1;
  t.p().evaluation.ShowLimitsDialog(1);
  for (int vk : {65, 66, 67}) {
    t.host().tap(vk, 30);
    t.advance(60);
  }
  t.advance(200);
  EXPECT_TRUE(t.queued().empty());
  EXPECT_EQ(t.p().CapturedKeys.size(), 3u);
  t.desk().userCloseForm(t.p().Form4);
  t.advance(200);
  EXPECT_EQ(t.p().BoundsQueueState, 0);
  EXPECT_TRUE(t.queued().empty());
  EXPECT_TRUE(t.p().CapturedKeys.empty());
  t.type(68);
  EXPECT_EQ(t.queued(), (Codes{"68"}));
}

}  // namespace
}  // namespace kel::test
