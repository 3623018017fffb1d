// A started program with the project's pictures, and a user who types symbols onto the
// page and drags over them with the left button.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "pages/selection_window.h"
#include "ui_fixture.h"

namespace kel::test {

struct Selecting : Ui {
  Selecting() : Ui(true) {}

  // Places symbols one after the other from a screen point, as typing does: a caption in
  // brackets, "[plus]", is that picture, anything else a text symbol of 24 points.
  void type(PointPx at, std::initializer_list<std::string> symbols) {
    p().PointerX = at.x;
    p().PointerY = at.y;
    for (const std::string& s : symbols) {
      if (s.size() > 2 && s.front() == '[' && s.back() == ']')
        p().surface.PlacePictureSymbol(s.substr(1, s.size() - 2));
      else
        p().surface.PlaceTextSymbol(s, 24, false);
    }
    advance(30);
  }

  void press(PointPx at) {
    moveTo(at);
    advance(60);
    desk().userButtonDown(vk::LButton);
    advance(60);
  }
  // Moves with the button down and waits for the watcher and the sizing to see it.
  void dragTo(PointPx to) {
    moveTo(to);
    advance(120);
  }
  void release() {
    desk().userButtonUp(vk::LButton);
    advance(60);
  }
  void drag(PointPx from, PointPx to) {
    press(from);
    dragTo(to);
    release();
  }

  SelectionWindow& form2() { return p().Form2; }
  int dragState() { return p().pages.DragState; }
  std::vector<std::string> records() { return w().List3.Items; }
};

}  // namespace kel::test
