#include "platform/qt/vk_keycodes.h"

#include <gtest/gtest.h>

namespace kel::qt {
namespace {

TEST(VkKeycodes, PhysicalUsPositions) {
  struct Case {
    int keycode, vk;
  };
  const Case cases[] = {
      {38, 65},  {52, 90},   {24, 81},  {10, 49},  {18, 57},  {19, 48},   {9, 27},   {36, 13},
      {104, 13}, {65, 32},   {22, 8},   {23, 9},   {118, 45}, {119, 46},  {110, 36}, {115, 35},
      {112, 33}, {117, 34},  {113, 37}, {111, 38}, {114, 39}, {116, 40},  {67, 112}, {76, 121},
      {95, 122}, {96, 123},  {50, 160}, {62, 161}, {37, 162}, {105, 163}, {64, 164}, {108, 165},
      {66, 20},  {47, 186},  {21, 187}, {59, 188}, {20, 189}, {60, 190},  {61, 191}, {49, 192},
      {34, 219}, {51, 220},  {35, 221}, {48, 222}, {90, 96},  {81, 105},  {82, 109}, {86, 107},
      {63, 106}, {106, 111}, {91, 110}, {0, 0},    {255, 0},  {-1, 0},    {300, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(vkForKeycode(c.keycode), c.vk) << "keycode " << c.keycode;
}

TEST(VkKeycodes, InjectionUsesTheMainKeyAndGenericCodesCoverBothSides) {
  EXPECT_EQ(keycodesForVk(65)[0], 38);
  EXPECT_EQ(keycodesForVk(13)[0], 36);  // Return before the keypad's Enter
  EXPECT_EQ(keycodesForVk(13)[1], 104);
  EXPECT_EQ(keycodesForVk(16), (std::array<std::uint8_t, 2>{50, 62}));
  EXPECT_EQ(keycodesForVk(17), (std::array<std::uint8_t, 2>{37, 105}));
  EXPECT_EQ(keycodesForVk(18), (std::array<std::uint8_t, 2>{64, 108}));
  EXPECT_EQ(keycodesForVk(7)[0], 0);
  EXPECT_EQ(keycodesForVk(999)[0], 0);
  EXPECT_EQ(genericVk(161), 16);
  EXPECT_EQ(genericVk(163), 17);
  EXPECT_EQ(genericVk(164), 18);
  EXPECT_EQ(genericVk(65), 0);
}

}  // namespace
}  // namespace kel::qt
