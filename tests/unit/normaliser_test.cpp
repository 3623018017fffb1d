#include <gtest/gtest.h>

#include <string>

#include "eval_fixture.h"
#include "tools/eval_tool.h"

namespace kel::test {
namespace {

struct Case {
  const char* in;
  const char* out;
};

std::string normalise(const std::string& text) {
  return tools::evalLine({tools::EvalMode::Normalise, false, false}, text);
}

TEST(Normaliser, RewritesFormulasIntoScriptSyntax) {
  const Case cases[] = {
      {"2^1^0+1^-^1^0", "2^10+1^-10"},
      {"sin^(2)30", "(sin(30))^(2)"},
      {"sin^(2)(30)", "(sin(30))^(2)"},
      {"asin^(2)(0.5)", "(asin(0.5))^(2)"},
      {"cotg^(2)(1)", "(cotg(1))^(2)"},
      {"gg^(2)ggsin(30)", "(sin(30))^(2)"},  // the parked power's marks in lower case
      {"GG^(-1)ggtg(45)", "(tg(45))^(-1)"},
      {"2pi", "2*pi"},
      {"2(3+1)", "2*(3+1)"},
      {"(1+2)(3+4)", "(1+2)*(3+4)"},
      {"2((", "2*(("},
      {"sin2pi", "sin(2)*pi"},
      {"lg100", "Lg(10,100)"},
      {"lg(100)", "Lg(10,100)"},
      {"ln5", "Ln(5)"},
      {"ln(5)", "ln(5)"},
      {"log#28", "Lg(2,8)"},
      {"log#1#0100", "Lg(10,100)"},
      {"log#2(8)", "Lg(2,8)"},
      {"2 + 3", "2+3"},
      {"1/4", "1/4"},
      {"tg-2", "tg(-2)"},
      {"cos^(-1)60", "(cos(60))^(-1)"},
      {"3e", "3*e"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(normalise(c.in), c.out) << c.in;
}

// Each match is rewritten at its own place: a match's text inside a longer one elsewhere
// is not touched.
TEST(Normaliser, RewritesEachMatchAtItsOwnPlace) {
  const Case cases[] = {
      {"sin3+sin30", "sin(3)+sin(30)"},       {"lg10+lg100", "Lg(10,10)+Lg(10,100)"},
      {"lg1+lg10", "Lg(10,1)+Lg(10,10)"},     {"sin^(2)3+sin^(2)30", "(sin(3))^(2)+(sin(30))^(2)"},
      {"log#28+log#288", "Lg(2,8)+Lg(2,88)"},
  };
  for (const Case& c : cases) EXPECT_EQ(normalise(c.in), c.out) << c.in;
}

// A decimal logarithm the logarithm step could not take is never dropped: with a bracket it
// is the base-10 logarithm, without one it stays as it was (and fails to evaluate).
TEST(Normaliser, ALeftoverDecimalLogarithmStaysALogarithm) {
  const Case cases[] = {
      {"lg(2+3)", "Lg(10,2+3)"},
      {"lg(-1)", "Lg(10,-1)"},
      {"lg((100))", "Lg(10,(100))"},
      {"lg-1", "lg-1"},
  };
  for (const Case& c : cases) EXPECT_EQ(normalise(c.in), c.out) << c.in;
}

TEST(Normaliser, LeavesItsResultInTheExpressionBoxesAndRunsOnItsTestBench) {
  EvalFixture f;
  f.p().evaluation.EvalExpression = "2 + 3";
  f.p().evaluation.NormalizeExpression();
  EXPECT_EQ(f.w().Text1.Text(), "2+3");
  EXPECT_EQ(f.w().Text19.Text(), "2+3");
  // The bench's own button, with its design text.
  f.w().Text19.setText("2^1^0+1^-^1^0");
  f.w().Command37.Click();
  EXPECT_EQ(f.w().Text20.Text(), "2^10+1^-10");
  EXPECT_FALSE(f.w().Frame3.Visible);
}

TEST(Normaliser, SurvivesAnyText) {
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) printable += c;
  for (const std::string& text : std::initializer_list<std::string>{
           printable, std::string(20000, '('), "2" + std::string(20000, '('),
           std::string(20000, '9') + "pi", "log" + std::string(10000, '#') + "1",
           std::string(5000, '^') + "1", "\xd0\xb0\xd0\xb1 sin\xff"}) {
    // The rules only ever add a few characters for each they find.
    EXPECT_LE(normalise(text).size(), 4 * text.size()) << text.substr(0, 40);
  }
}

}  // namespace
}  // namespace kel::test
