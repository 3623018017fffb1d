// The layout pass of the main window, on every resize event.
#include <exception>

#include "app/program.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

// A size that would come out negative cannot be applied; the step is skipped.
template <class Field>
void setSize(Field& field, double value) {
  if (value >= 0) field = value;
}

}  // namespace

void App::Form_Resize() {
  MainWindow& w = p.Form1;
  skipOnFailure([&] { w.Frame6.Left = w.Width - w.Frame6.Width; });
  skipOnFailure([&] { setSize(w.Frame5.Width, w.Width - w.Frame6.Width); });
  skipOnFailure([&] { setSize(w.Frame5.Height, w.Height - 500); });
  if (w.State == WindowState::Minimized) {
    skipOnFailure([&] { Spirane(); });
    skipOnFailure([&] { p.palette.indicator.Hide(); });  // the key indicator
    if (p.Form8Shown == 1) skipOnFailure([&] { p.palette.HideForm8(); });
    return;
  }
  skipOnFailure([&] {
    w.Shape2.Left = p.MarkInsertX;
    w.Shape3.Left = w.Shape2.Left;
  });
  double dx = 0;
  skipOnFailure([&] {
    const float markX = p.MarkInsertX / 15.0f + 4.0f + static_cast<float>(w.Left) / 15.0f;
    dx = static_cast<double>(p.MarkPointerX) - markX;
    p.MarkPointerX = markX;
  });
  // The pointer and the writing position follow the window's vertical move once, as
  // they follow its horizontal move.
  double dy = 0;
  skipOnFailure([&] {
    dy = (static_cast<double>(static_cast<float>(w.Top)) - p.LastWindowTop) / 15.0;
    p.MarkPointerY = static_cast<float>(p.MarkPointerY + dy);
  });
  skipOnFailure([&] {
    p.surface.SetPointer(pixelForPointer(p.PointerX - dx), pixelForPointer(p.PointerY + dy));
    p.PointerX -= dx;
    p.PointerY += dy;
  });
  skipOnFailure([&] {
    w.Picture1.Top = p.surface.InsertYFor(p.PointerY);
    w.Picture1.Left = p.surface.InsertXFor(p.PointerX) - 30;
  });
  p.LastWindowTop = static_cast<float>(w.Top);
  skipOnFailure([&] { p.surface.Liniata(); });
  skipOnFailure([&] { w.Frame8.Left = w.Frame6.Left; });
  skipOnFailure([&] {
    p.UserStopped = 0;
    Startirane();
  });
  skipOnFailure([&] {
    w.Label17.Left = 0;
    w.Label17.Top = 0;
    setSize(w.Label17.Width, w.Width);
    w.Label18.Left = 0;
    setSize(w.Label18.Width, w.Width);
    w.Label18.Top = w.Frame5.Height - w.Label18.Height - 10;
    w.Label19.Top = 0;
    w.Label19.Left = 0;
    setSize(w.Label19.Height, w.Frame5.Height);
    w.label20.Top = 0;
    w.label20.Left = w.Width - w.label20.Width - 70;
    setSize(w.label20.Height, w.Frame5.Height);
  });
  if (p.Form8Shown == 1) skipOnFailure([&] { p.palette.ShowForm8(); });
}

void App::Form_Move() {
  MainWindow& w = p.Form1;
  if (w.State == WindowState::Minimized) return;
  // The writing position, the insertion point and the points kept for the fraction, the
  // limits and the pointer return are places on the page (or the panel): they move with
  // the window, by the shift the layout pass would give them. The real pointer is left
  // where it is (the user may be holding it on the title bar); the next placement puts
  // it on the insertion point, if the user has not moved it meanwhile.
  const float markX = p.MarkInsertX / 15.0f + 4.0f + static_cast<float>(w.Left) / 15.0f;
  const double dx = static_cast<double>(markX) - static_cast<double>(p.MarkPointerX);
  const double dy = (static_cast<double>(static_cast<float>(w.Top)) - p.LastWindowTop) / 15.0;
  if (dx == 0 && dy == 0) return;
  p.MarkPointerX = markX;
  p.MarkPointerY = static_cast<float>(p.MarkPointerY + dy);
  p.LastWindowTop = static_cast<float>(w.Top);
  p.PointerX += dx;
  p.PointerY += dy;
  p.BarStartPointerX += dx;
  p.BarStartPointerY += dy;
  p.BarEndPointerX += dx;
  p.BarEndPointerY += dy;
  p.BoundsAnchorX += dx;
  p.BoundsAnchorY += dy;
  p.SavedPointerX = pixelForPointer(p.SavedPointerX + dx);
  p.SavedPointerY = pixelForPointer(p.SavedPointerY + dy);
  p.surface.ShiftHeldPointer(dx, dy);
}

}  // namespace kel
