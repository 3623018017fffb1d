// A started program with the project's pictures, whose window a test uses with the mouse:
// the palette's buttons, the key images, the hotkey row and the limits dialogs.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "palette/palette_buttons.h"
#include "platform/units.h"
#include "ui_fixture.h"

namespace kel::test {

struct PaletteUser : Ui {
  PaletteUser() : Ui(true) {}

  CommandButton& button(int code) {
    for (const PaletteCell& cell : kPaletteCells)
      if (cell.code == code) return w().*cell.button;
    for (const PaletteCell& cell : kLimitsCells)
      if (cell.code == code) return w().*cell.button;
    ADD_FAILURE() << "no button for " << code;
    return w().Command1;
  }

  // A screen point over a control of another window (a limits dialog).
  PointPx overIn(Form& f, const Control& c) {
    double l, t;
    absolutePosition(c, l, t);
    const double left = singleDiv15(f.Left) + kFrameLeftPx;
    const double top = (f.Top + kFrameTopTw) / kTwipsPerPixel;
    return {static_cast<int>(std::floor(left + (l + c.Width / 2) / 15)),
            static_cast<int>(std::floor(top + (t + c.Height / 2) / 15))};
  }

  // The left button pressed and released at a point, as a person clicks there.
  void clickAt(PointPx at) {
    moveTo(at);
    // A person's pointer rests on the button a moment before the press: the zone watcher
    // has seen it there (50 ms).
    advance(60);
    desk().userButtonDown(vk::LButton);
    desk().userButtonUp(vk::LButton);
  }
  void click(const Control& c) { clickAt(over(c)); }
  void clickIn(Form& f, const Control& c) { clickAt(overIn(f, c)); }

  // Keys typed as a person types them: each down and up, 40 ms apart.
  void typeKeys(const std::vector<int>& keys) {
    for (int vk : keys) {
      desk().userKeyDown(vk);
      advance(20);
      desk().userKeyUp(vk);
      advance(20);
    }
  }

  const std::vector<std::string>& queued() { return w().List1.Items; }
  const std::vector<std::string>& flags() { return w().List2.Items; }
  PointPx insertionPoint() {
    return {pixelForPointer(p().PointerX), pixelForPointer(p().PointerY)};
  }
  const std::string& lastKind() { return p().SymbolKind[static_cast<size_t>(p().SymbolCount)]; }
};

}  // namespace kel::test
