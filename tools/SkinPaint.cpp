// Drawing the skin pictures with QPainter: window body, decorations, keys and
// toggles. Everything is drawn antialiased on ARGB and flattened at the end, so
// the window edge needs no fringe of the transparent colour.
#include "tools/SkinPaint.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <algorithm>

namespace {

QColor Mix(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(a.redF() * (1 - t) + b.redF() * t, a.greenF() * (1 - t) + b.greenF() * t,
                          a.blueF() * (1 - t) + b.blueF() * t,
                          a.alphaF() * (1 - t) + b.alphaF() * t);
}

QColor Alpha(QColor c, int alpha) {
  c.setAlpha(alpha);
  return c;
}

TShape Inset(TShape s, qreal by) {
  s.Rect.adjust(by, by, -by, -by);
  s.Radius = std::max<qreal>(0, s.Radius - by);
  return s;
}

QPainterPath ShapePath(const TShape& s) {
  QPainterPath p;
  switch (s.Kind) {
    case TShapeKind::skRect:
      p.addRect(s.Rect);
      break;
    case TShapeKind::skRound:
      p.addRoundedRect(s.Rect, s.Radius, s.Radius);
      break;
    case TShapeKind::skEllipse:
      p.addEllipse(s.Rect);
      break;
  }
  return p;
}

QPainterPath WindowOutline(const TSkinDesc& d) {
  QPainterPath path;
  for (const TShape& s : d.Shapes) path = path.united(ShapePath(s));
  for (const TShape& s : d.Cuts) path = path.subtracted(ShapePath(s));
  return path.simplified();
}

QPainterPath Shrunk(const QPainterPath& path, qreal by) {
  QPainterPathStroker stroker;
  stroker.setWidth(2 * by);
  stroker.setJoinStyle(Qt::RoundJoin);
  return path.subtracted(stroker.createStroke(path)).simplified();
}

QBrush FillBrush(const TFill& f, const QRectF& r) {
  if (f.Top == f.Bottom) return QBrush(f.Top);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, f.Top);
  g.setColorAt(1, f.Bottom);
  return QBrush(g);
}

QFont PixelFont(const QString& family, qreal size, bool bold) {
  QFont f(family);
  f.setPixelSize(std::max(1, qRound(size)));
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}

void DrawPanel(QPainter& p, const TDecor& d) {
  const QPainterPath shape = ShapePath(d.Shape);
  const QPainterPath inner = ShapePath(Inset(d.Shape, 1));
  const QBrush fill = FillBrush(d.Fill, d.Shape.Rect);
  const QColor edge = d.Edge.isValid() ? d.Edge : Mix(d.Fill.Bottom, Qt::black, 0.4);
  if (d.Look == u"flat") {
    p.fillPath(shape, d.Edge.isValid() ? QBrush(edge) : fill);
    if (d.Edge.isValid()) p.fillPath(inner, fill);
  } else if (d.Look == u"sunken") {
    p.fillPath(shape.translated(0, 1), QColor(255, 255, 255, 120));  // lit lip below
    p.fillPath(shape, edge);
    p.fillPath(inner, fill);
    p.fillPath(inner.subtracted(inner.translated(0, 2)), QColor(0, 0, 0, 45));  // shade at the top
  } else if (d.Look == u"raised") {
    p.fillPath(shape.translated(0, 1.5), QColor(0, 0, 0, 70));
    p.fillPath(shape, edge);
    p.fillPath(inner, fill);
    p.fillPath(inner.subtracted(inner.translated(0, 1.2)), QColor(255, 255, 255, 110));
  } else {  // glass: a plain panel with a soft sheen over its upper half
    p.fillPath(shape, edge);
    p.fillPath(inner, fill);
    QLinearGradient sheen(d.Shape.Rect.topLeft(),
                          QPointF(d.Shape.Rect.left(), d.Shape.Rect.center().y()));
    sheen.setColorAt(0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1, QColor(255, 255, 255, 8));
    QPainterPath top;
    top.addRect(
        QRectF(d.Shape.Rect.topLeft(), QSizeF(d.Shape.Rect.width(), d.Shape.Rect.height() / 2)));
    p.fillPath(inner.intersected(top), sheen);
  }
}

