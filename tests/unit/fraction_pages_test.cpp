// An open fraction belongs to the page it is typed on. Undo, Redo, a page switch and Clear
// All never leave the fraction state naming a bar that is not on the page shown, or a bar on
// it red that is not open; and every Undo step changes the page.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

// The fraction stage the hints show: I (Insert next), D (Page Down), H (Home).
std::string hints(MainWindow& w) {
  std::string s;
  if (w.Image14.Visible) s += 'I';
  if (w.Image16.Visible) s += 'D';
  if (w.Image17.Visible) s += 'H';
  return s;
}

struct State {
  std::vector<Seen> page;
  int FractionPart = 0, BarOpen = 0, BarPlacedFlag = 0, CurrentBar = kNoBar;
  std::string hints;
  bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& o, const State& s) {
  o << "stage " << s.FractionPart << " open " << s.BarOpen << "/" << s.BarPlacedFlag << " bar "
    << s.CurrentBar << " hints " << s.hints << " page:";
  for (const Seen& e : s.page) o << " [" << e << "]";
  return o;
}

State now(PageDesk& d) {
  Program& p = d.p();
  return {d.page(), p.FractionPart, p.BarOpen, p.BarPlacedFlag, p.CurrentBar, hints(d.w())};
}

// The fraction state describes an open bar on the page shown, or none at all; and no bar on
// the page shows the open bar's red unless it is that bar.
void expectFractionOnPageShown(PageDesk& d) {
  Program& p = d.p();
  MainWindow& w = d.w();
  const bool open =
      p.FractionPart != 0 || p.BarOpen != 0 || p.BarPlacedFlag != 0 || p.CurrentBar != kNoBar;
  if (open) {
    EXPECT_TRUE(p.FractionPart == 1 || p.FractionPart == 2) << p.FractionPart;
    EXPECT_EQ(p.BarOpen, 1);
    EXPECT_EQ(p.BarPlacedFlag, 1);
    ASSERT_EQ(p.CurrentBar, p.BarIndex);
    ASSERT_TRUE(p.surface.IsOpenBar(p.CurrentBar)) << "bar " << p.CurrentBar;
    EXPECT_GE(w.Image3[p.CurrentBar].Top, 0) << "the open bar is not on the page shown";
  } else {
    EXPECT_EQ(hints(w), "I");
  }
  for (int i = 1; i <= p.SymbolCount; ++i) {
    if (p.SymbolKind[static_cast<size_t>(i)] == "35" && w.Image3[i].Top >= 0 &&
        w.Image3[i].Picture == w.Image2[0].Picture) {
      EXPECT_EQ(i, p.CurrentBar) << "bar " << i << " is red but not open";
    }
  }
}

// The stages of a fraction as they are typed, each one undo step.
struct Step {
  const char* name;
  std::function<void(PageDesk&)> type;
};
const std::vector<Step>& fractionSteps() {
  static const std::vector<Step> steps = {
      {"bar placed", [](PageDesk& d) { d.insert(); }},
      {"numerator", [](PageDesk& d) { d.type({rows::kX}, 200); }},
      {"denominator",
       [](PageDesk& d) {
         d.type({"34", rows::kX, rows::kX}, 400);
       }},
      {"closed by Home", [](PageDesk& d) { d.type({"36"}, 600); }},
      {"typed on", [](PageDesk& d) { d.type({rows::kX}, 200); }},
  };
  return steps;
}

// Types a symbol (unless the fraction is the first thing on the page) and the steps up to
// and including `upTo`; the state after each, the first being the one before the bar.
std::vector<State> typeFraction(PageDesk& d, bool lead, size_t upTo) {
  if (lead) d.type({rows::kX}, 200);
  std::vector<State> states{now(d)};
  for (size_t k = 0; k <= upTo; ++k) {
    const int undo = d.p().UndoIndex;
    fractionSteps()[k].type(d);
    EXPECT_EQ(d.p().UndoIndex, undo + 1) << fractionSteps()[k].name;
    states.push_back(now(d));
  }
  return states;
}

