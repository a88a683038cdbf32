// TSlideBar. A paint draws only the part of the bar that is to be painted: the
// background in the parent's colour, the track, the ticks, and the thumb
// combined through its mask with the pixels under it (AND with the mask, OR
// with the picture) in a scratch image of the thumb's size. What a paint
// costs follows what shows, never the bar's own size.
#include "controls/SlideBar.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

#include "controls/SystemColors.h"
#include "engine/Errors.h"

namespace {

constexpr std::int32_t kSilver = 0xC0C0C0;
constexpr std::int32_t kCyan = 0xF8FF00;
constexpr QRgb kEdgeDark = 0xFF2C2C2C;
constexpr QRgb kEdgeLight = 0xFFFFFFFF;

// A colour of the bar; a system colour without a colour of its own gives the
// window's.
QColor BarColor(std::int32_t colour, const QWidget* widget) {
  return SkinColor(colour, widget->palette()).value_or(widget->palette().color(QPalette::Window));
}

// Axis-aligned lines that leave out their end point, as the track and tick
// outlines are measured.
void HLine(QPainter& p, int x1, int x2, int y, const QColor& c) {
  if (x1 == x2) return;
  const int from = x1 < x2 ? x1 : x2 + 1;
  const int to = x1 < x2 ? x2 - 1 : x1;
  p.fillRect(from, y, to - from + 1, 1, c);
}

void VLine(QPainter& p, int x, int y1, int y2, const QColor& c) {
  if (y1 == y2) return;
  const int from = y1 < y2 ? y1 : y2 + 1;
  const int to = y1 < y2 ? y2 - 1 : y1;
  p.fillRect(x, from, 1, to - from + 1, c);
}

}  // namespace

TSlideBar::TSlideBar(QWidget* parent) : THintedWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(15, 100);
  FThumbPicture = slidebar::ThumbPicture(FThumbStyle);
  FThumbMask = slidebar::ThumbMask(FThumbStyle);
  SyncOrientation();
}

void TSlideBar::SetSlideBarName(const QString& value) {
  FSlideBarName = value;
  setAccessibleName(value);
}

void TSlideBar::SyncOrientation() const {
  if (size() == FShapeSeen) return;
  FShapeSeen = size();
  FOrientation = slidebar::OrientationForSize(width(), height());
}

TOrientation TSlideBar::Orientation() const {
  SyncOrientation();
  return FOrientation;
}

void TSlideBar::SetOrientation(TOrientation value) {
  SyncOrientation();
  const bool against =
      (value == orHorizontal && height() > width()) || (value == orVertical && width() > height());
  if (against) {
    resize(height(), width());
    SetThumbStyle(slidebar::SwapThumbForOrientation(FThumbStyle, value));
  }
  FShapeSeen = size();
  FOrientation = value;
  update();
}

slidebar::TBarGeometry TSlideBar::Geometry() const {
  SyncOrientation();
  slidebar::TBarGeometry g;
  g.Orientation = FOrientation;
  g.W = width();
  g.H = height();
  g.ThumbW = FThumbPicture.width();
  g.ThumbH = FThumbPicture.height();
  g.Thickness = FThickness;
  g.Min = FMin;
  g.Max = FMax;
  return g;
}

QRect TSlideBar::ThumbRect() const {
  const slidebar::TPoint tl = slidebar::ThumbTopLeft(Geometry(), FPosition, FDragging, FDragPos);
  return QRect(tl.X, tl.Y, FThumbPicture.width(), FThumbPicture.height());
}

int TSlideBar::AxisCoord(const QPoint& p) const {
  return Orientation() == orVertical ? p.y() : p.x();
}

// ------------------------------------------------------------------ properties

void TSlideBar::SetMin(std::int32_t value) {
  FMin = value;
  SetStepPage(slidebar::PageStepForRange(FMin, FMax));
  update();
}

