// The on-screen keyboard's window: opened by its button under the right-hand panel, on top
// and never taking the focus, its flags in one of the window's states whatever is pressed,
// released, minimised or closed in between, the margin's Stop and the keys' restart, the
// drag strip, and the two display timers.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "keyboard_fixture.h"

namespace kel::test {
namespace {

// The window's states, by what shows and the flags.
std::string stateOf(Program& p) {
  const KeyboardForm& f = p.Form8;
  const bool visible = f.Loaded && f.Visible;
  const bool tick = f.Timer1.Enabled();
  if (!f.Loaded && p.Form8Shown == 0 && p.Form8Suspended == 0) return "not loaded";
  if (visible && tick && p.Form8Shown == 1) return "open";
  if (!visible && !tick && p.Form8Shown == 0 && p.Form8Suspended == 1) return "suspended";
  if (!visible && !tick && p.Form8Shown == 0 && p.Form8Suspended == 0) return "closed";
  if (!visible && !tick && p.Form8Shown == 1) return "hidden with the main window";
  // Between a restorer and the next tick, which sets the flag again.
  if (visible && tick && p.Form8Shown == 0 && p.Form8Suspended == 1) return "shown again";
  return "no state: visible " + std::to_string(visible) + ", tick " + std::to_string(tick) +
         ", shown " + std::to_string(p.Form8Shown) + ", suspended " +
         std::to_string(p.Form8Suspended);
}

TEST(KeyboardWindow, OpensUnderThePanelOnTopWithoutAFrameAndNeverTakesTheFocus) {
  KeyboardUser u(false);
  Program& p = u.p();
  MainWindow& w = u.w();
  EXPECT_EQ(stateOf(p), "not loaded");
  // Until the keyboard opens the main window shows its design captions.
  EXPECT_EQ(w.Command71.Caption, "Виртуална клавиатура");
  u.openKeyboard();
  const KeyboardForm& k = u.k();
  EXPECT_EQ(stateOf(p), "open");
  EXPECT_TRUE(k.Borderless);
  EXPECT_TRUE(k.NeverActivates);
  EXPECT_EQ(k.ScaleWidth(), 4560);
  EXPECT_EQ(k.ScaleHeight(), 5880);
  // Centred under the panel's column, 5800 twips below the main window's top edge.
  EXPECT_EQ(k.Left, (w.Frame6.Width - 4560) / 2 + w.Frame6.Left + w.Left);
  EXPECT_EQ(k.Top, w.Top + 5800);
  EXPECT_EQ(u.desk().topmostCalls.back(), "Form8");
  // Drawn for the Latin layout, which the main window's captions follow.
  EXPECT_EQ(k.BackColor, kBlack);
  EXPECT_TRUE(k.Command6.Visible);
  EXPECT_FALSE(k.Command7.Visible);
  EXPECT_EQ(w.Command71.Caption, "Virtual Keyboard");
  EXPECT_EQ(k.Command2.Top, -1000);
  // Only the keyboard's own hidden button, and the main window's, ever get the focus.
  for (const std::string& name : u.desk().focusCalls)
    EXPECT_TRUE(name == "Command2" || name == "Command63") << name;
  // Every key lies inside the window, and none over another.
  std::vector<const Control*> shown;
  k.forEachControl([&](Control& c) {
    if (c.Kind == ControlKind::CommandButton && effectivelyVisible(c) && &c != &k.Command2)
      shown.push_back(&c);
  });
  // 62 main keys (one fraction key of three), 22 pad keys, Caps Lock, two Shift keys, one
  // layout key and the close key.
  EXPECT_EQ(shown.size(), 62u + 22 + 1 + 2 + 1 + 1);
  for (const Control* c : shown) {
    double l, t;
    absolutePosition(*c, l, t);
    EXPECT_TRUE(l >= 0 && t >= 0 && l + c->Width <= 4560 + 15 && t + c->Height <= 5880) << c->Name;
    EXPECT_EQ(u.k().hitTest(l + c->Width / 2, t + c->Height / 2), c) << c->Name;
  }
}

TEST(KeyboardWindow, TheButtonOpensAClosedKeyboardWhereItWasAndLeavesAnOpenOneAlone) {
  KeyboardUser u;
  KeyboardForm& k = u.k();
  k.Left = k.Left - 3000;  // where the user dragged it, off the button
  k.Top = k.Top - 3000;
  const double left = k.Left, top = k.Top;
  k.Command2.Top = -500;     // the load step would put it back at -1000
  u.click(u.w().Command71);  // already open: nothing happens
  u.advance(60);
  EXPECT_EQ(stateOf(u.p()), "open");
  EXPECT_EQ(k.Left, left);
  u.press(k.Command8);
  EXPECT_EQ(stateOf(u.p()), "closed");
  EXPECT_EQ(u.p().PointerOverPanel, 1);
  u.advance(600);
  EXPECT_EQ(stateOf(u.p()), "closed");
  u.openKeyboard();
  EXPECT_EQ(stateOf(u.p()), "open");
  EXPECT_EQ(k.Left, left);
  EXPECT_EQ(k.Top, top);
  // Not loaded again: its load step ran once.
  EXPECT_EQ(k.Command2.Top, -500);
}

// Whatever is pressed, released, minimised or closed in between, the flags stand in one of
// the window's states.
TEST(KeyboardWindow, ItsFlagsStayInTheWindowsStates) {
  using Step = std::function<void(KeyboardUser&)>;
  const Step pressPalette = [](KeyboardUser& u) {
    u.moveTo(u.over(u.button(1013)));
    u.advance(60);
    u.desk().userButtonDown(vk::LButton);
  };
  const Step releaseOnButton = [](KeyboardUser& u) { u.desk().userButtonUp(vk::LButton); };
  const Step releaseOnPanel = [](KeyboardUser& u) {
    u.moveTo(u.over(u.w().Frame6, 0.4, 0.08));
    u.desk().userButtonUp(vk::LButton);
  };
  const Step wait = [](KeyboardUser& u) { u.advance(600); };
  const Step tick = [](KeyboardUser& u) { u.advance(50); };
  const Step minimise = [](KeyboardUser& u) { u.desk().userMinimizeForm(u.w()); };
  const Step restore = [](KeyboardUser& u) { u.desk().userRestoreForm(u.w()); };
  const Step close = [](KeyboardUser& u) { u.press(u.k().Command8); };
  const Step open = [](KeyboardUser& u) { u.openKeyboard(); };
  const Step check1 = [](KeyboardUser& u) {
    u.w().Check1.Visible = true;
    u.w().Check1.MouseDown(1, 0, 0, 0);
    u.w().Check1.MouseUp(1, 0, 0, 0);
  };
  const Step paste = [](KeyboardUser& u) {
    u.w().Text21.Visible = true;  // a reading is shown: the keyboard's tick shows Paste
    u.advance(50);
    u.press(u.k().Command9);
  };
  const Step shutDown = [](KeyboardUser& u) { u.p().close(); };
  struct Case {
    const char* name;
    std::vector<std::pair<Step, const char*>> steps;
  } cases[] = {
      {"a palette click",
       {{pressPalette, "suspended"},
        {releaseOnButton, "suspended"},
        {tick, "shown again"},
        {tick, "open"}}},
      {"a press released off the button",
       {{pressPalette, "suspended"}, {releaseOnPanel, "suspended"}, {wait, "suspended"}}},
      {"minimised while suspended",
       {{pressPalette, "suspended"},
        {releaseOnPanel, "suspended"},
        {minimise, "suspended"},
        {restore, "suspended"},
        {check1, "open"}}},
      {"minimised while open",
       {{minimise, "hidden with the main window"},
        {wait, "hidden with the main window"},
        {restore, "open"}}},
      {"closed while its paste waits for the dispatch",
       {{paste, "open"}, {close, "closed"}, {wait, "closed"}, {check1, "closed"}}},
      {"closed after a suspension",
       {{pressPalette, "suspended"},
        {releaseOnButton, "suspended"},
        {wait, "open"},
        {close, "closed"},
        {pressPalette, "closed"},
        {releaseOnButton, "closed"},
        {wait, "closed"},
        {open, "open"}}},
      {"shut down while open", {{shutDown, "not loaded"}}},
      {"shut down while suspended",
       {{pressPalette, "suspended"}, {releaseOnPanel, "suspended"}, {shutDown, "not loaded"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    int n = 0;
    for (const auto& [step, state] : c.steps) {
      step(u);
      EXPECT_EQ(stateOf(u.p()), state) << "after step " << n;
      ++n;
    }
  }
}

// Closed by its key, the keyboard leaves no pointer over it behind: the pointer going on out
// of the main window (not across the page) pauses the background timers as it does without
// the keyboard, and a key typed in another program then is not typed into the formula.
TEST(KeyboardWindow, TheCloseKeyLeavesThePointerOverNothing) {
  for (bool close : {false, true}) {
    SCOPED_TRACE(close ? "closed" : "left open");
    KeyboardUser u;
    Program& p = u.p();
    // Across a border frame and back onto the page: the background group restarts whole.
    u.moveTo(u.over(u.w().Label19, 0.5, 0.5));
    u.moveTo(u.over(u.w().Frame5, 0.3, 0.4));
    u.advance(100);
    ASSERT_TRUE(u.w().Timer23.Enabled());
    // Over the strip to the close key.
    u.moveTo(u.onKeyboard(u.k().Image1, 0.8, 0.5));
    const PointPx closeKey = u.onKeyboard(u.k().Command8);
    if (close)
      u.press(u.k().Command8);
    else
      u.moveTo(closeKey);
    u.advance(100);
    // On to the left of the main window, where another program lies.
    u.moveTo({static_cast<int>(u.w().Left / 15) - 50, static_cast<int>(u.w().Top / 15) + 100});
    u.advance(100);
    EXPECT_EQ(p.PointerOverForm8, 0);
    EXPECT_EQ(p.TimersPaused, 1);
    u.host().tap('A', 30);
    u.advance(500);
    EXPECT_TRUE(u.queued().empty());
    EXPECT_EQ(p.SymbolCount, 0);
  }
}

// The close key lying over the page, clicked soon after a click on the page: its release,
// which comes after the window has gone, is no second page click that would snap the
// pointer back to the symbol beside it.
TEST(KeyboardWindow, TheCloseKeysClickIsNoPageClick) {
  KeyboardUser u;
  Program& p = u.p();
  KeyboardForm& k = u.k();
  u.text(u.screenOf(1500, 3000), "x");
  const Label& x = u.label(1);
  const PointPx page = u.screenOf(x.Left + x.Width + 150, u.middle(x));
  // The close key 20 px right of that point, on the same line.
  double l, t;
  absolutePosition(k.Command8, l, t);
  k.Left = (page.x + 20) * 15 - l - k.Command8.Width / 2;
  k.Top = page.y * 15 - t - k.Command8.Height / 2;
  u.moveTo(page);
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  u.advance(80);
  u.desk().userButtonUp(vk::LButton);
  u.advance(60);
  ASSERT_EQ(p.CurrentSymbolIndex, 1);  // the page click snapped to the symbol
  u.moveTo(u.onKeyboard(k.Image1, 0.8, 0.5));
  const PointPx closeKey = u.onKeyboard(k.Command8);
  u.press(k.Command8);
  u.advance(300);
  EXPECT_FALSE(k.Visible);
  EXPECT_EQ(u.pointer(), closeKey);
  EXPECT_EQ(p.SymbolCount, 1);
}

// The bare margin stops the background timers; a key or frame starts them again, but for
// "En", Redo, Paste, the close key and the strip; Paste does when it is pressed.
TEST(KeyboardWindow, TheMarginStopsTheBackgroundTimersAndTheKeysStartThemAgain) {
  struct Case {
    const char* name;
    Control& (*control)(KeyboardForm&);
    bool restarts;
  } cases[] = {
      {"a main key", [](KeyboardForm& k) -> Control& { return k.Command3[10]; }, true},
      {"a pad key", [](KeyboardForm& k) -> Control& { return k.Command1[7]; }, true},
      {"Caps Lock", [](KeyboardForm& k) -> Control& { return k.Command4; }, true},
      {"Shift", [](KeyboardForm& k) -> Control& { return k.Command5[1]; }, true},
      {"the main frame", [](KeyboardForm& k) -> Control& { return k.Frame2; }, true},
      {"the pad's frame", [](KeyboardForm& k) -> Control& { return k.Frame1; }, true},
      {"the close key", [](KeyboardForm& k) -> Control& { return k.Command8; }, false},
      {"the strip", [](KeyboardForm& k) -> Control& { return k.Image1; }, false},
      {"Paste", [](KeyboardForm& k) -> Control& { return k.Command9; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KeyboardUser u;
    Program& p = u.p();
    u.w().Text21.Visible = true;
    u.moveTo(u.over(u.w().Frame5));
    u.advance(60);
    // The margin left of the main keyboard.
    u.moveTo({static_cast<int>(u.k().Left / 15) + 3, static_cast<int>(u.k().Top / 15) + 100});
    EXPECT_EQ(p.UserStopped, 1);
    EXPECT_EQ(p.PointerOverForm8, 0);
    for (Timer* t : u.w().backgroundGroup) EXPECT_FALSE(t->Enabled()) << t->name();
    Control& target = c.control(u.k());
    // A point of the frame where no key lies.
    u.moveTo(&target == &u.k().Frame2   ? u.onKeyboard(target, 0.207, 0.829)
             : &target == &u.k().Frame1 ? u.onKeyboard(target, 0.02, 0.5)
             : &target == &u.k().Image1 ? u.onKeyboard(target, 0.3, 0.5)
                                        : u.onKeyboard(target));
    EXPECT_EQ(p.UserStopped, c.restarts ? 0 : 1);
    EXPECT_EQ(u.w().Timer1.Enabled(), c.restarts);
  }
  // Paste restarts them when it is pressed.
  KeyboardUser u;
  u.w().Text21.Visible = true;
  u.advance(50);
  u.moveTo({static_cast<int>(u.k().Left / 15) + 3, static_cast<int>(u.k().Top / 15) + 100});
  u.moveTo(u.onKeyboard(u.k().Command9));
  EXPECT_EQ(u.p().UserStopped, 1);
  u.desk().userButtonDown(vk::LButton);
  EXPECT_EQ(u.p().UserStopped, 0);
  EXPECT_TRUE(u.w().Timer1.Enabled());
  EXPECT_EQ(u.p().PointerOverPanel, 1);
}

// The window follows the pointer's travel while the button is held on the strip; the
// drag counts as over the keyboard, so it is no click and starts nothing on the page.
TEST(KeyboardWindow, TheStripDragsTheWindowAndNothingElse) {
  KeyboardUser u;
  Program& p = u.p();
  KeyboardForm& k = u.k();
  const double left = k.Left, top = k.Top;
  const double insertX = p.PointerX, insertY = p.PointerY;
  const PointPx start = u.onKeyboard(k.Image1, 0.3, 0.5);
  u.moveTo(start);
  u.advance(60);
  u.desk().userButtonDown(vk::LButton);
  EXPECT_EQ(p.FormDragActive, 1);
  // Left and up, over the page, in small steps as a hand moves: no selection begins.
  for (int i = 1; i <= 30; ++i) {
    u.moveTo({start.x - 10 * i, start.y - 4 * i});
    u.advance(20);
    EXPECT_EQ(p.PointerOverPanel, 1) << i;
    EXPECT_EQ(p.PointerOverForm8, 1) << i;
    EXPECT_NE(p.pages.DragState, 2) << i;
    EXPECT_FALSE(p.Form2.Loaded && p.Form2.Visible) << i;
  }
  u.advance(100);
  u.desk().userButtonUp(vk::LButton);
  u.advance(700);
  EXPECT_EQ(p.FormDragActive, 0);
  EXPECT_EQ(k.Left, left - 300 * 15);
  EXPECT_EQ(k.Top, top - 120 * 15);
  // Nothing was typed or clicked on the page.
  EXPECT_TRUE(u.queued().empty());
  EXPECT_EQ(p.PointerX, insertX);
  EXPECT_EQ(p.PointerY, insertY);
  // Passing over the strip without the button moves nothing.
  u.moveTo(u.onKeyboard(k.Image1, 0.5, 0.5));
  u.moveTo(u.onKeyboard(k.Image1, 0.6, 0.5));
  EXPECT_EQ(k.Left, left - 300 * 15);
}

// The strip has the mouse from the press to the release: a jerk that runs ahead of the
// window, off the strip and off the window, still drags it by the pointer's travel.
TEST(KeyboardWindow, AQuickDragThatRunsAheadOfTheStripStillDrags) {
  KeyboardUser u;
  KeyboardForm& k = u.k();
  const double left = k.Left, top = k.Top;
  const PointPx start = u.onKeyboard(k.Image1, 0.3, 0.5);
  u.moveTo(start);
  u.desk().userButtonDown(vk::LButton);
  u.moveTo({start.x - 400, start.y + 150});  // far off the window in one move
  u.moveTo({start.x - 420, start.y + 160});
  u.desk().userButtonUp(vk::LButton);
  EXPECT_EQ(u.p().FormDragActive, 0);
  EXPECT_EQ(k.Left, left - 420 * 15);
  EXPECT_EQ(k.Top, top + 160 * 15);
  EXPECT_TRUE(u.queued().empty());
}

// A drag whose release never reached the strip (the keyboard hid with the minimised main
// window meanwhile) ends at the next move over the strip without the button: the window
// never follows a pointer that only passes over it.
TEST(KeyboardWindow, ADragWhoseReleaseWasLostEndsAtTheNextMove) {
  KeyboardUser u;
  KeyboardForm& k = u.k();
  u.moveTo(u.onKeyboard(k.Image1, 0.3, 0.5));
  u.desk().userButtonDown(vk::LButton);
  u.desk().userMinimizeForm(u.w());
  u.desk().userButtonUp(vk::LButton);
  u.desk().userRestoreForm(u.w());
  EXPECT_EQ(u.p().FormDragActive, 1);
  const double left = k.Left, top = k.Top;
  u.moveTo(u.onKeyboard(k.Image1, 0.5, 0.5));
  u.moveTo(u.onKeyboard(k.Image1, 0.7, 0.2));
  EXPECT_EQ(u.p().FormDragActive, 0);
  EXPECT_EQ(k.Left, left);
  EXPECT_EQ(k.Top, top);
}

// The window tick follows the layout switched elsewhere, the bindings' pictures and the
// expression box; the F12 tick follows the lower index.
TEST(KeyboardWindow, ItsTicksFollowTheLayoutTheBindingsTheReadingAndTheLowerIndex) {
  KeyboardUser u;
  Program& p = u.p();
  KeyboardForm& k = u.k();
  MainWindow& w = u.w();
  // The main window's language button: Cyrillic typing.
  u.click(w.Command61);
  EXPECT_EQ(p.LatinLayout, 0);
  // Its press hid the keyboard; the dispatch shows it again and its tick redraws it.
  u.advance(120);
  EXPECT_EQ(k.CaptionLayout, 0);
  EXPECT_EQ(k.BackColor, kBlue);
  EXPECT_EQ(k.Frame1.BackColor, kBlue);
  EXPECT_EQ(u.key(0).Caption, "я");
  EXPECT_TRUE(k.Command7.Visible);
  // The other way, by the queue's layout code.
  p.input.AppendQueueItem("5000", "0");
  u.advance(80);
  EXPECT_EQ(p.LatinLayout, 1);
  EXPECT_EQ(u.key(0).Caption, "q");
  EXPECT_EQ(k.BackColor, kBlack);

  const Picture face = u.button(1013).Picture;
  w.Image6.Picture = face;
  w.Text21.Visible = true;
  u.advance(50);
  EXPECT_EQ(u.key(58).Picture, face);
  EXPECT_TRUE(u.key(57).Picture->empty());
  EXPECT_TRUE(k.Command9.Visible);
  w.Text21.Visible = false;
  u.advance(50);
  EXPECT_FALSE(k.Command9.Visible);

  p.LowerIndexMode = 1;
  u.advance(500);
  EXPECT_EQ(u.key(52).Picture, w.Image1.Picture);
  EXPECT_EQ(u.key(53).Picture, w.Image1.Picture);
  p.LowerIndexMode = 0;
  u.advance(500);
  EXPECT_EQ(u.key(52).Picture, w.Image13.Picture);
  EXPECT_FALSE(w.Image13.Picture->empty());
}

TEST(KeyboardWindow, UndoAndRedoShowAtLoadAsTheMainWindowsDoAndThePictureKeysHaveTheirs) {
  for (bool undo : {false, true}) {
    KeyboardUser u(false);
    u.w().Command69.Visible = undo;
    u.openKeyboard();
    EXPECT_EQ(u.k().Command69.Visible, undo);
    EXPECT_FALSE(u.k().Command70.Visible);
    for (int i : {49, 51, 54, 55, 56, 60, 61, 62, 63}) EXPECT_FALSE(u.key(i).Picture->empty()) << i;
    EXPECT_FALSE(u.k().Command69.Picture->empty());
    EXPECT_FALSE(u.k().Command70.Picture->empty());
  }
}

}  // namespace
}  // namespace kel::test
