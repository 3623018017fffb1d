// The background group: eleven timers switched off and on as a whole, paused while the
// pointer is away from the main window, stopped on the window's border frames.
#include "app/program.h"
#include "platform/units.h"

namespace kel {

void App::Spirane() {
  MainWindow& w = p.Form1;
  for (Timer* t : {&w.Timer00, &w.Timer0, &w.Timer1, &w.Timer10, &w.Timer13, &w.Timer14, &w.TimerM1,
                   &w.Timer8, &w.Timer22, &w.Timer23, &w.Timer15})
    t->setEnabled(false);
}

void App::Startirane() {
  MainWindow& w = p.Form1;
  // What was typed while the keyboard poll was off went to other windows, or nowhere.
  if (!w.Timer0.Enabled()) p.input.ForgetKeyPressesWhileOff();
  for (Timer* t : {&w.Timer00, &w.Timer0, &w.Timer10, &w.Timer13, &w.Timer14, &w.TimerM1, &w.Timer8,
                   &w.Timer22, &w.Timer23, &w.Timer15, &w.Timer1})
    t->setEnabled(true);
  p.BusyFlag = 0;
}

void App::Command2_Click() {
  p.UserStopped = 1;
  Spirane();
}

void App::Command3_Click() {
  p.UserStopped = 0;
  Startirane();
  if (p.Form8Suspended == 1) p.palette.ShowForm8();
}

void App::Timer23_Timer() {
  MainWindow& w = p.Form1;
  p.surface.ReadHoverPoint();
  const double x = p.HoverPointX;
  const double y = p.HoverPointY;
  if (w.State != WindowState::Minimized) {
    // The window's outer rectangle, less the title band: a pointer on an edge is inside.
    const double left = w.Left / kTwipsPerPixel;
    const double top = (w.Top + kFrameTopTw) / kTwipsPerPixel;
    const double right = (w.Left + w.Width) / kTwipsPerPixel;
    const double bottom = (w.Top + w.Height) / kTwipsPerPixel;
    const bool outside = x < left || x > right || y < top || y > bottom;
    if (outside && p.PointerOverForm8 == 0) {
      p.TimersPaused = 1;
      for (Timer* t : {&w.Timer00, &w.Timer0, &w.Timer1, &w.Timer10, &w.Timer13, &w.Timer14,
                       &w.Timer15, &w.TimerM1, &w.Timer8, &w.Timer22})
        t->setEnabled(false);
    } else if (p.TimersPaused == 1) {
      Startirane();
      p.TimersPaused = 0;
    }
  }
  if (p.Form8Shown == 1) {
    const FormRectTw k = p.palette.Form8Rect();
    const double left = k.Left / kTwipsPerPixel;
    const double top = k.Top / kTwipsPerPixel;
    const double right = (k.Left + k.Width) / kTwipsPerPixel;
    const double bottom = (k.Top + k.Height) / kTwipsPerPixel;
    if (x < left || x > right || y < top || y > bottom) p.PointerOverForm8 = 0;
  }
}

void App::Label17_MouseMove(int, int, double, double) { Command2_Click(); }

void App::Label18_MouseMove(int, int, double, double) { Command2_Click(); }

void App::Label19_MouseMove(int, int, double, double) { Command2_Click(); }

void App::label20_MouseMove(int, int, double, double) { Command2_Click(); }

void App::Text21_MouseMove(int, int, double, double) { Command2_Click(); }

void App::Frame5_MouseMove(int, int, double, double) {
  p.PointerOverForm8 = 0;
  if (p.UserStopped == 1) {
    Startirane();
    p.UserStopped = 0;
  }
  p.Form1.Picture1.Visible = true;
}

void App::Frame6_MouseMove(int, int, double, double) {
  if (p.UserStopped == 1) {
    Startirane();
    p.UserStopped = 0;
  }
}

void App::Frame5_MouseDown(int, int, double, double) {
  if (p.PointerOverForm8 == 1) return;
  // While a limits dialog's limits are placed, the point the click gives waits for them.
  if (p.input.LimitsBeingPlaced()) {
    const PointPx c = p.desktop.cursorPos();
    p.input.DeferClick(c, c);
    return;
  }
  p.surface.ReadPointerAndInsertPoint();
}

void App::Frame5_MouseUp(int, int, double, double) {
  if (p.Form8Suspended == 1 || p.Form8Shown == 1) p.palette.ShowForm8();
}

}  // namespace kel
