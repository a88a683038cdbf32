// Outline rectangles from a picture, through the region codec.
#include "tools/Outline.h"

QRgb CornerColour(const QImage& picture) {
  return picture.isNull() ? 0 : picture.pixel(0, 0) & 0xFFFFFF;
}

std::vector<TRect> OutlineRects(const QImage& picture, QRgb transparent) {
  const QImage img = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb key = transparent & 0xFFFFFF;
  return RectsFromMask(img.width(), img.height(), [&](int32_t x, int32_t y) {
    return (reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] & 0xFFFFFF) != key;
  });
}

bool WriteOutlineFile(const QString& path, const std::vector<TRect>& rects) {
  return WriteRegionFile(path.toStdString(), rects);
}
