// Interpreter rows: the letter keys A to Z, Latin and Bulgarian phonetic.
#include "input/interpreter.h"

namespace kel {

// No row of this group acts yet: every item passes on to the next group.
bool playLetterRows(PlayedItem&) { return false; }

}  // namespace kel
