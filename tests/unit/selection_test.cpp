// The selection rectangle: the drag watcher's states, the selection window, and what a
// drag over the page reads, shows and puts on the clipboard.
#include <string>
#include <vector>

#include "selection_fixture.h"

namespace kel::test {
namespace {

// The typed formula lies on the line at y = 300 px, from x = 400 px; its symbols' tops lie
// at about 282 px.
const PointPx kTyped{400, 300};

TEST(SelectionDrag, ReadsWhatTheRectangleCoversAndShowsItAboveThePage) {
  Selecting u;
  u.type(kTyped, {"1", "2", "[plus]", "3", "0"});
  u.drag({390, 270}, {600, 330});
  EXPECT_EQ(u.w().Text21.Text(), "12+30");
  EXPECT_EQ(u.w().Text1.Text(), "12+30");
  EXPECT_TRUE(u.w().Text21.Visible);
  EXPECT_EQ(u.w().Text21.Top, 0);
  EXPECT_EQ(u.w().Text21.Left, u.w().Frame5.Width / 2 - u.w().Text21.Width / 2);
  EXPECT_TRUE(u.w().Frame7.Visible);
  EXPECT_EQ(u.records().size(), 5u);
  EXPECT_TRUE(u.w().Timer11.Enabled());   // the evaluation follows
  EXPECT_FALSE(u.w().Timer12.Enabled());  // no " = ": nothing is typed
  EXPECT_EQ(u.p().CutFlag, 0);
  EXPECT_EQ(u.p().SelectionPage, "1");
  // The window is gone with the release, and the watcher is idle again.
  EXPECT_FALSE(u.form2().Loaded);
  EXPECT_EQ(u.dragState(), 0);
  EXPECT_FALSE(u.w().Timer18.Enabled());
}

TEST(SelectionDrag, TheRecordsAreTheSymbolsInLeftToRightOrder) {
  Selecting u;
  u.type(kTyped, {"7", "[po]", "x"});
  u.drag({390, 270}, {600, 330});
  const std::vector<std::string> r = u.records();
  ASSERT_EQ(r.size(), 3u);
  const Label& seven = u.label(1);
  const Image& dot = u.w().Image3[2];
  // left (padded) | top | height | width | middle | token | class | index
  EXPECT_EQ(r[0], "0" + std::to_string(static_cast<int>(seven.Left)) + "|" +
                      std::to_string(static_cast<int>(seven.Top)) + "|540|225|" +
                      std::to_string(static_cast<int>(seven.Top + 270)) + "|7|bukva|1");
  EXPECT_EQ(r[1].substr(r[1].size() - 11), "|*|simvol|2");
  EXPECT_EQ(r[1].substr(0, 5), "0" + std::to_string(static_cast<int>(dot.Left)));
  EXPECT_EQ(r[2].substr(r[2].size() - 10), "|x|bukva|3");
}

// A dragged rectangle that ends with the sign " = " is read as the sign's own reading is:
// the pointer goes right of the sign, on its middle line, and the result is typed there.
TEST(SelectionDrag, ASelectionEndingWithEqualsTypesItsResultAfterTheSign) {
  Selecting u;
  u.w().Check3.Value = 0;
  u.type(kTyped, {"9", "[po]", "9", " = "});
  ASSERT_EQ(u.p().SymbolCount, 4);
  u.drag({390, 270}, {650, 330});
  EXPECT_EQ(u.w().Text21.Text(), "9*9");
  EXPECT_TRUE(u.w().Timer12.Enabled());
  const Label& eq = u.label(4);
  EXPECT_EQ(u.pointer(), u.screenOf(eq.Left + eq.Width, eq.Top + eq.Height / 2));
  u.advance(1500);
  ASSERT_EQ(u.p().SymbolCount, 6);
  EXPECT_EQ(u.label(5).Caption, "8");
  EXPECT_EQ(u.label(6).Caption, "1");
  EXPECT_NEAR(u.label(5).Left, eq.Left + eq.Width, 15);
}

TEST(SelectionDrag, StartsOnlyBeyondTenPixels) {
  struct Case {
    int dx, dy;
    int state;  // while the button is held
  } cases[] = {{10, 0, 1},  {11, 0, 2},   {0, 10, 1}, {0, 11, 2},
               {-11, 0, 2}, {10, -10, 1}, {0, -11, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
    Selecting u;
    u.press({500, 300});
    EXPECT_EQ(u.dragState(), 1);
    u.dragTo({500 + c.dx, 300 + c.dy});
    EXPECT_EQ(u.dragState(), c.state);
    EXPECT_EQ(u.form2().Visible, c.state == 2);
    EXPECT_EQ(u.w().Timer18.Enabled(), c.state == 2);
    u.release();
    EXPECT_EQ(u.dragState(), 0);
    EXPECT_FALSE(u.form2().Loaded);
  }
}

TEST(SelectionDrag, TheWindowKeepsItsCornerAtTheAnchorAndGrowsByTheDistance) {
  struct Case {
    PointPx to;
    double width, height;
  } cases[] = {
      {{700, 400}, 200 * 15 - 50, 100 * 15},  // right and down: 50 twips short on the right
      {{300, 250}, 200 * 15 - 50, 50 * 15},   // left and up: the same size, at the anchor
      {{502, 340}, 200, 40 * 15},             // 2 px across: the width cannot be negative
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.to.x << ", " << c.to.y);
    Selecting u;
    u.press({500, 300});
    u.dragTo({500, 320});  // the drag begins: 200 x 200 twips
    EXPECT_EQ(u.form2().Width, 200);
    u.dragTo(c.to);
    const SelectionWindow& f = u.form2();
    EXPECT_EQ(f.Left, 7500);
    EXPECT_EQ(f.Top, 4500);
    EXPECT_EQ(f.Width, c.width);
    EXPECT_EQ(f.Height, c.height);
    EXPECT_EQ(f.Shape1.Left, 5);
    EXPECT_EQ(f.Shape1.Top, 5);
    EXPECT_EQ(f.Shape1.Width, c.width - 10);
    EXPECT_EQ(f.Shape1.Height, c.height - 10);
    u.release();
  }
}

TEST(SelectionDrag, TheWindowIsTopmostSeeThroughAndLeavesThePointerToThePage) {
  Selecting u;
  u.press({500, 300});
  u.dragTo({600, 360});
  const SelectionWindow& f = u.form2();
  EXPECT_TRUE(f.Borderless);
  EXPECT_TRUE(f.NeverActivates);
  EXPECT_TRUE(f.PointerPassesThrough);
  EXPECT_EQ(f.BackColor, kRed);
  EXPECT_EQ(u.desk().topmostCalls.back(), "Form2");
  EXPECT_EQ(u.desk().colourKeyCalls.back(), (std::pair<std::string, Colour>{"Form2", kRed}));
  // Over the window the pointer still reaches the page beneath it: the page's mouse-move
  // runs (and says the pointer is on the page).
  u.p().PointerOverForm8 = 1;
  u.desk().userMovePointer(550, 330);
  EXPECT_EQ(u.p().PointerOverForm8, 0);
  u.release();
}

TEST(SelectionDrag, APressOverThePanelStartsTheDragOnceThePointerIsOnThePage) {
  Selecting u;
  const PointPx panel = u.over(u.w().Frame6, 0.5, 0.48);
  u.press(panel);
  u.dragTo({panel.x, panel.y - 30});
  EXPECT_EQ(u.p().PointerOverPanel, 1);
  EXPECT_EQ(u.dragState(), 1);  // moved far enough, but over the panel
  u.dragTo({600, 400});
  EXPECT_EQ(u.dragState(), 2);
  EXPECT_EQ(u.form2().Left, 15 * panel.x);  // the anchor is where the button went down
  EXPECT_EQ(u.form2().Top, 15 * panel.y);
  u.release();
}

TEST(SelectionDrag, AClickOrAHeldPressLeavesTheEarlierSelection) {
  Selecting u;
  u.type(kTyped, {"4", "2"});
  u.drag({390, 270}, {600, 330});
  const std::vector<std::string> before = u.records();
  ASSERT_EQ(before.size(), 2u);
  u.drag({200, 200}, {205, 206});  // a click that moved a little
  EXPECT_EQ(u.records(), before);
  EXPECT_EQ(u.w().Text21.Text(), "42");
  EXPECT_FALSE(u.form2().Loaded);
}

TEST(SelectionDrag, ToTheLeftOrUpwardsSelectsNothing) {
  for (PointPx from : {PointPx{600, 330}, PointPx{390, 330}, PointPx{600, 270}}) {
    SCOPED_TRACE(testing::Message() << from.x << ", " << from.y);
    Selecting u;
    u.type(kTyped, {"4", "2"});
    u.drag({390, 270}, {600, 330});
    ASSERT_TRUE(u.w().Text21.Visible);
    u.advance(400);  // past the evaluation of that reading
    const PointPx to{from.x == 600 ? 390 : 600, from.y == 330 ? 270 : 330};
    u.drag(from, to);
    EXPECT_TRUE(u.records().empty());
    EXPECT_EQ(u.w().Text1.Text(), "");
    EXPECT_FALSE(u.w().Text21.Visible);
    EXPECT_FALSE(u.w().Frame7.Visible);
    EXPECT_TRUE(u.w().Timer11.Enabled());  // the empty reading is evaluated all the same
  }
}

// A drag whose end the watcher does not see, because the pointer left the window and the
// background group paused, is read by the first tick after the group runs again.
TEST(SelectionDrag, APausedDragIsFinishedWhenTheWatcherRunsAgain) {
  Selecting u;
  // The pointer-leaves-window check runs once the pop-up has been used and closed.
  u.p().pages.UnloadForm7();
  u.type(kTyped, {"4", "2"});
  u.press({390, 270});
  u.dragTo({600, 330});
  u.dragTo({100, 330});  // left of the window
  ASSERT_EQ(u.p().TimersPaused, 1);
  u.desk().userButtonUp(vk::LButton);
  u.advance(200);
  EXPECT_EQ(u.dragState(), 2);
  EXPECT_TRUE(u.form2().Loaded);
  EXPECT_TRUE(u.records().empty());
  EXPECT_EQ(u.form2().Width, 15 * 290 - 50);  // the sizing goes on meanwhile
  u.moveTo({600, 330});
  u.advance(120);
  EXPECT_EQ(u.p().TimersPaused, 0);
  EXPECT_EQ(u.dragState(), 0);
  EXPECT_FALSE(u.form2().Loaded);
  EXPECT_EQ(u.w().Text21.Text(), "42");
}

TEST(SelectionDrag, ThePictureUnderTheWindowGoesOntoTheClipboard) {
  Selecting u;
  u.type(kTyped, {"4", "2"});
  u.drag({390, 270}, {600, 331});
  ASSERT_EQ(u.desk().captures.size(), 1u);
  const RectPx r = u.desk().captures[0];
  // 5850, 4050 twips; 210 x 61 px dragged, 50 twips short on the right: 3100 x 915 twips.
  EXPECT_EQ(r.left, 390);
  EXPECT_EQ(r.top, 270);
  EXPECT_EQ(r.width, 207);  // 206.67 rounded
  EXPECT_EQ(r.height, 61);
  ASSERT_TRUE(u.desk().clipboardPicture);
  EXPECT_EQ(u.desk().clipboardPicture->width, 207);
  EXPECT_EQ(u.desk().clipboardPicture->height, 61);
  EXPECT_EQ(u.p().evaluation.Image5Picture.width, 207);
  // The outline was taken away before the capture.
  EXPECT_EQ(u.form2().Shape1.Width, 0);
}

// The selection window's twips become screen pixels by the fixed factor 15, each rounded
// to the nearest whole pixel (halves to the even one).
TEST(SelectionDrag, TheCapturedRectangleIsTheWindowInWholePixels) {
  struct Case {
    double left, top, width, height;
    RectPx want;
  } cases[] = {
      {1500, 3000, 4500, 1200, {100, 200, 300, 80}},
      {1500, 3000, 1000, 1200, {100, 200, 67, 80}},      // 66.67
      {1500, 3000, 1990, 1200, {100, 200, 133, 80}},     // 132.67
      {1507.5, 3022.5, 337.5, 37.5, {100, 202, 22, 2}},  // 100.5, 201.5, 22.5, 2.5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.left << ", " << c.top << ", " << c.width);
    Selecting u;
    SelectionWindow& f = u.p().pages.LoadedForm2();
    f.Left = c.left;
    f.Top = c.top;
    f.Width = c.width;
    f.Height = c.height;
    const Bitmap b = u.p().evaluation.CaptureOverlayArea();
    ASSERT_EQ(u.desk().captures.size(), 1u);
    const RectPx r = u.desk().captures[0];
    EXPECT_EQ(r.left, c.want.left);
    EXPECT_EQ(r.top, c.want.top);
    EXPECT_EQ(r.width, c.want.width);
    EXPECT_EQ(r.height, c.want.height);
    EXPECT_EQ(b.width, c.want.width);
  }
}

// Whatever the user had on the clipboard stays there unless a real picture replaces it.
TEST(SelectionDrag, AFailedOrEmptyCaptureLeavesTheClipboardAlone) {
  for (bool fails : {true, false}) {
    SCOPED_TRACE(fails ? "the capture fails" : "a rectangle of no height");
    Selecting u;
    u.type(kTyped, {"4", "2"});
    Bitmap mine;
    mine.width = 3;
    mine.height = 2;
    mine.pixels.assign(6, 0x123456);
    u.desk().clipboardPicture = mine;
    u.desk().captureFails = fails;
    u.drag({390, 270}, fails ? PointPx{600, 330} : PointPx{600, 270});
    ASSERT_TRUE(u.desk().clipboardPicture);
    EXPECT_EQ(u.desk().clipboardPicture->pixels, mine.pixels);
    EXPECT_EQ(u.desk().clipboardClears, 0);
    EXPECT_EQ(u.desk().captures.size(), fails ? 1u : 0u);
  }
}

// The right button let go over the page ends the sizing and closes the window; the left
// button's release still reads the rectangle, without a window to take a picture of.
TEST(SelectionDrag, TheRightButtonClosesTheWindow) {
  Selecting u;
  u.type(kTyped, {"4", "2"});
  u.press({390, 270});
  u.dragTo({600, 330});
  ASSERT_TRUE(u.form2().Visible);
  u.desk().userButtonDown(vk::RButton);
  u.advance(60);
  u.desk().userButtonUp(vk::RButton);
  u.advance(60);
  EXPECT_FALSE(u.form2().Loaded);
  EXPECT_FALSE(u.w().Timer18.Enabled());
  EXPECT_EQ(u.dragState(), 2);
  u.release();
  EXPECT_EQ(u.w().Text21.Text(), "42");
  EXPECT_TRUE(u.desk().captures.empty());
  EXPECT_FALSE(u.desk().clipboardPicture);
  EXPECT_FALSE(u.form2().Loaded);
}

TEST(SelectionDrag, OverThePanelTheReaderChangesNothing) {
  Selecting u;
  u.type(kTyped, {"4", "2"});
  u.drag({390, 270}, {600, 330});
  const std::vector<std::string> before = u.records();
  u.p().PointerOverPanel = 1;
  u.p().evaluation.SelectDragRectangle();
  EXPECT_EQ(u.records(), before);
}

}  // namespace
}  // namespace kel::test
