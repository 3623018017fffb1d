// Twips to screen pixels: where a form's client area and a control's rectangle lie.
#include "platform/qt/geometry.h"

#include <algorithm>
#include <cmath>

#include "platform/units.h"

namespace kel::qt {

int pixelOf(double twips) {
  if (!std::isfinite(twips)) return 0;
  const double px = std::floor(twips / kTwipsPerPixel + 0.5);
  // Far outside any screen: parked symbols stay parked, and Qt's coordinates stay valid.
  return static_cast<int>(std::clamp(px, -1.0e7, 1.0e7));
}

QRect clientRectFor(double left, double top, double width, double height) {
  const double leftTw = kFrameLeftPx * kTwipsPerPixel;
  const int x = pixelOf(left + leftTw);
  const int y = pixelOf(top + kFrameTopTw);
  const int w = pixelOf(left + width - leftTw) - x;
  const int h = pixelOf(top + height - leftTw) - y;
  return QRect(x, y, std::clamp(w, 1, 16000), std::clamp(h, 1, 16000));
}

QRect windowRectFor(const Form& f) {
  if (!f.Borderless) return clientRectFor(f.Left, f.Top, f.Width, f.Height);
  const int x = pixelOf(f.Left);
  const int y = pixelOf(f.Top);
  const int w = pixelOf(f.Left + f.Width) - x;
  const int h = pixelOf(f.Top + f.Height) - y;
  return QRect(x, y, std::clamp(w, 1, 16000), std::clamp(h, 1, 16000));
}

QRect controlRect(double left, double top, double width, double height) {
  const int x = pixelOf(left);
  const int y = pixelOf(top);
  const int w = pixelOf(left + std::max(0.0, width)) - x;
  const int h = pixelOf(top + std::max(0.0, height)) - y;
  return QRect(x, y, std::clamp(w, 0, 16000), std::clamp(h, 0, 16000));
}

}  // namespace kel::qt
