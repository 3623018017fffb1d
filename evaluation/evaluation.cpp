// Seams of formula reading and evaluation.
#include "evaluation/evaluation.h"

#include <algorithm>

#include "app/program.h"

namespace kel {

void Evaluation::Command74_Click() {
  Shape& f = p.Form1.frame9;
  f.Left = p.ExprRegionLeft;
  f.Top = p.ExprRegionTop;
  // A " = " at the very left of the page ends its region left of 400 twips; a shape
  // cannot be narrower than nothing.
  f.Width = std::max(0.0, p.ExprRegionRight - p.ExprRegionLeft);
  f.Height = std::max(0.0, p.ExprRegionBottom - p.ExprRegionTop);
}

void Evaluation::SelectRegionBeforeEquals() {}

void Evaluation::Command17_Click() { ++command17Runs; }

void Evaluation::Timer32_Timer() {
  p.Form1.Timer32.setEnabled(false);
  p.Form1.frame9.Visible = false;
}

}  // namespace kel
