// The paste/cut pop-up: when a right click opens it, what its buttons do, and how it closes.
#include <string>
#include <vector>

#include "editing_fixture.h"

namespace kel::test {
namespace {

// A bare spot of the page, right of and below the typed line.
const PointPx kSpot{450, 380};

// A started program whose pop-up, loaded hidden one second after start-up, has been used and
// closed once: the next right click loads it anew.
struct Popping : Editing {
  Popping() { p().pages.UnloadForm7(); }
};

TEST(PopUp, ARightClickOverAReadingOpensItNearThePointer) {
  Editing u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  u.rightClick(kSpot);
  const PasteCutPopup& f = u.popUp();
  ASSERT_TRUE(f.Loaded);
  EXPECT_TRUE(f.Visible);
  EXPECT_EQ(f.Left, 15 * kSpot.x + 200);
  EXPECT_EQ(f.Top, 15 * kSpot.y - 1000);
  EXPECT_EQ(f.Caption, "       Изберете");
  EXPECT_EQ(f.ScaleWidth(), 3420);
  EXPECT_EQ(f.ScaleHeight(), 2280);
  EXPECT_FALSE(f.Sizable);
  EXPECT_EQ(f.BackColor, kWhite);
  EXPECT_EQ(f.Command2.Caption, "Cut   (Ctrl+X)");
  EXPECT_EQ(f.Command1.Caption, "Paste (Ctrl+V,F4)");
  EXPECT_EQ(f.Command1.Font, (Font{"MS Sans Serif", 13.5, true, 204}));
  EXPECT_TRUE(f.Command1.Visible);
  EXPECT_TRUE(f.Command2.Visible);
  EXPECT_EQ(u.desk().activeForm(), &f);  // it has the focus
  EXPECT_FALSE(u.form2().Loaded);
}

// The pop-up decides at its load whether there is anything to cut.
TEST(PopUp, AfterACutOrAPageChangeItShowsPasteOnly) {
  struct Case {
    const char* name;
    bool cut, pageChange;
    bool cutShown;
  } cases[] = {
      {"a fresh selection", false, false, true},
      {"after a cut", true, false, false},
      {"after a change of page", false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Popping u;
    u.type(kLine, {"1", "2"});
    u.select(1, 2);
    if (c.cut) u.p().pages.DelSelektirano();
    if (c.pageChange) u.p().pages.Command72_Click(1);
    u.rightClick(kSpot);
    ASSERT_TRUE(u.popUp().Visible);
    EXPECT_EQ(u.popUp().Command2.Visible, c.cutShown);
    EXPECT_TRUE(u.popUp().Command1.Visible);
  }
}

// Loaded hidden one second after start-up, the first pop-up shows what was decided then.
TEST(PopUp, TheFirstPopUpShowsCutAsDecidedAtStartUp) {
  Editing u;
  ASSERT_TRUE(u.popUp().Loaded);
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  u.p().pages.DelSelektirano();
  u.rightClick(kSpot);
  EXPECT_TRUE(u.popUp().Command2.Visible);
}

// A press on the bare page puts the insertion point there, the right button's too: the
// copies go there, not where the pop-up was clicked.
TEST(PopUp, PastePutsThePointerBackAndTheQueuePastesThere) {
  Popping u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  u.rightClick(kSpot);
  EXPECT_EQ(u.p().PointerX, kSpot.x);
  EXPECT_EQ(u.p().PointerY, kSpot.y);
  u.clickPopUp(u.popUp().Command1);
  EXPECT_EQ(u.pointer(), kSpot);
  EXPECT_EQ(u.p().SkipNextButtonChange, 1);
  EXPECT_TRUE(u.p().PendingCode.is(100115));
  EXPECT_FALSE(u.popUp().Loaded);
  EXPECT_TRUE(u.w().Timer23.Enabled());
  EXPECT_EQ(u.p().SymbolCount, 2);  // the paste itself waits for the queue
  u.advance(200);
  EXPECT_EQ(u.w().List1.Items->back(), "115");
  ASSERT_EQ(u.p().SymbolCount, 4);
  EXPECT_EQ(u.symbol(3).Left, u.p().surface.InsertXFor(kSpot.x));
  EXPECT_EQ(u.symbol(3).Top + u.symbol(3).Height / 2, u.p().surface.InsertYFor(kSpot.y));
}

// Paste and Cut act at the insertion point however the pointer reaches their button: moved
// straight onto it from outside the pop-up and held down long enough for the button-press
// re-read to see it, or across the bare window. The insertion point is where a left click
// put it, or the right click on the bare page that opened the pop-up; a right click on the
// selection window (over the selected symbols) leaves it where it was. After a move by the
// move buttons the copies are offset by the distance moved, as always.
TEST(PopUp, PasteAndCutActAtTheInsertionPointHoweverTheirButtonIsReached) {
  const PointPx click{560, 420};
  struct Case {
    const char* name;
    bool onSelection;  // the right click on the selection window, after a left click
    bool straight;     // onto the button from outside the pop-up, pressed 60 ms
    bool moved;        // the selection moved right by the move button first
    bool cut;
  } cases[] = {
      {"right click on the page, straight onto Paste", false, true, false, false},
      {"right click on the page, across the pop-up", false, false, false, false},
      {"right click on the selection, straight onto Paste", true, true, false, false},
      {"right click on the selection, across the pop-up", true, false, false, false},
      {"after a move, straight onto Paste", true, true, true, false},
      {"right click on the page, straight onto Cut", false, true, false, true},
      {"right click on the selection, straight onto Cut", true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Popping u;
    Program& p = u.p();
    u.type(kLine, {"1", "2"});
    u.select(1, 2);
    double movedTw = 0;
    if (c.moved) {
      const double before = u.symbol(1).Left;
      u.hold(u.w().Command65);  // right
      u.advance(300);
      u.letGo();
      u.advance(100);
      movedTw = u.symbol(1).Left - before;
      ASSERT_GT(movedTw, 0);
    }
    PointPx insertion = kSpot;
    if (c.onSelection) {
      u.moveTo(click);
      u.advance(60);
      u.desk().userButtonDown(vk::LButton);
      u.advance(80);
      u.desk().userButtonUp(vk::LButton);
      u.advance(300);
      insertion = click;
      const PointPx over = u.leftOf(2);
      u.rightClick({over.x + 2, over.y});
    } else {
      u.rightClick(kSpot);
    }
    ASSERT_TRUE(u.popUp().Visible);
    ASSERT_EQ(pixelForPointer(p.PointerX), insertion.x);
    const Control& button = c.cut ? static_cast<const Control&>(u.popUp().Command2)
                                  : static_cast<const Control&>(u.popUp().Command1);
    if (c.straight) {
      u.moveTo(u.overPopUp(button));
      u.advance(20);
      u.desk().userButtonDown(vk::LButton);
      u.advance(60);
      u.desk().userButtonUp(vk::LButton);
    } else {
      u.clickPopUp(button);
    }
    u.advance(300);
    ASSERT_FALSE(u.popUp().Loaded);
    if (c.cut) {
      ASSERT_LT(u.symbol(1).Top, 0);
      // Typing goes on at the insertion point.
      u.play({"65"});
    }
    ASSERT_EQ(p.SymbolCount, 4 - (c.cut ? 1 : 0));
    const Control& first = u.symbol(3);
    EXPECT_EQ(first.Left, p.surface.InsertXFor(insertion.x) + movedTw);
    EXPECT_NEAR(first.Top + first.Height / 2, p.surface.InsertYFor(insertion.y), 1);
  }
}

// Cut deletes inside its click, before the dispatcher's tick; the pop-up is gone by then, and
// the next one works as the first did.
TEST(PopUp, CutDeletesAtOnceAndThePopUpCanBeUsedAgain) {
  Popping u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  const double top = u.symbol(1).Top;
  const int undo = u.p().UndoIndex;
  u.rightClick(kSpot);
  u.clickPopUp(u.popUp().Command2);
  EXPECT_EQ(u.symbol(1).Top, top - u.w().Frame5.Height);
  EXPECT_EQ(u.p().UndoIndex, undo + 1);
  EXPECT_EQ(u.p().CutFlag, 1);
  EXPECT_FALSE(u.popUp().Loaded);
  EXPECT_TRUE(u.p().PendingCode.is(2000000));
  EXPECT_TRUE(u.w().Timer6.Enabled());
  u.advance(200);
  EXPECT_EQ(u.p().SymbolCount, 2);  // nothing queued: no paste
  // Opened again: Paste only now, and it pastes the cut symbols.
  const PointPx there{420, 200};
  u.rightClick(there);
  ASSERT_TRUE(u.popUp().Visible);
  EXPECT_FALSE(u.popUp().Command2.Visible);
  u.clickPopUp(u.popUp().Command1);
  u.advance(200);
  EXPECT_EQ(u.p().SymbolCount, 4);
  EXPECT_EQ(u.symbol(3).Left, u.p().surface.InsertXFor(there.x));
}

TEST(PopUp, ItClosesHalfASecondAfterItLosesTheFocus) {
  Popping u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  ASSERT_TRUE(u.w().Timer23.Enabled());
  u.rightClick(kSpot);
  ASSERT_TRUE(u.popUp().Visible);
  u.advance(2000);
  EXPECT_TRUE(u.popUp().Visible);  // it stays while it has the focus
  EXPECT_FALSE(u.w().Timer23.Enabled());
  // A click on the main window's page takes the focus away.
  u.moveTo(kSpot);
  u.desk().userButtonDown(vk::LButton);
  u.desk().userButtonUp(vk::LButton);
  u.advance(490);
  EXPECT_TRUE(u.popUp().Loaded);
  u.advance(20);
  EXPECT_FALSE(u.popUp().Loaded);
  EXPECT_TRUE(u.w().Timer23.Enabled());
  EXPECT_FALSE(u.popUp().Timer2.Enabled());
}

// While the pop-up is loaded the pointer may leave the main window without the background
// group pausing. It is loaded from one second after start-up, so until the pop-up has been
// closed once, or the group is started again, the pause does not work.
TEST(PopUp, WhileItIsLoadedThePointerLeavingTheWindowPausesNothing) {
  struct Case {
    const char* name;
    int then;  // 0 nothing, 1 the pop-up closed once, 2 Stop and Start
    bool pauses;
  } cases[] = {
      {"from one second after start-up", 0, false},
      {"after the pop-up was closed", 1, true},
      {"after Stop and Start", 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    ASSERT_FALSE(u.w().Timer23.Enabled());
    if (c.then == 1) {
      u.type(kLine, {"1"});
      u.select(1, 1);
      u.rightClick(kSpot);
      u.clickPopUp(u.popUp().Command1);
    }
    if (c.then == 2) {
      u.p().app.Command2_Click();
      u.p().app.Command3_Click();
    }
    const PointPx outside{static_cast<int>(singleDiv15(u.w().Left)) - 50, 300};
    u.moveTo(outside);
    u.advance(200);
    EXPECT_EQ(u.p().TimersPaused, c.pauses ? 1 : 0);
    EXPECT_EQ(u.w().Timer22.Enabled(), !c.pauses);
  }
}

TEST(PopUp, ThePointerOverItKeepsTheRightButtonFromThePage) {
  Editing u;
  u.type(kLine, {"1"});
  u.select(1, 1);
  u.rightClick(kSpot);
  const PasteCutPopup& f = u.popUp();
  u.moveTo({static_cast<int>(singleDiv15(f.Left) + kFrameLeftPx + 3),
            static_cast<int>((f.Top + kFrameTopTw) / kTwipsPerPixel + 3)});
  EXPECT_EQ(u.p().PointerOverForm8, 1);
}

// A shown on-screen keyboard steps aside while the pop-up is loaded and comes back after.
TEST(PopUp, TheOnScreenKeyboardStepsAsideWhileItIsOpen) {
  Popping u;
  u.type(kLine, {"1"});
  u.select(1, 1);
  u.p().palette.ShowForm8();
  u.p().Form8Shown = 1;
  u.rightClick(kSpot);
  ASSERT_TRUE(u.popUp().Visible);
  EXPECT_FALSE(u.p().palette.Form8Visible());
  EXPECT_EQ(u.p().Form8Suspended, 1);
  u.moveTo(kSpot);
  u.desk().userButtonDown(vk::LButton);
  u.desk().userButtonUp(vk::LButton);
  u.advance(600);
  EXPECT_FALSE(u.popUp().Loaded);
  EXPECT_TRUE(u.p().palette.Form8Visible());
}

}  // namespace
}  // namespace kel::test
