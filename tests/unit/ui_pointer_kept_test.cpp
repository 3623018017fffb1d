// A placement never takes the pointer from where the user has moved it: typing, then
// going to the palette and clicking a button, the click reaches the button whenever the
// last typed key is placed.
#include <gtest/gtest.h>

#include <string>

#include "ui_fixture.h"

namespace kel::test {
namespace {

constexpr int kEquals = 187;  // Shift+= types "+"

// Runs the clock until the condition holds (at most a second), one millisecond at a time.
template <class Condition>
void advanceUntil(Ui& u, Condition done) {
  for (int i = 0; i < 1000 && !done(); ++i) u.advance(1);
  ASSERT_TRUE(done());
}

void click(Ui& u) {
  u.desk().userButtonDown(vk::LButton);
  u.advance(80);
  u.desk().userButtonUp(vk::LButton);
}

// A key as a typing tool types it: down, 75 ms, up, 75 ms.
void typeKey(Ui& u, int key, bool shift = false) {
  if (shift) u.desk().userKeyDown(vk::LShift);
  u.desk().userKeyDown(key);
  u.advance(75);
  u.desk().userKeyUp(key);
  if (shift) u.desk().userKeyUp(vk::LShift);
  u.advance(75);
}

enum class MoveAt { BeforeThePlacement, BetweenPlacementAndAfterStep, AfterEverything };

TEST(PointerKept, APaletteClickRightAfterTypingReachesItsButton) {
  const MoveAt cases[] = {MoveAt::BeforeThePlacement, MoveAt::BetweenPlacementAndAfterStep,
                          MoveAt::AfterEverything};
  for (MoveAt when : cases) {
    SCOPED_TRACE(static_cast<int>(when));
    Ui u(true);
    Program& p = u.p();
    MainWindow& w = u.w();
    const PointPx start = u.screenOf(1500, 2000);
    u.moveTo(start);
    u.advance(100);
    click(u);
    u.advance(200);
    typeKey(u, 'A');
    // "+": the move to the root button comes right after the key is let go, before, while
    // or after the program places it.
    u.desk().userKeyDown(vk::LShift);
    u.desk().userKeyDown(kEquals);
    u.advance(75);
    u.desk().userKeyUp(kEquals);
    u.desk().userKeyUp(vk::LShift);
    const PointPx button = u.over(w.Command8);  // the square root
    if (when == MoveAt::BeforeThePlacement) {
      u.moveTo(button);
      advanceUntil(u, [&] { return p.SymbolCount == 2; });
    } else {
      advanceUntil(u, [&] { return p.SymbolCount == 2; });
      if (when == MoveAt::AfterEverything) u.advance(100);
      u.moveTo(button);
    }
    EXPECT_EQ(p.SymbolKind[2], "plus");
    u.advance(300);
    EXPECT_EQ(u.pointer(), button);
    click(u);
    u.advance(800);
    ASSERT_EQ(p.SymbolCount, 3);
    EXPECT_EQ(p.SymbolKind[3], "koren");
    // Where the "+" ends, on its line.
    const Image& plus = w.Image3[2];
    EXPECT_EQ(w.Image3[3].Left, plus.Left + plus.Width);
    EXPECT_EQ(u.pointer(), button);  // left on the button
    typeKey(u, 'B');
    u.advance(100);
    ASSERT_EQ(p.SymbolCount, 4);
    EXPECT_EQ(w.Label3[4].Left, w.Image3[3].Left + w.Image3[3].Width);
    // Typed with the pointer resting on the button, the B leaves it there too.
    EXPECT_EQ(u.pointer(), button);
  }
}

TEST(PointerKept, TypingOnThePageAgainBringsThePointerBack) {
  // Moved away over the panel, the pointer stays there while keys are typed; moved back
  // onto the page, the next key takes it to the insertion point again.
  Ui u(true);
  Program& p = u.p();
  MainWindow& w = u.w();
  u.moveTo(u.screenOf(1500, 2000));
  u.advance(100);
  click(u);
  u.advance(200);
  typeKey(u, 'A');
  u.advance(100);
  const PointPx panel = u.over(w.Command7);  // resting on a palette button
  u.moveTo(panel);
  u.advance(100);
  typeKey(u, 'B');
  u.advance(100);
  ASSERT_EQ(p.SymbolCount, 2);
  EXPECT_EQ(w.Label3[2].Left, w.Label3[1].Left + w.Label3[1].Width);
  EXPECT_EQ(u.pointer(), panel);
  u.moveTo(u.screenOf(3000, 4000));
  u.advance(100);
  typeKey(u, 'C');
  u.advance(100);
  ASSERT_EQ(p.SymbolCount, 3);
  EXPECT_EQ(w.Label3[3].Left, w.Label3[2].Left + w.Label3[2].Width);
  EXPECT_EQ(u.pointer(), (PointPx{pixelForPointer(p.PointerX), pixelForPointer(p.PointerY)}));
}

TEST(WindowMove, EnterStartsEachLineAtTheMarkedColumnWhereverTheWindowWent) {
  // The window is moved by its title bar (no resize); the user comes back onto the page
  // with the mouse and types a new line: it begins under the marks, on the page.
  Ui u(true);
  Program& p = u.p();
  MainWindow& w = u.w();
  const double column = p.MarkInsertX;
  typeKey(u, 'A');
  u.advance(100);
  struct Move {
    double dxTw, dyTw;
  } moves[] = {{-1500, 0}, {3000, 600}, {-750, -1200}};
  int n = 1;
  for (const Move& m : moves) {
    SCOPED_TRACE(testing::Message() << "window moved by " << m.dxTw << ", " << m.dyTw);
    const double top = p.SymbolCount > 1 ? w.Label3[n].Top : w.Label3[1].Top;
    u.desk().userMoveForm(w, w.Left + m.dxTw, w.Top + m.dyTw);
    u.moveTo(u.screenOf(4000, 5000));  // onto the bare page, no click
    u.advance(100);
    typeKey(u, vk::Return);
    typeKey(u, 'X');
    u.advance(100);
    ASSERT_EQ(p.SymbolCount, n + 1);
    n = p.SymbolCount;
    const Label& x = w.Label3[n];
    EXPECT_NEAR(x.Left, column, 1);
    EXPECT_GT(x.Top, top);  // the next line down
    EXPECT_LT(x.Top + x.Height, w.Frame5.Height);
    // The pointer went along to the insertion point, inside the window.
    EXPECT_EQ(u.pointer(), (PointPx{pixelForPointer(p.PointerX), pixelForPointer(p.PointerY)}));
    EXPECT_NEAR(w.Shape2.Left, column, 1);
  }
}

TEST(WindowMove, TypingGoesOnAfterTheLastSymbolAndTheWritingPositionFollows) {
  Ui u(true);
  Program& p = u.p();
  MainWindow& w = u.w();
  typeKey(u, 'A');
  u.advance(100);
  const float markX = p.MarkPointerX, markY = p.MarkPointerY;
  u.desk().userMoveForm(w, w.Left + 1500, w.Top + 750);
  EXPECT_FLOAT_EQ(p.MarkPointerX, markX + 100);
  EXPECT_FLOAT_EQ(p.MarkPointerY, markY + 50);
  // The pointer was left where the program had put it: typing takes it along.
  typeKey(u, 'B');
  u.advance(100);
  ASSERT_EQ(p.SymbolCount, 2);
  EXPECT_EQ(w.Label3[2].Left, w.Label3[1].Left + w.Label3[1].Width);
  EXPECT_EQ(w.Label3[2].Top, w.Label3[1].Top);
}

}  // namespace
}  // namespace kel::test
