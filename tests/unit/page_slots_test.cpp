// The twelve page buttons and clearing all pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

using Captions = std::vector<std::string>;

std::string colours(MainWindow& w) {
  std::string s;
  for (const CommandButton& b : w.Command72)
    s += b.BackColor == kRed ? 'R' : b.BackColor == kWhite ? '.' : '?';
  return s;
}

TEST(PageSlots, ThePageLeftComesBackWithThePointerWhereItWasLeft) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");
  d.text("3");
  const auto page1 = d.page();
  EXPECT_EQ(d.w().Command72[0].Caption.get(), "Стр-1");
  EXPECT_EQ(d.w().Command72[11].Caption.get(), "Стр-12");
  EXPECT_EQ(colours(d.w()), "R...........");

  d.clickPage(2);
  EXPECT_TRUE(d.page().empty());
  EXPECT_EQ(d.w().Text26.Text(), "2");
  EXPECT_EQ(colours(d.w()), ".R..........");
  // A page never used leaves the pointer where the click had it.
  const PointPx onButton = d.ui().over(d.w().Command72[1]);
  EXPECT_EQ(d.pointer(), onButton);

  d.text(300, 400, "x");
  d.clickPage(1);
  EXPECT_EQ(d.page(), page1);
  // The insertion point comes back; the pointer stays on the button clicked.
  EXPECT_EQ(d.p().PointerX, 245);
  EXPECT_EQ(d.p().PointerY, 300);
  EXPECT_EQ(d.pointer(), d.ui().over(d.w().Command72[0]));
  d.clickPage(2);
  EXPECT_EQ(d.captions(), Captions{"x"});
}

// Two page buttons clicked one after the other at a person's pace, with a mouse that moves
// by steps from wherever the pointer is: the pointer stays where the user has it, so the
// second click falls on its button, and the next symbol goes to that page's insertion point.
TEST(PageSlots, TwoButtonsClickedInQuickSuccessionBothTakeEffect) {
  for (int gap : {200, 300, 400, 600}) {
    SCOPED_TRACE(testing::Message() << gap << " ms apart");
    PageDesk d;
    d.text(200, 300, "1");
    d.clickPage(2);
    d.text(300, 400, "2");
    d.clickPage(1);
    d.advance(600);
    const PointPx second = d.ui().over(d.w().Command72[1]);
    const PointPx first = d.ui().over(d.w().Command72[0]);
    d.desk().userMovePointer(second.x, second.y);
    d.advance(100);
    PointPx hand = second;
    int away = 0;  // milliseconds with the pointer elsewhere than the user put it
    auto tick = [&](int ms) {
      for (int i = 0; i < ms; ++i) {
        d.advance(1);
        if (d.pointer() != hand) ++away;
      }
    };
    d.desk().userButtonDown(vk::LButton);
    tick(60);
    d.desk().userButtonUp(vk::LButton);
    tick(gap - 60 - 80);
    // The hand moves by what lies between the two buttons, from where the pointer is.
    for (int step = 1; step <= 4; ++step) {
      const PointPx at = d.pointer();
      const int dx = (first.x - second.x) * step / 4 - (first.x - second.x) * (step - 1) / 4;
      const int dy = (first.y - second.y) * step / 4 - (first.y - second.y) * (step - 1) / 4;
      hand = {at.x + dx, at.y + dy};
      d.desk().userMovePointer(hand.x, hand.y);
      tick(15);
    }
    tick(20);
    d.desk().userButtonDown(vk::LButton);
    tick(60);
    d.desk().userButtonUp(vk::LButton);
    tick(1000);
    EXPECT_EQ(away, 0);
    EXPECT_EQ(d.pointer(), first);
    EXPECT_EQ(colours(d.w()), "R...........");
    d.type({rows::kX}, 300);
    EXPECT_EQ(d.captions(), (Captions{"1", "x"}));
  }
}

TEST(PageSlots, ASwitchEmptiesTheUndoHistory) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");
  d.p().pages.Command69_Click();
  ASSERT_TRUE(d.w().Command70.Visible);
  d.p().pages.Command72_Click(1);
  d.p().pages.Command72_Click(0);
  EXPECT_FALSE(d.w().Command69.Visible);
  EXPECT_FALSE(d.w().Command70.Visible);
  const auto page = d.page();
  d.p().pages.Command69_Click();
  d.p().pages.Command70_Click();
  EXPECT_EQ(d.page(), page);
  EXPECT_EQ(d.captions(), Captions{"1"});
}

TEST(PageSlots, UndoingTheFirstChangeOnAPageGivesItBackAsItWasEntered) {
  PageDesk d;
  d.text(200, 300, "1");
  d.text("2");
  d.p().pages.Command72_Click(1);
  d.p().pages.Command72_Click(0);
  d.text("3");
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2"}));  // not an empty page
  EXPECT_EQ(d.p().PointerX, 230);
  EXPECT_FALSE(d.w().Command69.Visible);
  d.p().pages.Command69_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2"}));
  d.p().pages.Command70_Click();
  EXPECT_EQ(d.captions(), (Captions{"1", "2", "3"}));
}

