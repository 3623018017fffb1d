// Units and number conversions shared by the whole program.
//
// Positions of controls are twips (15 to the pixel), pointer positions screen pixels.
// The program's arithmetic deliberately mixes single and double precision in a few
// places, because the page coordinates it stores (and the page files built on them)
// depend on the exact rounding; the helpers below keep those rules in one place.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kel {

inline constexpr double kTwipsPerPixel = 15.0;

// Left border of every window, in pixels, and caption bar plus top border, in twips.
// Every form's client area stands at (Left/15 + 4 px, (Top + 505)/15 px) on screen.
inline constexpr double kFrameLeftPx = 4.0;
inline constexpr double kFrameTopTw = 505.0;
// Outer size = client size + these (4 px on each side; caption + top border + 4 px bottom).
inline constexpr double kFrameExtraWidthTw = 2 * kFrameLeftPx * kTwipsPerPixel;
inline constexpr double kFrameExtraHeightTw = kFrameTopTw + kFrameLeftPx * kTwipsPerPixel;

// A twips value divided by 15 in single precision, as the program's pixel formulas do.
inline double singleDiv15(double twips) {
  return static_cast<double>(static_cast<float>(twips) / 15.0f);
}

// The largest whole number not above x (BASIC's Int, not truncation).
inline double intFloor(double x) { return std::floor(x); }

// Nearest whole number, halves to the even neighbour (banker's rounding), as every
// move of the real pointer rounds. Independent of the floating-point environment.
inline long long roundHalfEven(double x) {
  if (!std::isfinite(x)) return 0;
  if (x > 9.0e18) return 9000000000000000000LL;
  if (x < -9.0e18) return -9000000000000000000LL;
  double f = std::floor(x);
  double diff = x - f;
  long long r = static_cast<long long>(f);
  if (diff > 0.5) return r + 1;
  if (diff < 0.5) return r;
  return (r % 2 == 0) ? r : r + 1;
}

// Screen pixels for a pointer move: rounded half-even and clamped to a 32-bit range.
inline int pixelForPointer(double x) {
  long long r = roundHalfEven(x);
  if (r > 2147483647LL) return 2147483647;
  if (r < -2147483647LL) return -2147483647;
  return static_cast<int>(r);
}

// Conversion of a text to a whole number the way the program's settings expect:
// blanks around it allowed, an optional sign, digits, an optional fraction rounded
// half-even. Anything else (empty text, letters, overflow) gives no value.
std::optional<long long> toWholeNumber(std::string_view text);

// Conversion of a text to a number for an equality test against a number
// (field == 1): the same grammar as toWholeNumber but the value kept exact.
std::optional<double> toNumber(std::string_view text);

}  // namespace kel
