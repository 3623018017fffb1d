#include "platform/desktop.h"

#include "platform/units.h"

namespace kel {

std::string shownCaption(const std::string& caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      shown += caption[i];
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  return shown;
}

void autoSize(Desktop& d, Label& l) {
  if (!l.AutoSize) return;
  SizeTw s = d.measureLabel(l.Font, l.Caption);
  l.Width = s.width;
  l.Height = s.height;
}

void showPicture(Image& img, const Picture& pic) {
  img.Picture = pic;
  if (!img.Stretch && !pic.empty()) {
    img.Width = pic.WidthPx * kTwipsPerPixel;
    img.Height = pic.HeightPx * kTwipsPerPixel;
  }
}

bool loadPictureInto(Desktop& d, Image& img, const std::string& path) {
  // A picture read from a file always has its path, so it is never "no picture".
  const std::optional<Picture> p = d.loadPicture(path);
  if (!p) return false;
  showPicture(img, *p);
  return true;
}

}  // namespace kel
