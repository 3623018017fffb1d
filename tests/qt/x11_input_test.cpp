// Key and button state against a real X server, with xdotool as the user.
#include "platform/qt/x11_input.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/qt/test_time.h"
#include "tests/qt/xdotool_user.h"

namespace kel::qt {
namespace {

class X11InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    _XDisplay* d = openDisplay();
    ASSERT_NE(d, nullptr);
    in = std::make_unique<X11Input>(d);
    ASSERT_TRUE(in->hasRawEvents());
    ASSERT_TRUE(in->hasXTest());
  }
  // What the program does at each turn of its event loop: the socket notifier reads
  // what the server sent, then a timer batch takes a snapshot.
  void turn() {
    in->readEvents();
    in->invalidate();
  }
  std::uint16_t poll(int vk) {
    turn();
    return in->asyncKeyState(vk);
  }
  std::unique_ptr<X11Input> in;
};

TEST_F(X11InputTest, ATapBetweenTwoPollsCountsOnce) {
  EXPECT_EQ(poll('A'), 0);
  user("key --delay 12 a");
  EXPECT_EQ(poll('A'), 1);               // not down, pressed since the last query
  EXPECT_EQ(in->asyncKeyState('A'), 0);  // and counted once
  EXPECT_EQ(poll('A'), 0);
  EXPECT_EQ(poll('B'), 0);  // no other key saw it
}

TEST_F(X11InputTest, OwnInjectionsAreHeldButNeverTyping) {
  in->keyEvent('Q', false);
  EXPECT_EQ(poll('Q'), 0x8000);
  in->keyEvent('Q', true);
  EXPECT_EQ(poll('Q'), 0);
  // The same key tapped by another XTest client afterwards is the user's.
  user("key --delay 12 q");
  EXPECT_EQ(poll('Q'), 1);
}

TEST_F(X11InputTest, PressesComeInOrderWithTheirShiftAndWithoutOwnInjections) {
  turn();
  in->takeKeyPresses();
  in->keyEvent('Q', false);  // the program's own press is never the user's
  in->keyEvent('Q', true);
  user("type --delay 12 'ab+1'");
  user("click 3");
  in->sync();
  const std::vector<KeyPress> got = in->takeKeyPresses();
  // The typing tool holds the left Shift around the "+" (the US "=" key).
  EXPECT_EQ(got,
            (std::vector<KeyPress>{
                {'A', false}, {'B', false}, {160, true}, {187, true}, {'1', false}, {2, false}}));
  EXPECT_TRUE(in->takeKeyPresses().empty());
}

TEST_F(X11InputTest, EachReaderTakesEveryPressFromItsOwnList) {
  // The keyboard capture takes its presses first; the hotkeys still have the chord, with
  // the Ctrl it was pressed with, although Ctrl is up again.
  turn();
  in->takeKeyPresses(KeyReader::Capture);
  in->takeKeyPresses(KeyReader::Hotkeys);
  user("key ctrl+z");
  in->sync();
  const std::vector<KeyPress> chord{{162, false, true, false}, {'Z', false, true, false}};
  EXPECT_EQ(in->takeKeyPresses(KeyReader::Capture), chord);
  EXPECT_TRUE(in->takeKeyPresses(KeyReader::Capture).empty());
  EXPECT_EQ(in->takeKeyPresses(KeyReader::Hotkeys), chord);
  EXPECT_TRUE(in->takeKeyPresses(KeyReader::Hotkeys).empty());
}

TEST_F(X11InputTest, AHeldKeyIsPressedOnceWhateverItsRepeats) {
  turn();
  in->takeKeyPresses();
  user("keydown a sleep 0.8 keyup a");
  in->sync();
  EXPECT_EQ(in->takeKeyPresses(), (std::vector<KeyPress>{{'A', false}}));
}

TEST_F(X11InputTest, PressesComeWithTheCtrlAndTheLeftAltHeldAtThem) {
  turn();
  in->takeKeyPresses();
  user("key --delay 12 ctrl+v alt+a c");
  in->sync();
  EXPECT_EQ(in->takeKeyPresses(), (std::vector<KeyPress>{{162, false, true, false},
                                                         {'V', false, true, false},
                                                         {164, false, false, true},
                                                         {'A', false, false, true},
                                                         {'C', false, false, false}}));
  // The right-hand keys alone, from a client that presses exactly these keycodes (the
  // typing tool's keysym lookup presses the left ones along with them).
  X11Input other(openDisplay());
  for (int modifier : {163, 165}) {
    other.keyEvent(modifier, false);
    other.keyEvent('X', false);
    other.keyEvent('X', true);
    other.keyEvent(modifier, true);
  }
  other.sync();
  in->sync();
  EXPECT_EQ(in->takeKeyPresses(), (std::vector<KeyPress>{{163, false, true, false},
                                                         {'X', false, true, false},
                                                         {165, false, false, false},
                                                         {'X', false, false, false}}));
}

TEST_F(X11InputTest, ABurstOfTwoHundredPressesLosesNone) {
  turn();
  in->takeKeyPresses();
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
  user("type --delay 0 " + text);
  in->sync();
  const std::vector<KeyPress> got = in->takeKeyPresses();
  std::string typed;
  for (const KeyPress& k : got) typed += static_cast<char>(k.vk - 'A' + 'a');
  EXPECT_EQ(typed, text);
}

