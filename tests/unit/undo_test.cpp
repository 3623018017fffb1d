// Undo and Redo on the page shown.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

using Captions = std::vector<std::string>;

TEST(Undo, StepsBackAndForthThroughThreePlacements) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");
  d.text("3");
  EXPECT_EQ(d.p().UndoIndex, 3);
  const auto three = d.page();

  d.p().pages.Command69_Click();
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.captions(), Captions{"1"});
  EXPECT_EQ(d.page()[0], three[0]);  // at its place
  EXPECT_TRUE(d.w().Command69.Visible);
  EXPECT_TRUE(d.w().Command70.Visible);

  const PointPx clickedAt = d.pointer();
  d.p().pages.Command70_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2"}));
  // The insertion point is where it was after the second symbol; the pointer stays where
  // the click had it.
  EXPECT_EQ(d.p().PointerX, 200 + 15 + 15);
  EXPECT_EQ(d.pointer(), clickedAt);

  d.text("4");
  EXPECT_EQ(d.p().UndoIndex, 3);
  EXPECT_EQ(d.p().pages.UndoTop, 3);
  d.p().pages.Command70_Click();  // the "3" that could have come back is gone
  EXPECT_EQ(d.captions(), (Captions{"1", "2", "4"}));
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2"}));
  d.p().pages.Command70_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2", "4"}));
  EXPECT_FALSE(d.w().Command70.Visible);  // hidden once the top is reached
}

TEST(Undo, APlacementWithCtrlHeldTakesNoSnapshot) {
  PageDesk d;
  d.text(200, 300, "1");
  d.desk().userKeyDown(vk::LControl);
  d.text("2");
  d.desk().userKeyUp(vk::LControl);
  EXPECT_EQ(d.p().UndoIndex, 1);
  d.text("3");
  d.p().pages.Command69_Click();
  // Back past the "2": the state of the snapshot before it.
  EXPECT_EQ(d.captions(), Captions{"1"});
}

TEST(Undo, AtIndexZeroOnlyRemembersThePointer) {
  PageDesk d;
  d.text(200, 300, "1");
  d.p().pages.EmptyUndoHistory();
  const auto before = d.page();
  d.desk().setCursorPos(640, 480);
  d.p().ReturnClickPending = 0;
  d.p().BusyFlag = 1;
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.page(), before);
  EXPECT_EQ(d.p().SavedPointerX, 640);
  EXPECT_EQ(d.p().ReturnClickPending, 1);
  EXPECT_EQ(d.p().UndoIndex, 0);
  EXPECT_EQ(d.p().BusyFlag, 1);
  EXPECT_FALSE(d.w().Command70.Visible);
}

TEST(Undo, ToIndexZeroEmptiesThePageAndMovesThePointerBySymbolOnesWidth) {
  PageDesk d;
  d.text(200, 300, "1");
  d.picture(d.p().PointerX, 300, "plus");
  d.p().LowerIndexMode = 1;
  d.p().pages.Command69_Click();
  d.p().pages.Command69_Click();
  EXPECT_TRUE(d.page().empty());
  EXPECT_EQ(d.p().UndoIndex, 0);
  EXPECT_FALSE(d.w().Command69.Visible);
  // Where it stood after the "1" (the snapshot of one symbol), less the "1"'s width.
  EXPECT_EQ(d.p().PointerX, 215 - 15);
  EXPECT_EQ(d.pointer(), (PointPx{200, 300}));
  EXPECT_EQ(d.p().LowerIndexMode, 0);
}

