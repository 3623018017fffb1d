// The pointer as insertion point: the readers and the page coordinates.
#include <algorithm>
#include <cmath>
#include <exception>

#include "app/program.h"
#include "platform/units.h"

namespace kel {

void Surface::ReadPointer() {
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  p.PointerX = p.PointerPoint.x;
  p.PointerY = p.PointerPoint.y;
  agreeOnPointer(c);
}

void Surface::agreeOnPointer(PointPx at) {
  programPointer_ = at;
  heldPointer_ = at;
  userHoldsPointer_ = false;
}

bool Surface::PointerLeftByUser() {
  return userHoldsPointer_ || (programPointer_ && p.desktop.cursorPos() != *programPointer_);
}

void Surface::LeavePointerWithUser() {
  userHoldsPointer_ = true;
  heldPointer_ = {pixelForPointer(p.PointerX), pixelForPointer(p.PointerY)};
}

void Surface::ReturnPointer(int x, int y) {
  if (userHoldsPointer_) return;
  if (!programPointer_) {
    SetPointer(x, y);
    return;
  }
  // Only from where the program put it: a pointer the user has taken on meanwhile stays.
  if (p.desktop.setCursorPosIfAt(*programPointer_, x, y)) agreeOnPointer(p.desktop.cursorPos());
}

void Surface::SetPointer(int x, int y) {
  p.desktop.setCursorPos(x, y);
  // As the desktop has it: it keeps the pointer on the screen.
  agreeOnPointer(p.desktop.cursorPos());
}

void Surface::KeepInsertionPointOnPage() {
  const MainWindow& w = p.Form1;
  const double clientLeft = singleDiv15(w.Left) + kFrameLeftPx;
  const double clientTop = (w.Top + kFrameTopTw) / kTwipsPerPixel;
  // A pixel clear of each frame; the right edge is where the panel begins.
  const double left = std::ceil(clientLeft + (w.Label19.Left + w.Label19.Width) / 15) + 1;
  const double top = std::ceil(clientTop + (w.Label17.Top + w.Label17.Height) / 15) + 1;
  const double right = std::floor(singleDiv15(w.Left) + w.Frame5.Width / 15) - 1;
  const double bottom = std::floor(clientTop + w.Label18.Top / 15) - 1;
  // A window too small to hold a page keeps the point as it is.
  if (left <= right) p.PointerX = std::clamp(p.PointerX, left, right);
  if (top <= bottom) p.PointerY = std::clamp(p.PointerY, top, bottom);
}

void Surface::ShiftHeldPointer(double dx, double dy) {
  heldPointer_.x = pixelForPointer(heldPointer_.x + dx);
  heldPointer_.y = pixelForPointer(heldPointer_.y + dy);
}

void Surface::FollowInsertionPoint() {
  const PointPx target{pixelForPointer(p.PointerX), pixelForPointer(p.PointerY)};
  if (userHoldsPointer_) {
    heldPointer_ = target;
    return;
  }
  if (!programPointer_) {
    SetPointer(target.x, target.y);
    return;
  }
  // The check and the move are one step: a mouse move that came between a check and a
  // move of its own would be undone, and the user's next click would land on the page.
  if (!p.desktop.setCursorPosIfAt(*programPointer_, target.x, target.y)) {
    heldPointer_ = target;
    return;
  }
  agreeOnPointer(p.desktop.cursorPos());
}

void Surface::ReadInsertionPoint() {
  if (!PointerLeftByUser()) {
    ReadPointer();
    return;
  }
  const PointPx c = p.desktop.cursorPos();
  p.PointerPoint = {c.x, c.y};
  p.PointerX = heldPointer_.x;
  p.PointerY = heldPointer_.y;
}

void Surface::TypingResumes() {
  if (!PointerLeftByUser() || p.PointerOverForm8 == 1) return;
  const MainWindow& w = p.Form1;
  const PointPx c = p.desktop.cursorPos();
  // The page's client rectangle on the screen, in pixels.
  const double left = w.Left / kTwipsPerPixel + kFrameLeftPx;
  const double top = (w.Top + kFrameTopTw) / kTwipsPerPixel;
  const bool onPage = c.x >= left && c.x < left + w.Frame5.Width / kTwipsPerPixel && c.y >= top &&
                      c.y < top + w.Frame5.Height / kTwipsPerPixel;
  if (onPage) agreeOnPointer(c);
}

double Surface::InsertXFor(double pointerX) const {
  return 15 * (pointerX - singleDiv15(p.Form1.Left) - 4);
}

double Surface::InsertYFor(double pointerY) const {
  return intFloor(15 * (pointerY - singleDiv15(p.Form1.Top)) - 505);
}

void Surface::LastSymbolAtPointer() {
  const double caretHalf = p.Form1.Picture1.Height / 2;
  p.LastSymbolTop = static_cast<float>(InsertYFor(p.PointerY) - caretHalf - 90);
  p.LastSymbolRight = static_cast<float>(InsertXFor(p.PointerX));
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
  // What the button has placed at the insertion point goes there without the pointer: it
  // stays on the button, where the user goes on clicking.
  LeavePointerWithUser();
  p.desktop.setFocus(p.Form1, p.Form1.Command63);
}

void Surface::MovePointerToInsertionPoint() {
  SetPointer(pixelForPointer(p.PointerX), pixelForPointer(p.PointerY));
}

}  // namespace kel
