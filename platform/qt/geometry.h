// Twips to screen pixels: where a form's client area and a control's rectangle lie.
#pragma once

#include <QRect>

#include "platform/forms.h"

namespace kel::qt {

// The client rectangle, in screen pixels, of a form's outer frame in twips.
QRect clientRectFor(double left, double top, double width, double height);
// Where a form's client area goes: by the frame rule, or the whole window when borderless.
QRect windowRectFor(const Form& f);
// Nearest pixel of a twips position.
int pixelOf(double twips);
// A control's rectangle in its container, in pixels (an empty one for a negative size).
QRect controlRect(double left, double top, double width, double height);

}  // namespace kel::qt
