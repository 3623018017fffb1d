// Typing-layout switching: the Shift and Ctrl latches, the Ctrl+Shift chord and the
// input-language chords.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typing_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

TEST(TypingLayout, TheShiftLatchHoldsFor250msAfterShiftAndTheCtrlLatchFollowsCtrl) {
  Typist t;
  EXPECT_EQ(t.w().Text7.Text(), "False");
  EXPECT_EQ(t.w().Text9.Text(), "False");
  t.down(vk::RShift);
  t.advance(25);
  EXPECT_EQ(t.w().Text7.Text(), "True");
  t.advance(500);
  t.up(vk::RShift);
  t.advance(200);
  EXPECT_EQ(t.w().Text7.Text(), "True");
  t.advance(100);
  EXPECT_EQ(t.w().Text7.Text(), "False");

  t.down(vk::RControl);
  t.advance(25);
  EXPECT_EQ(t.w().Text9.Text(), "1");
  EXPECT_EQ(t.p().CtrlDown, 1);
  EXPECT_EQ(t.w().Timer14.Interval(), 250);  // four looks a second while Ctrl is held
  t.up(vk::RControl);
  t.advance(260);
  EXPECT_EQ(t.w().Text9.Text(), "False");
  EXPECT_EQ(t.p().CtrlDown, 0);
  EXPECT_EQ(t.w().Timer14.Interval(), 20);
}

TEST(TypingLayout, CtrlAndShiftTogetherToggleTheLayoutOncePerChordInEitherOrder) {
  for (bool ctrlFirst : {true, false}) {
    SCOPED_TRACE(ctrlFirst ? "Ctrl first" : "Shift first");
    Typist t;
    const int first = ctrlFirst ? vk::LControl : vk::LShift;
    const int second = ctrlFirst ? vk::LShift : vk::LControl;
    t.down(first);
    t.advance(100);
    EXPECT_TRUE(t.queued().empty());
    t.down(second);
    t.advance(2000);  // held: nothing more
    EXPECT_EQ(t.queued(), (Codes{"6000"}));
    EXPECT_EQ(t.flags(), (Codes{"0"}));
    EXPECT_EQ(t.p().LatinLayout, 0);  // played
    t.up(second);
    t.up(first);
    t.advance(1500);
    EXPECT_EQ(t.queued(), (Codes{"6000"}));  // letting go queues nothing

    t.chord();
    EXPECT_EQ(t.queued(), (Codes{"6000", "5000"}));
    EXPECT_EQ(t.p().LatinLayout, 1);
    EXPECT_TRUE(t.placed().empty());
  }
}

TEST(TypingLayout, ChordEdgeCases) {
  {
    // Ctrl held, Shift pressed again within 250 ms of letting it go: the latch never
    // dropped, so no second code.
    Typist t;
    t.down(vk::LControl);
    t.advance(100);
    t.down(vk::LShift);
    t.advance(100);
    t.up(vk::LShift);
    t.advance(100);
    t.down(vk::LShift);
    t.advance(500);
    EXPECT_EQ(t.queued(), (Codes{"6000"}));
  }
  {
    // Shift held, Ctrl tapped twice: two codes, which toggle the layout there and back.
    Typist t;
    t.down(vk::LShift);
    t.advance(100);
    for (int i = 0; i < 2; ++i) {
      t.down(vk::LControl);
      t.advance(60);
      t.up(vk::LControl);
      t.advance(400);
    }
    EXPECT_EQ(t.queued(), (Codes{"6000", "5000"}));
    EXPECT_EQ(t.p().LatinLayout, 1);
  }
  {
    // Shift let go, then Ctrl pressed within 250 ms: still a chord.
    Typist t;
    t.down(vk::LShift);
    t.advance(100);
    t.up(vk::LShift);
    t.advance(150);
    t.down(vk::LControl);
    t.advance(100);
    EXPECT_EQ(t.queued(), (Codes{"6000"}));
  }
  {
    // ... but not once the latch has dropped.
    Typist t;
    t.down(vk::LShift);
    t.advance(100);
    t.up(vk::LShift);
    t.advance(350);
    t.down(vk::LControl);
    t.advance(100);
    EXPECT_TRUE(t.queued().empty());
  }
  {
    // Two chords before the player reaches the first: the code comes from the layout at
    // the moment of each chord, so both are the same.
    Typist t;
    t.w().Timer1.setEnabled(false);  // the player held (left Ctrl would free BusyFlag)
    t.chord();
    t.chord();
    EXPECT_EQ(t.queued(), (Codes{"6000", "6000"}));
    t.w().Timer1.setEnabled(true);
    t.advance(100);
    EXPECT_EQ(t.p().LatinLayout, 0);
  }
}

TEST(TypingLayout, TheInputLanguageChordsAreSentAsLeftCtrlShiftThenLeftAltShift) {
  Typist t;
  t.desk().keyInjections.clear();
  t.w().Timer19.setEnabled(true);
  t.advance(299);
  EXPECT_TRUE(t.desk().keyInjections.empty());
  t.advance(1);
  EXPECT_FALSE(t.w().Timer19.Enabled());
  std::vector<std::pair<int, bool>> sent;
  for (const SimDesktop::KeyInjection& k : t.desk().keyInjections) sent.emplace_back(k.vk, k.up);
  EXPECT_EQ(sent, (std::vector<std::pair<int, bool>>{{162, false},
                                                     {160, false},
                                                     {160, true},
                                                     {162, true},
                                                     {164, false},
                                                     {160, false},
                                                     {160, true},
                                                     {164, true}}));
  t.advance(1000);
  EXPECT_EQ(t.desk().keyInjections.size(), 8u);  // one-shot
  EXPECT_TRUE(t.queued().empty());               // the program's own keys are not typing
}

}  // namespace
}  // namespace kel::test
