// Fonts and colours of the model as Qt draws them.
#pragma once

#include <QColor>
#include <QFont>

#include "platform/forms.h"

namespace kel::qt {

// The model's font names resolve to installed metric-compatible families: "Arial" to
// Liberation Sans, "MS Sans Serif" to a sans font. Call once after QApplication.
void installFontSubstitutions();

// Sizes are points at 96 dpi, set as pixels so the screen's DPI never changes a layout.
// The character set is not applied: the families cover Latin and Cyrillic alike.
QFont qfontFor(const Font& f);
int pixelSizeFor(double points);

// A 0x00BBGGRR colour; the classic system colours (0x800000nn) map to their usual
// values.
QColor qcolorFor(Colour c);

}  // namespace kel::qt
