// TCoolForm: frameless, outline-shaped, draggable window surface.
#include "controls/CoolForm.h"

#include <QBuffer>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QIODevice>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <new>

#include "platform/DragSnap.h"

namespace {

// Window-system coordinates stay well inside this; it keeps the region
// arithmetic (width = right - left) from overflowing on hostile data.
constexpr int32_t kCoordLimit = 1 << 24;

int32_t LimitCoord(int32_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

// Reads up to `count` bytes; fewer when the stream ends first.
std::vector<uint8_t> ReadUpTo(QIODevice& stream, uint32_t count) {
  std::vector<uint8_t> out;
  constexpr qint64 kChunk = 1 << 16;
  qint64 left = count;
  while (left > 0) {
    const qint64 want = std::min(left, kChunk);
    const std::size_t at = out.size();
    out.resize(at + std::size_t(want));
    const qint64 got = stream.read(reinterpret_cast<char*>(out.data() + at), want);
    if (got <= 0) {
      out.resize(at);
      break;
    }
    out.resize(at + std::size_t(got));
    left -= got;
  }
  return out;
}

// True when the rectangles already are a region's banded form: sorted by top
// then left, one height per band, bands apart, no touching neighbours in a band.
bool IsBanded(const QList<QRect>& rects) {
  for (qsizetype i = 1; i < rects.size(); ++i) {
    const QRect& a = rects[i - 1];
    const QRect& b = rects[i];
    if (b.top() == a.top()) {
      if (b.bottom() != a.bottom() || b.left() <= a.right() + 1) return false;
    } else if (b.top() <= a.bottom()) {
      return false;
    }
  }
  return true;
}

// Union of rects[from, to), halving so the work stays near n log n.
QRegion UniteRects(const QList<QRect>& rects, qsizetype from, qsizetype to) {
  if (to - from == 1) return QRegion(rects[from]);
  if (to <= from) return QRegion();
  const qsizetype mid = from + (to - from) / 2;
  return UniteRects(rects, from, mid).united(UniteRects(rects, mid, to));
}

}  // namespace

QRegion RegionFromRects(const std::vector<TRect>& rects) {
  // QRegion's union builds the same banded form the platform keeps; adding
  // rectangles that are already banded and sorted is cheap.
  QList<QRect> list;
  list.reserve(qsizetype(rects.size()));
  for (const TRect& r : rects) {
    const int32_t l = LimitCoord(r.Left), t = LimitCoord(r.Top);
    const int32_t rt = LimitCoord(r.Right), b = LimitCoord(r.Bottom);
    if (l >= rt || t >= b) continue;
    list.append(QRect(l, t, rt - l, b - t));
  }
  QRegion region;
  if (IsBanded(list))
    region.setRects(list.constData(), int(list.size()));
  else
    region = UniteRects(list, 0, list.size());
  return region;
}

std::vector<TRect> RectsFromRegion(const QRegion& region) {
  std::vector<TRect> rects;
  rects.reserve(std::size_t(region.rectCount()));
  for (const QRect& r : region)
    rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return rects;
}

TCoolForm::TCoolForm(QWidget* parent)
    : QWidget(parent), FMask(std::make_unique<TRegionType>(this)) {
  setContextMenuPolicy(Qt::PreventContextMenu);  // the right button is ours
  AttachToParent();
}

TCoolForm::~TCoolForm() {
  if (FWatchedParent) FWatchedParent->removeEventFilter(this);
}

void TCoolForm::AttachToParent() {
  if (FWatchedParent) FWatchedParent->removeEventFilter(this);
  FWatchedParent = parentWidget();
  if (!FWatchedParent) return;
  if (FWatchedParent->isWindow()) {
    const bool shown = FWatchedParent->isVisible();
    FWatchedParent->setWindowFlag(Qt::FramelessWindowHint, true);
    // Outside the outline the window is see-through wherever the window
    // system cannot cut its shape (a Wayland surface takes the outline for
    // its input only): nothing is painted there, painting being clipped to
    // the window's mask. Inside it this surface paints every pixel.
    FWatchedParent->setAttribute(Qt::WA_TranslucentBackground, true);
    if (shown) FWatchedParent->show();  // changing the flags hides a window
  } else {
    qWarning("Drop the CoolForm on a FORM!");
  }
  FWatchedParent->installEventFilter(this);
  setGeometry(FWatchedParent->rect());
  lower();  // the picture is the background of every other element
}

bool TCoolForm::event(QEvent* e) {
  if (e->type() == QEvent::ParentChange) AttachToParent();
  // On another screen the pictures may need another device pixel ratio.
  if (e->type() == QEvent::ScreenChangeInternal && OnScreenChanged) OnScreenChanged();
  return QWidget::event(e);
}

bool TCoolForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == FWatchedParent && e->type() == QEvent::Resize)
    setGeometry(FWatchedParent->rect());
  // An element made on the window is placed by the time it is polished.
  if (watched == FWatchedParent && e->type() == QEvent::ChildPolished) {
    if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child()))
      ClipToOutline(child);
  }
  return QWidget::eventFilter(watched, e);
}

