// The result row: showing and hiding it, and typing the result into the key queue.
#include <string>
#include <vector>

#include "ui_fixture.h"

namespace kel::test {
namespace {

struct Typed {
  std::vector<std::string> items;  // appended to List1
  int queueLength;                 // what QueueLength grew by
};

Typed typeResult(Ui& u, const std::string& result) {
  MainWindow& w = u.w();
  w.Text8.setText(result);
  const int items = w.List1.ListCount();
  const int length = u.p().QueueLength;
  u.p().evaluation.ZapisRezultatat();
  Typed t;
  t.items.assign(w.List1.Items.begin() + items, w.List1.Items.end());
  t.queueLength = u.p().QueueLength - length;
  EXPECT_EQ(w.List2.ListCount(), w.List1.ListCount());
  for (int i = items; i < w.List2.ListCount(); ++i) EXPECT_EQ(w.List2.Items[i], "0");
  return t;
}

std::vector<std::string> paced(std::initializer_list<int> codes) {
  std::vector<std::string> out;
  for (int c : codes) out.push_back("***" + std::to_string(c));
  return out;
}

TEST(ResultTyping, EachCharacterBecomesAPacedKey) {
  struct Case {
    const char* result;
    std::vector<std::string> items;
    int queueLength;
  } cases[] = {
      {"42", paced({52, 50}), 2},
      {"-3.5", paced({109, 51, 188, 53}), 4},
      {"12E+5", paced({49, 50, 190, 49, 48, 27, 53}), 7},
      {"1.23E-4", paced({49, 188, 50, 51, 190, 49, 48, 27, 109, 27, 52}), 11},
      // Not from the evaluator: shortened first.
      {"0.00056", paced({53, 188, 54, 190, 49, 48, 27, 109, 27, 52}), 10},
      {"0.0005", paced({53, 190, 49, 48, 27, 109, 27, 52}), 8},
      {"2,5", paced({50, 188, 53}), 3},
      // Whatever the user typed into the box: only the key table's characters are typed,
      // every character counts towards the play limit.
      {"0.000", paced({48, 188, 48, 48, 48}), 5},
      {"abc", {}, 3},
      {"7 x", paced({55}), 3},
      {"\xD0\xB4"
       "1",
       paced({49}), 2},
      {"", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    Ui u;
    const Typed t = typeResult(u, c.result);
    EXPECT_EQ(t.items, c.items);
    EXPECT_EQ(t.queueLength, c.queueLength);
  }
}

TEST(ResultTyping, ALongTextIsReadToItsEndAndNoFurther) {
  Ui u;
  const Typed letters = typeResult(u, std::string(10000, 'x'));
  EXPECT_TRUE(letters.items.empty());
  EXPECT_EQ(letters.queueLength, 10000);
  const Typed digits = typeResult(u, std::string(10000, '7') + "E");
  EXPECT_EQ(digits.items.size(), 10003u);  // and "*10" for the "E"
  EXPECT_EQ(digits.items.back(), "***48");
}

TEST(ResultRow, IsHiddenAtDesignAndShownWithAResult) {
  Ui u;
  MainWindow& w = u.w();
  const std::vector<Control*> row = {&w.Text1,  &w.Command17, &w.Text8,
                                     &w.Check1, &w.Gradusi,   &w.Shape1};
  for (Control* c : row) EXPECT_FALSE(c->Visible) << c->Name;
  w.Text8.setText("81");
  for (Control* c : row) EXPECT_TRUE(c->Visible) << c->Name;
  // The angle unit is a list that shows both its items.
  EXPECT_EQ(w.Gradusi.Kind, ControlKind::ListBox);
  EXPECT_EQ(w.Gradusi.Items.get(), (std::vector<std::string>{"rad", "deg"}));
  EXPECT_GE(w.Gradusi.Height, 2 * 15 * 15);
}

TEST(ResultRow, AnEvaluationThatGivesNothingHidesTheRow) {
  Ui u;
  MainWindow& w = u.w();
  w.Text8.setText("81");
  w.Text1.setText("no such thing");
  w.Timer11.setEnabled(true);
  const size_t fronts = u.desk().frontCalls.size();
  u.advance(300);
  EXPECT_FALSE(w.Timer11.Enabled());
  EXPECT_EQ(w.comp.Text(), "no such thing");
  EXPECT_EQ(w.Text8.Text(), "");
  for (Control* c : std::initializer_list<Control*>{&w.Text1, &w.Command17, &w.Text8, &w.Check1,
                                                    &w.Gradusi, &w.Shape1})
    EXPECT_FALSE(c->Visible) << c->Name;
  EXPECT_GT(u.desk().frontCalls.size(), fronts);
}

TEST(ResultRow, TheEqualsButtonTypesTheResultAndReturnsThePointer) {
  Ui u;
  MainWindow& w = u.w();
  w.Text8.setText("42");
  u.moveTo(u.over(w.Command17));
  const PointPx button = u.pointer();
  w.Command17.Click();
  EXPECT_EQ(std::vector<std::string>(w.List1.Items.end() - 2, w.List1.Items.end()),
            paced({52, 50}));
  EXPECT_TRUE(w.Timer6.Enabled());
  EXPECT_EQ(u.p().ReturnClickPending, 1);
  EXPECT_EQ(u.p().SavedPointerX, button.x);
  EXPECT_EQ(u.desk().focusCalls.back(), "Command63");
}

TEST(ResultRow, TheEqualsButtonWithNoResultQueuesNothing) {
  Ui u;
  const int items = u.w().List1.ListCount();
  u.w().Command17.Click();
  EXPECT_EQ(u.w().List1.ListCount(), items);
  EXPECT_TRUE(u.w().Timer6.Enabled());  // the dispatcher's common steps still run
}

TEST(ResultRow, TheTypingTimerTypesOnceAndStops) {
  Ui u;
  MainWindow& w = u.w();
  w.Text8.setText("5");
  w.Timer12.setEnabled(true);
  u.advance(499);
  EXPECT_TRUE(w.Timer12.Enabled());
  u.advance(1);
  EXPECT_FALSE(w.Timer12.Enabled());
  EXPECT_EQ(w.List1.Items->back(), "***53");
  u.advance(1000);
  int fives = 0;
  for (const std::string& i : w.List1.Items) fives += i == "***53";
  EXPECT_EQ(fives, 1);
}

}  // namespace
}  // namespace kel::test
