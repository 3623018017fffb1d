#include "platform/gif.h"

namespace kel {

std::optional<PictureSize> gifSize(std::string_view b) {
  if (b.size() < 10) return std::nullopt;
  if (b.substr(0, 6) != "GIF87a" && b.substr(0, 6) != "GIF89a") return std::nullopt;
  auto u8 = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(b[i])); };
  PictureSize s;
  s.width = static_cast<int>(u8(6) | (u8(7) << 8));
  s.height = static_cast<int>(u8(8) | (u8(9) << 8));
  if (s.width == 0 || s.height == 0) return std::nullopt;
  return s;
}

}  // namespace kel
