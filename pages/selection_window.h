// The selection window "Form2": while the user drags over the page, a borderless,
// topmost window whose red background is cut out, so that only its outline shows. Its
// rectangle (screen twips) is what the reading copies to the clipboard.
#pragma once

#include "platform/forms.h"

namespace kel {

struct SelectionWindow : Form {
  SelectionWindow();

  // Back to the design state: the window keeps nothing from one drag to the next.
  void resetToDesign();

  Shape Shape1{"Shape1"};  // the outline, 5 twips inside each edge
};

}  // namespace kel
