// The key queue and its player.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "queue_fixture.h"

namespace kel::test {
namespace {

using Codes = std::vector<std::string>;

TEST(KeyQueue, AppendingAddsToBothListsAndToThePlayLimit) {
  QueueFixture f;
  f.p().BusyFlag = 1;
  const int before = f.p().QueueLength;
  f.append("65", "1");
  f.append("5000", "0");
  EXPECT_EQ(f.w().List1.Items, (Codes{"65", "5000"}));
  EXPECT_EQ(f.w().List2.Items, (Codes{"1", "0"}));
  EXPECT_EQ(f.p().QueueLength, before + 2);
}

TEST(KeyQueue, EmptyQueuePlaysNothingAndTheFirstItemPlaysAtTheNextTick) {
  QueueFixture f;
  f.s.host.advance(500);
  EXPECT_TRUE(f.seen->empty());
  EXPECT_EQ(f.w().List1.ListIndex, -1);

  const Millis appended = f.s.host.now();
  f.append("65");
  f.s.host.advance(20);
  ASSERT_EQ(f.seenCodes(), (Codes{"65"}));
  EXPECT_GT(f.seen->at(0).at, appended);
  EXPECT_LE(f.seen->at(0).at, appended + 20);
  // The item played last stays selected in both lists, and stays in them.
  EXPECT_EQ(f.w().List1.ListIndex, 0);
  EXPECT_EQ(f.w().List2.ListIndex, 0);
  EXPECT_EQ(f.w().List1.Text(), "65");
  f.s.host.advance(200);
  EXPECT_EQ(f.seen->size(), 1u);
  EXPECT_EQ(f.w().List1.ListCount(), 1);
}

TEST(KeyQueue, OneItemPerTickAndA150msPauseAfterAPacedItem) {
  QueueFixture f;
  for (const char* code : {"48", "***48", "49", "***`50", "51"}) f.append(code);
  f.s.host.advance(1000);
  ASSERT_EQ(f.seen->size(), 5u);
  std::vector<Millis> gaps;
  for (size_t i = 1; i < f.seen->size(); ++i)
    gaps.push_back(f.seen->at(i).at - f.seen->at(i - 1).at);
  EXPECT_EQ(gaps, (std::vector<Millis>{20, 150, 20, 150}));
  EXPECT_EQ(f.seenCodes(), (Codes{"48", "48", "49", "50", "51"}));
}

TEST(KeyQueue, AfterAPacedItemTheNextNewItemWaitsForTheLongerInterval) {
  QueueFixture f;
  f.append("***48");
  f.s.host.advance(20);
  ASSERT_EQ(f.seen->size(), 1u);
  const Millis paced = f.seen->at(0).at;
  f.s.host.advance(300);  // idle ticks keep the interval
  f.append("48");
  f.s.host.advance(150);
  ASSERT_EQ(f.seen->size(), 2u);
  EXPECT_EQ((f.seen->at(1).at - paced) % 150, 0);
}

TEST(KeyQueue, NothingIsPlayedWhileBusyAndTheWaitingItemsFollowInOrder) {
  QueueFixture f;
  f.p().BusyFlag = 1;
  for (const char* code : {"65", "66", "67"}) f.append(code);
  f.s.host.advance(500);
  EXPECT_TRUE(f.seen->empty());
  EXPECT_EQ(f.w().List1.ListIndex, -1);

  f.p().BusyFlag = 0;
  f.s.host.advance(20);
  EXPECT_EQ(f.seenCodes(), (Codes{"65"}));
  f.s.host.advance(40);
  EXPECT_EQ(f.seenCodes(), (Codes{"65", "66", "67"}));
  EXPECT_EQ(f.seen->at(2).at - f.seen->at(0).at, 40);
}

TEST(KeyQueue, APlayLimitAheadOfTheListsNeverReadsPastTheirEnd) {
  QueueFixture f;
  f.append("65");
  f.append("66");
  f.p().QueueLength += 1000;  // dispatcher runs that appended nothing
  f.s.host.advance(500);
  EXPECT_EQ(f.seenCodes(), (Codes{"65", "66"}));
  EXPECT_EQ(f.w().List1.ListIndex, 1);
  EXPECT_EQ(f.w().List2.ListIndex, 1);
  f.append("67");
  f.s.host.advance(20);
  EXPECT_EQ(f.seenCodes(), (Codes{"65", "66", "67"}));
}

TEST(KeyQueue, AnEntryMissingFromOneListIsNotPlayed) {
  QueueFixture f;
  f.w().List1.AddItem("65");  // a writer that left List2 behind
  f.p().QueueLength += 1;
  f.s.host.advance(100);
  EXPECT_TRUE(f.seen->empty());
  EXPECT_EQ(f.w().List1.ListIndex, -1);
  EXPECT_EQ(f.w().List2.ListIndex, -1);
}

TEST(KeyQueue, ItemsBehindThePlayLimitAreSkippedForGood) {
  QueueFixture f;
  f.p().BusyFlag = 1;
  for (const char* code : {"65", "66", "67"}) f.append(code);
  // What cancelling the rest of the queue leaves: the limit and both play positions on
  // the last entry.
  const int last = f.w().List1.ListCount() - 1;
  f.p().QueueLength = last;
  f.w().List1.ListIndex = f.w().List2.ListIndex = last;
  f.p().BusyFlag = 0;
  f.s.host.advance(200);
  EXPECT_TRUE(f.seen->empty());
  f.append("68");
  f.s.host.advance(20);
  EXPECT_EQ(f.seenCodes(), (Codes{"68"}));
}

TEST(KeyQueue, AFailingItemEndsOnlyItsOwnTick) {
  QueueFixture f;
  auto& groups = f.p().input.rowGroups;
  groups.insert(groups.begin(), [](PlayedItem& item) -> bool {
    if (item.codeIs(66)) throw std::runtime_error("row failed");
    return false;
  });
  f.append("66");
  // The player itself keeps the failure in.
  EXPECT_NO_THROW(f.p().input.Timer1_Timer());
  EXPECT_EQ(f.w().List1.ListIndex, 0);

  f.append("65");
  f.append("66");
  f.append("67");
  f.s.host.advance(60);
  // 66 counted as played and was not tried again; 67 followed at the next tick.
  EXPECT_EQ(f.seenCodes(), (Codes{"65", "67"}));
  EXPECT_EQ(f.w().List1.ListIndex, 3);
  EXPECT_EQ(f.w().List2.ListIndex, 3);
}

TEST(KeyQueue, AnItemTheLayoutHasNoRowForPlaysAsNothing) {
  QueueFixture f;
  const double x = f.p().PointerX, y = f.p().PointerY;
  const Codes odd = {"", "***", "abc", "99999999999999999999", "-5", "163", "1.5e3", "`", "***`"};
  for (const std::string& code : odd) f.append(code, "x");
  f.append("6000");  // the queue still plays on after them
  f.s.host.advance(1000);
  EXPECT_EQ(f.w().List1.ListIndex, static_cast<int>(odd.size()));
  EXPECT_EQ(f.p().LatinLayout, 0);
  EXPECT_EQ(f.p().SymbolCount, 0);
  EXPECT_EQ(f.p().PointerX, x);
  // Only the two pointer drops moved anything.
  EXPECT_EQ(f.p().PointerY, y + 14);
}

}  // namespace
}  // namespace kel::test