void TSlideBar::SetMax(std::int32_t value) {
  FMax = value;
  SetStepPage(slidebar::PageStepForRange(FMin, FMax));
  update();
}

void TSlideBar::SetPosition(std::int32_t value) {
  const std::int32_t p = value >= FMin && value <= FMax ? value : FPosition;
  if (FFlashColor) FFocusColor = slidebar::PositionColour(FMin, FMax, p);
  FPosition = p;
  update();
  if (OnChange) OnChange(this);
}

void TSlideBar::SetStyle(TBarStyle value) {
  FStyle = value;
  update();
}

void TSlideBar::SetThickness(int value) {
  if (value < 1 || value > 12) return;
  FThickness = value;
  update();
}

void TSlideBar::SetThumbStyle(int value) {
  if (value == FThumbStyle) return;
  if (value < 0 || value >= kThumbStyleCount)
    throw EZumbrelError("TSlideBar.SetThumbStyle: Bad value");
  FThumbStyle = value;
  FThumbPicture = slidebar::ThumbPicture(value);
  FThumbMask = slidebar::ThumbMask(value);
  update();
}

void TSlideBar::SetTicks(bool value) {
  if (value == FTicks) return;
  FTicks = value;
  update();
}

void TSlideBar::SetFrequency(std::int32_t value) {
  if (value == FFrequency) return;
  FFrequency = value;
  update();
}

void TSlideBar::SetTicksColor(std::int32_t value) {
  if (value == FTicksColor) return;
  FTicksColor = value;
  update();
}

void TSlideBar::SetFocusColor(std::int32_t value) {
  FFocusColor = value;
  update();
}

void TSlideBar::SetFlashColor(bool value) {
  if (value == FFlashColor) return;
  FFlashColor = value;
  FFocusColor = value ? kCyan : kSilver;
  update();
}

void TSlideBar::SetStepLine(std::int32_t value) {
  if (!slidebar::StepAccepted(value, FStepLine, FMin, FMax)) return;
  FStepLine = value;
  if (FStepPage < value) FStepPage = value;
}

void TSlideBar::SetStepPage(std::int32_t value) {
  if (!slidebar::StepAccepted(value, FStepPage, FMin, FMax)) return;
  FStepPage = value;
  if (FStepLine > value) FStepLine = value;
}

void TSlideBar::SetHandCursor(bool value) {
  FHandCursor = value;
  if (value)
    setCursor(slidebar::HandPointer());
  else
    unsetCursor();
}

void TSlideBar::SetTabStop(bool value) {
  FTabStop = value;
  // A click still focuses the bar when it is out of the tab order.
  setFocusPolicy(value ? Qt::StrongFocus : Qt::ClickFocus);
}

void TSlideBar::StepUp(std::int64_t n) {
  if (auto p = slidebar::StepUpTarget(FPosition, n, FMin, FMax)) SetPosition(*p);
}

void TSlideBar::StepDown(std::int64_t n) {
  if (auto p = slidebar::StepDownTarget(FPosition, n, FMin, FMax)) SetPosition(*p);
}

// ------------------------------------------------------------------ painting

void TSlideBar::DrawTrack(QPainter& p, const slidebar::TTrack& t) const {
  const QColor first(FStyle == bsRaised ? kEdgeLight : kEdgeDark);
  const QColor second(FStyle == bsRaised ? kEdgeDark : kEdgeLight);
  HLine(p, t.R, t.L, t.T, first);
  VLine(p, t.L, t.T, t.B, first);
  HLine(p, t.L, t.R, t.B, second);
  VLine(p, t.R, t.B, t.T - 1, second);
  if (t.R - t.L >= 2 && t.B - t.T >= 2)
    p.fillRect(QRect(QPoint(t.L + 1, t.T + 1), QPoint(t.R - 1, t.B - 1)),
               BarColor(FFocusColor, this));
}

