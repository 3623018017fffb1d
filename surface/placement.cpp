// Placing text and picture symbols.
#include "app/program.h"

namespace kel {

void Surface::PlaceTextSymbol(const std::string&, double, bool) {}

void Surface::PlacePictureSymbol(const std::string&) {}

void Surface::Timer4_Timer() { p.Form1.Timer4.setEnabled(false); }

}  // namespace kel
