// Click detection: a single click snaps the insertion point to the nearer edge of the
// pressed or the nearest symbol; a double click remembers the writing position.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui_fixture.h"

namespace kel::test {
namespace {

// Which of the two 50 ms button watchers, the sampler TimerM1 and the re-read Timer10,
// saw the button up first after a release.
struct TickLog {
  struct Tick {
    std::string timer;
    Millis at;
    bool buttonDown;
  };
  std::vector<Tick> ticks;
  std::string firstToSeeUpAfter(Millis t) const {
    for (const Tick& k : ticks)
      if (k.at >= t && !k.buttonDown) return k.timer;
    return "";
  }
};

struct Clicks : Ui {
  Clicks() {
    log = std::make_shared<TickLog>();
    for (Timer* t : {&w().Timer10, &w().TimerM1}) {
      auto tick = t->Tick;
      auto log = this->log;
      SimDesktop* d = &desk();
      SimHost* h = &host();
      const std::string name = t->name();
      t->Tick = [tick, log, d, h, name] {
        // The thread state: asking it takes no "pressed since" mark from the program.
        log->ticks.push_back({name, h->now(), d->keyState(vk::LButton) < 0});
        tick();
      };
    }
  }

  // Lets the sampler tick `ms` after the re-read instead of together with it.
  void shiftSampler(Millis ms) {
    if (ms == 0) return;
    w().TimerM1.setEnabled(false);
    advance(ms);
    w().TimerM1.setEnabled(true);
  }

  void press(PointPx at) {
    moveTo(at);
    advance(60);  // the caret has followed the pointer
    desk().userButtonDown(vk::LButton);
    advance(100);
  }
  // Releases the button just before `first` ticks, and before the other watcher does.
  Millis releaseJustBefore(Timer& first) {
    Timer& other = &first == &w().Timer10 ? w().TimerM1 : w().Timer10;
    for (int i = 0; i < 200; ++i) {
      if (first.due() <= other.due() && first.due() - host().now() >= 3) break;
      advance(1);
    }
    const Millis t = first.due() - 2;
    host().at(t, [this] { desk().userButtonUp(vk::LButton); });
    advance(t - host().now());
    return t;
  }
  void click(PointPx at) {
    moveTo(at);
    clickHere();
  }
  void clickHere() {
    advance(60);
    desk().userButtonDown(vk::LButton);
    advance(100);
    desk().userButtonUp(vk::LButton);
    advance(100);
  }