TEST(PageSlots, TheLowerIndexModeComesBackWithItsPageTheUpperDoesNot) {
  PageDesk d;
  d.text(200, 300, "1");
  d.p().LowerIndexMode = 1;
  d.p().UpperIndexMode = 1;
  d.p().pages.Command72_Click(1);
  EXPECT_EQ(d.p().pages.PageSlots[0].UpperIndexMode, 1);
  d.p().LowerIndexMode = 0;
  d.p().UpperIndexMode = 0;
  d.p().pages.Command72_Click(0);
  EXPECT_EQ(d.p().LowerIndexMode, 1);
  EXPECT_EQ(d.p().UpperIndexMode, 0);
}

TEST(PageSlots, TheRedButtonKeepsItsPageAndTheNumber) {
  PageDesk d;
  d.text(200, 300, "1");
  int changes = 0;
  auto change = d.w().Text26.Change;
  d.w().Text26.Change = [&] {
    ++changes;
    change();
  };
  const auto page = d.page();
  d.p().PageNumberChanged = 0;
  d.w().Frame7.Visible = true;  // a selection's move buttons
  d.p().pages.Command72_Click(0);
  EXPECT_EQ(d.page(), page);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(d.p().PageNumberChanged, 0);
  EXPECT_TRUE(d.w().Frame7.Visible);
  EXPECT_EQ(d.p().UndoIndex, 0);
  d.p().pages.Command72_Click(4);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(d.p().PageNumberChanged, 1);
  EXPECT_FALSE(d.w().Frame7.Visible);
  EXPECT_EQ(colours(d.w()), "....R.......");
  // A reading keeps the page it was made on.
  d.p().evaluation.SelectDragRectangle();
  EXPECT_EQ(d.p().SelectionPage, "5");
  EXPECT_EQ(d.p().PageNumberChanged, 0);
  // No page 13, nor a page before the first.
  d.p().pages.Command72_Click(12);
  d.p().pages.Command72_Click(-1);
  EXPECT_EQ(d.w().Text26.Text(), "5");
}

TEST(PageSlots, ASymbolBelowAShortPageStillLeavesIt) {
  PageDesk d;
  d.text(200, 700, "1");  // far down the page
  // The window made small since: the page is shorter than the symbol's place.
  d.w().Frame5.Height = 3000;
  ASSERT_GT(d.w().Label3[1].Top, 3000);
  d.p().pages.Command72_Click(1);
  EXPECT_TRUE(d.page().empty());
  EXPECT_LT(d.w().Label3[1].Top + d.w().Label3[1].Height, 0);
  d.p().pages.Command72_Click(0);
  EXPECT_EQ(d.captions(), Captions{"1"});
}

// Whether the on-screen keyboard was hidden while the clear-all box was up, and whether it
// is up again after.
struct KeyboardAroundTheBox {
  bool shownDuringBox = true;
  int boxes = 0;
};

KeyboardAroundTheBox answerClearAll(PageDesk& d, int answer) {
  KeyboardAroundTheBox seen;
  d.desk().answerMessageBox = [&](const std::string&, int, const std::string&) {
    seen.shownDuringBox = d.p().palette.Form8Visible() || d.p().Form8.Timer1.Enabled();
    ++seen.boxes;
    return answer;
  };
  // Pressed and let go (the keyboard may stand over the label on the screen).
  d.p().pages.Label11_MouseDown(1, 0, 0, 0);
  d.p().pages.Label11_Click();
  d.desk().answerMessageBox = nullptr;
  return seen;
}

TEST(ClearAll, NoChangesNothing) {
  PageDesk d;
  Program& p = d.p();
  d.click(d.w().Command71);  // the on-screen keyboard
  d.advance(60);
  d.text(200, 300, "1");
  p.pages.Command72_Click(1);
  d.text(200, 300, "2");
  d.text("3");
  const auto page = d.page();
  p.pages.Text2 = "1|a|1|2|24|False|";
  p.LowerIndexMode = 1;
  const int undo = p.UndoIndex;
  ASSERT_GT(undo, 0);

  const KeyboardAroundTheBox seen = answerClearAll(d, msgbox::No);
  EXPECT_EQ(seen.boxes, 1);
  EXPECT_FALSE(seen.shownDuringBox);
  EXPECT_TRUE(p.palette.Form8Visible());
  EXPECT_TRUE(p.Form8.Timer1.Enabled());
  ASSERT_EQ(d.desk().messageBoxCalls.size(), 1u);
  EXPECT_EQ(d.desk().messageBoxCalls[0].prompt, "Ще бъдат изтрити всички страници");
  EXPECT_EQ(d.desk().messageBoxCalls[0].title, "Oперация окончателно изтриване!");
  EXPECT_EQ(d.desk().messageBoxCalls[0].buttons, msgbox::YesNo);
  EXPECT_EQ(d.page(), page);
  EXPECT_EQ(p.SymbolCount, 3);
  EXPECT_EQ(p.UndoIndex, undo);
  EXPECT_TRUE(d.w().Command69.Visible);
  EXPECT_EQ(p.pages.Text2, "1|a|1|2|24|False|");
  EXPECT_EQ(p.LowerIndexMode, 1);
  p.pages.Command69_Click();  // the history is still there
  EXPECT_EQ(d.captions(), Captions{"2"});
  p.pages.Command72_Click(0);
  EXPECT_EQ(d.captions(), Captions{"1"});
}

