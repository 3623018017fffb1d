#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "eval_fixture.h"
#include "tools/eval_tool.h"

namespace kel::test {
namespace {

// What the result row shows, as kelvarin-eval prints it: the result text, a tab, the message.
std::string row(const std::string& formula, bool degrees, bool round = false) {
  return tools::evalLine({tools::EvalMode::Evaluate, degrees, round}, formula);
}

// Only what the result typing can type.
bool typable(const std::string& text) {
  return text.find_first_not_of("0123456789-.E+") == std::string::npos;
}

struct Case {
  bool degrees;
  const char* formula;
  const char* shown;  // Text12, a tab, Label55
};

TEST(Evaluator, ValuesAndMessages) {
  const Case cases[] = {
      {true, "sin^(2)30+2pi", "6.53318530717958\t"},
      {true, "log#28", "3\t"},
      {true, "1/0", "\tdivision by zero"},
      {true, "", "\tERROR"},
      {true, "2+3 = ", "5\t"},  // what stands before a final " = "
      {false, "SQR(-4)", "\tSQRT(-Number)"},
      {false, "sqr(16)+1", "5\t"},
      {true, "tg90", "\tTanges => безкрайност"},
      {false, "tg90", "-1.9952004122078\t"},  // an ordinary number in radians
      {true, "cotg(0)", "\tCotanges => безкрайност"},
      {true, "cotg(45)", "1\t"},
      {false, "ln(0)", "\tError => Log(-Number) or LOGa(Number) a<=0 or a=1"},
      {false, "lg0", "\tError => Log(-Number) or LOGa(Number) a<=0 or a=1"},
      {false, "log#1(5)", "\tError => Log(-Number) or LOGa(Number) a<=0 or a=1"},
      {true, "asin(2)", "\tError => ASIN(Number< -1) or ASIN(Number>1)"},
      {true, "acos(2)", "\tError => ACOS(Number< -1) or ACOS(Number>1)"},
      {true, "asin(0.5)", "30\t"},  // degrees from the inverse functions
      {false, "asin(1)", "1.5707963267949\t"},
      {true, "acos(0)", "90\t"},
      {true, "atg1", "45\t"},
      {false, "ln(0)+1/0", "\tdivision by zero"},  // an error number wins over a domain code
      {false, "tanh(800)", "\toverflow"},
      {false, "10^400", "\toverflow"},
      {false, "0/0", "\toverflow"},
      {false, "2*(3", "\tERROR"},
      {false, "abs(2)", "\tERROR"},
      {false, "1<2", "-1\t"},  // a comparison shows its number
      {false, "w", "\t"},      // a lone name nothing defines: no value, no message
      {false, "(1+2)(3+4)", "21\t"},
      {false, "2(3+1)", "8\t"},
      {false, "2^1^0", "1024\t"},
      {false, "lg100", "2\t"},
      {false, "ln5", "1.6094379124341\t"},
      {false, "ln(5)", "1.6094379124341\t"},
      {true, "SIN(30)+PI", "3.64159265358979\t"},
      {false, "2+empty", "2\t"},  // the language's literals, as words typed on the page
      {false, "-empty", "0\t"},
      {false, "2+true", "1\t"},
      {false, "(-8)^(1/3)", "\tSQRT(-Number)"},  // the language's invalid call, error 5
  };
  for (const Case& c : cases)
    EXPECT_EQ(row(c.formula, c.degrees), c.shown) << c.formula << (c.degrees ? " deg" : " rad");
}

// The faults of the rewriting rules: a match that rewrote other places containing its text,
// and a decimal logarithm that silently became its argument.
TEST(Evaluator, OverlappingMatchesAndLeftoverLogarithms) {
  const Case cases[] = {
      {true, "sin3+sin30", "0.55233595624294\t"},  // sin 3 + sin 30, not sin(3)+sin(3)0
      {false, "lg10+lg100", "3\t"},
      {true, "sin^(2)3+sin^(2)30", "0.252739052315863\t"},
      {false, "log#28+log#288", "9.4594316186373\t"},
      {false, "lg(2+3)", "0.698970004336019\t"},
      {false, "lg(-1)", "\tError => Log(-Number) or LOGa(Number) a<=0 or a=1"},
      {false, "lg-1", "\tERROR"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(row(c.formula, c.degrees), c.shown) << c.formula << (c.degrees ? " deg" : " rad");
}

// In degrees an arc function's call is one factor: what stands next to it works on the
// angle in degrees. (The factor is 180/pi with the 15-digit pi, so an angle carries a
// residue of 1E-15 of itself that a power can show: asin(0.5)^2 is 900.000000000002
// unrounded, 2^atg(1) is 2^45.00000000000005.)
TEST(Evaluator, ArcFunctionsInDegreesAreOneFactor) {
  struct Row {
    bool degrees, round;
    const char* formula;
    const char* shown;
  };
  const Row rows[] = {
      {true, false, "1/asin(0.5)", "3.33333333333333E-02\t"},
      {true, true, "asin(0.5)^2", "900\t"},
      {true, true, "asin^(2)(0.5)", "900\t"},
      {true, false, "atg(1)/atg(1)", "1\t"},
      {true, false, "90/acos(0)", "1\t"},
      {true, false, "2^atg(1)", "35184372088833\t"},
      {true, false, "1/atg1", "2.22222222222222E-02\t"},
      {true, false, "asin(asin(1)/90)", "90\t"},  // a call inside the argument of another
      {true, false, "acos((0.5))*2", "120\t"},
      {true, false, "asin(0.5)", "30\t"},
      {true, false, "acos(0)+atg(1)", "135\t"},
      {false, false, "1/asin(1)", "0.636619772367582\t"},  // radians as they were
  };
  for (const Row& r : rows)
    EXPECT_EQ(row(r.formula, r.degrees, r.round), r.shown)
        << r.formula << (r.degrees ? " deg" : " rad");
}

TEST(Evaluator, LargeAndSmallNumbersAreShortened) {
  const Case cases[] = {
      {false, "1200000", "12E+5\t"},
      {false, "-1200000", "-12E+5\t"},
      {false, "10000", "1E+4\t"},
      {false, "1000", "1000\t"},
      {false, "100.5", "100.5\t"},
      {false, "0.0012", "0.0012\t"},
      {false, "0.000123", "1.23E-4\t"},
      {false, "0.0005", "5E-4\t"},
      {false, "-0.000123", "-0.000123\t"},  // negative numbers are left alone
      {false, "123456789*10000", "123456789E+4\t"},
      {false, "10^20", "1E+20\t"},
      {false, "5/10^20", "5E-20\t"},
      {false, "1/3", "0.333333333333333\t"},
  };
  for (const Case& c : cases) EXPECT_EQ(row(c.formula, c.degrees), c.shown) << c.formula;
}

TEST(Evaluator, RoundingGoesToThreeDecimalsHalvesToEven) {
  const Case cases[] = {
      {false, "0.000123", "0\t"},  // so the small-number rule never meets a rounded value
      {false, "2/3", "0.667\t"},          {false, "2.0005", "2\t"},
      {false, "2.0015", "2.002\t"},       {false, "-2.0015", "-2.002\t"},
      {false, "1234.5678", "1234.568\t"}, {false, "1200000.0004", "12E+5\t"},
      {true, "sin^(2)30+2pi", "6.533\t"}, {true, "tg90", "\tTanges => безкрайност"},
  };
  for (const Case& c : cases) EXPECT_EQ(row(c.formula, c.degrees, true), c.shown) << c.formula;
}

// An equation or inequality compares its sides as the program shows numbers, to 15
// significant digits: sides written alike are equal, sides written differently are not,
// and the inequalities agree with the equation. "Round" does not enter a comparison.
TEST(Evaluator, EquationsCompareTheirSidesAsTheyAreShown) {
  struct Row {
    bool round;
    const char* formula;
    const char* shown;
  };
  const Row rows[] = {
      {false, "0.1+0.2=0.3", "-1\t"},
      {false, "(SQR(2))^(2)=2", "-1\t"},
      {false, "log#3243=5", "-1\t"},  // the quotient of natural logarithms, 4.999999999999999
      {false, "ln(e^(3))=3.00000000000001", "-1\t"},  // as shown unrounded, e the 15-digit one
      {false, "1/3=0.333", "0\t"},
      {false, "2=2.001", "0\t"},
      {false, "0.1+0.2<0.3", "0\t"},
      {false, "0.1+0.2<=0.3", "-1\t"},
      {false, "0.1+0.2>0.3", "0\t"},
      {false, "0.1+0.2>=0.3", "-1\t"},
      {false, "0.1+0.2<>0.3", "0\t"},
      {false, "1/3=0.333333333333333", "-1\t"},
      {false, "1/3<0.333333333333333", "0\t"},
      {false, "2/3=0.666666666666667", "-1\t"},
      // The 15th digit decides; a 16th is not shown.
      {false, "1.00000000000001=1", "0\t"},
      {false, "1.00000000000001>1", "-1\t"},
      {false, "1.000000000000001=1", "-1\t"},
      // Halves at the 15th digit go to the even digit, as the text does: 1000000000000005
      // shows 1E+15, 1000000000000015 and 1000000000000025 both 1.00000000000002E+15.
      {false, "1000000000000005=10^15", "-1\t"},
      {false, "1000000000000015=1000000000000025", "-1\t"},
      {false, "1000000000000005<1000000000000015", "-1\t"},
      // The exponent form: 999999999999999.9 shows 1E+15, 999999999999999 does not.
      {false, "10^15=999999999999999.9", "-1\t"},
      {false, "10^15>999999999999999", "-1\t"},
      {false, "-(0.1+0.2)=-0.3", "-1\t"},
      {false, "0.3-0.1-0.2=0", "0\t"},  // -2.77555756156289E-17 is no 0
      {false, "0*(-1)=0", "-1\t"},      // -0 is shown 0
      {false, "(1<2)=(-1)", "-1\t"},    // a comparison is -1 or 0
      {false, "(0.1+0.2=0.3)=(1+2=3)", "-1\t"},
      {true, "1/3=0.333", "0\t"},  // shown 0.333 with "Round", still not equal
      {true, "2.0004=2", "0\t"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(row(r.formula, false, r.round), r.shown) << r.formula << (r.round ? " round" : "");
}

struct Rewrite {
  bool degrees;
  const char* formula;
  const char* script;  // EvalExpression as the engine receives it
};

TEST(Evaluator, RewritesNamesIntoTheMathObjectsNames) {
  const Rewrite cases[] = {
      {false, "sin30+cos60", "MSIN(30)+MCOS(60)"},
      {false, "tg(1)", "MTAN(1)"},
      {false, "cotg(1)", "MCOTAN(1)"},
      {false, "asin(0.5)", "ASIN(0.5)"},
      {true, "asin(0.5)", "((180/pi)*ASIN(0.5))"},
      {true, "ACOS(0.5)+atg(1)", "((180/pi)*ACOS(0.5))+((180/pi)*ATAN(1))"},
      {true, "asin(acos(1)+(2))", "((180/pi)*ASIN(((180/pi)*ACOS(1))+(2)))"},
      {true, "2*asin", "2*(180/pi)*ASIN"},  // no argument: the name as it stands
      {true, "acos(1", "(180/pi)*ACOS(1"},
      {false, "sqr(4)", "SQR(4)"},
      {false, "Sqr(4) = ", "SQR(4)"},
  };
  for (const Rewrite& c : cases) {
    EvalFixture f;
    f.degrees(c.degrees);
    f.w().comp.setText(c.formula);
    f.p().evaluation.RRavno2();
    EXPECT_EQ(f.p().evaluation.EvalExpression, c.script) << c.formula;
    EXPECT_EQ(f.w().comp.Text(), c.formula);
  }
}

TEST(Evaluator, AFailureOrAnEmptyValueLeavesTheResultAsItWas) {
  EvalFixture f;
  MainWindow& w = f.w();
  w.Text12.setText("42");
  w.comp.setText("1/0");
  f.p().evaluation.RRavno2();
  EXPECT_EQ(w.Text12.Text(), "42");
  EXPECT_EQ(f.label55(), "division by zero");
  EXPECT_TRUE(w.Label55.Visible);
  w.comp.setText("w");
  f.p().evaluation.RRavno2();
  EXPECT_EQ(w.Text12.Text(), "42");
  EXPECT_EQ(f.label55(), "");
  w.comp.setText("6*7+1");
  f.p().evaluation.RRavno2();
  EXPECT_EQ(w.Text12.Text(), "43");
}

TEST(Evaluator, ADomainMessageClearsTheCodeAndAnErrorNumberKeepsIt) {
  EvalFixture f;
  f.w().comp.setText("ln(0)");
  f.p().evaluation.RRavno2();
  EXPECT_EQ(f.label66(), "");
  f.w().comp.setText("ln(0)+1/0");
  f.p().evaluation.RRavno2();
  EXPECT_EQ(f.label55(), "division by zero");
  EXPECT_EQ(f.label66(), "3");
  f.w().comp.setText("1+1");  // every evaluation starts without a code
  f.p().evaluation.RRavno2();
  EXPECT_EQ(f.label66(), "");
  EXPECT_EQ(f.w().Text12.Text(), "2");
}

TEST(Evaluator, ClearsBusyFlagAndReturnsThePointerAfterTheKeyboard) {
  for (const char* formula : {"1+1", "1/0", "2*(", "ln(0)"}) {
    for (int keyboardShown : {0, 1}) {
      EvalFixture f;
      f.p().BusyFlag = 1;
      f.p().Form8Shown = keyboardShown;
      const std::size_t fronts = f.s.desk().frontCalls.size();
      f.w().comp.setText(formula);
      f.p().evaluation.RRavno2();
      EXPECT_EQ(f.p().BusyFlag, 0) << formula;
      const bool ok = std::string(formula) == "1+1";
      // Success and "ERROR" bring the main window to the front.
      const bool front = ok || std::string(formula) == "2*(";
      EXPECT_EQ(f.s.desk().frontCalls.size() > fronts, front) << formula;
      // The pointer goes back where it was clicked, after a second, only after a success
      // while the on-screen keyboard is shown.
      EXPECT_EQ(f.w().Timer28.Enabled(), ok && keyboardShown == 1) << formula;
      if (ok && keyboardShown == 1) {
        EXPECT_EQ(f.w().Timer28.Interval(), 1000);
      }
    }
  }
}

TEST(Evaluator, StartUpCreatesTheEngineWithTheMathObject) {
  EvalFixture f;
  ASSERT_TRUE(f.p().evaluation.ScriptEngine);
  EXPECT_EQ(f.p().evaluation.ScriptEngine->Language(), "VBScript");
  EXPECT_EQ(f.engine("pi"), "3.14159265358979");
  EXPECT_FALSE(f.w().Frame3.Visible);
  // The hidden panel's "=" button evaluates comp.
  f.w().comp.setText("2+2");
  f.w().Command11.Click();
  EXPECT_EQ(f.w().Text12.Text(), "4");
  // Without an engine an evaluation fails like any other.
  f.p().evaluation.ScriptEngine.reset();
  f.p().evaluation.RRavno2();
  EXPECT_EQ(f.label55(), "ERROR");
}

// Whatever the formula, the evaluation ends with a message or with a text the result typing
// can type, and never with "inf", "nan" or a crash.
TEST(Evaluator, AnyTextEndsInAMessageOrATypableResult) {
  EvalFixture f;
  auto check = [&](const std::string& formula) {
    f.w().Text12.setText("");
    f.w().comp.setText(formula);
    f.p().evaluation.RRavno2();
    const std::string shown = f.w().Text12.Text();
    EXPECT_TRUE(typable(shown)) << formula.substr(0, 40) << " gave " << shown;
    if (!shown.empty()) {
      EXPECT_EQ(f.label55(), "") << formula.substr(0, 40);
    }
    return shown.empty() ? f.label55() : shown;
  };
  std::string printable;
  for (char c = ' '; c <= '~'; ++c) {
    printable += c;
    const std::string one(1, c);
    check(one);
    check("1" + one + "2");
    check(one + "(1)");
    check("sin" + one + "30");
  }
  EXPECT_EQ(check(printable), "ERROR");
  EXPECT_EQ(check(std::string(100000, '1')), "ERROR");
  EXPECT_EQ(check(std::string(100000, '(')), "ERROR");
  EXPECT_EQ(check(std::string(10000, '(') + "1" + std::string(10000, ')')), "ERROR");
  EXPECT_EQ(check(std::string(2000, '(') + "1" + std::string(2000, ')')), "ERROR");
  EXPECT_EQ(check(std::string(100, '(') + "1" + std::string(100, ')')), "1");
  EXPECT_EQ(check("1\r\n2"), "ERROR");
  EXPECT_EQ(check("10^308*10"), "overflow");
  EXPECT_EQ(check("(1&2)+(3&4)"), "1234");
  EXPECT_EQ(check("\xd0\xb0+1"), "ERROR");
  std::string sum = "1";
  for (int i = 1; i < 10000; ++i) sum += "+1";
  EXPECT_EQ(check(sum), "1E+4");
}

TEST(Evaluator, WritesAPointWhateverTheProcessLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
  EXPECT_EQ(row("1/4+sin30", true), "0.75\t");
  std::locale::global(before);
}

}  // namespace
}  // namespace kel::test
