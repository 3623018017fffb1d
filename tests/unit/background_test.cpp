// The background group: stop, start and the pause while the pointer is away.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/units.h"
#include "sim_program.h"

namespace kel::test {
namespace {

struct Background {
  Background() {
    s.p().start();
    s.host.advance(1000);  // past the start-up's one-shot steps
    s.p().app.Command3_Click();
  }
  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }

  // The eleven of the group that are on.
  int groupOn() {
    int n = 0;
    for (Timer* t : w().backgroundGroup) n += t->Enabled() ? 1 : 0;
    return n;
  }
  bool paused() { return p().TimersPaused == 1 && w().Timer23.Enabled() && groupOn() == 1; }
  bool running() { return p().TimersPaused == 0 && groupOn() == 11; }

  // A screen point over a control of the shown main window, at a fraction of its size;
  // checked against what the window has there.
  PointPx over(const Control& c, double fx = 0.5, double fy = 0.5) {
    double l, t;
    absolutePosition(c, l, t);
    const double clientLeftPx = singleDiv15(w().Left) + kFrameLeftPx;
    const double clientTopPx = (w().Top + kFrameTopTw) / kTwipsPerPixel;
    const PointPx pt{static_cast<int>(std::floor(clientLeftPx + (l + fx * c.Width) / 15)),
                     static_cast<int>(std::floor(clientTopPx + (t + fy * c.Height) / 15))};
    EXPECT_EQ(w().hitTest((pt.x - clientLeftPx) * 15, (pt.y - clientTopPx) * 15), &c)
        << c.Name << " is not under the test's point";
    return pt;
  }
  void moveTo(PointPx pt) { s.desk().userMovePointer(pt.x, pt.y); }
  PointPx barePage() { return over(w().Frame5, 0.3, 0.3); }
  PointPx barePanel() { return over(w().Frame6, 0.4, 0.08); }

  SimProgram s;
};

TEST(BackgroundGroup, StopAndStartSwitchExactlyTheElevenTimers) {
  Background b;
  std::map<const Timer*, bool> others;
  auto isGroup = [&](const Timer* t) {
    for (Timer* g : b.w().backgroundGroup)
      if (g == t) return true;
    return false;
  };
  for (const Timer* t : b.s.host.scheduler.timers())
    if (!isGroup(t)) others[t] = t->Enabled();
  ASSERT_EQ(others.size(), b.s.host.scheduler.timers().size() - 11);

  b.p().app.Command2_Click();
  EXPECT_EQ(b.p().UserStopped, 1);
  EXPECT_EQ(b.groupOn(), 0);
  b.p().BusyFlag = 1;
  b.p().app.Command3_Click();
  EXPECT_EQ(b.p().UserStopped, 0);
  EXPECT_EQ(b.groupOn(), 11);
  EXPECT_EQ(b.p().BusyFlag, 0);
  for (const Timer* t : b.s.host.scheduler.timers()) {
    if (isGroup(t)) continue;
    EXPECT_EQ(t->Enabled(), others[t]) << t->name();
  }
}

TEST(BackgroundGroup, BorderFramesAndTheShownExpressionLineStopIt) {
  struct Case {
    const char* name;
    Control* (*control)(MainWindow&);
  } cases[] = {
      {"top frame", [](MainWindow& w) -> Control* { return &w.Label17; }},
      {"foot frame", [](MainWindow& w) -> Control* { return &w.Label18; }},
      {"left frame", [](MainWindow& w) -> Control* { return &w.Label19; }},
      {"right frame", [](MainWindow& w) -> Control* { return &w.label20; }},
      {"expression line", [](MainWindow& w) -> Control* { return &w.Text21; }},
  };
  for (const Case& c : cases) {
    for (bool backViaPanel : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (backViaPanel ? ", back via the panel" : ""));
      Background b;
      b.w().Text21.Visible = true;
      b.moveTo(b.barePage());
      ASSERT_TRUE(b.running());

      b.moveTo(b.over(*c.control(b.w())));
      EXPECT_EQ(b.p().UserStopped, 1);
      EXPECT_EQ(b.groupOn(), 0);
      // Nothing is played meanwhile.
      b.p().input.AppendQueueItem("6000", "0");
      b.s.host.advance(200);
      EXPECT_EQ(b.p().LatinLayout, 1);

      b.p().BusyFlag = 1;
      b.moveTo(backViaPanel ? b.barePanel() : b.barePage());
      EXPECT_EQ(b.p().UserStopped, 0);
      EXPECT_TRUE(b.running());
      EXPECT_EQ(b.p().BusyFlag, 0);
      b.s.host.advance(20);
      EXPECT_EQ(b.p().LatinLayout, 0);  // playing resumed
    }
  }
}

