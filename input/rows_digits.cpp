// Interpreter rows: the digit keys, the numeric keypad, the punctuation keys and Space.
#include "input/interpreter.h"

namespace kel {

// No row of this group acts yet: every item passes on to the next group.
bool playDigitRows(PlayedItem&) { return false; }

}  // namespace kel
