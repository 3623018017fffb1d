#include "platform/qt/fonts.h"

#include <QStringList>
#include <cmath>

namespace kel::qt {

void installFontSubstitutions() {
  // fontconfig aliases Arial already; Qt consults its own table first, so say it here too.
  QFont::insertSubstitutions(QStringLiteral("Arial"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
  // The classic dialog font is a narrow sans; Liberation Sans is closer to it than
  // fontconfig's default sans.
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

int pixelSizeFor(double points) {
  const double px = std::floor(points * 96.0 / 72.0 + 0.5);
  if (!(px >= 1)) return 1;
  if (px > 1000) return 1000;
  return static_cast<int>(px);
}

QFont qfontFor(const Font& f) {
  QFont q(QString::fromStdString(f.Name));
  q.setPixelSize(pixelSizeFor(f.Size));
  q.setBold(f.Bold);
  return q;
}

QColor qcolorFor(Colour c) {
  if (c & 0x80000000u) {
    switch (c & 0xFFu) {
      case 0x05:  // window background
        return QColor(255, 255, 255);
      case 0x08:  // window text
      case 0x12:  // button text
        return QColor(0, 0, 0);
      case 0x0F:  // button face
        return QColor(240, 240, 240);
      default:
        return QColor(0, 0, 0);
    }
  }
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace kel::qt
