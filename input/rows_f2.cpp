// Interpreter rows: F2, which appends an empty item.
#include "input/interpreter.h"

namespace kel {

// No row of this group acts yet: every item passes on to the next group.
bool playF2Row(PlayedItem&) { return false; }

}  // namespace kel
