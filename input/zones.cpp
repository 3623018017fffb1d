// The pointer zone watcher and the re-read of the pointer at left-button presses and
// releases.
#include "app/program.h"
#include "platform/units.h"

namespace kel {

namespace {

// Strictly inside a window's outer rectangle, in pixels.
bool strictlyInside(double x, double y, const FormRectTw& r) {
  return r.Left / 15 < x && x < (r.Left + r.Width) / 15 && r.Top / 15 < y &&
         y < (r.Top + r.Height) / 15;
}

}  // namespace

void Input::Timer8_Timer() {
  MainWindow& w = p.Form1;
  p.surface.ReadZonePoint();
  const double x = p.ZonePointX, y = p.ZonePointY;
  if (x > (w.Left + w.Frame5.Width) / 15) {
    p.RecordingBlocked = 1;
    return;
  }
  // The paste/cut pop-up lies over the page too: a press on its buttons held past this
  // watcher's tick would make the button-press re-read take their place as the insertion
  // point, and Paste would paste there.
  const bool overDialog =
      (p.evaluation.Form4Visible() && strictlyInside(x, y, p.evaluation.Form4Rect())) ||
      (p.evaluation.Form5Visible() && strictlyInside(x, y, p.evaluation.Form5Rect())) ||
      p.pages.PointerOverForm7();
  p.RecordingBlocked = overDialog ? 1 : 0;
}

void Input::Timer10_Timer() {
  MainWindow& w = p.Form1;
  if (p.RecordingBlocked == 1 || p.PointerOverPanel == 1) return;
  const int button = Gore(vk::LButton);
  const bool down = button == -127 || button == -128;
  const bool up = button == 0 || button == 1;
  const double latch = toNumber(w.Text5.Text()).value_or(0);
  // While a limits dialog's limits are placed, the point the click gives waits for them.
  const auto readPointer = [this] {
    if (!p.input.LimitsBeingPlaced()) {
      p.surface.ReadPointer();
      return;
    }
    const PointPx c = p.desktop.cursorPos();
    p.PointerPoint = {c.x, c.y};
    DeferClick(c, c);
  };
  if (p.BusyFlag == 0 && down && latch == 0) {
    readPointer();
    w.Text5.setText("1");
  } else if (up && latch == 1) {
    readPointer();
    w.Text5.setText("0");
  }
}

}  // namespace kel