const char* leadName(bool lead) { return lead ? "after a symbol" : "first on the page"; }

TEST(FractionPages, UndoAndRedoGiveBackEachStageAndNeverABarOffThePage) {
  for (const bool lead : {true, false}) {
    SCOPED_TRACE(leadName(lead));
    PageDesk d;
    Program& p = d.p();
    const std::vector<State> stages = typeFraction(d, lead, fractionSteps().size() - 1);
    for (size_t k = stages.size() - 1; k > 0; --k) {
      SCOPED_TRACE(std::string("undo to before ") + fractionSteps()[k - 1].name);
      const std::vector<Seen> before = d.page();
      p.pages.Command69_Click();
      EXPECT_NE(d.page(), before);
      EXPECT_EQ(now(d), stages[k - 1]);
      expectFractionOnPageShown(d);
    }
    if (lead) {
      p.pages.Command69_Click();  // the symbol before the fraction goes too
      EXPECT_TRUE(d.page().empty());
      expectFractionOnPageShown(d);
    }
    EXPECT_FALSE(d.w().Command69.Visible);
    if (lead) p.pages.Command70_Click();
    for (size_t k = 1; k < stages.size(); ++k) {
      SCOPED_TRACE(std::string("redo to ") + fractionSteps()[k - 1].name);
      p.pages.Command70_Click();
      EXPECT_EQ(now(d), stages[k]);
      expectFractionOnPageShown(d);
    }
  }
}

TEST(FractionPages, ASwitchToAnotherPageLeavesTheFractionOnItsPage) {
  for (const bool lead : {true, false}) {
    for (size_t stage = 0; stage < fractionSteps().size(); ++stage) {
      SCOPED_TRACE(std::string(leadName(lead)) + ", " + fractionSteps()[stage].name);
      PageDesk d;
      Program& p = d.p();
      const State left = typeFraction(d, lead, stage).back();
      const int symbols = p.SymbolCount;

      d.clickPage(2);
      d.advance(100);
      EXPECT_EQ(now(d), (State{{}, 0, 0, 0, kNoBar, "I"}));
      // A fraction of its own: Insert is not held back by the one left on page 1, and
      // what is typed stretches only its own bar.
      d.insert();
      ASSERT_EQ(p.SymbolCount, symbols + 1);
      EXPECT_EQ(p.CurrentBar, symbols + 1);
      expectFractionOnPageShown(d);
      d.type({rows::kXxx}, 200);
      d.type({"36"}, 600);
      EXPECT_EQ(d.w().Image3[symbols + 1].Picture, d.w().Image2[1].Picture);
      expectFractionOnPageShown(d);

      d.clickPage(1);
      d.advance(100);
      EXPECT_EQ(now(d), left);
      expectFractionOnPageShown(d);
      // Home still closes page 1's fraction where it was left open.
      if (left.FractionPart != 0) {
        const int bar = p.CurrentBar;
        d.type({"36"}, 600);
        EXPECT_EQ(d.w().Image3[bar].Picture, d.w().Image2[1].Picture);
        expectFractionOnPageShown(d);
      }
    }
  }
}

TEST(FractionPages, ClearAllLeavesNoFractionAndInsertBeginsANewOne) {
  for (size_t stage = 0; stage < fractionSteps().size(); ++stage) {
    SCOPED_TRACE(fractionSteps()[stage].name);
    PageDesk d;
    Program& p = d.p();
    typeFraction(d, true, stage);
    d.desk().messageBoxAnswers.push_back(msgbox::Yes);
    p.pages.Label11_Click();
    EXPECT_EQ(now(d), (State{{}, 0, 0, 0, kNoBar, "I"}));
    d.insert();
    EXPECT_EQ(p.CurrentBar, 1);
    expectFractionOnPageShown(d);
    p.pages.Command69_Click();  // the bar goes, and its fraction with it
    EXPECT_EQ(now(d), (State{{}, 0, 0, 0, kNoBar, "I"}));
  }
}

}  // namespace
}  // namespace kel::test
