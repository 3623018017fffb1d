// The arrow keys: small moves of the insertion point.
#include "app/program.h"

namespace kel {

void Input::za3740(int) {}

}  // namespace kel