TEST(BackgroundGroup, AHiddenExpressionLineDoesNotStopIt) {
  Background b;
  b.w().Text21.Visible = true;
  const PointPx where = b.over(b.w().Text21);
  b.w().Text21.Visible = false;
  b.moveTo(where);
  EXPECT_EQ(b.p().UserStopped, 0);
  EXPECT_TRUE(b.running());
}

TEST(BackgroundGroup, ThePageAndPanelSwitchItOnOnlyAfterAStop) {
  Background b;
  b.p().BusyFlag = 1;
  b.moveTo(b.barePage());
  b.moveTo(b.barePanel());
  EXPECT_EQ(b.p().BusyFlag, 1);  // no switch-on without a stop
}

TEST(BackgroundGroup, ThePageTakesThePointerOffTheKeyboardAndShowsTheCaret) {
  Background b;
  b.p().PointerOverForm8 = 1;
  b.w().Picture1.Visible = false;
  b.moveTo(b.barePage());
  EXPECT_EQ(b.p().PointerOverForm8, 0);
  EXPECT_TRUE(b.w().Picture1.Visible);
}

// The window's rectangle in pixels: its outer frame less the 505-twip title band.
struct WindowRect {
  int left, top, right, bottom;
};
WindowRect rectOf(const MainWindow& w) {
  WindowRect r{static_cast<int>(w.Left / 15), static_cast<int>((w.Top + 505) / 15),
               static_cast<int>((w.Left + w.Width) / 15),
               static_cast<int>((w.Top + w.Height) / 15)};
  // The cases below sit exactly on the edges only when these are whole pixels.
  EXPECT_EQ(r.left * 15, w.Left);
  EXPECT_EQ(r.top * 15, w.Top + 505);
  EXPECT_EQ(r.right * 15, w.Left + w.Width);
  EXPECT_EQ(r.bottom * 15, w.Top + w.Height);
  return r;
}

