// The key indicator while a selection is read and its result typed: the hint after a
// reading, and no key names over the items that type a result.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "selection_fixture.h"
#include "typing_fixture.h"

namespace kel::test {
namespace {

constexpr const char* kMoveHint = " right mouse button and move";

const PointPx kTyped{400, 300};

// Shown, the indicator says what can be done with the selection and fits its width to
// that, where it stands; hidden, it is only loaded by the question and left as it was.
TEST(ReadingAndTheKeyIndicator, AReadingWritesItsHintIntoTheShownIndicator) {
  for (bool shown : {true, false}) {
    SCOPED_TRACE(shown ? "shown" : "hidden");
    Selecting u;
    u.type(kTyped, {"4", "2"});
    KeyIndicatorForm& f = u.p().Form3;
    if (shown) u.w().Command38.Click();
    f.Label7.Caption = "Enter";
    const double width = f.Width;
    u.drag({390, 270}, {600, 330});
    ASSERT_EQ(u.w().Text21.Text(), "42");
    EXPECT_TRUE(f.Loaded);
    EXPECT_EQ(f.Visible, shown);
    if (shown) {
      EXPECT_EQ(f.Label7.Caption, kMoveHint);
      EXPECT_GT(f.Label7.Width, 1000);  // sized to the hint
      EXPECT_EQ(f.Width, f.Label7.Left + f.Label7.Width + 100);
    } else {
      EXPECT_EQ(f.Label7.Caption, "Enter");
      EXPECT_EQ(f.Width, width);
    }
    // The reading itself leaves it where it stands (the press on the page put it under
    // the pointer).
    f.Left = 1500;
    f.Top = 2500;
    u.p().evaluation.SelectDragRectangle();
    EXPECT_EQ(f.Left, 1500);
    EXPECT_EQ(f.Top, 2500);
  }
}

TEST(ReadingAndTheKeyIndicator, TheReadingAfterEqualsWritesTheHintToo) {
  Selecting u;
  u.w().Command38.Click();
  u.w().Check3.Value = 1;
  u.type(kTyped, {"9", "[po]", "9", " = "});
  EXPECT_EQ(u.p().Form3.Label7.Caption, kMoveHint);
}

// The result typing marks the queue items that will type the result: from the item being
// played now to one past the last character of the text as it is typed.
TEST(ReadingAndTheKeyIndicator, TheResultTypingMarksItsItems) {
  struct Case {
    const char* result;
    int characters;  // of the text as typed
  } cases[] = {{"42", 2}, {"-3.5", 4}, {"12E+5", 7}, {"1.23E-4", 11}, {"0.00056", 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    Ui u;
    Program& p = u.p();
    u.w().Command38.Click();
    for (int i = 0; i < 4; ++i) p.input.AppendQueueItem("65", "0");
    u.w().List1.ListIndex = 2;
    u.w().Text8.setText(c.result);
    p.evaluation.ZapisRezultatat();
    EXPECT_EQ(p.QueueStartIndex, 2);
    EXPECT_EQ(p.QueueEndIndex, 2 + c.characters + 1);
  }
}

TEST(ReadingAndTheKeyIndicator, AHiddenIndicatorIsLoadedButGetsNoRange) {
  Ui u;
  Program& p = u.p();
  p.QueueStartIndex = 7;
  p.QueueEndIndex = 9;
  u.w().Text8.setText("");
  p.evaluation.ZapisRezultatat();  // nothing to type: nothing asked
  EXPECT_FALSE(p.Form3.Loaded);
  u.w().Text8.setText("42");
  p.evaluation.ZapisRezultatat();
  EXPECT_TRUE(p.Form3.Loaded);
  EXPECT_FALSE(p.Form3.Visible);
  EXPECT_EQ(p.QueueStartIndex, 7);
  EXPECT_EQ(p.QueueEndIndex, 9);
}

// The whole chain with the indicator shown: the reading after " = " gives its hint, and
// while the result is played the indicator names no keys.
TEST(ReadingAndTheKeyIndicator, WhileAResultIsTypedItNamesNoKeys) {
  constexpr int kPlusKey = 187;  // with Shift: "+"; without: " = "
  constexpr int kKeypadTimes = 106;
  Typist t;
  KeyIndicatorForm& f = t.p().Form3;
  t.w().Check3.Value = 1;
  t.w().Command38.Click();
  t.type('2');
  EXPECT_EQ(f.Label7.Caption, "2");
  t.typeShifted(kPlusKey);
  t.type('3');
  t.type(kKeypadTimes);
  t.type('4');
  t.type(kPlusKey);
  EXPECT_EQ(f.Label7.Caption, kMoveHint);
  ASSERT_TRUE(t.w().Timer12.Enabled());
  t.advance(1500);
  ASSERT_EQ(t.w().Text8.Text(), "14");
  const std::vector<std::string>& items = t.queued();
  const auto first = std::find(items.begin(), items.end(), "***49");
  ASSERT_NE(first, items.end());
  const int start = static_cast<int>(first - items.begin()) - 1;
  EXPECT_EQ(t.p().QueueStartIndex, start);
  EXPECT_EQ(t.p().QueueEndIndex, start + 3);
  EXPECT_EQ(t.w().List1.ListIndex, start + 2);  // both digits played
  EXPECT_EQ(f.Label7.Caption, "nothing");
  EXPECT_EQ(t.placed().back().caption, "4");
}

}  // namespace
}  // namespace kel::test
