// The selection rectangle: the drag watcher, the sizing timer and the selection window.
#include <cmath>
#include <cstdlib>

#include "app/program.h"
#include "pages/selection_window.h"
#include "platform/steps.h"
#include "platform/units.h"

namespace kel {

namespace {

constexpr int kDragPollMs = 50;
// How far (pixels, in x or in y) the pointer must move from the press before a drag
// begins: more than this.
constexpr int kDragThresholdPx = 10;
// The size the window takes when a drag begins, and its design size (twips).
constexpr double kDragStartSizeTw = 200;
constexpr double kDesignWidthTw = 4605;
constexpr double kDesignHeightTw = 3135;
// The window stands this much short of the pointer on the right (twips).
constexpr double kRightShortfallTw = 50;
// The outline lies this far inside each edge (twips).
constexpr double kOutlineInsetTw = 5;
// The outline's colour: the usual selection blue (RGB 0, 120, 215).
constexpr Colour kOutlineColour = 0xD77800;

}  // namespace

SelectionWindow::SelectionWindow() : Form("Form2") {
  Borderless = true;
  NeverActivates = true;
  PointerPassesThrough = true;
  Sizable = false;
  Shape1.Filled = false;
  Shape1.FillColor = kOutlineColour;
  resetToDesign();
  add(Shape1);
}

void SelectionWindow::resetToDesign() {
  Caption = "";
  BackColor = kRed;
  Left = 0;
  Top = 0;
  Width = kDesignWidthTw;
  Height = kDesignHeightTw;
  Shape1.Left = kOutlineInsetTw;
  Shape1.Top = kOutlineInsetTw;
  Shape1.Width = kDesignWidthTw - 2 * kOutlineInsetTw;
  Shape1.Height = kDesignHeightTw - 2 * kOutlineInsetTw;
  Shape1.Visible = true;
}

// --- the window -----------------------------------------------------------------------

SelectionWindow& Pages::LoadedForm2() {
  SelectionWindow& f = p.Form2;
  if (f.Loaded) return f;
  f.resetToDesign();
  f.Loaded = true;
  if (f.Load) f.Load();
  return f;
}

void Pages::Form2_Load() {
  SelectionWindow& f = p.Form2;
  skipOnFailure([&] { p.app.MakeTopmost(f); });
  skipOnFailure([&] { p.app.MakeColorTransparent(f, kRed); });
}

void Pages::Form2_Resize() {
  SelectionWindow& f = p.Form2;
  // A window narrower or lower than the two insets leaves the outline as it was.
  if (f.Width - 2 * kOutlineInsetTw >= 0) f.Shape1.Width = f.Width - 2 * kOutlineInsetTw;
  if (f.Height - 2 * kOutlineInsetTw >= 0) f.Shape1.Height = f.Height - 2 * kOutlineInsetTw;
  f.Shape1.Left = kOutlineInsetTw;
  f.Shape1.Top = kOutlineInsetTw;
}

void Pages::SetForm2Width(double width) {
  SelectionWindow& f = LoadedForm2();
  // A negative size cannot be applied: the window keeps the size it has.
  if (!(width >= 0) || width == f.Width) return;
  f.Width = width;
  Form2_Resize();
}

void Pages::SetForm2Height(double height) {
  SelectionWindow& f = LoadedForm2();
  if (!(height >= 0) || height == f.Height) return;
  f.Height = height;
  Form2_Resize();
}

void Pages::UnloadForm2() {
  SelectionWindow& f = p.Form2;
  if (!f.Loaded) return;
  p.desktop.unloadForm(f);
  f.Loaded = false;
  f.Visible = false;
}

// --- the drag watcher -----------------------------------------------------------------

void Pages::Timer22_Timer() {
  MainWindow& w = p.Form1;
  w.Timer22.setInterval(kDragPollMs);
  if (p.TimersPaused == 1) return;
  // A press since the last query counts as down, so a short drag is not missed.
  const bool down = p.desktop.asyncKeyState(vk::LButton) != 0;
  if (down && DragState == 0) {
    p.surface.ReadDragPoint();
    DragAnchorX = p.DragPointX;
    DragAnchorY = p.DragPointY;
    DragAnchorTwipsX = 15.0 * p.DragPointX;
    DragAnchorTwipsY = 15.0 * p.DragPointY;
    p.DragStartX = p.DragPointX;
    p.DragStartY = p.DragPointY;
    DragState = 1;
    return;
  }
  if (down) {
    p.surface.ReadDragPoint();
    const long dx = std::labs(static_cast<long>(p.DragPointX) - DragAnchorX);
    const long dy = std::labs(static_cast<long>(p.DragPointY) - DragAnchorY);
    if ((dx > kDragThresholdPx || dy > kDragThresholdPx) && DragState == 1 &&
        p.PointerOverPanel == 0) {
      DragState = 2;
      SetForm2Height(kDragStartSizeTw);
      SetForm2Width(kDragStartSizeTw);
      SelectionWindow& f = LoadedForm2();
      p.desktop.showForm(f);
      f.Left = static_cast<float>(DragAnchorTwipsX);
      f.Top = static_cast<float>(DragAnchorTwipsY);
      w.Timer18.setEnabled(true);
    }
    return;
  }
  if (DragState == 2) {
    w.Timer18.setEnabled(false);
    skipOnFailure([&] { p.evaluation.SelectDragRectangle(); });
    UnloadForm2();
  }
  DragState = 0;
}

void Pages::Timer18_Timer() {
  // The window keeps its top-left corner at the anchor and grows to the right and
  // downwards by the distance moved, whichever way the pointer went.
  skipOnFailure([&] { p.surface.ReadPointer(); });
  skipOnFailure(
      [&] { SetForm2Width(std::abs(15 * p.PointerX - DragAnchorTwipsX) - kRightShortfallTw); });
  skipOnFailure([&] { SetForm2Height(std::abs(15 * p.PointerY - DragAnchorTwipsY)); });
}

}  // namespace kel