void DrawDecor(QPainter& p, const TSkinDesc& desc, const TDecor& d) {
  switch (d.Kind) {
    case TDecor::dkPanel:
      DrawPanel(p, d);
      break;
    case TDecor::dkText:
      p.setFont(PixelFont(d.Family.isEmpty() ? desc.Family : d.Family, d.Size, d.Bold));
      p.setPen(d.Fill.Top);
      p.drawText(d.Shape.Rect, static_cast<int>(d.Align), d.Text);
      break;
    case TDecor::dkLine:
      p.setPen(QPen(d.Edge, d.Width, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(d.Shape.Rect.topLeft(), d.Shape.Rect.bottomRight());
      break;
  }
}

// ARGB (premultiplied) to RGB32: pixels at least half covered keep their own
// colour, the others become the transparent colour, which no kept pixel may
// share or the outline would get holes.
QImage Flatten(const QImage& argb, const QColor& transparent) {
  const QImage src = argb.convertToFormat(QImage::Format_ARGB32);
  QImage out(src.size(), QImage::Format_RGB32);
  const QRgb key = transparent.rgb() & 0xFFFFFF;
  for (int y = 0; y < src.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < src.width(); ++x) {
      QRgb px = in[x] & 0xFFFFFF;
      if (qAlpha(in[x]) < 128)
        px = key;
      else if (px == key)
        px ^= 1;  // one step of blue away from the transparent colour
      line[x] = 0xFF000000u | px;
    }
  }
  return out;
}

const TStyle& StyleOf(const TSkinDesc& desc, const TKey& key) {
  static const TStyle fallback;
  const auto it = desc.Styles.constFind(key.Style);
  return it == desc.Styles.constEnd() ? fallback : *it;
}

void DrawKeyFace(QPainter& p, const TSkinDesc& desc, const TKey& key, const TStyle& st,
                 TKeyState state, QSizeF size) {
  const bool down = state == TKeyState::ksDown;
  QColor top = st.Face.Top, bottom = st.Face.Bottom;
  if (state == TKeyState::ksHover) {
    top = Mix(top, Qt::white, 0.28);
    bottom = Mix(bottom, Qt::white, 0.22);
  } else if (down) {
    top = Mix(top, Qt::black, 0.2);
    bottom = Mix(bottom, Qt::black, 0.12);
  }
  const QColor edge = st.Edge.isValid() ? st.Edge : Mix(st.Face.Bottom, Qt::black, 0.45);
  const QColor shadow = st.Shadow.isValid() ? st.Shadow : QColor(0, 0, 0, 80);
  const qreal r = st.Radius;
  QRectF body(0.5, 0.5, size.width() - 1, size.height() - 2);  // the bottom row is the shadow
  if (down)
    body.translate(0, 1);  // pressed into the shadow
  else {
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawRoundedRect(body.translated(0, 1), r, r);
  }
  p.setPen(QPen(edge, 1));
  p.setBrush(FillBrush({top, bottom}, body));
  p.drawRoundedRect(body, r, r);
  QPainterPath in;
  in.addRoundedRect(body.adjusted(1, 1, -1, -1), std::max<qreal>(0, r - 1),
                    std::max<qreal>(0, r - 1));
  p.fillPath(
      in.subtracted(in.translated(0, down ? 2 : 1.2)),
      down ? QColor(0, 0, 0, 55) : QColor(255, 255, 255, state == TKeyState::ksHover ? 170 : 120));
  const QColor ring = st.Hover.isValid() ? st.Hover : desc.Accent;
  if (state == TKeyState::ksHover && ring.isValid()) {
    p.setPen(QPen(Alpha(ring, 230), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(0.9, 0.9, -0.9, -0.9), std::max<qreal>(0, r - 1),
                      std::max<qreal>(0, r - 1));
  }
  p.setFont(PixelFont(st.Family.isEmpty() ? desc.Family : st.Family, st.FontSize, st.Bold));
  p.setPen(st.Text);
  p.drawText(down ? body.translated(1, 0) : body, Qt::AlignCenter, key.Caption);
}

void DrawToggle(QPainter& p, const TSkinDesc& desc, const TKey& key, const TStyle& st, bool on,
                QSizeF size) {
  const qreal w = size.width(), h = size.height();
  if (st.Face.IsValid()) {
    const QColor edge = st.Edge.isValid() ? st.Edge : Mix(st.Face.Bottom, Qt::black, 0.45);
    const QRectF body(0.5, 0.5, w - 1, h - 1);
    p.setPen(QPen(edge, 1));
    p.setBrush(FillBrush(st.Face, body));
    p.drawRoundedRect(body, st.Radius, st.Radius);
  }
  const QColor lit = st.Led.isValid() ? st.Led : QColor(255, 60, 40);
  const QColor dark = st.LedOff.isValid() ? st.LedOff : Mix(lit, Qt::black, 0.7);
  const qreal lw = std::min(w * 0.56, 24.0), lh = 4;
  const QRectF led((w - lw) / 2, 4, lw, lh);
  p.setPen(Qt::NoPen);
  if (on) {
    p.setBrush(Alpha(lit, 70));
    p.drawRoundedRect(led.adjusted(-2, -2, 2, 2), 3.5, 3.5);
    p.setBrush(lit);
    p.drawRoundedRect(led, 2, 2);
    p.setBrush(Alpha(Mix(lit, Qt::white, 0.7), 220));
    p.drawRoundedRect(QRectF(led.left() + 2, led.top() + 0.6, led.width() - 4, 1.3), 0.6, 0.6);
  } else {
    p.setBrush(Alpha(Qt::black, 60));
    p.drawRoundedRect(led.adjusted(-0.5, -0.5, 0.5, 0.5), 2.5, 2.5);
    p.setBrush(dark);
    p.drawRoundedRect(led, 2, 2);
  }
  p.setFont(PixelFont(st.Family.isEmpty() ? desc.Family : st.Family, st.FontSize, st.Bold));
  p.setPen(st.Text);
  p.drawText(QRectF(0, led.bottom() + 1, w, h - led.bottom() - 2), Qt::AlignCenter, key.Caption);
}

// The pixel size a widget font of `points` gets on a 96 dpi screen.
QFont WidgetFont(const QString& skinFont, const QString& fallback, bool bold) {
  const QString family = skinFont.section(u',', 0, 0).trimmed();
  const double points = skinFont.section(u',', 1, 1).trimmed().toDouble();
  QFont f(family.isEmpty() ? fallback : family);
  f.setPixelSize(qRound((points > 0 ? points : 9) * 96 / 72));
  f.setBold(bold);
  return f;
}

// The thumb sizes of the slide bar's 18 thumb styles, for the preview.
QSize ThumbSize(int style) {
  static const QSize sizes[] = {{5, 10},  {6, 12},  {10, 5},  {12, 6},  {8, 8},   {8, 8},
                                {8, 8},   {12, 12}, {9, 9},   {11, 11}, {13, 26}, {13, 26},
                                {13, 26}, {13, 26}, {26, 12}, {26, 12}, {26, 13}, {26, 12}};
  return style >= 0 && style <= 17 ? sizes[style] : sizes[2];
}

void PreviewSlide(QPainter& p, const TSkinDesc& desc, const TSlide& s) {
  p.fillRect(s.Rect, desc.Window);  // the bar fills its background with the window colour
  const bool horizontal = s.Rect.width() >= s.Rect.height();
  const int t = s.Thickness > 0 ? s.Thickness : 2;
  const QSize thumb = ThumbSize(s.Style);
  QRect track = horizontal
                    ? QRect(s.Rect.left() + thumb.width() / 2, s.Rect.center().y() - t / 2 - 1,
                            s.Rect.width() - thumb.width(), t + 2)
                    : QRect(s.Rect.center().x() - t / 2 - 1, s.Rect.top() + thumb.height() / 2,
                            t + 2, s.Rect.height() - thumb.height());
  p.fillRect(track, QColor(0x2C, 0x2C, 0x2C));
  p.fillRect(track.adjusted(1, 1, 0, 0), Qt::white);
  p.fillRect(track.adjusted(1, 1, -1, -1), s.Colour.isValid() ? s.Colour : QColor(0, 255, 248));
  const QPoint at =
      horizontal ? QPoint(s.Rect.left(), s.Rect.top() + (s.Rect.height() - thumb.height()) / 2)
                 : QPoint(s.Rect.left() + (s.Rect.width() - thumb.width()) / 2,
                          s.Rect.bottom() + 1 - thumb.height());
  p.fillRect(QRect(at, thumb), QColor(0xC0, 0xC0, 0xC0));
  p.setPen(Qt::white);
  p.drawLine(at, at + QPoint(thumb.width() - 1, 0));
  p.setPen(Qt::black);
  p.drawLine(at + QPoint(0, thumb.height() - 1),
             at + QPoint(thumb.width() - 1, thumb.height() - 1));
}

}  // namespace

namespace {

// The antialiased body at `scale`, on transparent pixels.
QImage PaintBackground(const TSkinDesc& desc, int scale) {
  QImage img(desc.Size * scale, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  p.scale(scale, scale);
  const QPainterPath outline = WindowOutline(desc);
  const QPainterPath inner = desc.Edge.isValid() ? Shrunk(outline, desc.EdgeWidth) : outline;
  const QRectF all(QPointF(0, 0), QSizeF(desc.Size));
  p.fillPath(outline, desc.Edge.isValid() ? QBrush(desc.Edge) : FillBrush(desc.Body, all));
  p.fillPath(inner, FillBrush(desc.Body, all));
  p.save();
  p.setClipPath(inner);
  for (const TDecor& d : desc.Decor) DrawDecor(p, desc, d);
  p.restore();
  if (desc.Bevel.isValid()) {
    p.fillPath(inner.subtracted(inner.translated(1.5, 1.5)), desc.Bevel);
    p.fillPath(inner.subtracted(inner.translated(-1.5, -1.5)), QColor(0, 0, 0, 50));
  }
  if (desc.Edge.isValid()) p.fillPath(outline.subtracted(inner), desc.Edge);
  p.end();
  return img;
}

}  // namespace

QImage RenderBackground(const TSkinDesc& desc) {
  return Flatten(PaintBackground(desc, 1), desc.Transparent);
}

QImage RenderBackground(const TSkinDesc& desc, int scale, const QRegion& outline) {
  if (scale == 1) return RenderBackground(desc);
  // Inside the outline the body lies over the window's edge colour, so the
  // finer edge of the larger picture never shows the transparent colour
  // where the window still is.
  const QColor under = desc.Edge.isValid() ? desc.Edge : desc.Body.Bottom;
  QImage img(desc.Size * scale, QImage::Format_RGB32);
  img.fill(desc.Transparent);
  QPainter p(&img);
  for (const QRect& r : outline)
    p.fillRect(QRect(r.topLeft() * scale, r.size() * scale), under);
  QRegion inside;
  for (const QRect& r : outline) inside += QRect(r.topLeft() * scale, r.size() * scale);
  p.setClipRegion(inside);
  p.drawImage(0, 0, PaintBackground(desc, scale));
  p.end();
  // No kept pixel may share the transparent colour.
  const QRgb key = desc.Transparent.rgb() & 0xFFFFFF;
  for (const QRect& r : inside) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      for (int x = r.left(); x <= r.right(); ++x)
        if ((line[x] & 0xFFFFFF) == key) line[x] ^= 1;
    }
  }
  return img;
}

