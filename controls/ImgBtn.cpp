// TPictureControl and TImgBtn. Handlers may do anything, even destroy the
// control (a command that reloads the skin), so nothing touches the control
// after a handler returns unless a guard says it still exists.
#include "controls/ImgBtn.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

int KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  int keys = 0;
  if (buttons & Qt::LeftButton) keys |= mkLButton;
  if (buttons & Qt::RightButton) keys |= mkRButton;
  if (buttons & Qt::MiddleButton) keys |= mkMButton;
  if (mods & Qt::ShiftModifier) keys |= mkShift;
  if (mods & Qt::ControlModifier) keys |= mkControl;
  return keys;
}

}  // namespace

// ---------------------------------------------------------------- TPictureControl

TPictureControl::TPictureControl(QWidget* parent) : THintedWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  // Moves without a button held must arrive too: they decide Hover.
  setMouseTracking(true);
}

void TPictureControl::ShowPicture(const QPixmap& pic) {
  FPicture = pic;
  update();
}

TMouseMessage TPictureControl::MessageFor(int msg, const QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  return {msg, KeyFlags(event->buttons(), event->modifiers()), pos.x(), pos.y()};
}

TMouseMessage TPictureControl::MessageAtCursor(int msg) const {
  const QPoint pos = mapFromGlobal(QCursor::pos());
  return {msg, KeyFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
          pos.x(), pos.y()};
}

void TPictureControl::paintEvent(QPaintEvent*) {
  if (FPicture.isNull()) return;
  QPainter p(this);
  p.drawPixmap(0, 0, FPicture);
}

// ---------------------------------------------------------------- TImgBtn

TImgBtn::TImgBtn(QWidget* parent) : TPictureControl(parent) {}

void TImgBtn::SetButtonName(const QString& value) {
  FButtonName = value;
  setAccessibleName(value);
}

void TImgBtn::SetPic(const QPixmap& value) {
  FPic = value;
  ShowPicture(FPic);
}

void TImgBtn::ShowState(const QPixmap& pic) {
  ShowPicture(IsEmpty(pic) ? FPic : pic);
}

void TImgBtn::MouseEntered(const TMouseMessage& msg) {
  if (!FSupported || FHover) return;
  FHover = true;
  ShowState(FPressed ? PicDown() : PicUp());
  QPointer<TImgBtn> self(this);
  if (OnMouseEnter) OnMouseEnter(this, msg);
  if (self && OnButtonEnter) OnButtonEnter(this);
}

void TImgBtn::MouseLeft(const TMouseMessage& msg) {
  if (!FSupported || !FHover) return;
  FHover = false;
  ShowPicture(FPic);
  if (OnMouseLeave) OnMouseLeave(this, msg);
}

void TImgBtn::TrackHover(const QMouseEvent* event) {
  const bool inside = IsInside(event->position().toPoint());
  if (inside && !FHover)
    MouseEntered(MessageFor(mmMouseEnter, event));
  else if (!inside && FHover)
    MouseLeft(MessageFor(mmMouseLeave, event));
}

void TImgBtn::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  const QPoint pos = event->position().toPoint();
  MouseEntered({mmMouseEnter,
                KeyFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
                pos.x(), pos.y()});
}

void TImgBtn::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  MouseLeft(MessageAtCursor(mmMouseLeave));
}

void TImgBtn::mouseMoveEvent(QMouseEvent* event) {
  // The button has no move event of its own; the move only decides Hover.
  event->accept();
  TrackHover(event);
}

void TImgBtn::LeftDown(const QMouseEvent* event, int msg) {
  QPointer<TImgBtn> self(this);
  TrackHover(event);
  if (!self) return;
  // A double click's press is no click of its own; it reports OnDblClick.
  FClicked = msg == mmLButtonDown;
  if (msg == mmLButtonDblClk && OnDblClick) {
    OnDblClick(this);
    if (!self) return;
  }
  if (!FSupported) return;
  FPressed = true;
  if (!FHover) return;
  ShowState(PicDown());
  if (OnMouseDown) OnMouseDown(this, MessageFor(msg, event));
}

void TImgBtn::mousePressEvent(QMouseEvent* event) {
  // Other buttons go on to the window (its context menu).
  if (event->button() != Qt::LeftButton) return event->ignore();
  event->accept();
  LeftDown(event, mmLButtonDown);
}

void TImgBtn::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  event->accept();
  LeftDown(event, mmLButtonDblClk);
}

void TImgBtn::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return event->ignore();
  event->accept();
  QPointer<TImgBtn> self(this);
  TrackHover(event);
  if (!self) return;
  const bool click = FClicked && IsInside(event->position().toPoint());
  FClicked = false;
  if (click && OnClick) {
    OnClick(this);
    if (!self) return;
  }
  if (!FSupported) return;
  FPressed = false;
  if (!FHover) return;
  ShowState(PicUp());
  if (OnMouseUp) OnMouseUp(this, MessageFor(mmLButtonUp, event));
}
