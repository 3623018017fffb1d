// Both desktops route the pointer alike: the same steps on the headless desktop and on a
// real X server run the same handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/qt/views.h"
#include "platform/sim/sim_desktop.h"
#include "tests/qt/test_time.h"
#include "tests/qt/views_support.h"

namespace kel::qt {
namespace {

// A panel holding a symbol, a picture, a shape over the symbol's right half, a line across
// the picture and a disabled label; a hidden frame whose visible child would lie over the
// picture; a strip that runs past the client area's right edge. Every handler says what ran.
struct RoutingForm : Form {
  explicit RoutingForm(std::vector<std::string>& log) : Form("R") {
    Left = 1500;  // client area at (104, 134) px, 400 x 300
    Top = 1505;
    Width = 6000 + 120;
    Height = 4500 + 565;
    place(Panel, nullptr, 750, 750, 3000, 2250);  // px 50..250, 50..200
    place(Sym, &Panel, 150, 150, 900, 600);       // px 60..120, 60..100
    place(Mark, &Panel, 600, 150, 450, 600);      // px 90..120, 60..100
    place(Pic, &Panel, 1500, 150, 900, 900);      // px 150..210, 60..120
    place(Off, &Panel, 150, 1200, 900, 600);      // px 60..120, 130..170
    place(Hid, nullptr, 2250, 750, 1500, 1500);   // px 150..250, 50..150
    place(HidSym, &Hid, 0, 0, 1500, 1500);
    place(Strip, nullptr, 5250, 3750, 1500, 450);  // px 350..450, 250..280
    Rule.Container = &Panel;
    Rule.X1 = 1500;
    Rule.Y1 = 600;
    Rule.X2 = 2400;
    Rule.Y2 = 600;  // px y 90 from x 150 to 210
    Off.Enabled = false;
    Hid.Visible = false;
    for (Control* c : std::initializer_list<Control*>{&Panel, &Sym, &Mark, &Pic, &Rule, &Off, &Hid,
                                                      &HidSym, &Strip}) {
      add(*c);
      const std::string name = c->Name;
      auto say = [&log, name](const char* what) {
        return [&log, name, what](int b, int s, double x, double y) {
          log.push_back(name + " " + what + " " + std::to_string(b) + " " + std::to_string(s) +
                        " " + std::to_string(std::lround(x)) + " " +
                        std::to_string(std::lround(y)));
        };
      };
      c->MouseDown = say("down");
      c->MouseMove = say("move");
      c->MouseUp = say("up");
      c->Click = [&log, name] { log.push_back(name + " click"); };
    }
    // The bare form has events of its own, in its client twips.
    auto bare = [&log](const char* what) {
      return [&log, what](int b, int s, double x, double y) {
        log.push_back(std::string("form ") + what + " " + std::to_string(b) + " " +
                      std::to_string(s) + " " + std::to_string(std::lround(x)) + " " +
                      std::to_string(std::lround(y)));
      };
    };
    MouseDown = bare("down");
    MouseMove = bare("move");
    MouseUp = bare("up");
    Click = [&log] { log.push_back("form click"); };
  }
  static void place(Control& c, Control* in, double l, double t, double w, double h) {
    c.Container = in;
    c.Left = l;
    c.Top = t;
    c.Width = w;
    c.Height = h;
  }
  Frame Panel{"Panel"};
  Label Sym{"Sym"};
  Shape Mark{"Mark"};
  Image Pic{"Pic"};
  Line Rule{"Rule"};
  Label Off{"Off"};
  Frame Hid{"Hid"};
  Label HidSym{"HidSym"};
  Label Strip{"Strip"};
};

struct PointerStep {
  enum Kind { Move, Down, Up } kind;
  int x, y;  // client pixels
  Qt::MouseButton button = Qt::LeftButton;
};

// The same pointer steps on the headless desktop and on the real one, each logging what
// the form's handlers got.
void routeOnBoth(const std::vector<PointerStep>& steps, bool capture,
                 std::vector<std::string>& simLog, std::vector<std::string>& qtLog) {
  using S = PointerStep;
  {
    SimClock clock;
    SimDesktop sim(clock);
    RoutingForm f(simLog);
    f.CapturesMouse = capture;
    sim.showForm(f);
    const int vkOf[] = {0, vk::LButton, vk::RButton};
    for (const PointerStep& s : steps) {
      const int vkey = vkOf[s.button == Qt::LeftButton ? 1 : 2];
      if (s.kind == S::Move) sim.userMovePointer(104 + s.x, 134 + s.y);
      if (s.kind == S::Down) sim.userButtonDown(vkey);
      if (s.kind == S::Up) sim.userButtonUp(vkey);
    }
  }
  TestGate gate;
  ViewSync views(gate);
  gate.views = &views;
  RoutingForm f(qtLog);
  f.CapturesMouse = capture;
  views.formView(f);
  f.Loaded = true;
  f.Visible = true;
  views.syncAll();
  ASSERT_TRUE(waitExposed(widgetOf(f)));
  for (const PointerStep& s : steps) {
    if (s.kind == S::Move) QTest::mouseMove(windowOf(f), QPoint(s.x, s.y));
    if (s.kind == S::Down) QTest::mousePress(windowOf(f), s.button, Qt::NoModifier, {s.x, s.y});
    if (s.kind == S::Up) QTest::mouseRelease(windowOf(f), s.button, Qt::NoModifier, {s.x, s.y});
  }
  views.dropForm(f);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(MouseRouting, TheRealDesktopRunsTheHandlersTheSimRuns) {
  using S = PointerStep;
  std::vector<PointerStep> steps;
  auto pressAt = [&](int x, int y, Qt::MouseButton b = Qt::LeftButton) {
    steps.push_back({S::Move, x, y});
    steps.push_back({S::Down, x, y, b});
    steps.push_back({S::Move, x + 2, y + 1});
    steps.push_back({S::Up, x + 2, y + 1, b});
  };
  pressAt(20, 20);    // the bare form
  pressAt(230, 180);  // the panel
  pressAt(70, 70);    // the symbol
  pressAt(70, 70, Qt::RightButton);
  pressAt(100, 70);   // the symbol under the shape
  pressAt(160, 70);   // the picture
  pressAt(170, 90);   // the picture under the line
  pressAt(200, 110);  // the picture under the hidden frame
  pressAt(80, 150);   // the disabled label: nobody, not its panel either
  pressAt(380, 260);  // the strip
  // A press on the symbol let go over the picture; one dragged out of the client area,
  // over where the strip runs on.
  steps.insert(steps.end(), {{S::Move, 65, 65},
                             {S::Down, 65, 65},
                             {S::Move, 165, 65},
                             {S::Up, 165, 65},
                             {S::Move, 65, 65},
                             {S::Down, 65, 65},
                             {S::Move, 420, 260},
                             {S::Up, 420, 260}});

  std::vector<std::string> simLog, qtLog;
  routeOnBoth(steps, false, simLog, qtLog);
  EXPECT_EQ(qtLog, simLog);
  // What the sim does is what the forms model says: the innermost visible control alone.
  const auto ran = [&](const std::string& name) {
    return std::count_if(simLog.begin(), simLog.end(),
                         [&](const std::string& e) { return e.rfind(name + " ", 0) == 0; });
  };
  // A press is a move, a down, a move, an up and, with the left button, a click.
  EXPECT_EQ(ran("Panel"), 5);  // its own press only
  EXPECT_EQ(ran("Sym"), 5 + 4 + 5 + 2 + 2);
  EXPECT_EQ(ran("Pic"), 3 * 5 + 3);
  EXPECT_EQ(ran("Strip"), 5);
  // The bare form: its own press, and the moves between the others that cross it (never
  // over the disabled label, nor outside the client area).
  EXPECT_GE(ran("form"), 5);
  EXPECT_NE(std::find(simLog.begin(), simLog.end(), "form down 1 0 300 300"), simLog.end());
  EXPECT_NE(std::find(simLog.begin(), simLog.end(), "form click"), simLog.end());
  for (const char* none : {"Mark", "Rule", "Off", "Hid", "HidSym"}) EXPECT_EQ(ran(none), 0) << none;
}

// A window that captures the mouse: from a press until the release, the pressed control
// gets every move and the release, in its own twips, inside the window or not; a click
// needs the release over it. The same on both desktops.
TEST(MouseRouting, AWindowThatCapturesTheMouseGivesThePressedControlEverything) {
  using S = PointerStep;
  const std::vector<PointerStep> steps = {
      {S::Move, 65, 65},   {S::Down, 65, 65},  {S::Move, 165, 65},  // onto the picture
      {S::Move, 420, 260},                                          // off the window
      {S::Up, 420, 260},   {S::Move, 165, 65},                      // the picture's own
      {S::Move, 70, 70},   {S::Down, 70, 70},  {S::Move, 75, 72},  {S::Up, 75, 72},
  };
  std::vector<std::string> simLog, qtLog;
  routeOnBoth(steps, true, simLog, qtLog);
  EXPECT_EQ(qtLog, simLog);
  // The symbol at 60, 60 px in the client area: 65, 65 is 75, 75 twips into it.
  const std::vector<std::string> expected = {"Sym move 0 0 75 75",
                                             "Sym down 1 0 75 75",
                                             "Sym move 1 0 1575 75",
                                             "Sym move 1 0 5400 3000",
                                             "Sym up 1 0 5400 3000",
                                             "Pic move 0 0 225 75",
                                             "Sym move 0 0 150 150",
                                             "Sym down 1 0 150 150",
                                             "Sym move 1 0 225 180",
                                             "Sym up 1 0 225 180",
                                             "Sym click"};
  EXPECT_EQ(simLog, expected);
}

}  // namespace
}  // namespace kel::qt
