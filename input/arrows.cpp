// The arrow keys: small moves of the insertion point, larger ones while a key is held.
#include <limits>
#include <string>

#include "app/program.h"

namespace kel {

namespace {

constexpr double kRestStep = 2.5;
constexpr double kHeldStep = 10;
// Hold-watch ticks (50 ms each) after which the step grows.
constexpr int kTicksBeforeHeldStep = 6;

}  // namespace

void Input::za3740(int k) {
  MainWindow& w = p.Form1;
  w.Timer16.setEnabled(true);
  if (k < vk::Left || k > vk::Down) return;
  // While a limits dialog is open the arrows move the cursor in its boxes, not the
  // insertion point.
  if (p.evaluation.Form4Visible() || p.evaluation.Form5Visible()) return;
  StopIzpalnenie();
  p.surface.ReadInsertionPoint();
  switch (k) {
    case vk::Left:
      p.PointerX -= p.ArrowStep;
      break;
    case vk::Right:
      p.PointerX += p.ArrowStep;
      break;
    case vk::Up:
      p.PointerY -= p.ArrowStep;
      break;
    case vk::Down:
      p.PointerY += p.ArrowStep;
      break;
  }
  p.surface.KeepInsertionPointOnPage();
  p.surface.FollowInsertionPoint();
  // --- the key indicator, when shown: the arrow under the pointer ----------------------
  if (p.palette.indicator.Visible()) {
    p.Form3.Text1.setText(std::to_string(k));
    p.Form3.Text2.setText("0");
    p.palette.indicator.PlaceUnderPointer();
  }
  // --- end of the key indicator's block ------------------------------------------------
}

void Input::Timer16_Timer() {
  MainWindow& w = p.Form1;
  // Only whether a key is held now matters here. The thread state answers that without
  // taking the "pressed since the last query" mark that the keyboard poll relies on, so
  // a short tap right after a hold still reaches the poll.
  bool held = false;
  for (int k = vk::Left; k <= vk::Down; ++k)
    if (p.desktop.keyState(k) < 0) held = true;
  if (held) {
    if (p.ArrowHoldTicks < std::numeric_limits<int>::max()) p.ArrowHoldTicks += 1;
    p.ArrowStep = p.ArrowHoldTicks > kTicksBeforeHeldStep ? kHeldStep : kRestStep;
  } else {
    p.ArrowStep = kRestStep;
    p.ArrowHoldTicks = 0;
    w.Timer16.setEnabled(false);
  }
}

}  // namespace kel
