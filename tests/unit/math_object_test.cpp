#include "evaluation/math_object.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

#include "eval_fixture.h"

namespace kel::test {
namespace {

struct MathCase {
  bool degrees;
  const char* expression;
  const char* value;
  const char* code;  // what the call leaves in Label66
};

TEST(MathObject, FunctionsInBothUnitsWithTheirDomainCodes) {
  const MathCase cases[] = {
      {true, "MSIN(30)", "0.5", ""},
      {true, "MSIN(30)=0.5", "True", ""},  // exactly, after the 14-decimal rounding
      {true, "MSIN(180)", "0", ""},
      {true, "MSIN(360)", "0", ""},
      {true, "MSIN(750)=MSIN(30)", "True", ""},  // two turns removed
      {true, "MSIN(-30)", "-0.5", ""},           // not reduced
      {true, "MSIN(90)", "1", ""},
      {true, "MCOS(90)", "0", ""},
      {true, "MCOS(270)", "0", ""},
      {true, "MCOS(60)", "0.5", ""},
      {true, "MCOS(0)", "1", ""},
      {true, "MTAN(45)", "1", ""},
      {true, "MTAN(90)", "0", "1"},
      {true, "MCOTAN(0)", "0", "2"},
      {true, "MCOTAN(45)", "1", ""},
      {false, "MTAN(90)", "-1.9952004122078", ""},  // an ordinary number in radians
      {false, "MSIN(pi)", "0", ""},                 // the zero test
      {false, "MCOS(pi/2)", "0", ""},
      {false, "MSIN(7)=MSIN(7-2*pi)", "True", ""},  // reduced by one turn
      {false, "MSIN(30)", "-0.98803162409286", ""},
      {false, "MCOTAN(0)", "0", "2"},
      {true, "asin(1)", "1.5707963267949", ""},
      {true, "asin(-1)", "-1.5707963267949", ""},
      {false, "asin(0.5)*6", "3.14159265358979", ""},
      {false, "asin(1.5)", "0", "5"},
      {false, "acos(0)", "1.5707963267949", ""},
      {false, "acos(-1)", "3.14159265358979", ""},
      {false, "acos(1)", "0", ""},
      {false, "acos(-0.5)*3", "6.28318530717958", ""},
      {false, "acos(-1.5)", "0", "6"},
      {false, "atan(1)*4", "3.14159265358979", ""},
      {false, "Lg(10,100)", "2", ""},
      {false, "Lg(2,8)", "3", ""},
      {false, "Lg(1,5)", "0", "3"},
      {false, "Lg(0,5)", "0", "3"},
      {false, "Lg(10,0)", "0", "3"},
      {false, "Lg(-2,4)", "0", "3"},
      {false, "Ln(0)", "0", "3"},
      {false, "Ln(-1)", "0", "3"},
      {false, "Ln(e)", "1", ""},
      {false, "sqrt(-4)", "0", ""},  // no code for the square root
      {false, "sqrt(2.25)", "1.5", ""},
      {false, "frac(-1.25)", "0.75", ""},
      {false, "frac(2.5)", "0.5", ""},
      {false, "cosh(0)", "1", ""},
      {false, "sinh(0)", "0", ""},
      {false, "tanh(0)", "0", ""},
      {false, "sinh(800)", "error 6", ""},
      {false, "cosh(-800)", "error 6", ""},
      {false, "tanh(800)", "error 6", ""},
      {false, "pi", "3.14159265358979", ""},  // the 15-digit value
      {false, "pi=3.14159265358979", "True", ""},
      {false, "e", "2.71828182845905", ""},
      {false, "z", "2", ""},
      {false, "MSIN()", "error 450", ""},
      {false, "Lg(2)", "error 450", ""},
      {false, "MSIN(1&\"\")", "error 1032", ""},
      {false, "MSIN((1<2)&1)", "error 13", ""},
      {false, "Ln(0)+MTAN(0)+Lg(1,1)", "0", "3"},  // a later code overwrites
      {true, "MTAN(90)+Ln(0)", "0", "3"},
      {true, "Ln(0)+MTAN(90)", "0", "1"},
  };
  for (const MathCase& c : cases) {
    EvalFixture f;
    f.degrees(c.degrees);
    EXPECT_EQ(f.engine(c.expression), c.value) << c.expression << (c.degrees ? " deg" : " rad");
    EXPECT_EQ(f.label66(), c.code) << c.expression << (c.degrees ? " deg" : " rad");
  }
}

// lg 1000 = 3 holds: the quotient of natural logarithms gives 2.9999999999999996.
TEST(MathObject, DecimalAndBinaryLogarithmsAreExactAtThePowersOfTheirBase) {
  EvalFixture f;
  Res& m = *f.p().evaluation.MathObject;
  for (int k = 0; k <= 22; ++k) EXPECT_EQ(m.Lg(10, std::pow(10.0, k)), k) << "10^" << k;
  for (int k = -1074; k <= 1023; ++k) EXPECT_EQ(m.Lg(2, std::ldexp(1.0, k)), k) << "2^" << k;
  EXPECT_EQ(f.engine("Lg(10,1000)=3"), "True");
  EXPECT_EQ(f.engine("Lg(10,100000)=5"), "True");
  // Elsewhere within an ulp of the quotient.
  for (double x : {2.0, 3.0, 7.5, 1e-5, 123456.789})
    for (double base : {2.0, 10.0}) {
      const double quotient = std::log(x) / std::log(base);
      EXPECT_NEAR(m.Lg(base, x), quotient, 2 * DBL_EPSILON * std::fabs(quotient))
          << base << " " << x;
    }
}

TEST(MathObject, TheUnitIsReadAtEveryCall) {
  EvalFixture f;
  f.degrees(true);
  EXPECT_EQ(f.engine("MSIN(90)"), "1");
  f.degrees(false);
  // 14 turns removed with the 15-digit pi: sin(90) is 0.893996663600558.
  EXPECT_EQ(f.engine("MSIN(90)"), "0.89399666360052");
  f.w().Gradusi.ListIndex = -1;  // no selection counts as radians
  EXPECT_EQ(f.engine("MSIN(90)"), "0.89399666360052");
}

TEST(MathObject, KeepsTheTurnsOfTheLastSineOrCosine) {
  EvalFixture f;
  f.degrees(true);
  EXPECT_EQ(f.engine("MSIN(750)"), "0.5");
  EXPECT_EQ(f.engine("pk"), "2");
  EXPECT_EQ(f.engine("pNovo"), "30");
  EXPECT_EQ(f.engine("pr*6"), "3.14159265358979");
  EXPECT_EQ(f.engine("MCOS(360)"), "1");
  EXPECT_EQ(f.engine("pk"), "0");  // exactly one turn is not reduced
  f.degrees(false);
  f.engine("MSIN(7)");
  EXPECT_EQ(f.engine("pk"), "1");
  EXPECT_EQ(f.engine("pNovo=7-2*pi"), "True");
}

TEST(MathObject, VariablesAreReadAndAssignedByTheScript) {
  EvalFixture f;
  script::Engine& engine = *f.p().evaluation.ScriptEngine;
  EXPECT_EQ(f.engine("asin(2)+error"), "5");
  EXPECT_EQ(f.engine("acos(2)+error"), "6");
  EXPECT_EQ(f.engine("sqrt(-1)+error"), "4");
  engine.ExecuteStatement("set_variable(1.5)");
  EXPECT_EQ(f.engine("X*2+error"), "3");
  engine.ExecuteStatement("FlagDeg = 2.5");  // a 16-bit whole number, halves to even
  EXPECT_EQ(f.engine("FlagDeg"), "2");
  try {
    engine.ExecuteStatement("error = 40000");
    ADD_FAILURE() << "no overflow";
  } catch (const script::ScriptError& e) {
    EXPECT_EQ(e.number(), script::err::Overflow);
  }
  engine.ExecuteStatement("pi = 3");
  f.degrees(true);
  EXPECT_EQ(f.engine("pi+MCOS(0)"), "4");
  engine.ExecuteStatement("set_constants");
  EXPECT_EQ(f.engine("pi"), "3.14159265358979");
}

}  // namespace
}  // namespace kel::test