TEST_F(X11InputTest, AFullListOfPressesKeepsTheOldest) {
  turn();
  in->takeKeyPresses();
  // Another XTest client on its own connection, faster than the typing tool.
  X11Input other(openDisplay());
  const std::size_t total = kMaxKeyPresses + 10;
  for (std::size_t i = 0; i < total; ++i) {
    const int vk = i == 0 ? 'B' : i + 1 == total ? 'C' : 'A';
    other.keyEvent(vk, false);
    other.keyEvent(vk, true);
    if (i % 200 == 0) {
      other.sync();
      in->readEvents();
    }
  }
  other.sync();
  in->sync();
  const std::vector<KeyPress> got = in->takeKeyPresses();
  ASSERT_EQ(got.size(), kMaxKeyPresses);
  EXPECT_EQ(got.front().vk, 'B');
  EXPECT_EQ(got.back().vk, 'A');  // the last, C, came after the list was full
}

TEST_F(X11InputTest, ASideKeyAlsoAnswersForItsGenericCode) {
  // Another XTest client on its own connection, as xdotool is (whose keysym lookup
  // would press the left Shift along with the right one).
  X11Input other(openDisplay());
  poll(16);
  poll(161);
  other.keyEvent(161, false);
  other.sync();
  turn();
  EXPECT_EQ(in->asyncKeyState(161), 0x8001);
  EXPECT_EQ(in->asyncKeyState(16), 0x8001);
  EXPECT_EQ(in->asyncKeyState(160), 0);
  EXPECT_LT(in->keyState(16), 0);  // down
  other.keyEvent(161, true);
  other.sync();
  EXPECT_EQ(poll(16), 0);
  EXPECT_GE(in->keyState(161), 0);
}

TEST_F(X11InputTest, CapsLockToggleComesFromTheKeyboard) {
  turn();
  const bool before = in->keyState(20) & 1;
  user("key Caps_Lock");
  turn();
  EXPECT_EQ(in->keyState(20), before ? 0 : 1);  // toggled, key up
  user("key Caps_Lock");
  turn();
  EXPECT_EQ(in->keyState(20), before ? 1 : 0);
}

TEST_F(X11InputTest, ButtonsFromThePointerAndTheLatch) {
  poll(1);
  poll(2);
  user("mousedown 1");
  EXPECT_EQ(poll(1), 0x8001);
  user("mouseup 1");
  EXPECT_EQ(poll(1), 0);
  user("click 3");
  EXPECT_EQ(poll(2), 1);  // a right click between two polls
  in->mouseEvent(2);      // the program's own left-down
  EXPECT_EQ(poll(1), 0x8000);
  in->mouseEvent(4);
  EXPECT_EQ(poll(1), 0);
}

TEST_F(X11InputTest, PointerMovesAndReads) {
  turn();
  in->setCursorPos(321, 234);
  int x = 0, y = 0;
  in->cursorPos(x, y);
  EXPECT_EQ(x, 321);
  EXPECT_EQ(y, 234);
  // A move by a device (XTest's, here) comes as raw motion: read at the next poll.
  user("mousemove_relative 10 20");
  turn();
  in->cursorPos(x, y);
  EXPECT_EQ(x, 331);
  EXPECT_EQ(y, 254);
  // A warp by another program sends no event outside the program's windows: it is seen
  // within the pointer's re-read period.
  user("mousemove 100 200");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(room(10000));
  do {
    turn();
    in->cursorPos(x, y);
  } while ((x != 100 || y != 200) && std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  // A window of ours under a warp hears of it, and says so.
  user("mousemove 150 250");
  in->pointerMayHaveMoved();
  turn();
  in->cursorPos(x, y);
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 250);
}

// The program's snapshot still has the pointer where it put it, but another program moved
// it: the conditional move asks the server itself, so the user's move is never undone.
TEST_F(X11InputTest, AMoveIfStillThereNeverUndoesAMoveTheSnapshotMissed) {
  turn();
  in->setCursorPos(321, 234);
  int x = 0, y = 0;
  in->cursorPos(x, y);
  ASSERT_EQ(x, 321);
  user("mousemove 100 200");
  EXPECT_FALSE(in->setCursorPosIfAt(321, 234, 400, 300));
  in->cursorPos(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  EXPECT_TRUE(in->setCursorPosIfAt(100, 200, 400, 300));
  turn();
  in->pointerMayHaveMoved();
  in->cursorPos(x, y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
}

TEST_F(X11InputTest, AStillPointerIsNotAskedForAtEveryPoll) {
  int x = 0, y = 0;
  turn();
  in->cursorPos(x, y);
  std::uint64_t reads = in->pointerReads();
  // Polls at once: nothing moved and the re-read period has not passed (it may just
  // pass once).
  for (int poll = 0; poll < 20; ++poll) {
    turn();
    in->cursorPos(x, y);
  }
  EXPECT_LE(in->pointerReads() - reads, 1u);
  // A move is read, and the polls after it read nothing again.
  const int x0 = x, y0 = y;
  user("mousemove_relative 3 4");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(room(10000));
  do {
    turn();
    in->cursorPos(x, y);
  } while ((x != x0 + 3 || y != y0 + 4) && std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ(x, x0 + 3);
  EXPECT_EQ(y, y0 + 4);
  reads = in->pointerReads();
  for (int poll = 0; poll < 20; ++poll) {
    turn();
    in->cursorPos(x, y);
  }
  EXPECT_LE(in->pointerReads() - reads, 1u);
}

}  // namespace
}  // namespace kel::qt
