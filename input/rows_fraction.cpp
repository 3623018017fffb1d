// Interpreter rows: Esc and Shift+6, F12, Enter, Insert, Page Up, Page Down and Home.
#include "input/interpreter.h"

namespace kel {

// No row of this group acts yet: every item passes on to the next group.
bool playFractionRows(PlayedItem&) { return false; }

}  // namespace kel
