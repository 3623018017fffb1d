// The paste/cut pop-up "Form7": a small fixed window that a right click on the page opens
// near the pointer while a reading is shown, with a Cut and a Paste button. It closes after
// either button, and half a second after it stops being the active window. Its icon is also
// the page's mouse pointer, so it is loaded (hidden) as soon as the page takes that pointer.
#pragma once

#include "platform/forms.h"
#include "platform/timer.h"

namespace kel {

struct PasteCutPopup : Form {
  explicit PasteCutPopup(Scheduler& s);

  // Back to the design state: a pop-up loaded again shows both buttons.
  void resetToDesign();

  CommandButton Command2{"Command2"};  // "Cut   (Ctrl+X)"
  CommandButton Command1{"Command1"};  // "Paste (Ctrl+V,F4)"
  // Closes the pop-up 500 ms after it lost the focus; off at the start.
  Timer Timer2;
};

}  // namespace kel
