// The one-shot step 20 ms after a placement.
#include <gtest/gtest.h>

#include "placement_fixture.h"

namespace kel::test {
namespace {

using AfterPlacement = PlacementTest;

// The step goes on from where the placement left the pointer, 15 px past the symbol at
// (170, 160); a pointer the user has moved away meanwhile stays where they put it.
class AfterPlacementPointer : public PlacementTest {
 protected:
  void endUpperIndex(bool userMoves, PointPx pointerAfter) {
    p().UpperIndexMode = 1;
    p().BusyFlag = 1;
    text("2");
    EXPECT_EQ(p().SymbolLevel[1], 1);
    EXPECT_EQ(desk().cursorPos(), (PointPx{185, 160}));
    if (userMoves) desk().userMovePointer(300, 400);
    s.host.advance(19);
    EXPECT_EQ(p().UpperIndexMode, 1);
    s.host.advance(1);
    EXPECT_EQ(p().UpperIndexMode, 0);
    EXPECT_EQ(p().PointerX, 185);
    EXPECT_EQ(p().PointerY, 173);
    EXPECT_EQ(desk().cursorPos(), pointerAfter);
    EXPECT_EQ(p().BusyFlag, 0);
    EXPECT_EQ(p().UndoIndex, 1);
    EXPECT_TRUE(w().Command69.Visible);
    EXPECT_FALSE(w().Timer4.Enabled());

    text("x");  // on the line again, after the index
    EXPECT_EQ(w().Label3[2].Top, 15 * (173 - 100) - 505 - 270);
    EXPECT_EQ(w().Label3[2].Left, 15 * (185 - 100 - 4));
    EXPECT_EQ(p().SymbolLevel[2], 0);
  }
};

TEST_F(AfterPlacementPointer, EndsAnUpperIndexThirteenPixelsBelowTheInsertionPoint) {
  endUpperIndex(false, {185, 173});
}

TEST_F(AfterPlacementPointer, LeavesAPointerTheUserMovedWhereItIs) {
  endUpperIndex(true, {300, 400});
}

TEST_F(AfterPlacement, OnTheLineItOnlyReleasesTheQueueAndTakesASnapshot) {
  p().LowerIndexMode = 1;  // a lower index outlives the step
  p().BusyFlag = 1;
  text("1");
  const size_t moves = desk().pointerMoves.size();
  s.host.advance(20);
  EXPECT_EQ(p().LowerIndexMode, 1);
  EXPECT_EQ(desk().pointerMoves.size(), moves);
  EXPECT_DOUBLE_EQ(p().PointerX, 185);
  EXPECT_EQ(p().BusyFlag, 0);
  EXPECT_EQ(p().UndoIndex, 1);
}

TEST_F(AfterPlacement, TwoPlacementsBeforeTheStepGetASingleStep) {
  p().UpperIndexMode = 1;
  text("2");
  pictureSymbol("plus");  // before the first step: still an upper index
  EXPECT_EQ(p().SymbolLevel[2], 1);
  s.host.advance(200);
  EXPECT_EQ(p().PointerY, 173);  // 13 px down once, not twice
  EXPECT_EQ(p().UndoIndex, 1);
}

TEST_F(AfterPlacement, NoSnapshotWhileCtrlIsHeld) {
  desk().userKeyDown(vk::LControl);
  p().UpperIndexMode = 1;
  text("2");
  s.host.advance(20);
  EXPECT_EQ(p().UpperIndexMode, 0);  // the index still ends
  EXPECT_EQ(p().UndoIndex, 0);
  EXPECT_FALSE(w().Command69.Visible);

  desk().userKeyUp(vk::LControl);
  text("x");
  s.host.advance(20);
  EXPECT_EQ(p().UndoIndex, 1);
}

TEST_F(AfterPlacement, HandsOverPendingLimitsOnce) {
  for (int dialog : {1, 2}) {
    SCOPED_TRACE(dialog);
    p().BoundsDialog = dialog;
    pictureSymbol("plus");  // the integral or sum sign
    s.host.advance(20);
    EXPECT_EQ(p().BoundsDialog, 0);
  }
}

TEST_F(AfterPlacement, ALongerIntervalIsSetBackToTwenty) {
  // Enter and Home start the step 300 ms later (here after a symbol, so that the step's
  // snapshot has a change to keep).
  text("w");
  w().Timer4.setInterval(300);
  w().Timer4.setEnabled(true);
  s.host.advance(299);
  EXPECT_EQ(p().UndoIndex, 0);
  s.host.advance(1);
  EXPECT_EQ(p().UndoIndex, 1);
  EXPECT_EQ(w().Timer4.Interval(), 20);
  EXPECT_FALSE(w().Timer4.Enabled());
  text("x");
  s.host.advance(20);
  EXPECT_EQ(p().UndoIndex, 2);  // the next placement's step comes 20 ms after it
}

}  // namespace
}  // namespace kel::test
