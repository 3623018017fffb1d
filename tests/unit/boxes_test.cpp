// The program's own message boxes take the keys that answer them: nothing pressed while a box
// is open reaches the formula, not even the key that closes it, whose release comes after.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pages_fixture.h"

namespace kel::test {
namespace {

constexpr Millis kLoadAllMs = 12 * 1000 + 500;

// What a user sees of the formula and where the next symbol goes.
struct State {
  std::vector<Seen> page;
  double pointerX, pointerY;
  int upper, lower, queued;
  bool operator==(const State&) const = default;
};

std::ostream& operator<<(std::ostream& o, const State& s) {
  o << "pointer " << s.pointerX << "," << s.pointerY << " index " << s.upper << s.lower << " queue "
    << s.queued << " page:";
  for (const Seen& x : s.page) o << " " << x;
  return o;
}

struct Desk : PageDesk {
  State state() {
    return {page(),
            p().PointerX,
            p().PointerY,
            p().UpperIndexMode,
            p().LowerIndexMode,
            w().List1.ListCount()};
  }
  // A key typed as a user types it: down, and up 40 ms later, with the capture running.
  void typeKey(int vk) {
    host().tap(vk, 40);
    advance(600);
  }
};

// One box of the program, opened as the user opens it.
struct BoxCase {
  const char* name;
  int key;     // the key that answers it
  int answer;  // what that key answers
  std::function<void(Desk&)> open;
};

// Runs a case: a symbol typed, the box opened and answered, by the key when `byKey` (pressed
// 300 ms after the box opened, the box closing at its press, released 60 ms later), else
// by the mouse; then 1.5 s, and a "2" typed. The state after the box and after the "2".
std::pair<State, State> run(const BoxCase& c, bool byKey) {
  Desk d;
  d.s.folder.write("pages.txt", "1|b|1500|1500|24|False|");
  d.s.folder.write("bad.txt", "1|b|1|2");
  d.typeKey('A');
  d.desk().answerMessageBox = [&d, &c, byKey](const std::string&, int, const std::string&) {
    d.advance(300);
    if (byKey) {
      d.desk().userKeyDown(c.key);
      d.host().at(d.host().now() + 60, [&d, &c] { d.desk().userKeyUp(c.key); });
    }
    return c.answer;
  };
  c.open(d);
  d.advance(kLoadAllMs);
  const State after = d.state();
  d.typeKey('2');
  return {after, d.state()};
}

TEST(ProgramBoxes, TheKeyThatAnswersABoxIsNotTyped) {
  auto loadFile = [](const char* name) {
    return [name](Desk& d) {
      d.desk().fileDialogAnswers.push_back(FileDialogChoice{d.s.folder.file(name), 1});
      d.p().pages.Command16_Click();
    };
  };
  const BoxCase cases[] = {
      {"Clear All, Esc for No", vk::Escape, msgbox::No, [](Desk& d) { d.click(d.w().Label11); }},
      {"Clear All, Return for Yes", vk::Return, msgbox::Yes,
       [](Desk& d) { d.click(d.w().Label11); }},
      {"the load confirmation, Return for OK", vk::Return, msgbox::Ok, loadFile("pages.txt")},
      {"the refusal of a damaged file, Return", vk::Return, msgbox::Ok, loadFile("bad.txt")},
      {"the F8 help, Space", vk::Space, msgbox::Ok,
       [](Desk& d) { d.p().palette.Command32_Click(); }},
      {"F9 with nothing played, Return", vk::Return, msgbox::Ok,
       [](Desk& d) {
         d.w().List1.Clear();
         d.w().List2.Clear();
         d.p().palette.Command33_Click();
       }},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto byMouse = run(c, false);
    const auto byKey = run(c, true);
    EXPECT_EQ(byKey.first, byMouse.first);
    EXPECT_EQ(byKey.second, byMouse.second);
    // The "2" stands on the line, full size.
    ASSERT_FALSE(byKey.second.page.empty());
    EXPECT_EQ(byKey.second.page.back().what, "2");
  }
}

// A key held down from before the box stays the program's; a button the box had is no
// click on the window under it when it is let go.
TEST(ProgramBoxes, WhatTheBoxHadReadsAsUpUntilItIsLetGo) {
  Desk d;
  d.text(200, 300);  // Clear All's label shows once a symbol stands
  d.desk().userKeyDown('A');
  d.desk().answerMessageBox = [&d](const std::string&, int, const std::string&) {
    d.desk().userKeyDown('B');
    d.desk().userKeyDown('A');  // a repeat of the held key
    d.desk().userButtonDown(vk::LButton);
    EXPECT_TRUE(d.desk().boxOpen());
    return msgbox::Ok;
  };
  d.desk().messageBox("?", msgbox::OkOnly, "");
  EXPECT_FALSE(d.desk().boxOpen());
  EXPECT_EQ(d.desk().asyncKeyState('A'), 0x8001);
  EXPECT_EQ(d.desk().asyncKeyState('B'), 0);
  EXPECT_GE(d.desk().keyState('B'), 0);
  EXPECT_EQ(d.desk().asyncKeyState(vk::LButton), 0);
  EXPECT_EQ(d.desk().takeKeyPresses(), (std::vector<KeyPress>{{'A'}}));
  int clicks = 0;
  d.w().Label11.Click = [&] { ++clicks; };
  d.desk().userMovePointer(d.ui().over(d.w().Label11).x, d.ui().over(d.w().Label11).y);
  d.desk().userButtonUp(vk::LButton);
  d.desk().userKeyUp('B');
  EXPECT_EQ(clicks, 0);
  d.desk().userKeyDown('B');
  EXPECT_EQ(d.desk().asyncKeyState('B'), 0x8001);
}

}  // namespace
}  // namespace kel::test
