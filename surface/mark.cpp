// The writing-position mark and its guide line.
#include "app/program.h"

namespace kel {

void Surface::ZapomniKordinati() {
  MainWindow& w = p.Form1;
  ReadPointer();
  p.MarkPointerX = static_cast<float>(p.PointerX);
  p.MarkPointerY = static_cast<float>(p.PointerY);
  w.Shape2.Left = 15 * (p.PointerX - 4) - w.Left;
  w.Shape3.Left = w.Shape2.Left;
  p.MarkInsertX = static_cast<float>(w.Shape2.Left);
  p.LastWindowTop = static_cast<float>(w.Top);
  Liniata();
}

void Surface::Liniata() {
  MainWindow& w = p.Form1;
  w.Line4.Visible = true;
  w.Line4.X1 = w.Shape2.Left;
  w.Line4.Y1 = w.Shape2.Top;
  w.Line4.X2 = w.Shape3.Left;
  w.Line4.Y2 = w.Frame5.Top + w.Frame5.Height;
  w.Timer25.setEnabled(true);
}

void Surface::Timer25_Timer() {
  p.Form1.Timer25.setEnabled(false);
  p.Form1.Line4.Visible = false;
}

namespace {

// 1 for a press in the left half of an element (its middle included), 2 for the right.
int pressedHalf(double x, double width) {
  return x <= static_cast<double>(static_cast<float>(width / 2)) ? 1 : 2;
}

}  // namespace

void Surface::Image3_MouseDown(int index, int, int, double x, double) {
  MainWindow& w = p.Form1;
  w.Timer27.setEnabled(true);
  p.PressedSymbolIndex = index;
  p.PressedSymbolHalf =
      pressedHalf(x, w.Image3.IsLoaded(index) ? w.Image3[index].Width.get() : 0.0);
}

void Surface::Label3_MouseDown(int index, int, int, double x, double) {
  MainWindow& w = p.Form1;
  w.Timer27.setEnabled(true);
  p.PressedSymbolIndex = index;
  p.PressedSymbolHalf =
      pressedHalf(x, w.Label3.IsLoaded(index) ? w.Label3[index].Width.get() : 0.0);
}

void Surface::Timer27_Timer() {
  p.Form1.Timer27.setEnabled(false);
  p.PressedSymbolIndex = 0;
  p.PressedSymbolHalf = 0;
}

}  // namespace kel
