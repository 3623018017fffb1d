#include "platform/script/script_engine.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <locale>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kel::script {
namespace {

// A small object with one variable and two methods, to add to an engine.
class Counter : public ScriptObject {
 public:
  double v = 0;
  int calls = 0;
  std::vector<Member> members() override {
    return {
        {"Value", -1, [this](std::span<const Value>) { return Value::number(v); },
         [this](const Value& x) { v = toNumber(x); }},
        {"Twice", 1,
         [this](std::span<const Value> a) {
           ++calls;
           return Value::number(2 * toNumber(a[0]));
         },
         nullptr},
        {"Huge", 0, [](std::span<const Value>) { return Value::number(1e308 * 10); }, nullptr},
    };
  }
};

struct EngineFixture : ::testing::Test {
  EngineFixture() {
    engine.setLanguage("VBScript");
    engine.AddObject("Counter", counter, true);
  }
  // The value's text, or "error N".
  std::string eval(const std::string& expression) {
    try {
      return toText(engine.Eval(expression));
    } catch (const ScriptError& e) {
      return "error " + std::to_string(e.number());
    }
  }
  int errorOf(auto&& f) {
    try {
      f();
    } catch (const ScriptError& e) {
      return e.number();
    }
    return 0;
  }
  std::shared_ptr<Counter> counter = std::make_shared<Counter>();
  Engine engine;
};

struct Case {
  const char* expression;
  const char* expected;
};

TEST_F(EngineFixture, OperatorsHaveTheLanguagesPrecedenceAndAssociativity) {
  const Case cases[] = {
      {"2^3^2", "64"},  // ^ is left-associative
      {"1+2*3", "7"},        {"(1+2)*3", "9"},     {"8/2/2", "2"},
      {"7\\2*3", "1"},                                                 // \ binds below *
      {"10 Mod 3\\2", "0"},                                            // Mod binds below \ .
      {"1+7 Mod 4", "4"},                                              // + binds below Mod
      {"2*3 mod 4", "2"},    {"1+2&3", "33"},                          // & binds below +
      {"1&2+3", "15"},       {"2*3&4", "64"},      {"1+1=2", "True"},  // comparisons below &
      {"1&1=11", "False"},  // ("1"&"1")=11: a text is never equal to a number
      {"1<2", "True"},       {"2<=1", "False"},    {"3<>3", "False"},
      {"1<2=-1", "True"},                           // a true comparison is -1
      {"(1<2)+1", "0"},                             // and counts as -1 in arithmetic
      {"Not 1=2", "True"},                          // Not below comparisons
      {"Not 0", "-1"},       {"Not 0 And 0", "0"},  // And below Not
      {"1 Or 2 And 0", "1"},                        // Or below And
      {"6 And 3", "2"},      {"1+Not 2", "-2"},     // Not as an operand takes the rest of its level
      {"2 Or 4", "6"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

// Asked to, the comparisons order numbers as numberToText writes them; without asking, and
// for texts either way, they stay the language's.
TEST_F(EngineFixture, ComparisonsOrderNumbersAsShownOnlyWhenAsked) {
  struct Row {
    const char* expression;
    const char* exact;
    const char* asShown;
  };
  const Row rows[] = {
      {"0.1+0.2=0.3", "False", "True"},
      {"0.1+0.2<>0.3", "True", "False"},
      {"0.1+0.2>0.3", "True", "False"},
      {"0.1+0.2>=0.3", "True", "True"},
      {"0.1+0.2<0.3", "False", "False"},
      {"0.1+0.2<=0.3", "False", "True"},
      {"1/3=0.333333333333333", "False", "True"},
      {"1/3=0.333", "False", "False"},
      {"1.00000000000001=1", "False", "False"},
      {"1000000000000005=1E15", "False", "True"},  // halves to the even digit
      {"1000000000000015=1000000000000025", "False", "True"},
      {"1000000000000005<1000000000000015", "True", "True"},
      {"999999999999999.9=1E15", "False", "True"},
      {"999999999999999<1E15", "True", "True"},
      {"-0.30000000000000004<-0.3", "True", "False"},
      {"-2<-1.9999999999999998", "True", "False"},  // the double next to -2 shows -2
      {"-2<=-1.9999999999999998", "True", "True"},
      {"5E-324=4.94065645841247E-324", "True", "True"},  // the smallest positive number
      {"4E-323<5E-323", "True", "True"},
      {"1E-300>0", "True", "True"},  // no number other than zero shows as 0
      {"-1E-300<0", "True", "True"},
      {"0*-1=0", "True", "True"},
      {"1E307*1.1=1.1E307", "False", "True"},
      {"1E-200*0.3=3E-201", "False", "True"},
      {"1E-310*3.3=3.3E-310", "False", "False"},  // 3.29999999999998E-310: fewer bits there
      {"empty=0", "True", "True"},
      {"empty<1E-300", "True", "True"},
      {"(1<2)=-1", "True", "True"},
      {"(0&1)=(1&empty)", "False", "False"},  // texts as they are: "01" is not "1"
      {"(0&1)>1E300", "True", "True"},        // a text is above any number
      {"1&1=11", "False", "False"},           // a text is never equal to a number
  };
  for (const Row& r : rows) {
    EXPECT_EQ(eval(r.expression), r.exact) << r.expression;
    EXPECT_EQ(toText(engine.Eval(r.expression, NumberComparison::AsShown)), r.asShown)
        << r.expression;
  }
  // Also inside the functions the expression calls, and only for that one Eval.
  engine.AddCode("Function F()\r\n    F = 0.1+0.2=0.3\r\nEnd Function");
  EXPECT_EQ(toText(engine.Eval("F()", NumberComparison::AsShown)), "True");
  EXPECT_EQ(eval("F()"), "False");
}

// Near neighbours of all magnitudes: as shown, two numbers are equal exactly when
// numberToText writes them alike, and ordered as the numbers written are.
TEST_F(EngineFixture, AsShownTwoNumbersAreEqualExactlyWhenWrittenAlike) {
  std::mt19937_64 random(35);
  auto literal = [](double x) {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x);  // reads back as x
    return std::string(buf.data(), r.ptr);
  };
  auto shown = [](double x) {
    double v = 0;
    const std::string t = numberToText(x);
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
  };
  int alike = 0, apart = 0;
  for (int i = 0; i < 4000; ++i) {
    const int exponent = static_cast<int>(random() % 2000) - 1000;  // 1E-301 to 2E+301
    double x = std::ldexp(1.0 + static_cast<double>(random() % 1000000) / 1e6, exponent);
    if (random() % 2) x = -x;
    double y = x;
    for (std::uint64_t k = random() % 40; k > 0; --k) y = std::nextafter(y, x > 0 ? 1e308 : -1e308);
    if (random() % 3 == 0) y = std::nextafter(x, 0.0);
    const std::string a = literal(x), b = literal(y);
    const bool same = numberToText(x) == numberToText(y);
    (same ? alike : apart) += 1;
    auto holds = [&](const std::string& op) {
      return engine.Eval(a + op + b, NumberComparison::AsShown).booleanValue();
    };
    EXPECT_EQ(holds("="), same) << a << " " << b;
    EXPECT_EQ(holds("<>"), !same) << a << " " << b;
    EXPECT_EQ(holds("<"), shown(x) < shown(y)) << a << " " << b;
    EXPECT_EQ(holds(">="), shown(x) >= shown(y)) << a << " " << b;
  }
  // Both kinds of pairs were met often.
  EXPECT_GT(alike, 1000);
  EXPECT_GT(apart, 1000);
}

TEST_F(EngineFixture, WholeQuotientAndModRoundTheirOperandsHalvesToEven) {
  const Case cases[] = {
      {"7\\2", "3"},          {"-7\\2", "-3"},    {"2.5\\1", "2"},      {"3.5\\1", "4"},
      {"-2.5\\1", "-2"},      {"7.5\\2", "4"},    {"7 Mod 3", "1"},     {"-7 Mod 3", "-1"},
      {"7.5 Mod 2", "0"},     {"6.5 Mod 4", "2"}, {"7\\0", "error 11"}, {"7 Mod 0", "error 11"},
      {"1E10\\1", "error 6"},  // beyond the language's 32-bit whole numbers
      {"0.4\\1", "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

// Unary minus binds below ^, as a formula means it, and may stand after ^.
TEST_F(EngineFixture, UnaryMinusBindsBelowPower) {
  const Case cases[] = {
      {"-2^2", "-4"}, {"(-2)^2", "4"}, {"-3^2", "-9"}, {"2^-1", "0.5"},   {"-2^-2", "-0.25"},
      {"2*-3", "-6"}, {"2--2", "4"},   {"--2", "2"},   {"+2", "2"},       {"2^+3", "8"},
      {"-x", "0"},    {"4-2^2", "0"},  {"-2*-2", "4"}, {"10/-4", "-2.5"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

TEST_F(EngineFixture, NumbersAreWrittenAsTheLanguageWritesThem) {
  const Case cases[] = {
      {"1E3", "1000"},
      {"1e3", "1000"},
      {"1.5E-3", "0.0015"},
      {".5", "0.5"},
      {"5.", "5"},
      {"2.50", "2.5"},
      {"1E15", "1E+15"},
      {"999999999999999", "999999999999999"},
      {"123456789012345678", "1.23456789012346E+17"},
      {"1E21", "1E+21"},
      {"0.000056789", "0.000056789"},
      {"5.6789E-12", "5.6789E-12"},
      {"1/3000000", "3.33333333333333E-07"},
      {"1/3", "0.333333333333333"},
      {"2/3", "0.666666666666667"},
      {"0.1+0.2", "0.3"},
      {"100*1.1", "110"},
      {"-1.5", "-1.5"},
      {"-0", "0"},  // never "-0"
      {"0*-1", "0"},
      {"1E-400", "0"},
      {"1E400", "error 6"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

TEST(NumberText, UsesAPointWhateverTheProcessLocale) {
  struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
  };
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new Comma));
  EXPECT_EQ(numberToText(1234567.25), "1234567.25");
  EXPECT_EQ(numberToText(5.6789e-12), "5.6789E-12");
  Engine engine;
  EXPECT_EQ(toText(engine.Eval("1/4+1.5")), "1.75");
  std::locale::global(before);
}

TEST(NumberText, RoundsHalvesToEvenOnTheShownDigits) {
  struct Rounding {
    double x;
    int places;
    double expected;
  };
  const Rounding cases[] = {
      {2.0005, 3, 2},      {2.0015, 3, 2.002},  {-2.0015, 3, -2.002}, {0.0005, 3, 0},
      {0.0015, 3, 0.002},  {0.00051, 3, 0.001}, {0.000123, 3, 0},     {9.9996, 3, 10},
      {1.23456, 3, 1.235}, {2.5, 0, 2},         {3.5, 0, 4},          {1e20, 3, 1e20},
      {123.4, 3, 123.4},
  };
  for (const Rounding& c : cases)
    EXPECT_EQ(roundHalfEvenDecimal(c.x, c.places), c.expected) << c.x << " to " << c.places;
}

TEST_F(EngineFixture, ErrorsCarryTheLanguagesNumbers) {
  const Case cases[] = {
      {"1/0", "error 11"},         {"0/0", "error 6"},
      {"1E308*10", "error 6"},     {"10^400", "error 6"},
      {"(-8)^(1/3)", "error 5"},  // no real power: an invalid call
      {"(-8)^3", "-512"},          {"(-2)^-1", "-0.5"},
      {"0^-1", "error 6"},  // infinite
      {"SQR(-4)", "error 5"},      {"SQR(16)", "4"},
      {"sqr(2.25)", "1.5"},        {"SQR()", "error 450"},
      {"SQR(1,2)", "error 450"},   {"SQR", "error 450"},
      {"Twice(1,2)", "error 450"}, {"Twice", "error 450"},
      {"Value(1)", "error 450"},   {"Huge", "error 6"},  // a member's result that is not finite
      {"foo(1)", "error 13"},      {"foo()", "error 13"},
      {"Counter", "error 438"},    {"(1&2)+(3&4)", "1234"},      // two texts are joined by +
      {"(1&2)+1", "13"},                                         // a text and a number are added
      {"(1<2)&1", "True1"},        {"((1<2)&1)+1", "error 13"},  // a text that is no number
      {"", "error 1023"},          {"2*", "error 1023"},
      {"*2", "error 1023"},        {"(1", "error 1006"},
      {"Twice(1", "error 1006"},   {"1)", "error 1025"},
      {"1 2", "error 1025"},       {"2pi", "error 1025"},  // no implicit multiplication
      {"2(3)", "error 1025"},      {"#1#", "error 1032"},
      {"\"a\"", "error 1032"},  // no texts in quotes
      {"1:2", "error 1032"},    // no second statement
      {"1'comment", "error 1032"}, {"a.b", "error 1032"},
      {"1\n+2", "error 1032"},     {"2 xor 3", "error 1025"},
      {"null", "error 1002"},      {"Mod", "error 1023"},
      {"true(1)", "error 1025"},   {"1.2.3", "error 1025"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

TEST_F(EngineFixture, NamesAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(eval("TWICE(2)+twice(3)+Twice(4)"), "18");
  EXPECT_EQ(counter->calls, 3);
  counter->v = 7;
  EXPECT_EQ(eval("VALUE+value"), "14");
  EXPECT_EQ(eval("value()"), "7");
}

TEST_F(EngineFixture, AnUndefinedNameIsEmptyAndCountsAsZero) {
  EXPECT_EQ(eval("nothing_here"), "");
  EXPECT_EQ(engine.Eval("nothing_here").kind(), Value::Kind::Empty);
  EXPECT_EQ(eval("nothing_here+1"), "1");
  EXPECT_EQ(eval("nothing_here*5"), "0");
  EXPECT_EQ(eval("nothing_here&1"), "1");
  EXPECT_EQ(eval("nothing_here=0"), "True");
}

// What the engine gives for a name nothing defines is no value of it; the caller is told.
TEST_F(EngineFixture, TellsWhetherTheLastEvalReadANameWithoutValue) {
  engine.AddCode("Function F()\r\n    F = nothing_here\r\nEnd Function");
  const std::pair<const char*, bool> cases[] = {
      {"nothing_here*5", true},  {"Twice(e2)", true}, {"F()", true},
      {"Value+Twice(2)", false}, {"F", true},         {"empty+true", false},
      {"Value", false},          {"2+", false},
  };
  for (const auto& [expression, without] : cases) {
    SCOPED_TRACE(expression);
    engine.Eval("nothing_here");  // a name without value before must not count
    eval(expression);
    EXPECT_EQ(engine.ReadNameWithoutValue(), without);
  }
}

// The language's literals, as a word typed on the page can bring them.
TEST_F(EngineFixture, EmptyTrueAndFalseAreTheLanguagesLiterals) {
  const Case cases[] = {
      {"2+empty", "2"},      {"-empty", "0"},
      {"empty ^ 3", "0"},    {"EMPTY", ""},
      {"empty&1", "1"},      {"not false", "True"},
      {"2+true", "1"},       {"True", "True"},
      {"false", "False"},    {"true and false", "False"},
      {"-true", "1"},        {"empty=0", "True"},
      {"true = -1", "True"},
  };
  for (const Case& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
  EXPECT_EQ(engine.Eval("Empty").kind(), Value::Kind::Empty);
  EXPECT_EQ(engine.Eval("True").kind(), Value::Kind::Boolean);
}

TEST_F(EngineFixture, StatementsCallMembersAndAssignVariables) {
  engine.ExecuteStatement("Value = 2+3");
  EXPECT_EQ(counter->v, 5);
  engine.ExecuteStatement("twice(4)");
  EXPECT_EQ(counter->calls, 1);
  EXPECT_EQ(errorOf([&] { engine.ExecuteStatement("Twice = 1"); }), err::IllegalAssignment);
  EXPECT_EQ(errorOf([&] { engine.ExecuteStatement("other = 1"); }), err::VariableUndefined);
  EXPECT_EQ(errorOf([&] { engine.ExecuteStatement("1+2"); }), err::ExpectedStatement);
  EXPECT_EQ(errorOf([&] { engine.ExecuteStatement("Value = "); }), err::ExpectedExpression);
  EXPECT_EQ(errorOf([&] { engine.ExecuteStatement("unknown_procedure"); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { engine.AddObject("counter", counter, false); }), err::KeyAlreadyUsed);
  EXPECT_EQ(errorOf([&] { engine.setLanguage("JScript"); }), err::InvalidPropertyValue);
}

TEST_F(EngineFixture, TheMostRecentDefinitionOfAFunctionWins) {
  engine.AddCode("Function F()\r\n    F = 1\r\nEnd Function");
  engine.AddCode("function f()\n  f = 2\nend function");
  EXPECT_EQ(eval("F()"), "2");
  EXPECT_EQ(eval("f+1"), "3");  // a bare name calls the function
  // A definition with an error adds nothing: the one before stays.
  EXPECT_EQ(errorOf([&] { engine.AddCode("Function F()\r\n    F = 3 +\r\nEnd Function"); }),
            err::ExpectedExpression);
  EXPECT_EQ(eval("F()"), "2");
  EXPECT_EQ(eval("F(1)"), "error 450");
}

TEST_F(EngineFixture, AFunctionBodyOnlyAssignsToTheFunctionsName) {
  // Inside the body the bare name is the value assigned so far.
  engine.AddCode("Function G()\n G = 5\n G = G * 2\nEnd Function");
  EXPECT_EQ(eval("G()"), "10");
  const struct {
    const char* code;
    int error;
  } cases[] = {
      {"Function H()\n other = 1\nEnd Function", err::SyntaxError},
      {"Function H()\n H = 1", err::ExpectedEnd},
      {"Function H()\n H = 1\nEnd", err::ExpectedFunction},
      {"Function H(x)\n H = x\nEnd Function", err::ExpectedCloseBracket},
      {"Function ()\nEnd Function", err::ExpectedIdentifier},
      {"Function If()\nEnd Function", err::ExpectedIdentifier},
      {"H = 1", err::ExpectedStatement},
      {"Function H()\n Function K()\nEnd Function", err::SyntaxError},
  };
  for (const auto& c : cases)
    EXPECT_EQ(errorOf([&] { engine.AddCode(c.code); }), c.error) << c.code;
  EXPECT_EQ(eval("H()"), "error 13");
}

TEST_F(EngineFixture, NestingAndLengthAreBounded) {
  const std::string deep = std::string(10000, '(') + "1" + std::string(10000, ')');
  EXPECT_EQ(eval(deep), "error 28");
  EXPECT_EQ(eval(std::string(10000, '-') + "1"), "error 28");
  EXPECT_EQ(eval(std::string(5000, '(') + "1"), "error 28");
  EXPECT_EQ(eval("Twice(" + std::string(10000, '(')), "error 28");
  std::string notChain;
  for (int i = 0; i < 10000; ++i) notChain += "Not ";
  EXPECT_EQ(eval(notChain + "1"), "error 28");
  // Nesting up to the bound is fine.
  const int n = Engine::kMaxNesting - 2;
  EXPECT_EQ(eval(std::string(n, '(') + "2" + std::string(n, ')')), "2");
  // A long sum is flat, not deep.
  std::string sum = "1";
  for (int i = 1; i < 20000; ++i) sum += "+1";
  EXPECT_EQ(eval(sum), "20000");
  EXPECT_EQ(eval(std::string(Engine::kMaxSourceLength + 1, '1')), "error 7");
  EXPECT_EQ(errorOf([&] { engine.AddCode(std::string(100000, ' ')); }), err::OutOfMemory);
  EXPECT_EQ(eval("Twice(" + std::string(300, 'a') + ")"), "error 1030");
}

TEST_F(EngineFixture, CallsOfScriptFunctionsAreBounded) {
  // A function that calls itself never ends in the language; here it fails at once.
  engine.AddCode("Function R()\n R = R() + 1\nEnd Function");
  EXPECT_EQ(eval("R()"), "error 28");
  // Twenty functions that each call the next twice would make a million calls.
  std::string code;
  for (int i = 0; i < 20; ++i)
    code += "Function F" + std::to_string(i) + "()\n F" + std::to_string(i) + " = F" +
            std::to_string(i + 1) + "() + F" + std::to_string(i + 1) + "()\nEnd Function\n";
  code += "Function F20()\n F20 = 1\nEnd Function\n";
  engine.AddCode(code);
  EXPECT_EQ(eval("F10()"), "1024");
  EXPECT_EQ(eval("F0()"), "error 28");
  // Texts cannot grow without bound either.
  std::string texts;
  for (int i = 0; i < 20; ++i)
    texts += "Function T" + std::to_string(i) + "()\n T" + std::to_string(i) + " = T" +
             std::to_string(i + 1) + "() & T" + std::to_string(i + 1) + "()\nEnd Function\n";
  texts += "Function T20()\n T20 = 12345\nEnd Function\n";
  engine.AddCode(texts);
  EXPECT_EQ(eval("T0()"), "error 7");
}

}  // namespace
}  // namespace kel::script
