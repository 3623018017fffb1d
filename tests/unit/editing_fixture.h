// A started program with the project's pictures, and a user who types symbols onto the page,
// drags over them, plays keys through the key queue, holds the move buttons and uses the
// paste/cut pop-up with the mouse.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "pages/paste_cut_popup.h"
#include "selection_fixture.h"

namespace kel::test {

// The typed formula lies on the line at y = 300 px, from x = 400 px.
inline const PointPx kLine{400, 300};

struct Editing : Selecting {
  // Symbols placed one at a time, each with its own after-placement step (and undo
  // snapshot): text symbols of 24 points, "[name]" a picture.
  void typeEach(PointPx at, std::initializer_list<std::string> symbols) {
    p().PointerX = at.x;
    p().PointerY = at.y;
    for (const std::string& s : symbols) {
      if (s.size() > 2 && s.front() == '[' && s.back() == ']')
        p().surface.PlacePictureSymbol(s.substr(1, s.size() - 2));
      else
        p().surface.PlaceTextSymbol(s, 24, false);
      advance(30);
    }
  }
  // Keys played by the interpreter, as typed or sent by the on-screen keyboard.
  void play(std::initializer_list<const char*> codes) {
    for (const char* c : codes) p().input.AppendQueueItem(c, "0");
    advance(150);
  }

  Control& symbol(int i) {
    if (p().SymbolKind[static_cast<size_t>(i)] == "bukva") return w().Label3[i];
    return w().Image3[i];
  }
  // The screen point at a symbol's left edge on its middle line.
  PointPx leftOf(int i) {
    const Control& c = symbol(i);
    return {static_cast<int>(std::floor(c.Left / 15 + singleDiv15(w().Left) + 4)),
            static_cast<int>(
                std::floor(c.Top / 15 + singleDiv15(w().Top) + c.Height / 2 / 15 + 505.0 / 15))};
  }
  // A drag that takes symbols first to last (by index) of a line and nothing beside them.
  void select(int first, int last) {
    const PointPx a = leftOf(first);
    const int right = last < p().SymbolCount ? leftOf(last + 1).x + 10 : leftOf(last).x + 60;
    drag({a.x + 5, a.y - 40}, {right, a.y + 40});
    advance(400);  // past the evaluation of the reading, which brings the window to the front
  }
  struct Place {
    double left, top;
    bool operator==(const Place&) const = default;
  };
  Place placeOf(int i) { return {symbol(i).Left, symbol(i).Top}; }

  // The pointer pressed and let go with a button, the release check and the dispatcher
  // given time.
  void rightClick(PointPx at) {
    moveTo(at);
    advance(60);
    desk().userButtonDown(vk::RButton);
    advance(40);
    desk().userButtonUp(vk::RButton);
    advance(100);
  }
  // The left button held down on a control of the main window, and let go.
  void hold(Control& c) {
    moveTo(over(c));
    desk().userButtonDown(vk::LButton);
  }
  void letGo() { desk().userButtonUp(vk::LButton); }

  PasteCutPopup& popUp() { return p().Form7; }
  // A screen point over a control of the pop-up.
  PointPx overPopUp(const Control& c) {
    const PasteCutPopup& f = popUp();
    const double left = singleDiv15(f.Left) + kFrameLeftPx;
    const double top = (f.Top + kFrameTopTw) / kTwipsPerPixel;
    return {static_cast<int>(std::floor(left + (c.Left + c.Width / 2) / 15)),
            static_cast<int>(std::floor(top + (c.Top + c.Height / 2) / 15))};
  }
  // A click on a button of the pop-up; on its way the pointer crosses the bare window.
  void clickPopUp(const Control& c) {
    const PasteCutPopup& f = popUp();
    moveTo({static_cast<int>(singleDiv15(f.Left) + kFrameLeftPx + 5),
            static_cast<int>((f.Top + kFrameTopTw) / kTwipsPerPixel + 5)});
    moveTo(overPopUp(c));
    desk().userButtonDown(vk::LButton);
    desk().userButtonUp(vk::LButton);
  }
};

}  // namespace kel::test
