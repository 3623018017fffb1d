// Seams of formula reading and evaluation.
#include "evaluation/evaluation.h"

namespace kel {

void Evaluation::InitScriptEngine() {}

void Evaluation::UnloadLimitsDialogs() {}

}  // namespace kel
