// Seams of the evaluator and the limits dialogs.
#include "evaluation/evaluation.h"

#include "app/program.h"

namespace kel {

void Evaluation::UnloadLimitsDialogs() {}

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
