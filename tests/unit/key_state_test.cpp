#include <gtest/gtest.h>

#include "sim_program.h"

namespace kel::test {
namespace {

TEST(KeyState, HeldQueriesSeeEitherSideKeyAndOnlyWhatIsHeldNow) {
  SimProgram s;
  Input& in = s.p().input;
  EXPECT_FALSE(in.IsCtrlDown());
  s.desk().userKeyDown(vk::RControl);
  EXPECT_TRUE(in.IsCtrlDown());
  s.desk().userKeyUp(vk::RControl);
  s.desk().userKeyDown(vk::LShift);
  EXPECT_TRUE(in.IsShiftDown());
  s.desk().userKeyUp(vk::LShift);
  // A tap between two queries is not held, whatever the latch says.
  s.desk().userKeyDown(vk::LControl);
  s.desk().userKeyUp(vk::LControl);
  EXPECT_FALSE(in.IsCtrlDown());
  s.desk().userButtonDown(vk::LButton);
  EXPECT_TRUE(in.IsLeftButtonDown());
  s.desk().userButtonUp(vk::LButton);
  EXPECT_FALSE(in.IsLeftButtonDown());
}

TEST(KeyState, CapsLockCountsWhenToggledOnWhetherHeldOrNot) {
  SimProgram s;
  Input& in = s.p().input;
  EXPECT_FALSE(in.IsCapsLockOn());
  s.desk().userKeyDown(vk::Capital);  // toggled on, held: -127
  EXPECT_TRUE(in.IsCapsLockOn());
  s.desk().userKeyUp(vk::Capital);  // toggled on, up: 1
  EXPECT_TRUE(in.IsCapsLockOn());
  s.desk().userKeyDown(vk::Capital);  // toggled off, held: -128
  EXPECT_FALSE(in.IsCapsLockOn());
}

TEST(KeyState, InjectedTapIsOneDownAndOneUp) {
  SimProgram s;
  s.p().input.PressKey(vk::LControl);
  s.p().input.ReleaseKey(vk::LControl);
  const auto& k = s.desk().keyInjections;
  ASSERT_EQ(k.size(), 2u);
  EXPECT_EQ(k[0].vk, vk::LControl);
  EXPECT_FALSE(k[0].up);
  EXPECT_TRUE(k[1].up);
  // The program's own tap is never read back as a press of the user's.
  EXPECT_EQ(s.desk().asyncKeyState(vk::LControl), 0);
}

}  // namespace
}  // namespace kel::test
