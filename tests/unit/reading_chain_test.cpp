// Reading back through the whole chain: keys typed, symbols placed, the expression read
// after " = ", evaluated, and its result typed after the sign; and the result row's
// re-evaluation when rounding or the angle unit changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typing_fixture.h"
#include "ui_fixture.h"

namespace kel::test {
namespace {

constexpr int kPlusKey = 187;  // with Shift: "+"; without: " = "
constexpr int kKeypadTimes = 106;

struct Expect {
  const char* kind;
  const char* caption;
};

void expectPage(Typist& t, const std::vector<Expect>& want) {
  const std::vector<Placed> all = t.placed();
  ASSERT_EQ(all.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(all[i].kind, want[i].kind);
    EXPECT_EQ(all[i].caption, want[i].caption);
  }
}

TEST(ReadingChain, TheResultOfATypedExpressionIsTypedAfterItsSign) {
  Typist t;
  t.w().Check3.Value = 1;
  t.type('2');
  t.typeShifted(kPlusKey);
  t.type('3');
  t.type(kKeypadTimes);
  t.type('4');
  t.type(kPlusKey);
  t.advance(1500);  // the evaluation (300 ms), the typing (500 ms), the player
  expectPage(t, {{"bukva", "2"},
                 {"plus", ""},
                 {"bukva", "3"},
                 {"po", ""},
                 {"bukva", "4"},
                 {"bukva", " = "},
                 {"bukva", "1"},
                 {"bukva", "4"}});
  EXPECT_EQ(t.w().Text8.Text(), "14");
  EXPECT_EQ(t.w().Text21.Text(), "2+3*4");
  EXPECT_TRUE(t.w().Text8.Visible);
  // The result stands right after the sign (within the pixel the pointer was put on), on
  // its line.
  const Label& eq = t.w().Label3[6];
  const Label& one = t.w().Label3[7];
  EXPECT_NEAR(one.Left, eq.Left + eq.Width, 15);
  EXPECT_NEAR(one.Top + one.Height / 2, eq.Top + eq.Height / 2, 1);
}

// The value is typed right behind its sign, however soon after " = " the next key comes:
// a key typed while the value is still to come waits for it. "1/3=" and then Enter puts the
// value on the first line and only then begins the new one; a letter comes after the value.
TEST(ReadingChain, AKeyTypedWhileTheValueIsPendingFollowsIt) {
  constexpr int kSlashKey = 191;
  struct Case {
    int key;
    Millis after;  // from the press of "=" to the press of the key
  } cases[] = {{vk::Return, 0}, {vk::Return, 150}, {vk::Return, 300}, {vk::Return, 450},
               {'X', 0},        {'X', 150},        {'X', 400},        {vk::Return, 700}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key << " " << c.after << " ms after =");
    Typist t;
    t.w().Check3.Value = 1;
    t.type('1');
    t.type(kSlashKey);
    t.type('3');
    t.host().tap(kPlusKey, 40);
    t.host().at(t.host().now() + c.after, [&t, &c] { t.host().tap(c.key, 40); });
    t.advance(2500);
    // Something on the next line shows where Enter took the insertion point.
    if (c.key == vk::Return) t.type('Y');
    const std::vector<Placed> all = t.placed();
    const std::vector<std::string> value = {"0", ",", "3", "3", "3"};
    ASSERT_EQ(all.size(), 4 + value.size() + 1);
    EXPECT_EQ(all[3].caption, " = ");
    const Label& eq = t.w().Label3[4];
    for (size_t i = 0; i < value.size(); ++i) {
      SCOPED_TRACE(i);
      const Label& l = t.w().Label3[static_cast<int>(5 + i)];
      EXPECT_EQ(l.Caption, value[i]);
      EXPECT_GE(l.Left, eq.Left + eq.Width - 15);
      EXPECT_NEAR(l.Top + l.Height / 2, eq.Top + eq.Height / 2, 1);
    }
    const Label& last = t.w().Label3[static_cast<int>(5 + value.size())];
    EXPECT_EQ(last.Caption, c.key == vk::Return ? "y" : "x");
    if (c.key == vk::Return) {
      EXPECT_NEAR(last.Top + last.Height / 2, eq.Top + eq.Height / 2 + 61 * 15, 15);
    } else {
      EXPECT_GT(last.Left, t.w().Label3[static_cast<int>(4 + value.size())].Left);
    }
  }
}

// A Ctrl chord typed while the value is pending stays a chord once the value has gone in
// front of it: Ctrl+K types nothing, the x after it is typed behind the value.
TEST(ReadingChain, AChordTypedWhileTheValueIsPendingStaysAChord) {
  Typist t;
  t.w().Check3.Value = 1;
  t.type('1');
  t.type(191);
  t.type('3');
  t.host().tap(kPlusKey, 40);
  t.advance(100);
  t.down(vk::RControl);
  t.host().tap('K', 40);
  t.advance(60);
  t.up(vk::RControl);
  t.host().tap('X', 40);
  t.advance(2500);
  std::string typed;
  for (const Placed& e : t.placed()) typed += e.kind == "bukva" ? e.caption : "[" + e.kind + "]";
  EXPECT_EQ(typed, "1/3 = 0,333x");
}

TEST(ReadingChain, AnExpressionWithUnknownsIsNotTyped) {
  Typist t;
  t.w().Check3.Value = 1;
  t.type('X');
  t.type(kPlusKey);
  t.advance(1500);
  EXPECT_EQ(t.p().SymbolCount, 2);  // whatever the evaluation made of it, nothing is typed
  EXPECT_EQ(t.w().Text21.Text(), "x=");
  EXPECT_FALSE(t.w().Timer12.Enabled());
}

// After " = " the value is typed only when every name in the expression has one, whichever
// step formed the name: 3e2 is 3*e2, and e2 has none. Such a value is shown, as for x.
TEST(ReadingChain, TheValueIsTypedOnlyWhenEveryNameHasOne) {
  struct Case {
    const char* keys;  // "+" is the shifted plus key, a small letter a capital one
    const char* line;  // Text21: the " = " is cut where the reader found every name
    const char* typed;
    const char* shown;
  } cases[] = {
      {"SIN2PI", "sin2pi", "2,857", "2.857"},  // Round is ticked at the start
      {"COS2PI+0", "cos2pi+0", "[minus]1,307", "-1.307"},
      {"2PI", "2pi", "6,283", "6.283"},
      {"3E2", "3e2", "", "0"},
      {"1E3", "1e3", "", "0"},
      {"PI2PI", "pi2pi", "", "0"},
      {"E1E+1", "e1e+1", "", "1"},
      {"X+1", "x+1=", "", "1"},
      {"a+1", "A+1", "", "1"},  // the reader lets a capital A pass
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    Typist t;
    t.w().Check3.Value = 1;
    for (const char* k = c.keys; *k; ++k) {
      if (*k == '+')
        t.typeShifted(kPlusKey);
      else if (*k >= 'a' && *k <= 'z')
        t.typeShifted(*k - 'a' + 'A');
      else
        t.type(*k);
    }
    t.type(kPlusKey);
    t.advance(4000);  // the evaluation, the typing and the player, 150 ms a character
    std::string after;
    bool sign = false;
    for (const Placed& s : t.placed()) {
      if (sign) after += s.kind == "bukva" ? s.caption : "[" + s.kind + "]";
      if (s.kind == "bukva" && s.caption == " = ") sign = true;
    }
    EXPECT_TRUE(sign);
    EXPECT_EQ(t.w().Text21.Text(), c.line);
    EXPECT_EQ(after, c.typed);
    EXPECT_EQ(t.w().Text8.Text(), c.shown);
    EXPECT_TRUE(t.w().Text8.Visible);
  }
}

// Round and the angle unit evaluate the last expression again. One that fails then shows
// no result, rather than the answer to the question before, and the row stays, so that
// the user can switch back.
TEST(ResultRow, ChangingTheAngleUnitOrRoundingEvaluatesAgain) {
  Ui u;
  MainWindow& w = u.w();
  w.Gradusi.ListIndex = 0;
  w.Check1.Value = 0;
  w.Text1.setText("tg(90)");
  w.Timer11.setEnabled(true);
  u.advance(300);
  const std::string radians = w.Text8.Text();
  ASSERT_FALSE(radians.empty());

  w.Gradusi.ListIndex = 1;  // "deg": the tangent of 90 degrees has no value
  w.Gradusi.Click();
  EXPECT_EQ(w.Text8.Text(), "");
  for (Control* c : std::initializer_list<Control*>{&w.Text1, &w.Command17, &w.Text8, &w.Check1,
                                                    &w.Gradusi, &w.Shape1})
    EXPECT_TRUE(c->Visible) << c->Name;
  const int items = w.List1.ListCount();
  w.Command17.Click();  // nothing to type
  EXPECT_EQ(w.List1.ListCount(), items);

  w.Gradusi.ListIndex = 0;
  w.Gradusi.Click();
  EXPECT_EQ(w.Text8.Text(), radians);

  w.Text1.setText("2/3");
  w.Timer11.setEnabled(true);
  u.advance(300);
  EXPECT_EQ(w.Text8.Text(), "0.666666666666667");
  w.Check1.Value = 1;
  w.Check1.Click();
  EXPECT_EQ(w.Text8.Text(), "0.667");
}

}  // namespace
}  // namespace kel::test
