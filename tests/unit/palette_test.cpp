// The palette: its buttons in the panel, a click through the whole chain to the symbol on
// the page while the pointer stays on the button, F8 bound to it, clicks in quick
// succession, and the presses that keep the on-screen keyboard out of the way.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {
namespace {

struct Rect {
  double l, t, r, b;
};

Rect rectOf(const Control& c) {
  double l, t;
  absolutePosition(c, l, t);
  return {l, t, l + c.Width, t + c.Height};
}

bool overlap(const Rect& a, const Rect& b) {
  return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b;
}

TEST(Palette, FortyFiveButtonsOnTheGridEachShowingItsFace) {
  PaletteUser u;
  MainWindow& w = u.w();
  std::set<int> codes;
  std::vector<const Control*> cells;
  for (const PaletteCell& cell : kPaletteCells) {
    const CommandButton& b = w.*cell.button;
    SCOPED_TRACE(b.Name);
    codes.insert(cell.code);
    cells.push_back(&b);
    EXPECT_EQ(b.Container, &w.Frame6);
    EXPECT_EQ(b.Width, 495);
    EXPECT_EQ(b.Height, 495);
    // Seven columns from 360, rows from 1080, 600 twips apart.
    EXPECT_EQ((static_cast<int>(b.Left) - 360) % 600, 0);
    EXPECT_EQ((static_cast<int>(b.Top) - 1080) % 600, 0);
    EXPECT_LE(b.Left, 3960);
    EXPECT_LE(b.Top, 4680);
    EXPECT_EQ(b.BackColor, cell.code == 2015 ? 0xC0FFFFu : kWhite);
    EXPECT_EQ(b.Style, 1);
    EXPECT_TRUE(b.Visible);
    // The face drawn for it, read from Simbol/ at start-up.
    EXPECT_EQ(b.Picture->Path, u.p().surface.PictureFile(FaceName(cell.code)).value_or(""));
    EXPECT_GT(b.Picture->WidthPx, 0);
  }
  EXPECT_EQ(codes.size(), 45u);
  // Nothing else that shows in the panel lies over a button.
  for (const Control* other :
       std::initializer_list<const Control*>{&w.Command58, &w.Command59, &w.Command60, &w.Command61,
                                             &w.Label11, &w.Command71, &w.Frame4, &w.Frame2})
    for (const Control* c : cells)
      EXPECT_FALSE(overlap(rectOf(*c), rectOf(*other))) << c->Name << " and " << other->Name;
  for (size_t i = 0; i < cells.size(); ++i)
    for (size_t j = i + 1; j < cells.size(); ++j)
      EXPECT_FALSE(overlap(rectOf(*cells[i]), rectOf(*cells[j])))
          << cells[i]->Name << " and " << cells[j]->Name;
  // The preview that keeps the face of the symbol chosen last is never seen.
  EXPECT_FALSE(w.Picture2.Visible);
}

TEST(Palette, EveryButtonQueuesItsOwnCodeAndKeepsItsFace) {
  PaletteUser u;
  for (const PaletteCell& cell : kPaletteCells) {
    CommandButton& b = u.w().*cell.button;
    SCOPED_TRACE(b.Name);
    u.click(b);
    u.advance(60);
    ASSERT_FALSE(u.queued().empty());
    EXPECT_EQ(u.queued().back(), std::to_string(cell.code));
    EXPECT_EQ(u.flags().back(), "0");
    EXPECT_EQ(u.w().Picture2.Picture, b.Picture);
    u.advance(400);
  }
}

// A click goes through every step in order: the press, the click, the dispatch 50 ms later,
// the symbol played at the insertion point, the pointer return's tick 300 ms after the
// dispatch, F8 bound 500 ms after it; the pointer stays on the button all along.
TEST(Palette, AClickPlacesTheSymbolKeepsThePointerAndBindsF8) {
  struct Case {
    int code;
    const char* kind;
  } cases[] = {{1013, "pi"}, {1001, "plusminus"}, {1036, "1036"}, {1050, "1050"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    PaletteUser u;
    Program& p = u.p();
    MainWindow& w = u.w();
    // The on-screen keyboard is shown.
    p.Form8Shown = 1;
    p.palette.ShowForm8();
    const PointPx insertion = u.insertionPoint();
    CommandButton& b = u.button(c.code);
    const PointPx at = u.over(b);
    u.moveTo(at);
    u.advance(60);
    const size_t moves = u.desk().pointerMoves.size();

    u.desk().userButtonDown(vk::LButton);
    EXPECT_FALSE(p.palette.Form8Visible());
    EXPECT_EQ(p.Form8Shown, 0);
    EXPECT_EQ(p.Form8Suspended, 1);
    u.desk().userButtonUp(vk::LButton);
    EXPECT_EQ(p.PendingCode, c.code);
    EXPECT_EQ(p.PendingCode.kind(), PendingValue::Kind::Whole);
    EXPECT_EQ(w.Picture2.Picture, b.Picture);
    EXPECT_EQ(p.SavedPointerX, at.x);
    EXPECT_EQ(p.SavedPointerY, at.y);
    EXPECT_EQ(u.desk().focusCalls.back(), "Command63");
    const int before = p.QueueLength;

    u.advance(49);
    EXPECT_TRUE(u.queued().empty());
    u.advance(1);  // the dispatch
    ASSERT_EQ(u.queued(), (std::vector<std::string>{std::to_string(c.code)}));
    EXPECT_EQ(u.flags(), (std::vector<std::string>{"0"}));
    EXPECT_EQ(p.QueueLength, before + 2);   // one for the dispatch, one for the item
    EXPECT_TRUE(p.palette.Form8Visible());  // shown again

    u.advance(20);  // the player's tick
    ASSERT_EQ(p.SymbolCount, 1);
    EXPECT_EQ(u.lastKind(), c.kind);
    EXPECT_EQ(w.Image3[1].Left, p.surface.InsertXFor(insertion.x));
    EXPECT_EQ(u.pointer(), at);  // placed without the pointer

    u.advance(279);
    EXPECT_TRUE(w.Timer28.Enabled());
    u.advance(1);  // 300 ms after the dispatch: the return, with nothing to bring back
    EXPECT_FALSE(w.Timer28.Enabled());
    EXPECT_EQ(u.pointer(), at);
    EXPECT_EQ(p.PointerRestoreOnly, 0);
    EXPECT_EQ(u.desk().pointerMoves.size(), moves);

    EXPECT_TRUE(p.HotkeyF8Code.empty());
    u.advance(200);  // 500 ms after the dispatch
    EXPECT_EQ(p.HotkeyF8Code, std::to_string(c.code));
    EXPECT_EQ(p.HotkeyF8Shift, "0");
    EXPECT_TRUE(w.Image4.Visible);
    EXPECT_EQ(w.Image4.Picture, b.Picture);
    EXPECT_FALSE(w.Label7.Visible);

    // F8 places the symbol again, at the insertion point.
    u.desk().userMovePointer(insertion.x, insertion.y);
    u.host().tap(vk::F8);
    u.advance(200);
    ASSERT_EQ(p.SymbolCount, 2);
    EXPECT_EQ(u.lastKind(), c.kind);
  }
}

// Clicks on different buttons in quick succession, each a move onto the button, 20 ms, a
// 60 ms press: whatever the pace, the pointer stays where the user puts it, so each press
// and its release fall on the same button, and every symbol is placed in order.
TEST(Palette, ClicksInQuickSuccessionPlaceEverySymbolInOrder) {
  const int codes[] = {1013, 1026, 1027};  // pi, alpha, beta
  const char* kinds[] = {"pi", "1026", "1027"};
  for (int gap : {100, 150, 200, 250, 300, 400, 600}) {
    SCOPED_TRACE(testing::Message() << gap << " ms apart");
    PaletteUser u;
    Program& p = u.p();
    const PointPx start = u.screenOf(1500, 2000);
    u.moveTo(start);
    u.advance(100);
    u.desk().userButtonDown(vk::LButton);
    u.advance(80);
    u.desk().userButtonUp(vk::LButton);
    u.advance(300);
    const double left = p.surface.InsertXFor(start.x);
    const size_t moves = u.desk().pointerMoves.size();

    PointPx hand = start;
    int away = 0;  // milliseconds with the pointer elsewhere than the user put it
    auto tick = [&](int ms) {
      for (int i = 0; i < ms; ++i) {
        u.advance(1);
        if (u.pointer() != hand) ++away;
      }
    };
    for (int code : codes) {
      hand = u.over(u.button(code));
      u.moveTo(hand);
      tick(20);
      u.desk().userButtonDown(vk::LButton);
      tick(60);
      u.desk().userButtonUp(vk::LButton);
      tick(gap - 80);
    }
    tick(1000);
    EXPECT_EQ(away, 0);
    EXPECT_EQ(u.desk().pointerMoves.size(), moves);
    ASSERT_EQ(p.SymbolCount, 3);
    double right = left;
    for (int n = 1; n <= 3; ++n) {
      EXPECT_EQ(p.SymbolKind[static_cast<size_t>(n)], kinds[n - 1]);
      EXPECT_EQ(u.w().Image3[n].Left, right);
      right = u.w().Image3[n].Left + u.w().Image3[n].Width;
    }
  }
}

TEST(Palette, APressReleasedOffTheButtonDispatchesNothing) {
  PaletteUser u;
  Program& p = u.p();
  p.Form8Shown = 1;
  p.palette.ShowForm8();
  u.moveTo(u.over(u.button(1013)));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.moveTo(u.over(u.w().Frame6, 0.4, 0.08));
  u.desk().userButtonUp(vk::LButton);
  u.advance(600);
  EXPECT_TRUE(u.queued().empty());
  EXPECT_EQ(p.QueueLength, 0);
  // The keyboard stays hidden until something shows it again.
  EXPECT_FALSE(p.palette.Form8Visible());
  EXPECT_EQ(p.Form8Suspended, 1);
}

// Pressing any of the listed controls hides a shown keyboard; the releases of Check1,
// Command15 and Command16 show it again, Check1's at once with its flag.
TEST(Palette, PressesHideTheKeyboardAndSomeReleasesShowItAgain) {
  struct Case {
    const char* name;
    Control& (*control)(MainWindow&);
    bool showsAgain;
    int shownAfter;
  } cases[] = {
      {"Check1", [](MainWindow& w) -> Control& { return w.Check1; }, true, 1},
      {"Command15", [](MainWindow& w) -> Control& { return w.Command15; }, true, 0},
      {"Command16", [](MainWindow& w) -> Control& { return w.Command16; }, true, 0},
      {"Command33", [](MainWindow& w) -> Control& { return w.Command33; }, false, 0},
      {"Command69", [](MainWindow& w) -> Control& { return w.Command69; }, false, 0},
      {"Label11", [](MainWindow& w) -> Control& { return w.Label11; }, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PaletteUser u;
    Program& p = u.p();
    Control& ctl = c.control(u.w());
    ctl.Visible = true;
    p.Form8Shown = 1;
    p.palette.ShowForm8();
    ASSERT_TRUE(ctl.MouseDown);
    ctl.MouseDown(1, 0, 0, 0);
    EXPECT_FALSE(p.palette.Form8Visible());
    EXPECT_EQ(p.Form8Shown, 0);
    EXPECT_EQ(p.Form8Suspended, 1);
    if (ctl.MouseUp) ctl.MouseUp(1, 0, 0, 0);
    EXPECT_EQ(p.palette.Form8Visible(), c.showsAgain);
    EXPECT_EQ(p.Form8Shown, c.shownAfter);
    EXPECT_EQ(p.Form8Suspended, 1);
  }
}

// The "=" of the result row takes the focus when it is pressed: the shown keyboard stays
// up but its refresh stops until the click starts it again.
TEST(Palette, PressingTheResultButtonPausesTheShownKeyboard) {
  PaletteUser u;
  Program& p = u.p();
  MainWindow& w = u.w();
  w.Command17.Visible = true;
  p.Form8Shown = 1;
  p.palette.ShowForm8();
  ASSERT_TRUE(p.Form8.Timer1.Enabled());
  u.moveTo(u.over(w.Command17));
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  EXPECT_FALSE(p.Form8.Timer1.Enabled());
  EXPECT_TRUE(p.palette.Form8Visible());
  EXPECT_EQ(p.Form8Shown, 1);
  u.desk().userButtonUp(vk::LButton);
  EXPECT_TRUE(p.Form8.Timer1.Enabled());
  EXPECT_TRUE(p.palette.Form8Visible());
}

// With the keyboard closed, presses and releases change nothing, and neither does the
// dispatch.
TEST(Palette, AClosedKeyboardStaysClosed) {
  PaletteUser u;
  Program& p = u.p();
  u.click(u.button(1026));
  u.w().Check1.Visible = true;
  u.w().Check1.MouseDown(1, 0, 0, 0);
  u.w().Check1.MouseUp(1, 0, 0, 0);
  u.advance(600);
  EXPECT_FALSE(p.palette.Form8Visible());
  EXPECT_EQ(p.Form8Shown, 0);
  EXPECT_EQ(p.Form8Suspended, 0);
}

// With "compute after =" ticked, "2" typed on the page and pi clicked on the palette: the
// pointer rests on pi's button, where it is given back.
PointPx twoThenPiClicked(PaletteUser& u) {
  u.w().Check3.Value = 1;
  u.clickAt(u.screenOf(1500, 2000));
  u.advance(300);
  u.typeKeys({'2'});
  u.advance(300);
  const PointPx hand = u.over(u.button(1013));  // pi
  u.clickAt(hand);
  u.advance(600);
  return hand;
}

// What stands behind the " = ": text by its caption, a picture by its kind in brackets;
// nothing when there is no sign.
std::optional<std::string> behindTheSign(PaletteUser& u) {
  Program& p = u.p();
  std::optional<std::string> after;
  for (int n = 1; n <= p.SymbolCount; ++n) {
    const std::string& kind = p.SymbolKind[static_cast<size_t>(n)];
    if (after) *after += kind == "bukva" ? u.w().Label3[n].Caption.get() : "[" + kind + "]";
    if (kind == "bukva" && u.w().Label3[n].Caption == " = ") after.emplace();
  }
  return after;
}

// A symbol of the palette leaves the pointer on its button, and the keys typed next are
// typed there: the " = " among them is read and its value typed, as with the pointer on the
// page.
TEST(Palette, AValueIsTypedAfterASignTypedWithThePointerOnThePalette) {
  PaletteUser u;
  twoThenPiClicked(u);
  u.typeKeys({187});  // " = "
  u.advance(4000);
  const std::optional<std::string> after = behindTheSign(u);
  ASSERT_TRUE(after);
  EXPECT_EQ(u.w().Text21.Text(), "2pi");
  EXPECT_EQ(*after, "6,283");
}

// The reading of that sign leaves the pointer on the button too: taken right of the sign,
// the next click on the palette 100-500 ms later would fall on the page. The value goes
// behind the sign all the same, and the symbol clicked next behind the value.
TEST(Palette, ASignTypedWithThePointerOnThePaletteLeavesThePointerThere) {
  for (int gap : {100, 300, 500}) {
    SCOPED_TRACE(testing::Message() << "alpha " << gap << " ms after the sign");
    PaletteUser u;
    PointPx hand = twoThenPiClicked(u);
    int away = 0;  // milliseconds with the pointer elsewhere than the user put it
    auto tick = [&](int ms) {
      for (int i = 0; i < ms; ++i) {
        u.advance(1);
        if (u.pointer() != hand) ++away;
      }
    };
    u.desk().userKeyDown(187);  // " = "
    tick(20);
    u.desk().userKeyUp(187);
    tick(gap - 20);
    hand = u.over(u.button(1026));  // alpha
    u.moveTo(hand);
    tick(20);
    u.desk().userButtonDown(vk::LButton);
    tick(60);
    u.desk().userButtonUp(vk::LButton);
    tick(4000);
    EXPECT_EQ(away, 0);
    EXPECT_EQ(behindTheSign(u), "6,283[1026]");
  }
}

}  // namespace
}  // namespace kel::test
