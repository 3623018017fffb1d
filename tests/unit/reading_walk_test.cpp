// The walk over the selection records: rows in left-to-right order in, raw text out.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "evaluation/reading.h"

namespace kel::test {
namespace {

// Symbols by their middle line (twips; larger is lower). A text symbol of 24 points is 540
// twips high and one of 12 points (an index) 270; a bar is 45 high.
constexpr double kLine = 1000;
constexpr double kBig = 540, kSmall = 270;

SelectionRow sym(double left, const std::string& token, double middle = kLine, double height = kBig,
                 double width = 225) {
  return {left, middle - height / 2, height, width, middle, token};
}
SelectionRow bar(double left, double width, double middle = kLine) {
  return {left, middle - 22.5, 45, width, middle, "DrCh"};
}

struct WalkCase {
  const char* name;
  std::vector<SelectionRow> rows;
  std::string raw;
  int openExponent;
};

void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }

class Walk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walk, GivesTheRawText) {
  std::vector<SelectionRow> rows = GetParam().rows;
  const WalkResult r = WalkSelection(rows);
  EXPECT_EQ(r.Raw, GetParam().raw);
  EXPECT_EQ(r.OpenExponent, GetParam().openExponent);
}

const double up = kLine - 195;

INSTANTIATE_TEST_SUITE_P(
    WorkedExamplesAndEdges, Walk,
    ::testing::Values(
        WalkCase{"empty", {}, "", 0},
        WalkCase{"one over two",
                 {bar(1000, 600), sym(1100, "1", kLine - 400), sym(1100, "2", kLine + 400)},
                 "(1)/(2)",
                 0},
        WalkCase{"mixed number",
                 {sym(700, "2"), bar(1000, 600), sym(1100, "1", kLine - 400),
                  sym(1100, "3", kLine + 400)},
                 "2~(1)/(3))",
                 0},
        WalkCase{"two fractions side by side",
                 {bar(1000, 600), sym(1100, "1", kLine - 400), sym(1100, "2", kLine + 400),
                  bar(1700, 600), sym(1800, "3", kLine - 400), sym(1800, "4", kLine + 400)},
                 "(1)/(2)(3)/(4)",
                 0},
        WalkCase{"an exponent closed by a sign",
                 {sym(1000, "x"), sym(1225, "2", up, kSmall), sym(1400, "+"), sym(1625, "1")},
                 "x^(2)+1",
                 0},
        WalkCase{"an exponent left open", {sym(1000, "2"), sym(1225, "3", up, kSmall)}, "2^(3", 1},
        WalkCase{"an exponent in the numerator",
                 {bar(1000, 800), sym(1100, "a", kLine - 500), sym(1325, "2", kLine - 695, kSmall),
                  sym(1100, "b", kLine + 400)},
                 "(a^(2))/(b)",
                 0},
        WalkCase{"an exponent in the denominator, still below the bar",
                 {bar(1000, 800), sym(1100, "1", kLine - 400), sym(1100, "x", kLine + 500),
                  sym(1325, "2", kLine + 305, kSmall)},
                 "(1)/(x^(2))",
                 0},
        WalkCase{"a logarithm's base",
                 {sym(1000, "l"), sym(1100, "o"), sym(1300, "g"),
                  sym(1500, "2", kLine + 120, kSmall), sym(1700, "8")},
                 "log#28",
                 0},
        WalkCase{
            "a base of two digits",
            {sym(1000, "l"), sym(1100, "o"), sym(1300, "g"), sym(1500, "1", kLine + 120, kSmall),
             sym(1600, "0", kLine + 120, kSmall), sym(1800, "8")},
            "log#1#08",
            0},
        WalkCase{"a picture without meaning",
                 {sym(1000, "5"), sym(1225, "+"), sym(1450, "SIMVOL")},
                 "5+SIMVOL",
                 0},
        WalkCase{"an empty denominator that nothing follows",
                 {bar(1000, 600), sym(1100, "1", kLine - 400)},
                 "(1",
                 0},
        WalkCase{"an empty denominator closed by what follows",
                 {bar(1000, 600), sym(1100, "1", kLine - 400), sym(1700, "+", kLine - 400)},
                 "(1)/()+",
                 0},
        WalkCase{"an empty numerator", {bar(1000, 600), sym(1100, "2", kLine + 400)}, "()/(2)", 0},
        WalkCase{"level with the bar, or at its left edge: left out",
                 {bar(1000, 600), sym(1000, "7", kLine - 400), sym(1100, "1", kLine - 400),
                  sym(1200, "9", kLine), sym(1300, "2", kLine + 400)},
                 "(1)/(2)",
                 0},
        WalkCase{"a bar inside an open one takes its place",
                 {bar(1000, 1200), sym(1100, "a", kLine - 400), bar(1300, 600),
                  sym(1400, "2", kLine - 400), sym(1400, "3", kLine + 400)},
                 "(a(2)/(3)",
                 0},
        WalkCase{
            "root: no closing bracket of its own", {sym(1000, "SQR("), sym(1300, "4")}, "SQR(4", 0},
        WalkCase{"root with its bracket",
                 {sym(1000, "SQR("), sym(1300, "4"), sym(1525, ")")},
                 "SQR(4)",
                 0},
        WalkCase{"the second record gets no base mark",
                 {sym(1000, "g"), sym(1200, "2", kLine + 120, kSmall)},
                 "g2",
                 0},
        WalkCase{
            "a capital G marks no base",
            {sym(1000, "l"), sym(1100, "o"), sym(1300, "G"), sym(1500, "2", kLine + 120, kSmall)},
            "loG2",
            0},
        WalkCase{"a base mark in a denominator is not seen after it",
                 {bar(1000, 1000), sym(1100, "1", kLine - 400), sym(1100, "l", kLine + 500),
                  sym(1200, "o", kLine + 500), sym(1400, "g", kLine + 500),
                  sym(1600, "2", kLine + 620, kSmall), sym(2100, "3", kLine + 620, kSmall)},
                 "(1)/(log#2)3",
                 0}),
    [](const ::testing::TestParamInfo<WalkCase>& i) {
      std::string n;
      for (char c : std::string(i.param.name))
        n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return n;
    });

