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

// Five letters tapped 60 ms apart (as a typing tool sends them), with the program left
// waiting 150 or 250 ms from some moment of the typing on: however the late ticks fall,
// each letter is an undo step of its own, so each Undo takes back exactly one letter.
TEST(LateTicks, EachKeyTypedIsAnUndoStepOfItsOwn) {
  const Captions all{"a", "b", "c", "d", "e", "f"};
  for (Millis stall : {150, 250}) {
    for (Millis stallAt = 0; stallAt <= 250; stallAt += 10) {
      SCOPED_TRACE(testing::Message() << "program left waiting " << stall << " ms, " << stallAt
                                      << " ms after the first key");
      Typist t;
      t.type(65);
      ASSERT_EQ(onPage(t), Captions{"a"});
      const int undo = t.p().UndoIndex;
      SimHost& h = t.host();
      const Millis t0 = h.now();
      for (int k = 1; k < 6; ++k) h.at(t0 + 60 * (k - 1), [&h, k] { h.tap(65 + k); });
      h.advance(stallAt);
      h.stall(stall);
      h.advance(800);
      ASSERT_EQ(onPage(t), all);
      EXPECT_EQ(t.p().UndoIndex, undo + 5);
      for (int k = 5; k >= 1; --k) {
        t.p().pages.Command69_Click();
        EXPECT_EQ(onPage(t), Captions(all.begin(), all.begin() + k));
      }
    }
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
