#include "platform/gif.h"

namespace kel {

std::optional<PictureSize> gifSize(std::string_view b) {
  if (b.size() < 13) return std::nullopt;
  if (b.substr(0, 6) != "GIF87a" && b.substr(0, 6) != "GIF89a") return std::nullopt;
  auto u8 = [&](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(b[i])); };
  auto u16 = [&](size_t i) { return u8(i) | (u8(i + 1) << 8); };
  constexpr unsigned kMax = kMaxPicturePx;
  PictureSize s;
  s.width = static_cast<int>(u16(6));
  s.height = static_cast<int>(u16(8));
  if (s.width == 0 || s.height == 0 || u16(6) > kMax || u16(8) > kMax) return std::nullopt;

  size_t pos = 13;
  auto skipColourTable = [&](unsigned flags) {
    if (flags & 0x80) pos += size_t{3} << ((flags & 7) + 1);
  };
  // Data sub-blocks: a length byte, that many bytes, up to an empty one.
  auto skipSubBlocks = [&] {
    for (;;) {
      if (pos >= b.size()) return false;
      const size_t len = u8(pos++);
      if (len == 0) return true;
      if (len > b.size() - pos) return false;
      pos += len;
    }
  };
  skipColourTable(u8(10));
  int frames = 0;
  for (;;) {
    if (pos >= b.size()) return std::nullopt;
    switch (u8(pos++)) {
      case 0x3B:  // trailer
        if (frames == 0) return std::nullopt;
        return s;
      case 0x21:  // extension: its label, then sub-blocks
        if (pos >= b.size()) return std::nullopt;
        ++pos;
        if (!skipSubBlocks()) return std::nullopt;
        break;
      case 0x2C: {  // image descriptor
        if (b.size() - pos < 9) return std::nullopt;
        const unsigned left = u16(pos), top = u16(pos + 2);
        const unsigned width = u16(pos + 4), height = u16(pos + 6);
        if (left + width > kMax || top + height > kMax) return std::nullopt;
        const unsigned flags = u8(pos + 8);
        pos += 9;
        skipColourTable(flags);
        // The LZW code size, then the compressed frame (up to 12-bit codes).
        if (pos >= b.size() || u8(pos) > 11) return std::nullopt;
        ++pos;
        if (!skipSubBlocks()) return std::nullopt;
        ++frames;
        break;
      }
      default:
        return std::nullopt;
    }
  }
}

}  // namespace kel
