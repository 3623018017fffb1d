// The size of a GIF picture, read from its header (logical screen descriptor).
#pragma once

#include <optional>
#include <string_view>

#include "platform/desktop.h"

namespace kel {

struct PictureSize {
  int width = 0;
  int height = 0;
};

// Nothing unless the bytes start with a GIF87a/GIF89a signature and a non-empty size.
std::optional<PictureSize> gifSize(std::string_view bytes);

}  // namespace kel
