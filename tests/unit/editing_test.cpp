// Editing the formula: Backspace, deleting and cutting the selection, moving it with the
// move buttons and pasting copies of it.
#include <algorithm>
#include <string>
#include <vector>

#include "editing_fixture.h"
#include "evaluation/reading.h"

namespace kel::test {
namespace {

constexpr double kBackspaceLiftTw = 150000;
// A bare spot of the page, below the typed line.
const PointPx kSpotOnPage{450, 380};

// --- Backspace ------------------------------------------------------------------------------

TEST(Backspace, InTheMiddleHidesTheSymbolBeforeTheCaretAndLeavesTheRestWhereTheyAre) {
  Editing u;
  u.typeEach(kLine, {"a", "b", "c"});
  // The caret after the b, as a click on its right half puts it.
  u.p().CurrentSymbolIndex = 2;
  u.p().CaretAfterSymbol = 1;
  const Editing::Place a = u.placeOf(1), b = u.placeOf(2), c = u.placeOf(3);
  const PointPx bLeft = u.leftOf(2);
  const int undo = u.p().UndoIndex;
  u.play({"8"});
  EXPECT_EQ(u.placeOf(2), (Editing::Place{b.left, b.top - kBackspaceLiftTw}));
  EXPECT_EQ(u.placeOf(1), a);
  EXPECT_EQ(u.placeOf(3), c);
  // The insertion point takes its place: its left edge, on its middle line.
  EXPECT_EQ(u.pointer(), bLeft);
  EXPECT_EQ(u.p().PointerX, bLeft.x);
  EXPECT_EQ(u.p().InsertX, u.p().surface.InsertXFor(bLeft.x));
  EXPECT_EQ(u.p().CurrentSymbolIndex, 1);
  EXPECT_EQ(u.p().CaretAfterSymbol, 1);
  EXPECT_EQ(u.p().UndoIndex, undo + 1);
  // Undo gives the b back.
  u.p().pages.Command69_Click();
  EXPECT_EQ(u.placeOf(2), b);
}

TEST(Backspace, AtTheEndOfTheTextUndoes) {
  Editing u;
  u.typeEach(kLine, {"a", "b"});
  const Editing::Place a = u.placeOf(1);
  ASSERT_EQ(u.p().UndoIndex, 2);
  u.p().UpperIndexMode = 1;
  u.play({"8"});
  EXPECT_EQ(u.p().UndoIndex, 1);  // the state before the b, no snapshot of its own
  EXPECT_LT(u.symbol(2).Top, 0);
  EXPECT_EQ(u.placeOf(1), a);
  EXPECT_EQ(u.w().Timer15.Interval(), 500);
  EXPECT_EQ(u.p().UpperIndexMode, 0);
}

// Deleted symbols after the caret do not count as text after it: with only those behind it
// the caret stands at the end and Backspace undoes (the delete comes back); one symbol still
// on the page beyond them makes it a Backspace in the middle.
TEST(Backspace, BeforeHiddenSymbolsOnlyItIsAtTheEndOfTheText) {
  struct Case {
    const char* name;
    int deleteFrom, deleteTo;  // the symbols deleted, by index
    bool undoes;
  } cases[] = {
      {"c and d deleted", 3, 4, true},
      {"c deleted, d still there", 3, 3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.typeEach(kLine, {"a", "b", "c", "d"});
    u.select(c.deleteFrom, c.deleteTo);
    u.p().pages.DelSelektirano();
    const Editing::Place b = u.placeOf(2), dShown = u.placeOf(4);
    const int undo = u.p().UndoIndex;
    // The caret after the b, as a click on its right half puts it.
    u.p().CurrentSymbolIndex = 2;
    u.p().CaretAfterSymbol = 1;
    u.play({"8"});
    if (c.undoes) {
      EXPECT_EQ(u.p().UndoIndex, undo - 1);
      EXPECT_EQ(u.placeOf(2), b);
      EXPECT_GT(u.symbol(3).Top, 0);  // the delete taken back
      EXPECT_GT(u.symbol(4).Top, 0);
    } else {
      EXPECT_EQ(u.p().UndoIndex, undo + 1);
      EXPECT_EQ(u.placeOf(2), (Editing::Place{b.left, b.top - kBackspaceLiftTw}));
      EXPECT_LT(u.symbol(3).Top, 0);
      EXPECT_EQ(u.placeOf(4), dShown);
    }
  }
}

TEST(Backspace, BeforeTheCurrentSymbolSkipsSymbolsAlreadyOffThePage) {
  Editing u;
  u.typeEach(kLine, {"a", "b", "c", "d"});
  u.p().CurrentSymbolIndex = 2;
  u.p().CaretAfterSymbol = 1;
  u.play({"8"});  // the b goes
  const double aTop = u.symbol(1).Top;
  // The caret at the left edge of the c.
  u.p().CurrentSymbolIndex = 3;
  u.p().CaretAfterSymbol = 0;
  u.play({"8"});
  EXPECT_EQ(u.symbol(1).Top, aTop - kBackspaceLiftTw);
  EXPECT_GT(u.symbol(3).Top, 0);
  EXPECT_GT(u.symbol(4).Top, 0);
}

// After a symbol of an index whose predecessor stands on the line, the caret leaves the index.
TEST(Backspace, OutOfAnIndexTheInsertionPointGoesBackToTheLine) {
  struct Case {
    const char* name;
    const char* mode;  // the key that starts the index
    int moveY;         // pixels
    float caretTop;    // twips
  } cases[] = {{"upper index", "27", 13, 90}, {"lower index", "123", -8, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.p().PointerX = kLine.x;
    u.p().PointerY = kLine.y;
    u.moveTo(kLine);
    for (const char* key : {"65", c.mode, "50", "66"}) u.play({key});  // a, the index's 2, b
    ASSERT_EQ(u.p().SymbolCount, 3);
    ASSERT_EQ(u.p().SymbolLevel[2], c.moveY > 0 ? 1 : 2);
    u.p().CurrentSymbolIndex = 2;
    u.p().CaretAfterSymbol = 1;
    const PointPx two = u.leftOf(2);
    const float caretTop = u.p().LastSymbolTop;
    u.play({"8"});
    EXPECT_LT(u.symbol(2).Top, 0);
    // The pointer was the user's (moved there, the keys played, not typed): the insertion
    // point goes back alone.
    EXPECT_EQ(u.p().PointerX, two.x);
    EXPECT_EQ(u.p().PointerY, two.y + c.moveY);
    EXPECT_EQ(u.pointer(), kLine);
    EXPECT_EQ(u.p().UpperIndexMode, 0);
    EXPECT_EQ(u.p().LowerIndexMode, 0);
    EXPECT_EQ(u.p().LastSymbolTop, caretTop + c.caretTop);
    EXPECT_EQ(u.p().CurrentSymbolIndex, 1);
  }
}

TEST(Backspace, OnAnEmptyPageDoesNothing) {
  Editing u;
  u.typeEach(kLine, {"a"});
  u.p().pages.Command72_Click(1);  // page 2, empty
  u.advance(100);
  const int undo = u.p().UndoIndex;
  const size_t moves = u.desk().pointerMoves.size();
  u.play({"8"});
  EXPECT_EQ(u.p().UndoIndex, undo);
  EXPECT_EQ(u.desk().pointerMoves.size(), moves);
  EXPECT_LT(u.symbol(1).Top, 0);
}

// Nothing before the caret on the page, only after it: nothing is taken back, and the caret
// keeps to a symbol that is on the page.
TEST(Backspace, WithNothingBeforeTheCaretNothingIsHiddenAndThePointerStaysOnThePage) {
  Editing u;
  u.typeEach(kLine, {"a", "b"});
  // The caret after the a: the a goes, and the caret stands before the b.
  u.p().CurrentSymbolIndex = 1;
  u.p().CaretAfterSymbol = 1;
  const PointPx aLeft = u.leftOf(1);
  u.play({"8"});
  EXPECT_LT(u.symbol(1).Top, 0);
  EXPECT_EQ(u.pointer(), aLeft);
  EXPECT_EQ(u.p().CurrentSymbolIndex, 2);
  EXPECT_EQ(u.p().CaretAfterSymbol, 0);
  const double aTop = u.symbol(1).Top;
  const double bTop = u.symbol(2).Top;
  const int undo = u.p().UndoIndex;
  // Again: nothing before the caret now.
  for (int i = 0; i < 2; ++i) u.play({"8"});
  EXPECT_EQ(u.symbol(1).Top, aTop);
  EXPECT_EQ(u.symbol(2).Top, bTop);
  EXPECT_EQ(u.pointer(), aLeft);
  EXPECT_EQ(u.p().CurrentSymbolIndex, 2);
  EXPECT_EQ(u.p().UndoIndex, undo);
}

// --- delete and cut ----------------------------------------------------------------------------

TEST(Delete, MovesTheSelectionUpAPageAndRewritesOnlyTheFirstRecordsTop) {
  Editing u;
  u.type(kLine, {"1", "2", "[plus]", "3", "4"});
  u.select(4, 5);
  const std::vector<std::string> before = u.records();
  ASSERT_EQ(before.size(), 2u);
  const Editing::Place three = u.placeOf(4), four = u.placeOf(5), plus = u.placeOf(3);
  const int undo = u.p().UndoIndex;
  u.host().tap(vk::Delete, 30);
  u.advance(100);
  const double h = u.w().Frame5.Height;
  EXPECT_EQ(u.placeOf(4), (Editing::Place{three.left, three.top - h}));
  EXPECT_EQ(u.placeOf(5), (Editing::Place{four.left, four.top - h}));
  EXPECT_EQ(u.placeOf(3), plus);
  EXPECT_EQ(u.p().CutFlag, 1);
  EXPECT_EQ(u.p().UndoIndex, undo + 1);
  ASSERT_EQ(u.records().size(), 2u);
  EXPECT_EQ(u.records()[0], "0" + std::to_string(static_cast<int>(three.left)) + "|" +
                                RecordNumberText(static_cast<float>(three.top - h)) +
                                before[0].substr(before[0].find('|', 6)));
  EXPECT_EQ(u.records()[1], before[1]);
}

// A left edge of more than five characters (a fraction, as the arrow keys leave it) is no
// longer cut into by the rewrite: the record keeps its eight fields.
TEST(Delete, TheFirstRecordKeepsItsFieldsWhateverTheLengthOfItsLeftEdge) {
  Editing u;
  u.type({kLine.x, kLine.y}, {"7"});
  u.p().PointerX = kLine.x + 40.5;  // half a pixel: a left edge with a fraction
  u.p().surface.PlaceTextSymbol("8", 24, false);
  u.advance(30);
  ASSERT_NE(u.symbol(2).Left, static_cast<int>(u.symbol(2).Left));
  u.select(2, 2);
  ASSERT_EQ(u.records().size(), 1u);
  const std::string left = u.records()[0].substr(0, u.records()[0].find('|'));
  ASSERT_GT(left.size(), 5u);
  u.p().pages.DelSelektirano();
  const std::string r = u.records()[0];
  EXPECT_EQ(std::count(r.begin(), r.end(), '|'), 7);
  EXPECT_EQ(r.substr(0, left.size() + 1), left + "|");
  EXPECT_EQ(ParseSelectionRecord(r).Top, u.symbol(2).Top);
  // A paste on another page measures from there: the copy's left edge at the insertion point.
  u.p().pages.Command72_Click(2);
  u.moveTo({500, 250});
  u.host().tap(vk::F4, 40);
  u.advance(200);
  ASSERT_EQ(u.p().SymbolCount, 3);
  EXPECT_EQ(u.symbol(3).Left, u.p().surface.InsertXFor(500));
  EXPECT_EQ(u.symbol(3).Top + u.symbol(3).Height / 2, u.p().surface.InsertYFor(250));
}

// A tap of Delete shorter than the hotkeys' poll deletes; one typed while the keys belonged
// elsewhere (the pointer outside the window, a limits dialog open) deletes nothing later.
TEST(Delete, AQuickTapDeletesAndOneTypedElsewhereDoesNot) {
  struct Case {
    const char* name;
    int where;  // 0 on the page, 1 outside the window, 2 in a limits dialog
    bool deletes;
  } cases[] = {{"a 12 ms tap", 0, true},
               {"typed while the pointer was outside", 1, false},
               {"typed in a limits dialog", 2, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.p().pages.UnloadForm7();  // the pointer-leaves-window pause works
    u.type(kLine, {"1", "2"});
    u.select(1, 2);
    const double top = u.symbol(1).Top;
    if (c.where == 1) u.moveTo({static_cast<int>(singleDiv15(u.w().Left)) - 50, 300});
    if (c.where == 2) u.p().evaluation.Command58_Click();
    u.advance(200);
    u.host().tap(vk::Delete, 12);
    u.advance(200);
    if (c.where == 1) u.moveTo(kSpotOnPage);
    if (c.where == 2) u.desk().userCloseForm(u.p().Form4);
    u.advance(2000);
    EXPECT_EQ(u.symbol(1).Top, c.deletes ? top - u.w().Frame5.Height : top);
  }
}

// The first Undo after a delete brings the symbols back, however it is given and whatever
// step without a change came between (a tap of Ctrl runs the after-placement step).
TEST(Delete, TheFirstUndoBringsTheDeletedSymbolsBack) {
  enum Undo { kCtrlZ, kQuickChord, kClick };
  struct Case {
    const char* name;
    Millis after;  // from the delete to the Undo
    bool ctrlTap;  // a tap of Ctrl between them
    Undo undo;
  } cases[] = {{"Ctrl+Z", 2000, false, kCtrlZ},
               {"Ctrl tapped, then Ctrl+Z", 2000, true, kCtrlZ},
               {"Ctrl+Z while the hotkeys rest after the delete", 300, false, kCtrlZ},
               {"Ctrl+Z as one chord shorter than the hotkeys' poll", 2000, false, kQuickChord},
               {"Undo clicked", 2000, false, kClick},
               {"Ctrl tapped, then Undo clicked", 2000, true, kClick}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.typeEach(kLine, {"1", "2", "3"});
    u.select(2, 3);
    const Editing::Place two = u.placeOf(2), three = u.placeOf(3);
    u.host().tap(vk::Delete, 30);
    u.advance(c.after);
    ASSERT_LT(u.symbol(2).Top, 0);
    if (c.ctrlTap) {
      u.host().tap(vk::LControl, 5);
      u.advance(1000);
    }
    switch (c.undo) {
      case kClick:
        u.moveTo(u.over(u.w().Command69));
        u.advance(60);
        u.desk().userButtonDown(vk::LButton);
        u.desk().userButtonUp(vk::LButton);
        break;
      case kCtrlZ:
        u.desk().userKeyDown(vk::LControl);
        u.advance(60);
        u.host().tap(90, 40);  // Z
        u.advance(100);
        u.desk().userKeyUp(vk::LControl);
        break;
      case kQuickChord:
        u.desk().userKeyDown(vk::LControl);
        u.desk().userKeyDown(90);
        u.desk().userKeyUp(90);
        u.desk().userKeyUp(vk::LControl);
        break;
    }
    u.advance(2000);
    EXPECT_EQ(u.placeOf(2), two);
    EXPECT_EQ(u.placeOf(3), three);
    EXPECT_EQ(u.p().pages.command69Runs, 1);
  }
}

TEST(Delete, WithNothingSelectedOnlyMarksACut) {
  Editing u;
  u.typeEach(kLine, {"a"});
  const int undo = u.p().UndoIndex;
  const double top = u.symbol(1).Top;
  u.p().pages.DelSelektirano();
  EXPECT_EQ(u.p().CutFlag, 1);
  EXPECT_EQ(u.p().UndoIndex, undo);
  EXPECT_EQ(u.symbol(1).Top, top);
}

// Clear All forgets the selection: the symbols typed after it, which take the old indexes,
// are never deleted, moved or copied for it; nor is a record that names a symbol of the
// other kind.
TEST(Delete, RecordsOfSymbolsClearedSinceAreNeverActedOn) {
  Editing u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  const std::vector<std::string> old = u.records();
  ASSERT_EQ(old.size(), 2u);
  u.desk().messageBoxAnswers.push_back(msgbox::Yes);
  u.p().pages.Label11_Click();
  EXPECT_TRUE(u.records().empty());
  u.type(kLine, {"[plus]", "5"});  // indexes 1 and 2 again: a picture, then a text
  const Editing::Place plus = u.placeOf(1), five = u.placeOf(2);
  u.host().tap(vk::Delete, 30);
  u.advance(100);
  u.play({"115"});
  EXPECT_EQ(u.p().SymbolCount, 2);
  // The records of before, kept by hand: the first names a picture now.
  u.w().List3.Items = std::vector<std::string>{old[0]};
  u.p().pages.DelSelektirano();
  u.p().pages.Prepihi();
  u.p().pages.MoveDirX = 1;
  u.p().pages.PremestiSelPoXYZ();
  EXPECT_EQ(u.p().SymbolCount, 2);
  EXPECT_EQ(u.placeOf(1), plus);
  EXPECT_EQ(u.placeOf(2), five);
}

// --- the move buttons --------------------------------------------------------------------------

TEST(MoveButtons, AHoldMovesThreeTwipsATickForNineTicksThenFortyFive) {
  struct Case {
    const char* name;
    CommandButton MainWindow::*button;
    int ticks;
    double dx, dy;
  } cases[] = {
      {"right, 12 ticks", &MainWindow::Command65, 12, 9 * 3 + 3 * 45, 0},
      {"left, 5 ticks", &MainWindow::Command64, 5, -15, 0},
      {"up, 10 ticks", &MainWindow::Command67, 10, 0, -(9 * 3 + 45)},
      {"down, 9 ticks", &MainWindow::Command68, 9, 0, 27},
      {"a click", &MainWindow::Command65, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.type(kLine, {"1", "2", "3"});
    u.select(1, 2);
    ASSERT_TRUE(u.w().Frame7.Visible);
    const std::vector<std::string> records = u.records();
    const Editing::Place one = u.placeOf(1), two = u.placeOf(2), three = u.placeOf(3);
    const int undo = u.p().UndoIndex;
    u.hold(u.w().*c.button);
    u.advance(10 * c.ticks);
    u.letGo();
    u.advance(200);  // stopped at once
    EXPECT_EQ(u.placeOf(1), (Editing::Place{one.left + c.dx, one.top + c.dy}));
    EXPECT_EQ(u.placeOf(2), (Editing::Place{two.left + c.dx, two.top + c.dy}));
    EXPECT_EQ(u.placeOf(3), three);
    EXPECT_EQ(u.records(), records);  // the records keep the places of the reading
    EXPECT_EQ(u.p().UndoIndex, undo);
    EXPECT_FALSE(u.w().Timer29.Enabled());
    EXPECT_EQ(u.desk().focusCalls.back(), "Command63");
  }
}

TEST(MoveButtons, TheNextHoldStartsFineAgainAndTheBarePanelStopsIt) {
  Editing u;
  u.type(kLine, {"1"});
  u.select(1, 1);
  const double left = u.placeOf(1).left;
  u.hold(u.w().Command65);
  u.advance(120);
  u.letGo();
  u.hold(u.w().Command65);
  u.advance(10);
  u.letGo();
  EXPECT_EQ(u.placeOf(1).left, left + 162 + 3);
  // Over the bare panel the hold ends: nothing moves while the button stays down.
  u.hold(u.w().Command65);
  u.advance(30);
  u.moveTo(u.over(u.w().Frame7, 0.05, 0.05));
  EXPECT_FALSE(u.w().Timer29.Enabled());
  EXPECT_EQ(u.p().pages.MoveDirX, 0);
  EXPECT_EQ(u.p().pages.MoveTickCount, 0);
  u.advance(200);
  u.letGo();
  EXPECT_EQ(u.placeOf(1).left, left + 165 + 9);
}

// A symbol pushed above the page's top edge would stand where deleted ones are kept and drop
// out of the next save: the move stops at the edge, the selection keeping its shape.
TEST(MoveButtons, UpStopsAtTheTopEdgeOfThePage) {
  Editing u;
  u.type(kLine, {"1", "2"});
  u.select(1, 2);
  const Editing::Place one = u.placeOf(1), two = u.placeOf(2);
  ASSERT_GT(one.top, 0);
  u.hold(u.w().Command67);
  u.advance(10 * 100);  // 9 * 3 + 91 * 45 twips asked for: far past the edge
  u.letGo();
  EXPECT_EQ(u.placeOf(1), (Editing::Place{one.left, 0}));
  EXPECT_EQ(u.placeOf(2), (Editing::Place{two.left, two.top - one.top}));
  // At the edge, up moves nothing more; sideways still moves.
  u.hold(u.w().Command67);
  u.advance(50);
  u.letGo();
  u.hold(u.w().Command65);
  u.advance(20);
  u.letGo();
  EXPECT_EQ(u.placeOf(1), (Editing::Place{one.left + 6, 0}));
}

TEST(MoveButtons, WithBothDirectionsSetTheVerticalOneWins) {
  Editing u;
  u.type(kLine, {"1"});
  u.select(1, 1);
  const Editing::Place one = u.placeOf(1);
  u.hold(u.w().Command65);
  u.advance(30);
  u.hold(u.w().Command68);  // a second button while the first is held: the count goes on
  u.advance(70);
  EXPECT_EQ(u.p().pages.MoveTickCount, 10);
  u.letGo();
  EXPECT_EQ(u.placeOf(1), (Editing::Place{one.left + 9, one.top + 6 * 3 + 45}));
}

// --- paste
// ----------------------------------------------------------------------------------------

// The copy of the first record's symbol stands with its left edge at the insertion point and
// its middle on the insertion line; the others keep their places around it.
TEST(Paste, TheCopiesStandAtTheInsertionPointInTheShapeOfTheSelection) {
  struct Case {
    const char* name;
    bool cut;
    bool otherPage;
    bool moved;
  } cases[] = {
      {"on the same page", false, false, false},
      {"on the same page after a cut", true, false, false},
      {"on another page", false, true, false},
      {"on another page after a cut", true, true, false},
      {"after the selection was moved", false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    u.type(kLine, {"1", "[plus]", "2"});
    u.select(1, 3);
    const std::vector<Editing::Place> source = {u.placeOf(1), u.placeOf(2), u.placeOf(3)};
    const double h1 = u.symbol(1).Height;
    double moved = 0;
    if (c.moved) {
      u.hold(u.w().Command65);
      u.advance(120);
      u.letGo();
      u.advance(1000);  // the click on the button is done with before the pointer goes on
      moved = 162;
    }
    if (c.cut) u.p().pages.DelSelektirano();
    if (c.otherPage) u.p().pages.Command72_Click(1);
    const int undo = u.p().UndoIndex;
    const PointPx at{450, 380};
    u.moveTo(at);
    u.host().tap(vk::F4, 40);  // typed with the pointer there: it is the insertion point
    u.advance(200);
    ASSERT_EQ(u.p().SymbolCount, 6);
    const double x = u.p().surface.InsertXFor(at.x);
    const double y = u.p().surface.InsertYFor(at.y);
    EXPECT_EQ(u.symbol(4).Left, x + moved);
    EXPECT_EQ(u.symbol(4).Top + h1 / 2, y);
    for (int k = 1; k < 3; ++k) {
      EXPECT_EQ(u.symbol(4 + k).Left - u.symbol(4).Left, source[k].left - source[0].left);
      EXPECT_EQ(u.symbol(4 + k).Top - u.symbol(4).Top, source[k].top - source[0].top);
    }
    // The caret after the last copy.
    const Control& last = u.symbol(6);
    EXPECT_EQ(u.p().CurrentSymbolIndex, 6);
    EXPECT_EQ(u.p().CaretAfterSymbol, 1);
    EXPECT_EQ(u.p().LastSymbolRight, static_cast<float>(last.Left + last.Width));
    EXPECT_EQ(u.p().LastSymbolTop, static_cast<float>(last.Top));
    EXPECT_EQ(u.pointer(),
              (PointPx{pixelForPointer((last.Left + last.Width) / 15 + singleDiv15(u.w().Left) + 4),
                       pixelForPointer(last.Top / 15 + singleDiv15(u.w().Top) +
                                       last.Height / 2 / 15 + 505.0 / 15)}));
    EXPECT_EQ(u.p().UndoIndex, undo + 1);
    // What the copies show.
    EXPECT_EQ(u.w().Label3[4].Caption, "1");
    EXPECT_EQ(u.w().Image3[5].Picture, u.w().Image3[2].Picture);
    EXPECT_TRUE(u.w().Image3[5].Stretch);
    EXPECT_EQ(u.w().Image3[5].Width, u.w().Image3[2].Width);
    EXPECT_TRUE(u.w().Label3[6].Visible);
  }
}

// Paste and delete take the insertion point, not a pointer the user has moved away from it
// without a click: resting on the palette at Ctrl+V or Delete, or on its way on at once after
// Paste in the pop-up.
TEST(Paste, TheCopiesGoToTheInsertionPointWhereverThePointerRests) {
  enum Act { kCtrlV, kPopUpPaste, kDelete };
  struct Case {
    const char* name;
    Act act;
  } cases[] = {{"Ctrl+V on the palette", kCtrlV},
               {"Paste in the pop-up, the pointer moved on at once", kPopUpPaste},
               {"Delete on the palette, then a key typed", kDelete}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Editing u;
    Program& p = u.p();
    u.type(kLine, {"1", "2"});
    u.select(1, 2);
    const PointPx at{450, 380};
    const PointPx palette = u.over(u.w().Command7);
    if (c.act == kPopUpPaste) {
      u.rightClick(at);
      u.clickPopUp(u.popUp().Command1);
      u.moveTo(palette);
    } else {
      u.moveTo(at);
      u.advance(60);
      u.desk().userButtonDown(vk::LButton);
      u.advance(80);
      u.desk().userButtonUp(vk::LButton);
      u.advance(300);
      u.moveTo(palette);
      u.advance(100);
      if (c.act == kCtrlV) {
        u.desk().userKeyDown(vk::LControl);
        u.host().tap('V', 40);
        u.desk().userKeyUp(vk::LControl);
      } else {
        u.host().tap(vk::Delete, 40);
        u.advance(2000);
        ASSERT_LT(u.symbol(1).Top, 0);
        u.host().tap('A', 40);
      }
    }
    u.advance(300);
    ASSERT_EQ(p.SymbolCount, c.act == kDelete ? 3 : 4);
    EXPECT_EQ(u.symbol(3).Left, p.surface.InsertXFor(at.x));
    EXPECT_EQ(u.symbol(3).Top + u.symbol(3).Height / 2, p.surface.InsertYFor(at.y));
    EXPECT_EQ(u.pointer(), palette);
  }
}

// A copy is named by its token; a picture whose token has no name of its own keeps its
// source's, so that it reads, undoes and is saved as the picture it shows.
TEST(Paste, APastedPictureKeepsItsSourcesName) {
  struct Case {
    const char* source;
    const char* reads;
  } cases[] = {
      {"minusm", "-"}, {"plus", "+"},         {"goskoba", "("},   {"korenm", "SQR("},
      {"pi", "pi"},    {"strelka", "SIMVOL"}, {"1026", "SIMVOL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    Editing u;
    u.type(kLine, {std::string("[") + c.source + "]"});
    u.select(1, 1);
    u.moveTo({450, 380});
    u.play({"115"});
    ASSERT_EQ(u.p().SymbolCount, 2);
    EXPECT_EQ(u.p().SymbolKind[2], c.source);
    EXPECT_EQ(u.w().Image3[2].Picture, u.w().Image3[1].Picture);
    EXPECT_EQ(ParseSelectionRecord(u.records()[0]).Token, PictureExprToken(c.source).value());
    // Read back, the copy means what its name says.
    u.select(2, 2);
    EXPECT_EQ(ParseSelectionRecord(u.records()[0]).Token, c.reads);
  }
}

TEST(Paste, APastedArrowIsSavedAsThatArrow) {
  Editing u;
  u.type(kLine, {"[strelka]"});
  u.select(1, 1);
  u.moveTo({450, 380});
  u.play({"115"});
  ASSERT_EQ(u.p().SymbolKind[2], "strelka");
  const std::string path = u.s.folder.file("pages.txt");
  u.desk().fileDialogAnswers.push_back(FileDialogChoice{path, 1});
  u.p().pages.Command15_Click();
  u.advance(13 * 50 + 100);
  const std::string saved = u.s.folder.read("pages.txt");
  size_t n = 0;
  for (size_t at = saved.find("|strelka.gif|"); at != std::string::npos;
       at = saved.find("|strelka.gif|", at + 1))
    ++n;
  EXPECT_EQ(n, 2u) << saved;
}

// The store ends at 10 000 symbols: a paste stops at the record that has no room, the copies
// made before it stay, the caret follows the last of them, and no snapshot is taken.
TEST(Paste, AtTheEndOfTheStoreTheCopiesThatFitStay) {
  Editing u;
  u.type(kLine, {"1", "[plus]", "2"});
  u.select(1, 3);
  u.p().SymbolCount = 9998;  // as if the page held 9998 symbols
  const int undo = u.p().UndoIndex;
  u.moveTo({450, 380});
  u.host().tap(vk::F4, 40);
  u.advance(200);
  ASSERT_EQ(u.p().SymbolCount, 10000);
  EXPECT_EQ(u.w().Label3[9999].Caption, "1");
  EXPECT_EQ(u.p().SymbolKind[10000], "plus");
  EXPECT_FALSE(u.w().Label3.IsLoaded(10001));
  EXPECT_FALSE(u.w().Image3.IsLoaded(10001));
  EXPECT_EQ(u.p().CurrentSymbolIndex, 10000);
  const Image& last = u.w().Image3[10000];
  EXPECT_EQ(u.p().LastSymbolRight, static_cast<float>(last.Left + last.Width));
  EXPECT_EQ(u.pointer(),
            (PointPx{pixelForPointer((last.Left + last.Width) / 15 + singleDiv15(u.w().Left) + 4),
                     pixelForPointer(last.Top / 15 + singleDiv15(u.w().Top) + last.Height / 2 / 15 +
                                     505.0 / 15)}));
  EXPECT_EQ(u.p().UndoIndex, undo);
}

TEST(Paste, WithNothingSelectedDoesNothing) {
  Editing u;
  u.typeEach(kLine, {"a"});
  const int undo = u.p().UndoIndex;
  u.play({"115"});
  EXPECT_EQ(u.p().SymbolCount, 1);
  EXPECT_EQ(u.p().UndoIndex, undo);
}

}  // namespace
}  // namespace kel::test
