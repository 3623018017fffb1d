// Seams of formula reading and evaluation.
#include "evaluation/evaluation.h"

#include <algorithm>

#include "app/program.h"

namespace kel {

void Evaluation::UnloadLimitsDialogs() {}

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

void Evaluation::ShowLimitsDialog(int dialog) {
  if (dialog != 1 && dialog != 2) return;
  ++limitsDialogRequests_;
  // No dialog can be shown yet, so it closes at once, as if the user had closed it: its
  // unload step frees the queue and the capture again. Leaving them held would switch
  // key capture off for the rest of the run.
  p.PendingCode = 100000;
  p.Form1.Timer6.setEnabled(true);
  p.BusyFlag = 0;
  p.BoundsQueueState = 2;
  p.HotkeyAssignAction = dialog;
}

// The dialogs' limit lists come with the dialogs; until then there is nothing to hand over.
void Evaluation::Granici(int) { p.BoundsDialog = 0; }

}  // namespace kel