  std::shared_ptr<TickLog> log;
};

// The page point the next symbol goes to, in twips.
double nextInsertX(Ui& u) { return u.p().surface.InsertXFor(u.p().PointerX); }

TEST(ClickDetection, ASingleClickSnapsToTheNearerEdgeWhicheverWatcherSeesTheReleaseFirst) {
  enum Where { LeftHalf, RightHalf, RightOfIt, LeftOfIt };
  struct Case {
    const char* name;
    Where where;
    bool rightEdge;
  } cases[] = {
      {"pressed in its left half", LeftHalf, false},
      {"pressed in its right half", RightHalf, true},
      {"bare page just right of it", RightOfIt, true},
      {"bare page just left of it", LeftOfIt, false},
  };
  struct Order {
    Millis samplerShift;
    const char* first;
  } orders[] = {{0, "Timer10"}, {25, "Timer10"}, {25, "TimerM1"}};

  for (const Case& c : cases) {
    for (const Order& o : orders) {
      SCOPED_TRACE(testing::Message() << c.name << "; " << o.first << " first, sampler shifted "
                                      << o.samplerShift << " ms");
      Clicks u;
      u.shiftSampler(o.samplerShift);
      const int n = u.text({500, 300});  // 15 x 36 px at screen x 500 to 515
      const Label& sym = u.label(n);
      const double edge = c.rightEdge ? sym.Left + sym.Width : sym.Left;
      const int x = c.where == LeftHalf    ? 503
                    : c.where == RightHalf ? 512
                    : c.where == RightOfIt ? 523
                                           : 492;
      u.press({x, 300});
      const bool onSymbol = c.where == LeftHalf || c.where == RightHalf;
      EXPECT_EQ(u.p().PressedSymbolIndex, onSymbol ? n : 0);

      const Millis released =
          u.releaseJustBefore(o.first == std::string("Timer10") ? u.w().Timer10 : u.w().TimerM1);
      u.advance(150);
      ASSERT_EQ(u.log->firstToSeeUpAfter(released), o.first);

      // The pointer stands at the edge, on the symbol's middle line, and so does the
      // insertion point: later ticks of the re-read leave it there.
      EXPECT_EQ(u.p().surface.InsertXFor(u.pointer().x), edge);
      u.advance(300);
      EXPECT_EQ(nextInsertX(u), edge);
      EXPECT_EQ(u.p().CurrentSymbolIndex, n);
      EXPECT_EQ(u.p().CaretAfterSymbol, c.rightEdge ? 1 : 0);

      u.p().surface.PlaceTextSymbol("b", 24, false);
      const Label& next = u.label(n + 1);
      EXPECT_EQ(next.Left, edge);
      EXPECT_NEAR(u.middle(next), u.middle(sym), 15);
    }
  }
}

TEST(ClickDetection, AClickFarFromEverySymbolMovesNothingButEndsTheBarStretch) {
  Clicks u;
  const int n = u.text({500, 300});
  const double left = u.label(n).Left;
  u.p().BarOpen = 1;
  // Over 600 twips right of the right edge, same line.
  u.click({560, 300});
  EXPECT_EQ(u.pointer(), (PointPx{560, 300}));
  EXPECT_EQ(u.p().PointerX, 560);  // the press and release were read, nothing snapped
  EXPECT_EQ(u.p().CurrentSymbolIndex, 0);
  EXPECT_EQ(u.p().BarOpen, 0);
  EXPECT_EQ(u.label(n).Left, left);
}

TEST(ClickDetection, OfTwoEdgesAtTheSameDistanceTheLaterSymbolWins) {
  Clicks u;
  const int a = u.text({500, 300});
  const int b = a + 1;
  u.p().surface.PlaceTextSymbol("b", 24, false);  // right after the first
  u.advance(30);
  ASSERT_EQ(u.label(b).Left, u.label(a).Left + u.label(a).Width);
  // Below both, off them, at their common edge.
  u.click({515, 325});
  EXPECT_EQ(u.p().CurrentSymbolIndex, b);
  EXPECT_EQ(u.p().CaretAfterSymbol, 0);
  EXPECT_EQ(nextInsertX(u), u.label(b).Left);
}

TEST(ClickDetection, ClicksMeantForOthersSnapNothing) {
  struct Case {
    const char* name;
    void (*prepare)(Clicks&);
  } cases[] = {
      {"over the panel", [](Clicks&) {}},
      {"pop-up paste pressed", [](Clicks& u) { u.p().SkipNextButtonChange = 1; }},
      {"on-screen key pressed", [](Clicks& u) { u.p().SkipNextButtonChange2 = 1; }},
      {"over the on-screen keyboard", [](Clicks& u) { u.p().PointerOverForm8 = 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Clicks u;
    const int n = u.text({500, 300});
    const bool panel = std::string(c.name) == "over the panel";
    const PointPx at = panel ? u.over(u.w().Frame6, 0.4, 0.08) : PointPx{523, 300};
    u.moveTo(at);
    c.prepare(u);  // the page clears the mark of the on-screen keyboard as the pointer comes
    u.clickHere();
    // Nothing snapped to the symbol's right edge, 8 px to the left.
    EXPECT_EQ(u.pointer(), at);
    EXPECT_NE(u.p().surface.InsertXFor(u.pointer().x), u.label(n).Left + u.label(n).Width);
    // A skipped press leaves only its release, which is no click.
    EXPECT_TRUE(u.w().TextM2.Text() == "" || u.w().TextM2.Text() == "False") << u.w().TextM2.Text();
    EXPECT_EQ(u.p().SkipNextButtonChange, 0);
    EXPECT_EQ(u.p().SkipNextButtonChange2, 0);
  }
}

TEST(ClickDetection, ADoubleClickRemembersTheWritingPositionAndReappliesTheLayout) {
  for (int latin : {1, 0}) {
    SCOPED_TRACE(latin ? "Latin" : "Cyrillic");
    Clicks u;
    u.p().LatinLayout = latin;
    const PointPx at{600, 400};
    u.moveTo(at);
    u.advance(60);
    for (int i = 0; i < 2; ++i) {
      u.desk().userButtonDown(vk::LButton);
      u.advance(80);
      u.desk().userButtonUp(vk::LButton);
      u.advance(80);
    }
    EXPECT_EQ(u.p().MarkPointerX, at.x);
    EXPECT_EQ(u.p().MarkPointerY, at.y);
    EXPECT_EQ(u.pointer(), at);  // remembering does not move the pointer
    const double column = 15 * (at.x - 4) - u.w().Left;
    EXPECT_EQ(u.w().Shape2.Left, column);
    EXPECT_EQ(u.w().Shape3.Left, column);
    EXPECT_EQ(u.p().MarkInsertX, column);
    EXPECT_TRUE(u.w().Line4.Visible);
    EXPECT_EQ(u.w().Line4.X1, column);
    // The second press and the second release both see the double click.
    const std::string code = latin ? "5000" : "6000";
    EXPECT_EQ(u.w().List1.Items, std::vector<std::string>(2, code));
    EXPECT_EQ(u.w().List2.Items, std::vector<std::string>(2, "0"));
    u.advance(1000);
    EXPECT_FALSE(u.w().Line4.Visible);  // the guide line for a second; the marks stay
    EXPECT_EQ(u.w().Shape2.Left, column);
    EXPECT_EQ(u.p().LatinLayout, latin);
  }
}

TEST(ClickDetection, ADoubleClickIsRefusedWhileBusy) {
  Clicks u;
  const float markX = u.p().MarkPointerX;
  u.moveTo({600, 400});
  u.advance(60);
  u.p().BusyFlag = 1;
  for (int i = 0; i < 2; ++i) {
    u.desk().userButtonDown(vk::LButton);
    u.advance(80);
    u.desk().userButtonUp(vk::LButton);
    u.advance(80);
  }
  EXPECT_EQ(u.p().MarkPointerX, markX);
  EXPECT_EQ(u.w().List1.ListCount(), 0);
  EXPECT_EQ(u.w().TextM2.Text(), "");
}

// The caret stands under the pointer's hot spot whenever the pointer rests on the page; a
// press there belongs to the symbol or the page under it.
TEST(PressedSymbol, APressOnTheCaretReachesWhatItCovers) {
  for (bool onSymbol : {true, false}) {
    SCOPED_TRACE(onSymbol ? "on a symbol" : "on the bare page");
    Ui u;
    const int n = u.text({500, 300});
    const PointPx at = onSymbol ? PointPx{512, 300} : PointPx{600, 400};
    u.moveTo(at);
    // Until the caret has come under the pointer and shows.
    auto caretHit = [&] {
      return u.w().hitTest((at.x - u.clientLeftPx()) * 15, (at.y - u.clientTopPx()) * 15) ==
             &u.w().Picture1;
    };
    for (int i = 0; i < 40 && !caretHit(); ++i) u.advance(50);
    ASSERT_TRUE(caretHit());
    u.p().PointerX = 0;
    u.desk().userButtonDown(vk::LButton);
    if (onSymbol) {
      EXPECT_EQ(u.p().PressedSymbolIndex, n);
      EXPECT_EQ(u.p().PressedSymbolHalf, 2);
    } else {
      EXPECT_EQ(u.p().PressedSymbolIndex, 0);
      EXPECT_EQ(u.p().PointerX, at.x);  // the page's press reads the pointer
      EXPECT_EQ(u.p().InsertX, u.p().surface.InsertXFor(at.x));
    }
    u.desk().userButtonUp(vk::LButton);
  }
}

TEST(PressedSymbol, TheHalfIsRecordedForAnyButtonAndClearedHalfASecondLater) {
  struct Case {
    bool text;  // a text symbol (Label3) rather than a picture (Image3)
    double widthTw, x;
    int button;
    int half;
  } cases[] = {
      {false, 300, 150, 1, 1},
      {false, 300, 151, 1, 2},
      {false, 300, 0, 2, 1},
      {false, 300, 299, 2, 2},
      {false, 225, 112.5, 1, 1},
      {true, 300, 150, 1, 1},
      {true, 300, 151, 1, 2},
      // A width of no whole number of twips is halved as it is, not cut to a whole number.
      {false, 20.6, 10.2, 1, 1},
      {true, 300.9, 150.3, 1, 1},
      {true, 300.9, 150.5, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.text ? "text " : "picture ") << c.x << " of " << c.widthTw
                                    << ", button " << c.button);
    Ui u;
    if (c.text) {
      u.w().Label3.Load(1).Width = c.widthTw;
      u.w().Label3.MouseDown(1, c.button, 0, c.x, 10);
    } else {
      u.w().Image3.Load(1).Width = c.widthTw;
      u.w().Image3.MouseDown(1, c.button, 0, c.x, 10);
    }
    EXPECT_EQ(u.p().PressedSymbolIndex, 1);
    EXPECT_EQ(u.p().PressedSymbolHalf, c.half);
    u.advance(499);
    EXPECT_EQ(u.p().PressedSymbolIndex, 1);
    u.advance(1);
    EXPECT_EQ(u.p().PressedSymbolIndex, 0);
    EXPECT_EQ(u.p().PressedSymbolHalf, 0);
    EXPECT_FALSE(u.w().Timer27.Enabled());
  }
}

}  // namespace
}  // namespace kel::test
