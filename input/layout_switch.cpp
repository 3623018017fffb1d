#include "app/program.h"

namespace kel {

void Input::SwitchToUSKeyboard() { p.desktop.activateKeyboardLayout("00000409"); }

}  // namespace kel