TEST(BackgroundGroup, PausesWhileThePointerIsOutsideTheWindow) {
  struct Case {
    const char* name;
    int dx, dy;  // from the edge named
    enum Edge { Left, Top, Right, Bottom } edge;
    bool paused;
  } cases[] = {
      {"on the right edge", 0, 0, Case::Right, false},
      {"right of it", 1, 0, Case::Right, true},
      {"on the left edge", 0, 0, Case::Left, false},
      {"left of it", -1, 0, Case::Left, true},
      {"on the bottom edge", 0, 0, Case::Bottom, false},
      {"below it", 0, 1, Case::Bottom, true},
      {"on the top of the client area", 0, 0, Case::Top, false},
      {"in the title band", 0, -1, Case::Top, true},
      {"at the window's very top", 0, -33, Case::Top, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Background b;
    const WindowRect r = rectOf(b.w());
    const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    PointPx pt{};
    switch (c.edge) {
      case Case::Left:
        pt = {r.left + c.dx, midY};
        break;
      case Case::Right:
        pt = {r.right + c.dx, midY};
        break;
      case Case::Top:
        pt = {r.left + c.dx, r.top + c.dy};
        break;  // beside the client area
      case Case::Bottom:
        pt = {midX, r.bottom + c.dy};
        break;
    }
    b.moveTo(pt);
    ASSERT_EQ(b.p().UserStopped, 0);  // the point lies on no control
    b.s.host.advance(50);
    EXPECT_EQ(b.paused(), c.paused);
    EXPECT_EQ(b.running(), !c.paused);
    if (!c.paused) continue;

    // Held off at every tick while the pointer stays out, and nothing is played.
    b.p().input.AppendQueueItem("6000", "0");
    b.s.host.advance(200);
    EXPECT_TRUE(b.paused());
    EXPECT_EQ(b.p().LatinLayout, 1);

    // Back on the window's edge: all eleven again and the queue free.
    b.p().BusyFlag = 1;
    b.moveTo({r.right, midY});
    b.s.host.advance(50);
    EXPECT_TRUE(b.running());
    EXPECT_EQ(b.p().BusyFlag, 0);
    b.s.host.advance(20);
    EXPECT_EQ(b.p().LatinLayout, 0);
  }
}

TEST(BackgroundGroup, NoPauseOverTheKeyboardOrWhileMinimised) {
  {
    Background b;
    const WindowRect r = rectOf(b.w());
    b.moveTo({r.right + 50, r.top + 50});
    b.s.host.advance(50);
    ASSERT_TRUE(b.paused());
    b.p().PointerOverForm8 = 1;  // the pointer came onto the keyboard out there
    b.p().BusyFlag = 1;
    b.s.host.advance(50);
    EXPECT_TRUE(b.running());
    EXPECT_EQ(b.p().BusyFlag, 0);
    b.s.host.advance(200);
    EXPECT_TRUE(b.running());
  }
  {
    Background b;
    const WindowRect r = rectOf(b.w());
    b.w().State = WindowState::Minimized;
    b.moveTo({r.right + 50, r.top + 50});
    b.s.host.advance(200);
    EXPECT_TRUE(b.running());
  }
}

TEST(BackgroundGroup, LeavingTheShownKeyboardPausesAtTheNextTick) {
  Background b;
  const WindowRect r = rectOf(b.w());
  b.p().Form8Shown = 1;
  b.p().PointerOverForm8 = 1;
  b.moveTo({r.right + 50, r.top + 50});  // outside both windows
  b.s.host.advance(50);
  EXPECT_TRUE(b.running());  // still taken as over the keyboard in this tick
  EXPECT_EQ(b.p().PointerOverForm8, 0);
  b.s.host.advance(50);
  EXPECT_TRUE(b.paused());
}

TEST(BackgroundGroup, AStoppedGroupIsNotResumedByThePointerComingBack) {
  Background b;
  const WindowRect r = rectOf(b.w());
  b.moveTo(b.over(b.w().label20));
  b.moveTo({r.right + 50, r.top + 50});
  b.s.host.advance(200);
  EXPECT_EQ(b.groupOn(), 0);
  b.moveTo({r.right, (r.top + r.bottom) / 2});  // inside, on no control
  b.s.host.advance(200);
  EXPECT_EQ(b.groupOn(), 0);
  b.moveTo(b.barePage());
  EXPECT_TRUE(b.running());
}

TEST(BackgroundGroup, APressOnThePageTakesTheInsertionPointUnlessOverTheKeyboard) {
  Background b;
  const PointPx pt = b.barePage();
  b.moveTo(pt);
  const double x = b.p().PointerX, y = b.p().PointerY;
  b.p().PointerOverForm8 = 1;
  b.s.desk().userButtonDown(vk::LButton);
  b.s.desk().userButtonUp(vk::LButton);
  EXPECT_EQ(b.p().PointerX, x);
  EXPECT_EQ(b.p().PointerY, y);

  b.p().PointerOverForm8 = 0;
  b.s.desk().userButtonDown(vk::LButton);
  EXPECT_EQ(b.p().PointerX, pt.x);
  EXPECT_EQ(b.p().PointerY, pt.y);
  EXPECT_EQ(b.p().InsertX, b.p().surface.InsertXFor(pt.x));
  EXPECT_EQ(b.p().InsertY, b.p().surface.InsertYFor(pt.y));
}

}  // namespace
}  // namespace kel::test
