// The page file's text: its numbers, its code pages, and what a file must be to be one.
#include "pages/page_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kel::test {
namespace {

TEST(PageFileText, NumbersAreWrittenShortAndExactAndReadWithPointOrComma) {
  EXPECT_EQ(pageFileNumber(877.5), "877.5");
  EXPECT_EQ(pageFileNumber(1200), "1200");
  EXPECT_EQ(pageFileNumber(-15), "-15");
  EXPECT_EQ(pageFileNumber(-0.0), "0");
  EXPECT_EQ(pageFileNumber(8.25), "8.25");
  EXPECT_EQ(pageFileNumber(123456789), "123456789");  // never an exponent
  for (double v : {0.1, 1.0 / 3, 749.55, 600 - 20 * 15 * 1.4955 / 3, 1e6})
    EXPECT_EQ(readPageFileNumber(pageFileNumber(v)), v) << pageFileNumber(v);

  EXPECT_EQ(readPageFileNumber("877,5"), 877.5);
  EXPECT_EQ(readPageFileNumber("-15"), -15);
  EXPECT_EQ(readPageFileNumber(".5"), 0.5);
  for (const char* bad :
       {"", "-", "x", "1e5", "1.2.3", "1,2.3", "+5", " 5", "inf", "nan", "0x10", "5-", "--5"})
    EXPECT_FALSE(readPageFileNumber(bad)) << bad;
}

// A number too small for a double is still a number: it reads as what it rounds to. One
// too large for a double lies outside any screen all the same.
TEST(PageFileText, ANumberBelowTheSmallestDoubleReadsAsWhatItRoundsTo) {
  const std::string zeros(3000, '0');
  const struct {
    std::string text;
    std::optional<double> value;
  } cases[] = {
      {"0." + zeros + "1", 0.0},
      {"-0," + zeros + "1", -0.0},
      {"." + zeros + "1", 0.0},
      {"0." + std::string(320, '0') + "5", 5e-321},  // a subnormal, exactly
      {"1" + std::string(400, '0'), std::nullopt},
      {"1" + std::string(400, '0') + ".0" + zeros + "1", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 12) + "... (" + std::to_string(c.text.size()) + ")");
    EXPECT_EQ(readPageFileNumber(c.text), c.value);
  }
  const auto records = parsePageFile("1|a|1500|0." + zeros + "1|24|False|");
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 1u);
  EXPECT_EQ(records->front().middle, 0);
  std::string back;
  appendPageFileRecord(back, records->front());
  EXPECT_EQ(back, "1|a|1500|0|24|False|");
}

TEST(PageFileText, ReadsUtf8AsItIsAndAnythingElseAsWindows1251) {
  // "х" (Cyrillic) in UTF-8, and in Windows-1251 (0xF5).
  EXPECT_EQ(decodePageFileBytes("1|\xD1\x85|"), "1|\xD1\x85|");
  EXPECT_EQ(decodePageFileBytes("1|\xF5|"), "1|\xD1\x85|");
  EXPECT_EQ(decodePageFileBytes("\xEF\xBB\xBF"
                                "1|"),
            "1|");                                // a byte order mark
  EXPECT_FALSE(decodePageFileBytes("1|\x98|"));   // no character in either
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
  EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(PageFileText, ACaptionThatHoldsTheFieldMarkReadsBackWholeAndShiftsNothing) {
  std::string text;
  PageFileRecord bar{1, false, "|", 100, 200, 24, false};
  PageFileRecord gif{1, false, "a.gif|b", 130, 200, 24, true};
  PageFileRecord plus{2, true, "plus", 160, 200.5, 300, false};
  appendPageFileRecord(text, bar);
  appendPageFileRecord(text, gif);
  appendPageFileRecord(text, plus);
  EXPECT_EQ(
      text,
      "1|&#124;|100|200|24|False|1|a&#46;gif&#124;b|130|200|24|True|2|plus.gif|160|200.5|300||");
  const auto back = parsePageFile(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, (std::vector<PageFileRecord>{bar, gif, plus}));
  EXPECT_EQ(pageFilePageList(*back), "1,2");
}

TEST(PageFileText, TheClassicFormsAreRead) {
  const auto r =
      parsePageFile("2|x|1200|877,5|24|false|2|35.gif|1300|600,5|450||3|po.gif.gif|1|2|3||\r\n");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->size(), 3u);
  EXPECT_EQ((*r)[0], (PageFileRecord{2, false, "x", 1200, 877.5, 24, false}));
  EXPECT_EQ((*r)[1], (PageFileRecord{2, true, "35", 1300, 600.5, 450, false}));
  EXPECT_EQ((*r)[2].what, "po");             // every ".gif" goes
  EXPECT_EQ(parsePageFile("")->size(), 0u);  // every page empty
}

TEST(PageFileText, WhatIsNoPageFileIsRefusedWhole) {
  const char* good = "1|x|1200|877.5|24|False|";
  ASSERT_TRUE(parsePageFile(good));
  const struct {
    const char* why;
    std::string text;
    PageFileProblem problem;
  } cases[] = {
      {"no final mark", "1|x|1200|877.5|24|False", PageFileProblem::NotSixFields},
      {"five fields", "1|x|1200|877.5|24|", PageFileProblem::NotSixFields},
      {"seven fields", "1|x|1200|877.5|24|False||", PageFileProblem::NotSixFields},
      {"page 0", "0|x|1200|877.5|24|False|", PageFileProblem::PageNumber},
      {"page 13", "13|x|1200|877.5|24|False|", PageFileProblem::PageNumber},
      {"page 1.5", "1.5|x|1200|877.5|24|False|", PageFileProblem::PageNumber},
      {"page no number", "one|x|1200|877.5|24|False|", PageFileProblem::PageNumber},
      {"pages backwards", "2|x|1200|877.5|24|False|1|y|1200|877.5|24|False|",
       PageFileProblem::PagesOutOfOrder},
      {"left no number", "1|x|left|877.5|24|False|", PageFileProblem::BadNumber},
      {"middle empty", "1|x|1200||24|False|", PageFileProblem::BadNumber},
      {"exponent", "1|x|1e3|877.5|24|False|", PageFileProblem::BadNumber},
      {"far outside any screen", "1|x|99999999|877.5|24|False|", PageFileProblem::BadNumber},
      {"far above", "1|x|1200|-2000000|24|False|", PageFileProblem::BadNumber},
      {"font size 0", "1|x|1200|877.5|0|False|", PageFileProblem::BadNumber},
      {"font size no font has", "1|x|1200|877.5|5000|False|", PageFileProblem::BadNumber},
      {"bold neither", "1|x|1200|877.5|24|Yes|", PageFileProblem::SixthField},
      {"picture with a bold field", "1|plus.gif|1200|877.5|300|False|",
       PageFileProblem::SixthField},
      {"picture of negative width", "1|plus.gif|1200|877.5|-300||", PageFileProblem::BadNumber},
      {"a caption longer than any typed", "1|" + std::string(2000, 'x') + "|1200|877.5|24|False|",
       PageFileProblem::LongCaption},
      {"a field mark short", "1|x|1200|877.5|24|False|2|y|1|2|3|", PageFileProblem::NotSixFields},
  };
  for (const auto& c : cases) {
    PageFileProblem problem = PageFileProblem::None;
    EXPECT_FALSE(parsePageFile(c.text, &problem)) << c.why;
    EXPECT_EQ(problem, c.problem) << c.why;
  }
}

}  // namespace
}  // namespace kel::test
