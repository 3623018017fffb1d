// The pointer as insertion point: the readers and the page coordinates.
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

void Surface::ReadPointer() {
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  p.PointerX = p.PointerPoint.x;
  p.PointerY = p.PointerPoint.y;
}

double Surface::InsertXFor(double pointerX) const {
  return 15 * (pointerX - singleDiv15(p.Form1.Left) - 4);
}

double Surface::InsertYFor(double pointerY) const {
  return intFloor(15 * (pointerY - singleDiv15(p.Form1.Top)) - 505);
}

void Surface::ComputeInsertPoint() {
  p.InsertY = InsertYFor(p.PointerY);
  p.InsertX = InsertXFor(p.PointerX);
}

void Surface::ReadPointerAndInsertPoint() {
  ReadPointer();
  ComputeInsertPoint();
}

// Every reader fills PointerPoint and copies it into its own pair at once, so the
// pollers never change PointerX/PointerY between two steps of an interpreter.
void Surface::readCursorInto(int& x, int& y) {
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  x = c.x;
  y = c.y;
}

void Surface::ReadDragPoint() { readCursorInto(p.DragPointX, p.DragPointY); }

void Surface::ReadHoverPoint() { readCursorInto(p.HoverPointX, p.HoverPointY); }

void Surface::ReadZonePoint() { readCursorInto(p.ZonePointX, p.ZonePointY); }

void Surface::ReadDispatchPoint() { readCursorInto(p.DispatchPointX, p.DispatchPointY); }

void Surface::ZapomniTuk2() {
  p.PointerRestoreOnly = 1;
  p.ReturnClickPending = 1;
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  p.SavedPointerX = c.x;
  p.SavedPointerY = c.y;
  p.desktop.setFocus(p.Form1, p.Form1.Command63);
}

void Surface::MovePointerToInsertionPoint() {
  p.desktop.setCursorPos(pixelForPointer(p.PointerX), pixelForPointer(p.PointerY));
}

}  // namespace kel