TEST(Undo, ByMouseAndRedoEndWithTheDispatchersCommonStepsCtrlZDoesNot) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");

  d.p().PendingCode = 5;
  d.desk().userKeyDown(vk::LControl);
  d.desk().userKeyDown(90);  // Z
  for (int i = 0; i < 60 && d.p().UndoIndex == 2; ++i) d.advance(1);
  d.desk().userKeyUp(90);
  d.desk().userKeyUp(vk::LControl);
  EXPECT_EQ(d.p().UndoIndex, 1);
  EXPECT_EQ(d.p().PendingCode, 5);

  d.advance(600);
  d.click(d.w().Command70);
  EXPECT_EQ(d.p().UndoIndex, 2);
  EXPECT_EQ(d.p().PendingCode, 999999);
  EXPECT_TRUE(d.w().Timer6.Enabled());

  d.p().PendingCode = 5;
  d.advance(100);
  d.click(d.w().Command69);
  EXPECT_EQ(d.p().UndoIndex, 1);
  EXPECT_EQ(d.p().PendingCode, 999999);
  EXPECT_EQ(d.p().pages.UndoByMouse, 0);
  // The insertion point goes back; the pointer stays on the button all along.
  EXPECT_EQ(d.p().PointerX, 215);
  EXPECT_EQ(d.pointer(), d.ui().over(d.w().Command69));
  d.advance(600);
  EXPECT_EQ(d.pointer(), d.ui().over(d.w().Command69));
}

// Undo clicked again and again with the pointer resting on it, at a person's pace: each
// click undoes one step, and the next symbol typed goes to the insertion point the last
// undo left, the pointer still on the button.
TEST(Undo, ClicksInQuickSuccessionOnTheButtonEachUndoAStep) {
  for (int gap : {200, 300, 400, 600}) {
    SCOPED_TRACE(testing::Message() << gap << " ms apart");
    PageDesk d;
    for (const char* c : {"1", "2", "3", "4"}) d.text(c);
    d.advance(600);
    const PointPx hand = d.ui().over(d.w().Command69);
    d.desk().userMovePointer(hand.x, hand.y);
    d.advance(100);
    int away = 0;  // milliseconds with the pointer elsewhere than the user put it
    auto tick = [&](int ms) {
      for (int i = 0; i < ms; ++i) {
        d.advance(1);
        if (d.pointer() != hand) ++away;
      }
    };
    for (int k = 0; k < 3; ++k) {
      d.desk().userButtonDown(vk::LButton);
      tick(60);
      d.desk().userButtonUp(vk::LButton);
      tick(gap - 60);
    }
    tick(1000);
    EXPECT_EQ(d.captions(), Captions{"1"});
    EXPECT_EQ(away, 0);
    d.type({rows::kX}, 300);
    EXPECT_EQ(d.captions(), (Captions{"1", "x"}));
    EXPECT_EQ(d.page()[1].left, d.page()[0].left + d.page()[0].width);
  }
}

TEST(Undo, AnEmptySnapshotLeavesThePageEmptyAndThePointerAndIndexModeAsTheyAre) {
  PageDesk d;
  Program& p = d.p();
  d.text(200, 300, "1");
  d.w().Label3[1].Top -= d.w().Frame5.Height;  // cut
  p.pages.SaveUndoSnapshot();                  // of a page without symbols
  p.pages.Command69_Click();
  EXPECT_EQ(d.captions(), Captions{"1"});

  p.LowerIndexMode = 1;
  p.PointerX = 400;
  p.PointerY = 320;
  p.pages.Command70_Click();
  EXPECT_TRUE(d.page().empty());
  EXPECT_EQ(p.LowerIndexMode, 1);
  EXPECT_EQ(p.PointerX, 400);
  EXPECT_EQ(p.PointerY, 320);

  p.LowerIndexMode = 0;
  d.text(500, 300, "2");
  p.LowerIndexMode = 1;
  p.pages.Command69_Click();
  EXPECT_TRUE(d.page().empty());
  EXPECT_EQ(p.LowerIndexMode, 1);
  // Undo itself moves the pointer left by symbol 1's width; nothing else moves it.
  EXPECT_EQ(p.PointerX, 515 - 15);
  EXPECT_EQ(p.PointerY, 300);
}

TEST(Undo, RestoresTheLowerIndexModeButNeverTheUpper) {
  PageDesk d;
  d.p().LowerIndexMode = 1;
  d.text(200, 300, "1");
  d.p().LowerIndexMode = 0;
  d.text("2");
  d.p().UpperIndexMode = 0;
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.p().LowerIndexMode, 1);
  d.p().UpperIndexMode = 1;
  d.p().pages.Command70_Click();
  EXPECT_EQ(d.p().LowerIndexMode, 0);
  EXPECT_EQ(d.p().UpperIndexMode, 1);
}