// The bounds of the exponent rule are no exponent; one twip inside them is.
TEST(WalkExponentRule, TheBoundsThemselvesAreNoRiseOrFall) {
  struct Case {
    double d;  // how far the second symbol's middle line is above the first's
    const char* raw;
    int open;
  } cases[] = {
      {150, "23", 0},  {151, "2^(3", 1}, {219, "2^(3", 1}, {220, "23", 0},
      {-150, "23", 0}, {-151, "2)3", 0}, {-219, "2)3", 0}, {-220, "23", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.d);
    std::vector<SelectionRow> rows = {sym(1000, "2"), sym(1225, "3", kLine - c.d)};
    const WalkResult r = WalkSelection(rows);
    EXPECT_EQ(r.Raw, c.raw);
    EXPECT_EQ(r.OpenExponent, c.open);
  }
}

// In a numerator or a denominator the base mark goes onto the row's token, where the next
// row of that part sees it.
TEST(WalkLogBase, MarksTheTokensOfAFraction) {
  std::vector<SelectionRow> rows = {bar(1000, 1200),
                                    sym(1100, "l", kLine - 500),
                                    sym(1200, "o", kLine - 500),
                                    sym(1300, "x", kLine + 400),
                                    sym(1400, "g", kLine - 500),
                                    sym(1600, "1", kLine - 380, kSmall),
                                    sym(1700, "0", kLine - 380, kSmall)};
  const WalkResult r = WalkSelection(rows);
  EXPECT_EQ(r.Raw, "(log#1#0)/(x)");
  EXPECT_EQ(rows[5].Token, "#1");
  EXPECT_EQ(rows[6].Token, "#0");
}

}  // namespace
}  // namespace kel::test
