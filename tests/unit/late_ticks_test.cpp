// What the user types and clicks counts once and in order when the program's ticks come
// late, as on a loaded machine: the program is left waiting (SimHost::stall) and its due
// timers then tick together, late.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typing_fixture.h"

namespace kel::test {
namespace {

using Captions = std::vector<std::string>;

Captions onPage(Typist& t) {
  Captions out;
  for (int n = 1; n <= t.p().SymbolCount; ++n) {
    const Control* c = t.p().surface.SymbolElement(n);
    if (c && c->Top >= 0 && t.p().SymbolKind[static_cast<size_t>(n)] == "bukva")
      out.push_back(t.w().Label3[n].Caption);
  }
  return out;
}

// Three letters tapped 60 ms apart (as a typing tool sends them), with the program left
// waiting 150 ms from some moment of the typing on: however the late ticks fall, each
// letter is an undo step of its own, so three Undos take back exactly the three letters.
TEST(LateTicks, EachKeyTypedIsAnUndoStepOfItsOwn) {
  for (Millis stallAt = 0; stallAt <= 140; stallAt += 5) {
    SCOPED_TRACE("program left waiting " + std::to_string(stallAt) + " ms after the first key");
    Typist t;
    t.type(65);
    ASSERT_EQ(onPage(t), Captions{"a"});
    const int undo = t.p().UndoIndex;
    SimHost& h = t.host();
    const Millis t0 = h.now();
    h.at(t0, [&h] { h.tap(66); });
    h.at(t0 + 60, [&h] { h.tap(67); });
    h.at(t0 + 120, [&h] { h.tap(68); });
    h.advance(stallAt);
    h.stall(150);
    h.advance(500);
    ASSERT_EQ(onPage(t), (Captions{"a", "b", "c", "d"}));
    EXPECT_EQ(t.p().UndoIndex, undo + 3);
    t.p().pages.Command69_Click();
    EXPECT_EQ(onPage(t), (Captions{"a", "b", "c"}));
    t.p().pages.Command69_Click();
    t.p().pages.Command69_Click();
    EXPECT_EQ(onPage(t), Captions{"a"});
  }
}

// On time, keys let go before one release check (a typing tool's burst) still share the
// undo step of the first of them, as they always did.
TEST(LateTicks, KeysReleasedTogetherOnTimeStillShareTheirStep) {
  Typist t;
  t.type(65);
  const int undo = t.p().UndoIndex;
  SimHost& h = t.host();
  // Right after a release check: both are up before the next one.
  for (int i = 0; i < 50 && t.w().Timer00.due() != h.now() + 50; ++i) h.advance(1);
  h.advance(2);
  h.tap(66, 5);
  h.advance(10);
  h.tap(67, 5);
  h.advance(500);
  ASSERT_EQ(onPage(t), (Captions{"a", "b", "c"}));
  EXPECT_EQ(t.p().UndoIndex, undo + 1);
}

}  // namespace
}  // namespace kel::test
