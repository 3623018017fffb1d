// Window services shared by the program's windows.
#include "app/program.h"
#include "platform/units.h"

namespace kel {

void App::MakeTopmost(Form& f) { p.desktop.makeTopmost(f); }

void App::MakeColorTransparent(Form& f, unsigned colour) { p.desktop.setColourKey(f, colour); }

void App::ReturnToMainWindow() {
  p.desktop.bringToFront(p.Form1);
  // Typing goes on at the insertion point wherever the pointer is: taken there, it would
  // leave the hotkey row under the hand of a user already on the way to the palette.
  p.surface.LeavePointerWithUser();
  p.PendingCode = 1000001;
  p.Form1.Timer6.setEnabled(true);
}

void App::BeginFormDrag(Form& obj, double x, double y) {
  p.FormDragActive = 1;
  p.FormDragX = x + obj.Left;
  p.FormDragY = y + obj.Top;
}

void App::ContinueFormDrag(Form& obj, double x, double y) {
  if (p.FormDragActive != 1) return;
  const double nx = x + obj.Left;
  const double ny = y + obj.Top;
  obj.Left = obj.Left + (nx - p.FormDragX);
  obj.Top = obj.Top + (ny - p.FormDragY);
  p.FormDragX = nx;
  p.FormDragY = ny;
}

}  // namespace kel
