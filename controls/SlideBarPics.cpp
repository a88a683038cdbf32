// The slide bar's thumb picture sets and the hand cursor, drawn once on first
// use instead of being shipped as files. Each thumb is a small shape with a
// 3D rim: white on the lit top and left, black on the shadow side with a grey
// line inside it, a silver face, all on black; its mask is black on the shape
// and white around it.
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "controls/SlideBar.h"

namespace slidebar {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kSilver = 0xFFC0C0C0;
constexpr QRgb kGrey = 0xFF808080;
constexpr QRgb kBlack = 0xFF000000;

using TShape = std::function<bool(int x, int y)>;

// A pointer whose tip is `d` pixels away from the pointed end: inside when the
// cross-axis coordinate lies within d + 1/2 of the middle, so the tip is one
// pixel wide on an odd side and two on an even one.
bool InTip(int d, int cross, int crossSize) {
  return std::abs(2 * cross + 1 - crossSize) <= 2 * d + 1;
}

TShape ShapeOf(int style, int w, int h) {
  switch (style) {
    case tsCircle1:
      return [w, h](int x, int y) {
        const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
        return dx * dx + dy * dy <= (w / 2.0) * (w / 2.0) + 0.5;
      };
    case tsDiamond1:
    case tsDiamond2:
    case tsDiamond3:
    case tsDiamond4:
      return [w, h](int x, int y) {
        return std::abs(x + 0.5 - w / 2.0) + std::abs(y + 0.5 - h / 2.0) <= w / 2.0;
      };
    case tsStdDown:
      return [w, h](int x, int y) { return InTip(h - 1 - y, x, w); };
    case tsStdUp:
      return [w](int x, int y) { return InTip(y, x, w); };
    case tsStdUpDown:
      return [w, h](int x, int y) { return InTip(y, x, w) && InTip(h - 1 - y, x, w); };
    case tsStdLeft:
      return [h](int x, int y) { return InTip(x, y, h); };
    case tsStdRight:
      return [w, h](int x, int y) { return InTip(w - 1 - x, y, h); };
    case tsStdLeftRight:
      return [w, h](int x, int y) { return InTip(x, y, h) && InTip(w - 1 - x, y, h); };
    default:  // the bars, the square and the plain pointer-less thumbs
      return [](int, int) { return true; };
  }
}

struct TThumbImages {
  QImage Picture;
  QImage Mask;
};

TThumbImages DrawThumbSet(int style) {
  const TThumbSize size = ThumbSize(style);
  const int w = size.W, h = size.H;
  const TShape inside0 = ShapeOf(style, w, h);
  auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && inside0(x, y); };
  TThumbImages out{QImage(w, h, QImage::Format_RGB32), QImage(w, h, QImage::Format_RGB32)};
  out.Picture.fill(kBlack);
  out.Mask.fill(kWhite);
  // Rim pixels touch the outside through a side. The outward direction, summed
  // over all eight neighbours, says whether the pixel faces the light (up and
  // left) or the shadow; a pixel facing up-right is shadow, down-left is lit.
  std::vector<int> shadow(static_cast<size_t>(w * h), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!inside(x, y)) continue;
      out.Mask.setPixel(x, y, kBlack);
      const bool rim =
          !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      if (!rim) {
        out.Picture.setPixel(x, y, kSilver);
        continue;
      }
      int nx = 0, ny = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if (!inside(x + dx, y + dy)) nx += dx, ny += dy;
      const int light = -nx - ny;
      const bool lit = light > 0 || (light == 0 && nx < 0);
      out.Picture.setPixel(x, y, lit ? kWhite : kBlack);
      if (!lit) shadow[static_cast<size_t>(y * w + x)] = 1;
    }
  }
  // A grey line just inside the black shadow rim deepens the shadow side.
  auto isShadow = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && shadow[static_cast<size_t>(y * w + x)];
  };
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (out.Picture.pixel(x, y) != kSilver) continue;
      if (isShadow(x + 1, y) || isShadow(x, y + 1) || isShadow(x + 1, y + 1))
        out.Picture.setPixel(x, y, kGrey);
    }
  }
  return out;
}

const std::array<TThumbImages, kThumbStyleCount>& ThumbSets() {
  static const std::array<TThumbImages, kThumbStyleCount> sets = [] {
    std::array<TThumbImages, kThumbStyleCount> all;
    for (int s = 0; s < kThumbStyleCount; ++s) all[static_cast<size_t>(s)] = DrawThumbSet(s);
    return all;
  }();
  return sets;
}

// A white hand with a black outline, index finger up; the hot spot is the
// fingertip.
QPixmap DrawHand() {
  QImage img(32, 32, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainterPath hand;
  hand.addRoundedRect(QRectF(6, 1, 4, 14), 2, 2);    // index finger
  hand.addRoundedRect(QRectF(9, 6, 4, 10), 2, 2);    // middle finger
  hand.addRoundedRect(QRectF(12, 7, 4, 9), 2, 2);    // ring finger
  hand.addRoundedRect(QRectF(15, 8, 4, 9), 2, 2);    // little finger
  hand.addRoundedRect(QRectF(6, 11, 13, 11), 3, 3);  // palm
  QPainterPath thumb;
  thumb.moveTo(7, 19);
  thumb.lineTo(2, 14);
  thumb.quadTo(1, 11.5, 3.5, 12);
  thumb.lineTo(7, 14);
  thumb.closeSubpath();
  hand = hand.united(thumb).simplified();
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPath(hand);
  // Short lines part the fingers.
  p.drawLine(QPointF(10, 7), QPointF(10, 12));
  p.drawLine(QPointF(13, 8), QPointF(13, 12));
  p.drawLine(QPointF(16, 9), QPointF(16, 12));
  p.end();
  return QPixmap::fromImage(img);
}

}  // namespace

const QImage& ThumbPicture(int style) {
  static const QImage none;
  if (style < 0 || style >= kThumbStyleCount) return none;
  return ThumbSets()[static_cast<size_t>(style)].Picture;
}

const QImage& ThumbMask(int style) {
  static const QImage none;
  if (style < 0 || style >= kThumbStyleCount) return none;
  return ThumbSets()[static_cast<size_t>(style)].Mask;
}

const QCursor& HandPointer() {
  // Made once and kept for the program's life: a cursor must not outlive the
  // application object in static destruction.
  static const QCursor* cursor = new QCursor(DrawHand(), 7, 1);
  return *cursor;
}

}  // namespace slidebar