TEST(ClearAll, YesEmptiesEveryPageAndNothingNamesASymbolThatIsGone) {
  PageDesk d;
  Program& p = d.p();
  d.text(200, 300, "1");
  p.pages.Command72_Click(2);
  d.insert();  // a bar, still open
  d.type({rows::kX}, 200);
  ASSERT_EQ(p.BarOpen, 1);
  d.w().List3.AddItem("01440|600|555|240|877.5|x|bukva|2");
  d.w().Text21.setText("x");
  d.w().Text21.Visible = true;
  d.w().Frame7.Visible = true;
  p.CutFlag = 1;
  p.BoundsQueueState = 1;  // a limits sequence waiting in the queue for its end
  const int queued = p.QueueLength;
  ASSERT_GT(d.w().List1.ListCount(), 0);

  p.pages.Text2 = "1|a|1|2|24|False|";
  p.BusyFlag = 1;
  p.UpperIndexMode = 1;
  p.LowerIndexMode = 1;
  p.RecordedPointCount = 3;
  p.RecordedPointX[2] = 640;
  p.RecordedPointY[1000] = 480;
  p.PendingCode = 5;
  ASSERT_GT(p.UndoIndex, 0);
  d.click(d.w().Command71);  // the on-screen keyboard
  d.advance(60);

  const KeyboardAroundTheBox seen = answerClearAll(d, msgbox::Yes);
  EXPECT_EQ(seen.boxes, 1);
  EXPECT_FALSE(seen.shownDuringBox);
  EXPECT_TRUE(p.palette.Form8Visible());
  EXPECT_TRUE(p.Form8.Timer1.Enabled());
  EXPECT_EQ(d.desk().focusedControl(), &d.w().Command63);
  EXPECT_EQ(p.pages.Text2, "");
  EXPECT_EQ(p.BusyFlag, 0);
  EXPECT_EQ(p.UpperIndexMode, 0);
  EXPECT_EQ(p.LowerIndexMode, 0);
  EXPECT_EQ(p.RecordedPointCount, 0);
  EXPECT_EQ(p.RecordedPointX[2], 0);
  EXPECT_EQ(p.RecordedPointY[1000], 0);
  EXPECT_EQ(p.PendingCode, 5);
  EXPECT_TRUE(d.page().empty());
  EXPECT_EQ(p.SymbolCount, 0);
  EXPECT_FALSE(d.w().Label3.IsLoaded(1));
  EXPECT_FALSE(d.w().Image3.IsLoaded(2));
  EXPECT_EQ(d.w().Text26.Text(), "3");
  EXPECT_EQ(colours(d.w()), "..R.........");
  EXPECT_EQ(d.w().List1.ListCount(), 0);
  EXPECT_EQ(d.w().List2.ListCount(), 0);
  EXPECT_EQ(p.QueueLength, queued);
  EXPECT_EQ(p.UndoIndex, 0);
  EXPECT_FALSE(d.w().Command69.Visible);
  // What would otherwise act on the symbols that take the old indexes.
  EXPECT_EQ(d.w().List3.ListCount(), 0);
  EXPECT_FALSE(d.w().Text21.Visible);
  EXPECT_FALSE(d.w().Frame7.Visible);
  EXPECT_EQ(p.CutFlag, 0);
  EXPECT_EQ(p.CurrentSymbolIndex, 0);
  EXPECT_EQ(p.BoundsQueueState, 2);
  EXPECT_EQ(p.CurrentBar, kNoBar);
  EXPECT_EQ(p.BarOpen, 0);
  EXPECT_EQ(p.FractionPart, 0);
  EXPECT_TRUE(d.w().Image14.Visible);
  EXPECT_FALSE(d.w().Image16.Visible);

  EXPECT_EQ(d.text(200, 300, "y"), 1);
  EXPECT_EQ(p.SymbolLevel[1], 0);
  for (int k : {0, 1, 3, 11}) {
    p.pages.Command72_Click(k);
    EXPECT_TRUE(d.page().empty()) << "page " << k + 1;
  }
}

}  // namespace
}  // namespace kel::test
