// Keyboard capture: the poll, the release check and the queue cancel.
#include "app/program.h"

namespace kel {

void Input::StopIzpalnenie() {}

}  // namespace kel
