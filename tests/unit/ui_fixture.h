// A started program on the headless desktop, past its start-up steps, with helpers that
// find screen points over controls and page points, and place symbols for a test.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/units.h"
#include "sim_program.h"

namespace kel::test {

struct Ui {
  // With the project's pictures in the program folder, or without any.
  explicit Ui(bool pictures = false) {
    if (pictures) s.folder.linkSimbol();
    s.p().start();
    // Past the start-up's one-shot steps (Start at 200 ms, the page pointer at 1 s).
    s.host.advance(1000);
  }
  Program& p() { return s.p(); }
  MainWindow& w() { return s.w(); }
  SimDesktop& desk() { return s.desk(); }
  SimHost& host() { return s.host; }
  void advance(Millis ms) { s.host.advance(ms); }

  double clientLeftPx() { return singleDiv15(w().Left) + kFrameLeftPx; }
  double clientTopPx() { return (w().Top + kFrameTopTw) / kTwipsPerPixel; }

  // A screen point over a control, at a fraction of its size, checked against what the
  // window has there.
  PointPx over(const Control& c, double fx = 0.5, double fy = 0.5) {
    double l, t;
    absolutePosition(c, l, t);
    const PointPx pt{static_cast<int>(std::floor(clientLeftPx() + (l + fx * c.Width) / 15)),
                     static_cast<int>(std::floor(clientTopPx() + (t + fy * c.Height) / 15))};
    EXPECT_EQ(w().hitTest((pt.x - clientLeftPx()) * 15, (pt.y - clientTopPx()) * 15), &c)
        << c.Name << " is not under the test's point";
    return pt;
  }
  // The screen point whose insertion point is the page point (x, y) in twips, as near as
  // whole pixels allow.
  PointPx screenOf(double xTw, double yTw) {
    return {static_cast<int>(std::lround(singleDiv15(w().Left) + 4 + xTw / 15)),
            static_cast<int>(std::lround(singleDiv15(w().Top) + (yTw + 505) / 15))};
  }
  PointPx pointer() { return desk().cursorPos(); }
  void moveTo(PointPx pt) { desk().userMovePointer(pt.x, pt.y); }

  // A text symbol of 24 pt (15 x 36 px on the headless desktop) placed with its insertion
  // point at a screen point; the after-placement step runs. Returns its index.
  int text(PointPx at, const std::string& caption = "a") {
    p().PointerX = at.x;
    p().PointerY = at.y;
    p().surface.PlaceTextSymbol(caption, 24, false);
    advance(30);
    return p().SymbolCount;
  }
  Label& label(int n) { return w().Label3[n]; }
  double middle(const Control& c) { return c.Top + c.Height / 2; }

  SimProgram s;
};

}  // namespace kel::test
