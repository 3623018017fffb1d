// A started program with the project's pictures and its on-screen keyboard open, which a
// test uses with the mouse as a person does: the pointer onto a key, the button down and
// up, the clock on.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "palette_fixture.h"

namespace kel::test {

struct KeyboardUser : PaletteUser {
  // With the keyboard opened by its button, or not.
  explicit KeyboardUser(bool open = true) {
    if (open) openKeyboard();
  }

  KeyboardForm& k() { return p().Form8; }
  CommandButton& key(int index) { return k().Command3[index]; }
  CommandButton& pad(int index) { return k().Command1[index]; }

  // The "Virtual Keyboard" button clicked; the keyboard's first tick has run.
  void openKeyboard() {
    click(w().Command71);
    advance(60);
  }

  // A screen point over a control of the keyboard (a window without a frame), checked
  // against what the window has there.
  PointPx onKeyboard(const Control& c, double fx = 0.5, double fy = 0.5) {
    double l, t;
    absolutePosition(c, l, t);
    const double left = singleDiv15(k().Left), top = k().Top / kTwipsPerPixel;
    const PointPx pt{static_cast<int>(std::floor(left + (l + fx * c.Width) / 15)),
                     static_cast<int>(std::floor(top + (t + fy * c.Height) / 15))};
    EXPECT_EQ(k().hitTest((pt.x - left) * 15, (pt.y - top) * 15), &c)
        << c.Name << " is not under the test's point";
    return pt;
  }

  // A key clicked as a person clicks: onto it, a rest, the button held 80 ms (the button
  // sampler sees it down), released; the click's own steps run.
  void press(const Control& c) {
    moveTo(onKeyboard(c));
    advance(60);
    desk().userButtonDown(vk::LButton);
    advance(80);
    desk().userButtonUp(vk::LButton);
  }
  // A click and everything it starts: the item played, the pointer back on the key.
  void type(const Control& c) {
    press(c);
    advance(600);
  }

  std::vector<std::string> captions(int first, int last) {
    std::vector<std::string> out;
    for (int i = first; i <= last; ++i) out.push_back(key(i).Caption);
    return out;
  }
};

}  // namespace kel::test