TEST(Undo, ADeletedSymbolComesBackAndALaterOneLeaves) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");
  const auto both = d.page();
  d.w().Label3[1].Top -= d.w().Frame5.Height;  // deleted, no snapshot
  d.text(400, 300, "3");
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.page(), both);
  EXPECT_LT(d.w().Label3[3].Top, 0);
}

// The fraction stage the hints show: I (Insert next), D (Page Down), H (Home).
std::string hints(MainWindow& w) {
  std::string s;
  if (w.Image14.Visible && w.Label10.Visible && w.Line14.Visible) s += 'I';
  if (w.Image16.Visible && w.Label4.Visible && w.Line7.Visible) s += 'D';
  if (w.Image17.Visible && w.Label5.Visible && w.Line8.Visible) s += 'H';
  for (const Control* c :
       std::initializer_list<const Control*>{&w.Image14, &w.Label10, &w.Line14, &w.Image16,
                                             &w.Label4, &w.Line7, &w.Image17, &w.Label5, &w.Line8})
    if (c->Visible && s.empty()) s += '?';
  return s;
}

TEST(Undo, PutsBackTheFractionStageWithItsHintsAndTheOpenBar) {
  PageDesk d;
  Program& p = d.p();
  d.type({rows::kX}, 200);  // 1 snapshot
  d.insert();               // the bar: 2
  d.type({rows::kX}, 200);  // numerator: 3
  const double openWidth = d.w().Image3[2].Width;
  d.type({"34", rows::kX}, 400);  // Page Down, denominator: 4
  d.type({"36"}, 600);            // Home: the bar closes (a snapshot of its own)
  ASSERT_EQ(p.FractionPart, 0);
  ASSERT_EQ(d.w().Image3[2].Picture, d.w().Image2[1].Picture);
  EXPECT_EQ(hints(d.w()), "I");
  const int top = p.UndoIndex;

  // Back to the numerator: the bar is open again, red, at the width it had then.
  while (p.UndoIndex > 3) p.pages.Command69_Click();
  EXPECT_EQ(p.FractionPart, 1);
  EXPECT_EQ(hints(d.w()), "D");
  EXPECT_EQ(p.CurrentBar, 2);
  EXPECT_EQ(p.BarOpen, 1);
  EXPECT_EQ(p.BarPlacedFlag, 1);
  EXPECT_EQ(d.w().Image3[2].Picture, d.w().Image2[0].Picture);
  EXPECT_EQ(d.w().Image3[2].Width, openWidth);

  p.pages.Command70_Click();  // the denominator
  EXPECT_EQ(p.FractionPart, 2);
  EXPECT_EQ(hints(d.w()), "H");

  while (p.UndoIndex > 1) p.pages.Command69_Click();  // before the bar
  EXPECT_EQ(p.FractionPart, 0);
  EXPECT_EQ(hints(d.w()), "I");
  EXPECT_EQ(p.BarOpen, 0);
  EXPECT_EQ(p.BarPlacedFlag, 0);

  while (p.UndoIndex < top) p.pages.Command70_Click();
  EXPECT_EQ(hints(d.w()), "I");
  EXPECT_EQ(d.captions(), (Captions{"x", "[35]", "x", "x"}));
}

// The on-screen keyboard's Insert, Page Down and Home keys: which of them shows.
std::string keyboardHints(KeyboardForm& k) {
  std::string s;
  if (k.Command3[54].Visible) s += 'I';
  if (k.Command3[55].Visible) s += 'D';
  if (k.Command3[56].Visible) s += 'H';
  return s;
}

