// The size of a GIF picture, from its header, with the checks that let a decoder near it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/desktop.h"

namespace kel {

// Symbol and key pictures are a few dozen pixels and well under a kilobyte; a picture
// far beyond these bounds is not one of them and is refused before anything decodes it.
inline constexpr int kMaxPicturePx = 1024;
inline constexpr std::uintmax_t kMaxPictureBytes = 1024 * 1024;

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The logical screen size of a whole GIF87a/GIF89a picture. Nothing when the size is
// empty, when the screen or a frame reaches past kMaxPicturePx either way, when there is
// no frame, or when the block structure ends before the trailer (a file cut short).
// Walks the blocks only: no pixel is decoded.
std::optional<PictureSize> gifSize(std::string_view bytes);

}  // namespace kel
