// Interpreter rows: F2, which appends an empty item.
#include "app/program.h"
#include "input/interpreter.h"

namespace kel {

namespace {

constexpr int kF2 = 113;
// The empty items F2 may append in one run (10 001: the count starts at 0).
constexpr int kMaxStepIndex = 10000;

}  // namespace

// Both layouts; no Ctrl gate, no shift or index-mode test. The empty item plays as nothing
// but becomes the item played last, as any played item does.
bool playF2Row(PlayedItem& item) {
  if (!item.codeIs(kF2)) return false;
  Program& p = item.p;
  if (p.StepIndex <= kMaxStepIndex) {
    p.input.AppendQueueItem("", "");
    p.StepIndex += 1;
  }
  return true;
}

}  // namespace kel