TEST(Undo, TheOnScreenFractionKeysFollowTheRestoredStage) {
  for (const bool suspended : {false, true}) {
    SCOPED_TRACE(suspended ? "keyboard out of the way for a press" : "keyboard shown");
    PageDesk d;
    Program& p = d.p();
    d.click(d.w().Command71);  // the on-screen keyboard opens
    d.advance(60);
    ASSERT_EQ(p.Form8Shown, 1);
    d.type({rows::kX}, 200);        // 1
    d.insert();                     // the bar: 2
    d.type({rows::kX}, 200);        // numerator: 3
    d.type({"34", rows::kX}, 400);  // denominator: 4
    ASSERT_EQ(keyboardHints(p.Form8), "H");
    if (suspended) {
      p.Form8Shown = 0;
      p.Form8Suspended = 1;
    }

    p.pages.Command69_Click();  // the Page Down step: the denominator not begun
    while (p.UndoIndex > 3) p.pages.Command69_Click();
    EXPECT_EQ(p.FractionPart, 1);
    EXPECT_EQ(keyboardHints(p.Form8), "D");
    while (p.UndoIndex > 1) p.pages.Command69_Click();  // before the bar
    EXPECT_EQ(p.FractionPart, 0);
    EXPECT_EQ(keyboardHints(p.Form8), "I");
    p.pages.Command70_Click();
    p.pages.Command70_Click();
    EXPECT_EQ(keyboardHints(p.Form8), "D");
  }
}

TEST(Undo, PastTheLastSnapshotKeptTheOldestMakesRoom) {
  PageDesk d;
  d.text(200, 300, "1");
  const double x0 = d.w().Label3[1].Left;
  // Every snapshot moves the symbol one twip on.
  for (int i = 1; i <= UndoHistory::kCapacity + 4; ++i) {
    d.w().Label3[1].Left = x0 + i;
    d.p().pages.SaveUndoSnapshot();
  }
  EXPECT_EQ(d.p().UndoIndex, UndoHistory::kCapacity);
  for (int back = 1; back <= 3; ++back) {
    d.p().pages.Command69_Click();
    ASSERT_EQ(d.page().size(), 1u);
    EXPECT_EQ(d.page()[0].left, x0 + UndoHistory::kCapacity + 4 - back);
  }
  // All the way down: the oldest kept, never an empty page for a state that had a symbol.
  while (d.p().UndoIndex > 1) d.p().pages.Command69_Click();
  ASSERT_EQ(d.page().size(), 1u);
  EXPECT_EQ(d.page()[0].left, x0 + 5);
}

// Whatever the history keeps, a restore gives back exactly the page it was given.
TEST(UndoHistoryStore, GivesBackEveryPageItWasGivenAcrossUndoAndRedo) {
  std::mt19937 rng(7);
  UndoHistory h;
  std::vector<std::vector<UndoPlace>> stored;  // stored[k - 1] is snapshot k
  std::vector<UndoPlace> page(1);
  int index = 0;
  auto expectSame = [&](int k) {
    std::vector<UndoPlace> want = stored[static_cast<size_t>(k - 1)];
    std::vector<UndoPlace> got = h.places(k);
    want.resize(std::max(want.size(), got.size()));
    got.resize(want.size());
    for (size_t i = 1; i < want.size(); ++i) {
      ASSERT_EQ(got[i].onPage, want[i].onPage) << "symbol " << i;
      if (want[i].onPage) {
        ASSERT_EQ(got[i], want[i]) << "symbol " << i;
      }
    }
    EXPECT_EQ(h.facts(k).PointerX, k * 1000.0 + stored[static_cast<size_t>(k - 1)].size());
  };
  for (int step = 0; step < 3000; ++step) {
    const int what = static_cast<int>(rng() % 10);
    if (what < 5) {  // a new symbol, and sometimes a move or a deletion
      page.push_back({static_cast<double>(rng() % 9000), static_cast<double>(rng() % 9000), true,
                      rng() % 2 == 0});
      if (rng() % 3 == 0) page[1 + rng() % (page.size() - 1)].left += 45;
      if (rng() % 4 == 0) page[1 + rng() % (page.size() - 1)].onPage = false;
      UndoPageFacts f;
      index += 1;
      f.PointerX = index * 1000.0 + page.size();
      index = h.store(index, page, f);
      stored.resize(static_cast<size_t>(index - 1));
      stored.push_back(page);
    } else if (what < 8 && index > 1) {
      index -= 1 + static_cast<int>(rng() % std::min(index - 1, 70));
      expectSame(index);
      page = stored[static_cast<size_t>(index - 1)];
    } else if (index < h.size()) {
      index += 1;
      expectSame(index);
      page = stored[static_cast<size_t>(index - 1)];
    }
    if (HasFatalFailure()) return;
  }
  for (int k = 1; k <= h.size(); ++k) expectSame(k);
}

}  // namespace
}  // namespace kel::test
