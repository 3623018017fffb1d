// The selection records' text and order, and the finishing steps that turn the walk's raw
// text into the published linear formula.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "evaluation/reading.h"

namespace kel::test {
namespace {

// --- records -----------------------------------------------------------------------------

TEST(SelectionRecords, HoldEightFieldsWithTheLeftEdgePadded) {
  struct Case {
    float left, top, height, width;
    std::string token;
    bool text;
    int index;
    const char* record;
  } cases[] = {
      {1440, 600, 555, 240, "2", true, 7, "01440|600|555|240|877.5|2|bukva|7"},
      {277.5, 612, 45, 450, "DrCh", false, 12, "277.5|612|45|450|634.5|DrCh|simvol|12"},
      {1207.5, 600, 540, 225, "+", false, 3, "1207.5|600|540|225|870|+|simvol|3"},
      {123456, 90, 540, 225, "x", true, 10000, "123456|90|540|225|360|x|bukva|10000"},
      {15, 1e7f, 540, 225, "x", true, 1, "00015|1E+07|540|225|1.000027E+07|x|bukva|1"},
      // A "|" caption must not split its record: the token stands in a form that is no
      // separator, and the class and the index stay where they belong.
      {600, 600, 540, 90, TextExprToken("|"), true, 4, "00600|600|540|90|870|\xC2\xA6|bukva|4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    const SelectionRecord r =
        MakeSelectionRecord(c.left, c.top, c.height, c.width, c.token, c.text, c.index);
    EXPECT_EQ(r.Text, c.record);
    const SelectionRow row = ParseSelectionRecord(r.Text);
    EXPECT_EQ(row.Left, c.left);
    EXPECT_EQ(row.Top, c.top);
    EXPECT_EQ(row.Width, c.width);
    EXPECT_EQ(row.Token, c.token);
  }
}

TEST(SelectionRecords, PictureTokensFollowTheTable) {
  struct Case {
    const char* kind;
    std::optional<std::string> token;
  } cases[] = {
      {"pi", "pi"},       {"pim", "pi"},  {"plusm", "+"},       {"minus", "-"},
      {"pom", "*"},       {"del", "/"},   {"goskobam", "("},    {"bzskoba", ")"},
      {"korenm", "SQR("}, {"35", "DrCh"}, {"13", std::nullopt}, {"strelka", "SIMVOL"},
      {"1026", "SIMVOL"}, {"", "SIMVOL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(PictureExprToken(c.kind), c.token);
  }
}

// The list is in left-to-right order whatever the text of the left edges: a fraction from
// the 2.5 px arrow steps, or six digits, sorts by its value.
TEST(SelectionRecords, AreOrderedByTheNumericLeftEdge) {
  std::vector<SelectionRecord> records = {
      MakeSelectionRecord(123456, 600, 540, 225, "c", true, 1),
      MakeSelectionRecord(1440, 600, 540, 225, "b", true, 2),
      MakeSelectionRecord(1207.5, 600, 540, 225, "a", true, 3),
      MakeSelectionRecord(99999, 600, 540, 225, "d", true, 4),
      MakeSelectionRecord(990, 600, 540, 225, "z", true, 5),
  };
  SortSelection(records);
  std::string order;
  for (const SelectionRecord& r : records) order += ParseSelectionRecord(r.Text).Token;
  EXPECT_EQ(order, "zabdc");
}

TEST(SelectionRecords, EqualLeftEdgesFollowTheTextOfTheRest) {
  std::vector<SelectionRecord> records = {
      MakeSelectionRecord(1200, 900, 540, 225, "low", true, 1),
      MakeSelectionRecord(1200, 1000, 540, 225, "lower", true, 2),
      MakeSelectionRecord(1200, 330, 540, 225, "high", true, 3),
  };
  SortSelection(records);
  std::vector<std::string> tokens;
  for (const SelectionRecord& r : records) tokens.push_back(ParseSelectionRecord(r.Text).Token);
  // "1000|" before "330|" before "900|", as the text of the top edges goes.
  EXPECT_EQ(tokens, (std::vector<std::string>{"lower", "high", "low"}));
}

TEST(SelectionRecords, NumbersAreReadAsTheirTextBegins) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {{"01440", 1440}, {"877.5", 877.5}, {"1E+07", 1e7}, {"-15", -15},
               {"12abc", 12},   {"abc", 0},       {"", 0},        {".5", 0.5},
               {".", 0},        {"1e", 1},        {"1E+", 1},     {"  7", 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LeadingNumber(c.text), c.value);
  }
}

// --- finishing -----------------------------------------------------------------------------

struct FinishCase {
  const char* raw;
  int openExponent;
  const char* text;  // Text1's
  int unknowns;
  bool cut;
};

TEST(Finishing, PublishesTheLinearFormula) {
  const FinishCase cases[] = {
      {"2,5*3", 0, "2.5*3", 0, false},
      {"(a+b)^(*2", 1, "(a+b)*2", 1, false},
      {"(1+2)^(-3", 0, "(1+2)-3", 0, false},
      {"2^(3", 1, "2^(3)", 0, false},
      {"1~(1)/(2))", 0, "(1+(1)/(2))", 0, false},
      {"1~(1)/(2))+1~(1)/(3))", 0, "(1+(1)/(2))+(1+(1)/(3))", 0, false},
      // Each mixed number at its own place: the 2 of 12 is not a whole part of its own.
      {"2~(1)/(3))+12~(1)/(5))", 0, "(2+(1)/(3))+(12+(1)/(5))", 0, false},
      {"sin(x) = ", 0, "  sin(x) = ", 1, false},
      {"SIN(30)+pi = ", 0, "  SIN(30)+pi", 0, true},
      {"COTG(1) = ", 0, "  COTG(1)", 0, true},
      {"cotg(1) = ", 0, "  cotg(1)", 0, true},
      {"Cotg(1) = ", 0, "  Cotg(1)", 0, true},
      {"acotg(1)+atg(2) = ", 0, "  acotg(1)+  atg(2)", 0, true},
      {"tan(1) = ", 0, "tan(1) = ", 1, false},
      {"A+1 = ", 0, "A+1", 0, true},
      {"2E = ", 0, "2E = ", 1, false},
      {"2*e+log#28+ln(2) = ", 0, "2*e+log#28+ln(2)", 0, true},
      {"5+SIMVOL = ", 0, "5+SIMVOL = ", 1, false},
      {"2^( = )", 0, "2", 0, true},
      {"2+SQR(4)", 0, "2+  SQR(4)", 0, false},
      {"1\xC2\xA6"
       "2 = ",
       0,
       "1\xC2\xA6"
       "2 = ",
       1, false},
      {"", 0, "", 0, false},
  };
  for (const FinishCase& c : cases) {
    SCOPED_TRACE(c.raw);
    const FinishedText f = FinishLinearText(c.raw, c.openExponent);
    EXPECT_EQ(f.Text, c.text);
    EXPECT_EQ(f.HasUnknowns, c.unknowns);
    EXPECT_EQ(f.CutEquals, c.cut);
  }
}

// A number between two names puts a short token's text inside the tokens around it
// ("@2@" in "@16@2@30@"); each name still comes back whole, where it stood.
TEST(Finishing, NamesAroundANumberComeBackWhole) {
  const FinishCase cases[] = {
      {"sin2pi = ", 0, "  sin2pi", 0, true},
      {"cos2pi = ", 0, "  cos2pi", 0, true},
      {"tg3pi = ", 0, "  tg3pi", 0, true},
      {"sin4pi = ", 0, "  sin4pi", 0, true},
      {"cos5pi = ", 0, "  cos5pi", 0, true},
      {"pi2pi = ", 0, "pi2pi", 0, true},
      {"2pi3pi = ", 0, "2pi3pi", 0, true},
      {"e1e = ", 0, "e1e", 0, true},
      {"sin1e = ", 0, "  sin1e", 0, true},
      {"lg2e = ", 0, "lg2e", 0, true},
      {"cos2pi+0 = ", 0, "  cos2pi+0", 0, true},
      // Marks typed on the page that look like tokens are no names.
      {"@2@+sin = ", 0, "@2@+  sin", 0, true},
      {"@1e = ", 0, "@1e", 0, true},
  };
  for (const FinishCase& c : cases) {
    SCOPED_TRACE(c.raw);
    const FinishedText f = FinishLinearText(c.raw, c.openExponent);
    EXPECT_EQ(f.Text, c.text);
    EXPECT_EQ(f.HasUnknowns, c.unknowns);
    EXPECT_EQ(f.CutEquals, c.cut);
  }
}

TEST(Finishing, KnownNamesGoToTokensAndBack) {
  const std::string names =
      "SQR asin ASin aSin ASIN acos ACos ACOS aCos acotg aCotg ACOTG atg ATG aTg sin Sin SIN "
      "cos Cos COS cotg Cotg COTG tg Tg TG e pi log Log LOG lg Lg LG ln Ln LN";
  const FunctionNameForms forms = FunctionNames(names);
  EXPECT_FALSE(HoldsUnknowns(forms.Tokens)) << forms.Tokens;
  const std::string& back = forms.Restored;
  // The function names come back with two blanks in front, the constants and logarithms
  // as they were.
  std::string squeezed;
  for (size_t i = 0; i < back.size(); ++i)
    if (!(back[i] == ' ' && i + 1 < back.size() && back[i + 1] == ' ')) squeezed += back[i];
  EXPECT_EQ(squeezed.substr(squeezed.find_first_not_of(' ')), names);
}

// --- the result typed ----------------------------------------------------------------------

TEST(ResultTyping, ShortensAndMarksTheExponent) {
  const std::pair<const char*, const char*> cases[] = {
      {"42", "42"},
      {"-3.5", "-3.5"},
      {"12E+5", "12*10^5"},
      {"1.23E-4", "1.23*10^-^4"},
      {"0.00056", "5.6*10^-^4"},
      {"0.0005", "5*10^-^4"},
      {"0.000", "0.000"},
      {"0.0001", "1*10^-^4"},
      {"abc", "abc"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    SCOPED_TRACE(in);
    EXPECT_EQ(ResultTypingText(in), out);
  }
}

}  // namespace
}  // namespace kel::test
