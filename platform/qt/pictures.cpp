#include "platform/qt/pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "platform/files.h"
#include "platform/gif.h"

namespace kel::qt {

QImage readPicture(const std::string& path) {
  const FileRead file = readRegularFile(path, kMaxPictureBytes);
  if (file.outcome != ReadOutcome::Read || !gifSize(file.content)) return {};
  QByteArray bytes =
      QByteArray::fromRawData(file.content.data(), static_cast<qsizetype>(file.content.size()));
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  // The checks above are for GIF: no other decoder gets the bytes.
  QImageReader reader(&buffer, "gif");
  reader.setAutoDetectImageFormat(false);
  reader.setDecideFormatFromContent(false);
  return reader.read();
}

}  // namespace kel::qt