void TCoolForm::ClipToOutline(QWidget* child) const {
  if (child == this || child->isWindow() || child->parentWidget() != window()) return;
  const QRegion outline = window()->mask();
  const QRect r = child->geometry();
  const QRegion inside = outline.intersected(r);
  if (outline.isEmpty() || inside == QRegion(r)) {
    if (!child->mask().isEmpty()) child->clearMask();
    return;
  }
  // An empty mask would mean no mask at all: an element wholly outside the
  // outline keeps one pixel that lies off itself.
  child->setMask(inside.isEmpty() ? QRegion(-1, -1, 1, 1) : inside.translated(-r.topLeft()));
}

void TCoolForm::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  // Nothing outside the outline: where the window system does not cut the
  // window to it, those pixels stay see-through.
  const QWidget* w = window();
  if (!w->mask().isEmpty()) p.setClipRegion(w->mask().translated(-mapTo(w, QPoint(0, 0))));
  // The window's colour lies under the picture, as under an opaque window:
  // a picture with transparent pixels shows it, not the desktop.
  if (w->testAttribute(Qt::WA_TranslucentBackground))
    p.fillRect(e->rect(), palette().color(QPalette::Window));
  if (!FPicture.isNull()) p.drawPixmap(0, 0, FPicture);
}

void TCoolForm::SetPicture(const QPixmap& picture, bool isBitmap) {
  FPicture = isBitmap ? picture : QPixmap();
  PictureChanged();
}

void TCoolForm::PictureChanged() {
  // A new picture makes the held region stale, but the window keeps its
  // outline until another one is applied.
  FMask->SetRegion(std::nullopt);
  update();
}

void TCoolForm::SetMask(const TRegionType* holder) {
  if (holder == nullptr || holder == FMask.get()) return;
  FMask->SetRegion(holder->Region());
}

std::optional<QRegion> TCoolForm::RegionFromMaskData() const {
  if (FMaskSize == 0 || FMaskData.size() != FMaskSize) return std::nullopt;
  const auto rects = ReadRegionData(FMaskData.data(), FMaskData.size());
  if (!rects) return std::nullopt;
  return RegionFromRects(*rects);
}

void TCoolForm::ApplyRegionToWindow(const std::optional<QRegion>& region) {
  QWidget* w = window();
  // An empty region would make the window vanish for good (no frame, no
  // pixel to click); it is treated like no region: a rectangular window.
  if (region && !region->isEmpty())
    w->setMask(*region);
  else
    w->clearMask();
  // Elements lying across the outline are cut to it like the picture.
  for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) ClipToOutline(child);
  w->update();
}

bool TCoolForm::LoadMask(const QString& path) {
  std::optional<TRegionBlock> block;
  try {
    block = ReadRegionBlockFile(QFile::encodeName(path).toStdString());
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!block) return false;
  FMaskSize = block->Size;
  FMaskData = std::move(block->Data);
  if (FMaskSize == 0) {
    FMask->SetRegion(std::nullopt);
    return true;
  }
  const std::optional<QRegion> region = RegionFromMaskData();
  FMask->SetRegion(region);
  if (region) ApplyRegionToWindow(region);
  return true;
}