void TSlideBar::DrawTicks(QPainter& p, const slidebar::TTrack& t) const {
  const QColor c = BarColor(FTicksColor, this);
  const slidebar::TBarGeometry g = Geometry();
  const int th = FThickness;
  for (const int v : slidebar::TickCoordinates(g, FFrequency)) {
    if (g.Orientation == orVertical) {
      HLine(p, t.L - 3, t.L - 7, v, c);
      HLine(p, t.L + th + 3, t.L + th + 7, v, c);
    } else {
      VLine(p, v, t.T - 3, t.T - 7, c);
      VLine(p, v, t.T + th + 3, t.T + th + 7, c);
    }
  }
}

void TSlideBar::DrawBar(QPainter& p, const QRect& area) const {
  p.fillRect(area, palette().color(QPalette::Window));
  const slidebar::TTrack t = slidebar::TrackEdges(Geometry());
  DrawTrack(p, t);
  if (FTicks) DrawTicks(p, t);
}

void TSlideBar::DrawThumb(QPainter& onto, const QRect& r) const {
  // What lies under the thumb, drawn again at the thumb's size.
  QImage scratch(r.size(), QImage::Format_RGB32);
  if (scratch.isNull()) return;
  QPainter p(&scratch);
  p.translate(-r.topLeft());
  DrawBar(p, r);
  p.resetTransform();
  p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
  p.drawImage(0, 0, FThumbMask);
  p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
  p.drawImage(0, 0, FThumbPicture);
  p.end();
  onto.drawImage(r.topLeft(), scratch);
}

void TSlideBar::paintEvent(QPaintEvent* event) {
  const QRect area = event->rect() & rect();
  if (area.isEmpty()) return;
  QPainter p(this);
  p.setClipRect(area);
  DrawBar(p, area);
  const QRect thumb = ThumbRect();
  if (!FThumbPicture.isNull() && thumb.intersects(area)) DrawThumb(p, thumb);
}

void TSlideBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncOrientation();
  update();
}

// ------------------------------------------------------------------ input

void TSlideBar::mousePressEvent(QMouseEvent* event) {
  event->accept();
  setFocus(Qt::MouseFocusReason);
  const QPoint pt = event->position().toPoint();
  FDragging = ThumbRect().contains(pt);
  FDragPos = AxisCoord(pt);
}

void TSlideBar::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
}

void TSlideBar::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!(event->buttons() & Qt::LeftButton) || !FDragging) return;
  const QPoint pt = event->position().toPoint();
  const int c = AxisCoord(pt);
  if (c == FDragPos) return;
  FDragPos = c;
  SetPosition(slidebar::PositionFromPoint(Geometry(), pt.x(), pt.y()));
}

void TSlideBar::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const QPoint pt = event->position().toPoint();
  const slidebar::TBarGeometry g = Geometry();
  std::int32_t p;
  if (FDragging) {
    p = slidebar::PositionFromPoint(g, pt.x(), pt.y());
  } else {
    const QRect r = ThumbRect();
    const int centre = g.Orientation == orVertical ? r.top() + HalfH() : r.left() + HalfW();
    p = slidebar::PositionFromClick(g, FPosition, AxisCoord(pt), centre);
  }
  FDragging = false;
  SetPosition(p);
}

void TSlideBar::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageUp:
      StepUp(FStepPage);
      break;
    case Qt::Key_PageDown:
      StepDown(FStepPage);
      break;
    case Qt::Key_End:
      SetPosition(FMax);
      break;
    case Qt::Key_Home:
      SetPosition(FMin);
      break;
    case Qt::Key_Up:
    case Qt::Key_Right:
      StepUp(FStepLine);
      break;
    case Qt::Key_Down:
    case Qt::Key_Left:
      StepDown(FStepLine);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TSlideBar::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
  if (OnEnter) OnEnter(this);
}

void TSlideBar::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
  if (OnExit) OnExit(this);
}
