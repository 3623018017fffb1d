#include "platform/units.h"

#include <gtest/gtest.h>

namespace kel {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in;
    long long out;
  } cases[] = {{100.5, 100}, {101.5, 102}, {-0.5, 0}, {-1.5, -2},
               {2.4999, 2},  {2.5001, 3},  {0.0, 0},  {1e300, 9000000000000000000LL},
               {-3.5, -4}};
  for (const Case& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
  EXPECT_EQ(roundHalfEven(std::nan("")), 0);
}

TEST(ToWholeNumber, AcceptsOnlyNumbers) {
  EXPECT_EQ(toWholeNumber("1"), 1);
  EXPECT_EQ(toWholeNumber(" 0 "), 0);
  EXPECT_EQ(toWholeNumber("-7"), -7);
  EXPECT_EQ(toWholeNumber("2.5"), 2);
  EXPECT_EQ(toWholeNumber("3.5"), 4);
  for (const char* bad : {"", " ", "abc", "1x", "--1", ".", "99999999999", "1e5", "\x01"})
    EXPECT_FALSE(toWholeNumber(bad).has_value()) << bad;
}

}  // namespace
}  // namespace kel