QImage RenderKey(const TSkinDesc& desc, const QImage& background, const TKey& key,
                 TKeyState state, int scale) {
  QImage img = background.copy(QRect(key.Rect.topLeft() * scale, key.Rect.size() * scale));
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  p.scale(scale, scale);
  const TStyle& st = StyleOf(desc, key);
  if (key.Check)
    DrawToggle(p, desc, key, st, state == TKeyState::ksChecked, key.Rect.size());
  else
    DrawKeyFace(p, desc, key, st, state, key.Rect.size());
  return img;
}

QImage ComposeWindow(const TSkinDesc& desc, const QImage& background, int scale) {
  QImage img = background.copy();
  QPainter p(&img);
  for (const TKey& k : desc.Keys)
    p.drawImage(k.Rect.topLeft() * scale,
                RenderKey(desc, background, k,
                          k.Check ? TKeyState::ksUnchecked : TKeyState::ksNormal, scale));
  return img;
}

QImage RenderPreview(const TSkinDesc& desc, const QImage& window) {
  const int margin = 24;
  QImage shown = window.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = desc.Transparent.rgb() & 0xFFFFFF;
  for (int y = 0; y < shown.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x)
      if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
  }
  QImage img(desc.Size + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
  img.fill(QColor(0x4A, 0x5A, 0x6A));
  QPainter p(&img);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  p.drawImage(margin, margin, shown);
  p.translate(margin, margin);
  for (const TField& e : desc.Edits) {
    if (e.Rect.width() == 0 || e.Rect.height() == 0) continue;  // hidden by the calculator
    p.fillRect(e.Rect, e.Background.isValid() ? e.Background : QColor(Qt::white));
    if (e.Border.isEmpty() || e.Border == u"1") {
      p.setPen(QColor(0x7A, 0x7A, 0x7A));
      p.drawRect(QRectF(e.Rect).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.setFont(WidgetFont(e.Font, desc.Family, e.Bold));
    p.setPen(e.Colour);
    p.drawText(e.Rect.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, e.Text);
  }
  for (const TField& l : desc.Labels) {
    if (l.Background.isValid()) p.fillRect(l.Rect, l.Background);
    p.setFont(WidgetFont(l.Font, desc.Family, l.Bold));
    p.setPen(l.Colour);
    const Qt::Alignment h = l.Align == u"R"   ? Qt::AlignRight
                            : l.Align == u"C" ? Qt::AlignHCenter
                                              : Qt::AlignLeft;
    p.drawText(l.Rect, static_cast<int>(h | Qt::AlignVCenter), l.Text);
  }
  for (const TSlide& s : desc.Slides) PreviewSlide(p, desc, s);
  return img;
}

QImage RenderStateSheet(const TSkinDesc& desc, const QImage& background) {
  // Flow layout at twice the size, so single pixels can be judged.
  const int scale = 2, pad = 10, maxWidth = 1400;
  QList<QRect> places;
  int x = pad, y = pad, rowHeight = 0;
  for (const TKey& k : desc.Keys) {
    const int states = k.Check ? 2 : 3;
    const QSize size(states * (k.Rect.width() * scale + 4) + pad, k.Rect.height() * scale + 18);
    if (x + size.width() > maxWidth && x > pad) {
      x = pad;
      y += rowHeight;
      rowHeight = 0;
    }
    places.append(QRect(QPoint(x, y), size));
    x += size.width();
    rowHeight = std::max(rowHeight, size.height());
  }
  QImage img(QSize(maxWidth, y + rowHeight + pad), QImage::Format_RGB32);
  img.fill(QColor(0x80, 0x80, 0x80));
  QPainter p(&img);
  p.setFont(PixelFont(desc.Family, 11, false));
  for (int i = 0; i < desc.Keys.size(); ++i) {
    const TKey& k = desc.Keys[i];
    const QList<TKeyState> states =
        k.Check ? QList<TKeyState>{TKeyState::ksUnchecked, TKeyState::ksChecked}
                : QList<TKeyState>{TKeyState::ksNormal, TKeyState::ksHover, TKeyState::ksDown};
    for (int s = 0; s < states.size(); ++s) {
      const QImage pic = RenderKey(desc, background, k, states[s]);
      p.drawImage(places[i].topLeft() + QPoint(s * (k.Rect.width() * scale + 4), 0),
                  pic.scaled(pic.size() * scale));
    }
    p.setPen(Qt::white);
    p.drawText(places[i].topLeft() + QPoint(0, k.Rect.height() * scale + 13), k.Name);
  }
  return img;
}
