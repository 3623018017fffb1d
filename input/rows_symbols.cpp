// Interpreter rows: the palette's symbol codes, the limit positions and the limits dialogs.
#include "input/interpreter.h"

namespace kel {

// No row of this group acts yet: every item passes on to the next group.
bool playSymbolRows(PlayedItem&) { return false; }

}  // namespace kel
