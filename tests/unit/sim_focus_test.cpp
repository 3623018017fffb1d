// The headless desktop's keyboard focus, typing into a text box, and a window's close box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_desktop.h"
#include "platform/units.h"

namespace kel {
namespace {

struct Dialog : Form {
  Dialog() : Form("Dialog") {
    Left = 1500;
    Top = 1500;
    Width = 3000 + kFrameExtraWidthTw;
    Height = 1500 + kFrameExtraHeightTw;
    Box.Left = 150;
    Box.Top = 150;
    Box.Width = 1500;
    Box.Height = 300;
    Button.Left = 150;
    Button.Top = 750;
    Button.Width = 900;
    Button.Height = 375;
    add(Box);
    add(Button);
    Box.KeyDown = [this](int key, int shift) { keys.push_back({key, shift}); };
  }
  TextBox Box{"Box"};
  CommandButton Button{"Button"};
  std::vector<std::pair<int, int>> keys;
};

struct SimFocus : testing::Test {
  SimFocus() : desktop(clock) { desktop.showForm(dialog); }
  // The screen point over a control of the dialog.
  PointPx over(const Control& c) {
    return {static_cast<int>(singleDiv15(dialog.Left) + kFrameLeftPx + (c.Left + 30) / 15),
            static_cast<int>((dialog.Top + kFrameTopTw) / 15 + (c.Top + 30) / 15)};
  }
  void press(int vk) {
    desktop.userKeyDown(vk);
    desktop.userKeyUp(vk);
  }
  SimClock clock;
  SimDesktop desktop;
  Dialog dialog;
};

TEST_F(SimFocus, AClickOnATextBoxGivesItTheFocusAndKeysTypeIntoIt) {
  EXPECT_EQ(desktop.focusedControl(), nullptr);
  const PointPx at = over(dialog.Box);
  desktop.userMovePointer(at.x, at.y);
  desktop.userButtonDown(vk::LButton);
  desktop.userButtonUp(vk::LButton);
  EXPECT_EQ(desktop.focusedControl(), &dialog.Box);
  int changes = 0;
  dialog.Box.Change = [&] { ++changes; };
  for (int vk : {'K', '=', '1'}) press(vk == '=' ? 187 : vk);
  desktop.userKeyDown(vk::LShift);
  press('A');
  press('9');
  desktop.userKeyUp(vk::LShift);
  press(vk::Space);
  press(191);
  EXPECT_EQ(dialog.Box.Text(), "k=1A( /");
  press(vk::Back);
  press(vk::Back);
  EXPECT_EQ(dialog.Box.Text(), "k=1A(");
  EXPECT_EQ(changes, 9);
  // Every key reaches KeyDown, with the shift state; Ctrl chords type nothing.
  desktop.userKeyDown(vk::LControl);
  press('V');
  desktop.userKeyUp(vk::LControl);
  EXPECT_EQ(dialog.Box.Text(), "k=1A(");
  ASSERT_FALSE(dialog.keys.empty());
  EXPECT_EQ(dialog.keys.front(), (std::pair<int, int>{'K', 0}));
  EXPECT_EQ(dialog.keys.back(), (std::pair<int, int>{'V', 2}));
}

TEST_F(SimFocus, TheFocusGoesWithAHiddenControlOrWindow) {
  desktop.setFocus(dialog, dialog.Box);
  EXPECT_EQ(desktop.focusedControl(), &dialog.Box);
  desktop.setFocus(dialog, dialog.Button);
  press('A');
  EXPECT_EQ(dialog.Box.Text(), "");  // a button takes no text
  desktop.setFocus(dialog, dialog.Box);
  dialog.Box.Visible = false;
  EXPECT_EQ(desktop.focusedControl(), nullptr);
  press('A');
  EXPECT_EQ(dialog.Box.Text(), "");
  dialog.Box.Visible = true;
  desktop.hideForm(dialog);
  EXPECT_EQ(desktop.focusedControl(), nullptr);
  desktop.showForm(dialog);
  EXPECT_EQ(desktop.focusedControl(), &dialog.Box);
  desktop.unloadForm(dialog);
  desktop.showForm(dialog);
  EXPECT_EQ(desktop.focusedControl(), nullptr);
}

// Enter in the box may hide the window: the key types nothing after that.
TEST_F(SimFocus, AKeyDownThatHidesItsWindowEndsTheKey) {
  desktop.setFocus(dialog, dialog.Box);
  dialog.Box.KeyDown = [&](int, int) { desktop.hideForm(dialog); };
  press('A');
  EXPECT_EQ(dialog.Box.Text(), "");
}

TEST_F(SimFocus, TheCloseBoxRunsTheUnloadStepThenUnloads) {
  std::vector<std::string> steps;
  dialog.Unload = [&] { steps.push_back(dialog.Loaded ? "unload step, loaded" : "unload step"); };
  desktop.userCloseForm(dialog);
  EXPECT_EQ(steps, (std::vector<std::string>{"unload step, loaded"}));
  EXPECT_FALSE(dialog.Loaded);
  EXPECT_FALSE(dialog.Visible);
  EXPECT_TRUE(desktop.shownForms().empty());
  // A step that unloads the window itself is not followed by a second unload.
  desktop.showForm(dialog);
  dialog.Unload = [&] {
    desktop.unloadForm(dialog);
    dialog.Unload = nullptr;  // the handler may go with its window
  };
  desktop.userCloseForm(dialog);
  EXPECT_FALSE(dialog.Loaded);
}

}  // namespace
}  // namespace kel
