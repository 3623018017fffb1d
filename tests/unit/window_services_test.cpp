#include <gtest/gtest.h>

#include "sim_program.h"

namespace kel::test {
namespace {

// The pointer stays where the user has it; what is typed next still goes to the insertion
// point, whole pixels halves to even.
TEST(WindowServices, ReturnToMainWindowLeavesThePointerAndAsksForTheChords) {
  SimProgram s;
  s.p().start();
  s.host.advance(1000);
  s.desk().userMovePointer(1000, 400);
  s.p().PointerX = 210.5;
  s.p().PointerY = 300;
  const size_t moves = s.desk().pointerMoves.size();
  s.p().app.ReturnToMainWindow();
  EXPECT_EQ(s.desk().frontCalls.back(), "Form1");
  EXPECT_EQ(s.desk().pointerMoves.size(), moves);
  EXPECT_EQ(s.p().PendingCode, 1000001);
  EXPECT_TRUE(s.w().Timer6.Enabled());
  s.p().surface.ReadInsertionPoint();
  EXPECT_EQ(s.p().PointerX, 210);
  EXPECT_EQ(s.p().PointerY, 300);
  EXPECT_EQ(s.desk().cursorPos(), (PointPx{1000, 400}));
}

TEST(WindowServices, DragMovesTheWindowByThePointersTravel) {
  SimProgram s;
  Form& f = s.w();
  f.Left = 3000;
  f.Top = 2000;
  s.p().app.ContinueFormDrag(f, 10, 10);  // no mouse-down yet: nothing moves
  EXPECT_EQ(f.Left, 3000);
  s.p().app.BeginFormDrag(f, 100, 50);
  // The control moves with the window, so the next event reports the pointer's own
  // travel relative to the moved control.
  s.p().app.ContinueFormDrag(f, 250, 125);
  EXPECT_EQ(f.Left, 3150);
  EXPECT_EQ(f.Top, 2075);
  s.p().app.ContinueFormDrag(f, 100, 50);  // pointer did not move since
  EXPECT_EQ(f.Left, 3150);
  EXPECT_EQ(f.Top, 2075);
  s.p().FormDragActive = 0;
  s.p().app.ContinueFormDrag(f, 400, 400);
  EXPECT_EQ(f.Left, 3150);
}

TEST(WindowServices, TopmostAndColourKeyReachTheDesktop) {
  SimProgram s;
  s.p().app.MakeTopmost(s.w());
  s.p().app.MakeColorTransparent(s.w(), 255);
  EXPECT_EQ(s.desk().topmostCalls.back(), "Form1");
  ASSERT_EQ(s.desk().colourKeyCalls.size(), 1u);
  EXPECT_EQ(s.desk().colourKeyCalls[0].second, 255u);
}

}  // namespace
}  // namespace kel::test
