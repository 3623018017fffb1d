// Picture files as Qt draws them. Qt would decode whatever a file declares, a frame of
// 5000 x 5000 pixels from a few bytes included, and it opens FIFOs and devices like any
// file; so the bytes are read here (regular files only, without blocking, bounded) and
// the GIF's sizes and structure checked (platform/gif.h) before Qt sees them.
#pragma once

#include <QImage>
#include <string>

namespace kel::qt {

// The picture, decoded; a null image when the file is missing, not a regular file,
// too large, not a whole GIF or does not decode.
QImage readPicture(const std::string& path);

}  // namespace kel::qt