void TCoolForm::ApplyMask() {
  const std::optional<QRegion> region = RegionFromMaskData();
  FMask->SetRegion(region);
  ApplyRegionToWindow(region);
}

void TCoolForm::ClearMask() {
  FMaskData.clear();
  FMaskSize = 0;
  ApplyMask();
}

void TCoolForm::ReadMask(QIODevice& stream) {
  uint8_t head[4] = {0, 0, 0, 0};
  const qint64 got = stream.read(reinterpret_cast<char*>(head), 4);
  FMaskSize = got == 4 ? uint32_t(head[0]) | uint32_t(head[1]) << 8 |
                             uint32_t(head[2]) << 16 | uint32_t(head[3]) << 24
                       : 0;
  FMaskData.clear();
  if (FMaskSize == 0) {
    FMask->SetRegion(std::nullopt);
    return;
  }
  try {
    FMaskData = ReadUpTo(stream, FMaskSize);
  } catch (const std::bad_alloc&) {
    FMaskData.clear();
  }
  const std::optional<QRegion> region = RegionFromMaskData();
  FMask->SetRegion(region);
  if (region) ApplyRegionToWindow(region);
}

void TCoolForm::ReadMask(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  ReadMask(buffer);
}

void TCoolForm::WriteMask(QIODevice& stream) const {
  // The data comes back from the platform region, in its banded form.
  std::optional<std::vector<TRect>> rects;
  if (FMask->Region()) rects = RectsFromRegion(*FMask->Region());
  const std::vector<uint8_t> bytes = WriteRegionBlock(rects);
  stream.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

QByteArray TCoolForm::WriteMask() const {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  WriteMask(buffer);
  return buffer.data();
}

void TCoolForm::SetDraggable(bool value) {
  FDraggable = value;
  if (!value) FDragging = false;
}

void TCoolForm::mousePressEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (FDraggable && e->button() == Qt::LeftButton) {
    FDragging = true;
    FSystemMoveAsked = false;
    FDragX = at.x();
    FDragY = at.y();
    return;
  }
  if (OnMouseDown) OnMouseDown(e->button(), e->modifiers(), at.x(), at.y());
  if (e->button() == Qt::RightButton && FPopupMenu) FPopupMenu->popup(e->globalPosition().toPoint());
}

void TCoolForm::mouseMoveEvent(QMouseEvent* e) {
  if (FDraggable && FDragging) {
    // The window system moves the window itself where it can (Wayland
    // ignores a client's own moves); asked at the first movement, so a plain
    // click stays a click. Where it refuses (X11 without a window manager),
    // the window moves itself and snaps to the screen's edges.
    if (!FSystemMoveAsked) {
      FSystemMoveAsked = true;
      QWindow* handle = window()->windowHandle();
      if (handle && handle->startSystemMove()) {
        FDragging = false;  // the release goes to the window system
        return;
      }
    }
    DragTo();
    return;
  }
  const QPoint at = e->position().toPoint();
  if (OnMouseMove) OnMouseMove(Qt::NoButton, e->modifiers(), at.x(), at.y());
}

void TCoolForm::mouseReleaseEvent(QMouseEvent* e) {
  if (FDraggable && e->button() == Qt::LeftButton) {
    FDragging = false;
    return;
  }
  const QPoint at = e->position().toPoint();
  if (OnMouseUp) OnMouseUp(e->button(), e->modifiers(), at.x(), at.y());
}

void TCoolForm::DragTo() {
  QWidget* w = window();
  const QPoint cursor = QCursor::pos();
  QScreen* screen = w->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect monitor = screen ? screen->geometry() : QRect();

  TDragInput in;
  in.Cursor = {cursor.x(), cursor.y()};
  in.Press = {FDragX, FDragY};
  in.MonitorCount = int(QGuiApplication::screens().size());
  in.Monitor = {monitor.x(), monitor.y(), monitor.width(), monitor.height()};
  in.WindowWidth = w->width();
  in.WindowHeight = w->height();
  in.SurfaceWidth = width();
  in.SurfaceHeight = height();
  in.KeepOnScreen = FKeepOnScreen;
  const TDragPoint to = DragPosition(in);
  w->move(to.X, to.Y);
}
