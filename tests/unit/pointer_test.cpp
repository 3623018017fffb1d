#include <gtest/gtest.h>

#include "sim_program.h"

namespace kel::test {
namespace {

TEST(PageCoordinates, PointerToInsertionPoint) {
  SimProgram s;
  s.w().Left = 1500;
  s.w().Top = 1500;
  s.desk().userMovePointer(170, 160);
  s.p().surface.ReadPointerAndInsertPoint();
  EXPECT_EQ(s.p().PointerX, 170);
  EXPECT_EQ(s.p().PointerY, 160);
  EXPECT_EQ(s.p().InsertX, 990);
  EXPECT_EQ(s.p().InsertY, 395);
}

TEST(PageCoordinates, InsertYRoundsDownNotTowardZero) {
  SimProgram s;
  s.w().Left = 1500;
  s.w().Top = 1500;
  // 15 * (PointerY - 100) - 505 = 105.5 and -0.5
  struct Case {
    double pointerY, insertY;
  } cases[] = {{100 + 610.5 / 15, 105}, {100 + 504.5 / 15, -1}, {134, 5}};
  for (const Case& c : cases) {
    s.p().PointerY = c.pointerY;
    s.p().surface.ComputeInsertPoint();
    EXPECT_EQ(s.p().InsertY, c.insertY) << c.pointerY;
  }
}

TEST(PageCoordinates, WindowPlaceDividesInSinglePrecision) {
  SimProgram s;
  s.w().Left = 1001;  // 1001/15 in single precision differs from double in the 6th place
  s.p().PointerX = 100;
  s.p().surface.ComputeInsertPoint();
  const double expected = 15 * (100 - static_cast<double>(1001.0f / 15.0f) - 4);
  EXPECT_EQ(s.p().InsertX, expected);
}

TEST(PointerMoves, HalvesGoToTheEvenPixel) {
  SimProgram s;
  struct Case {
    double x;
    int px;
  } cases[] = {{100.5, 100}, {101.5, 102}, {102.4, 102}, {183.3333, 183}};
  for (const Case& c : cases) {
    s.p().PointerX = c.x;
    s.p().PointerY = c.x;
    s.p().surface.MovePointerToInsertionPoint();
    EXPECT_EQ(s.desk().pointerMoves.back().x, c.px) << c.x;
    EXPECT_EQ(s.desk().pointerMoves.back().y, c.px) << c.x;
    EXPECT_EQ(s.p().PointerX, c.x);  // the stored point keeps its fraction
  }
}

TEST(PointerReaders, EachFillsOnlyItsOwnPair) {
  SimProgram s;
  s.p().PointerX = 5;
  s.p().PointerY = 6;
  s.desk().userMovePointer(300, 400);
  s.p().surface.ReadHoverPoint();
  s.p().surface.ReadZonePoint();
  s.p().surface.ReadDragPoint();
  s.p().surface.ReadDispatchPoint();
  EXPECT_EQ(s.p().HoverPointX, 300);
  EXPECT_EQ(s.p().ZonePointY, 400);
  EXPECT_EQ(s.p().DragPointX, 300);
  EXPECT_EQ(s.p().DispatchPointY, 400);
  EXPECT_EQ(s.p().PointerX, 5);
  EXPECT_EQ(s.p().PointerY, 6);
}

TEST(PointerReaders, ZapomniTuk2RemembersThePointerAndParksTheFocus) {
  SimProgram s;
  s.desk().userMovePointer(1200, 700);
  s.p().surface.ZapomniTuk2();
  EXPECT_EQ(s.p().SavedPointerX, 1200);
  EXPECT_EQ(s.p().SavedPointerY, 700);
  EXPECT_EQ(s.p().ReturnClickPending, 1);
  EXPECT_EQ(s.p().PointerRestoreOnly, 1);
  EXPECT_EQ(s.desk().focusCalls.back(), "Command63");
}

}  // namespace
}  // namespace kel::test
