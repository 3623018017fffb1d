#include "platform/script/regexp.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "platform/script/script_engine.h"

namespace kel::script {
namespace {

TEST(RegExp, ExecuteGivesTheMatchesInOrderWithTheirPlaces) {
  const RegExp re(R"(([0-9\.]+[epi]+))", true, true);
  const auto m = re.Execute("sin2pi+3E-1.5e");
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].Value, "2pi");
  EXPECT_EQ(m[0].FirstIndex, 3u);
  EXPECT_EQ(m[0].Length, 3u);
  EXPECT_EQ(m[1].Value, "3E");  // ignoring case
  EXPECT_EQ(m[1].FirstIndex, 7u);
  EXPECT_EQ(m[2].Value, "1.5e");
  EXPECT_EQ(m[2].FirstIndex, 10u);
}

TEST(RegExp, GlobalAndIgnoreCaseAreHonoured) {
  RegExp re("(lg[0-9]+)", false, false);
  auto m = re.Execute("LG1+lg2+lg3");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Value, "lg2");
  re.setGlobal(true);
  EXPECT_EQ(re.Execute("LG1+lg2+lg3").size(), 2u);
  re.setIgnoreCase(true);
  m = re.Execute("LG1+lg2+lg3");
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0].Value, "LG1");
  EXPECT_TRUE(re.Execute("nothing").empty());
}

// Case is ignored as in the classic locale, whatever locale the process runs in (Qt sets one
// from the desktop's).
TEST(RegExp, IgnoresCaseInTheClassicLocaleWhateverTheProcessLocale) {
  // A locale whose lower case of every letter is "x": a pattern compiled in it would take
  // "ab2" for "lg2".
  struct OddCase : std::ctype<char> {
    char do_tolower(char c) const override {
      return std::isalpha(c, std::locale::classic()) ? 'x' : c;
    }
    const char* do_tolower(char* lo, const char* hi) const override {
      for (; lo < hi; ++lo) *lo = do_tolower(*lo);
      return hi;
    }
  };
  const std::locale before = std::locale::global(std::locale(std::locale::classic(), new OddCase));
  const RegExp re("(lg[0-9]+)", true, true);
  const auto m = re.Execute("LG1+ab2");
  std::locale::global(before);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Value, "LG1");
}

TEST(RegExp, TakesTheLongestOfTheRepeatsAtTheLeftmostPlace) {
  const RegExp re(R"((g(@[@0-9e\.])+))", true, true);
  const auto m = re.Execute("log@1@0100)+log@28)");
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].Value, "g@1@0");
  EXPECT_EQ(m[1].Value, "g@2");
}

TEST(RegExp, AnInvalidPatternFailsWhenExecuted) {
  RegExp re;
  re.setPattern("([0-9");
  try {
    re.Execute("123");
    FAIL() << "no error";
  } catch (const ScriptError& e) {
    EXPECT_EQ(e.number(), err::RegExpSyntax);
  }
  re.setPattern("[0-9]+");
  EXPECT_EQ(re.Execute("a12b").at(0).Value, "12");
}

// A backtracking matcher needs a stack frame per character of a repeated class; a run of a
// hundred thousand must neither crash nor take long.
TEST(RegExp, LongRunsDoNotExhaustTheStack) {
  const RegExp digits(R"(([0-9\.]+[\(]+))", true, true);
  const std::string run = "2" + std::string(100000, '(');
  const auto m = digits.Execute(run);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].Length, run.size());
  const RegExp groups(R"((g(@[@0-9e\.])+))", true, true);
  std::string marks = "g";
  for (int i = 0; i < 50000; ++i) marks += "@1";
  EXPECT_EQ(groups.Execute(marks).at(0).Length, marks.size());
}

}  // namespace
}  // namespace kel::script
