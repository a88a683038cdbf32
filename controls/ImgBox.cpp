// TImgCheckBox. The state changes before the ordinary events fire, so the
// calculator's mouse-up handlers read the new Checked. An unchecked box turns
// checked at the press; a checked one turns unchecked at the release, and only
// when the press did not just check it.
#include "controls/ImgBox.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>

namespace {

int DownCode(Qt::MouseButton b, bool dbl) {
  if (b == Qt::RightButton) return dbl ? mmRButtonDblClk : mmRButtonDown;
  if (b == Qt::MiddleButton) return dbl ? mmMButtonDblClk : mmMButtonDown;
  return dbl ? mmLButtonDblClk : mmLButtonDown;
}

int UpCode(Qt::MouseButton b) {
  if (b == Qt::RightButton) return mmRButtonUp;
  if (b == Qt::MiddleButton) return mmMButtonUp;
  return mmLButtonUp;
}

}  // namespace

TImgCheckBox::TImgCheckBox(QWidget* parent) : TPictureControl(parent) {}

void TImgCheckBox::SetCheckBoxName(const QString& value) {
  FCheckBoxName = value;
  setAccessibleName(value);
}

void TImgCheckBox::SetChecked(bool value) {
  FChecked = value;
  ShowCurrent();
}

void TImgCheckBox::ShowCurrent() {
  ShowPicture(FChecked ? FPicChecked : FPicUnchecked);
}

void TImgCheckBox::SetPicChecked(const QPixmap& value) {
  FPicChecked = value;
  if (FChecked) ShowCurrent();
}

void TImgCheckBox::SetPicUnchecked(const QPixmap& value) {
  FPicUnchecked = value;
  if (!FChecked) ShowCurrent();
}

void TImgCheckBox::TrackHover(const QMouseEvent* event) {
  FHover = IsInside(event->position().toPoint());
}

void TImgCheckBox::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (FSupported) FHover = true;
}

void TImgCheckBox::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (FSupported) FHover = false;
}

void TImgCheckBox::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (!FSupported) return;
  TrackHover(event);
  if (OnMouseMove) OnMouseMove(this, MessageFor(mmMouseMove, event));
}

void TImgCheckBox::mousePressEvent(QMouseEvent* event) {
  // Accepted even when unsupported: the box swallows the press rather than
  // letting the window start a drag under it.
  event->accept();
  if (!FSupported) return;
  TrackHover(event);
  if (event->button() == Qt::LeftButton) {
    FPressed = true;
    if (FHover && FMouseCheck && !FChecked) {
      SetChecked(true);
      FMayUncheck = false;
    } else {
      FMayUncheck = true;
    }
    FClicked = true;
  }
  if (OnMouseDown) OnMouseDown(this, MessageFor(DownCode(event->button(), false), event));
}

void TImgCheckBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is no press for the state: a double
  // click checks an unchecked box at its first press and unchecks it at its
  // second release.
  event->accept();
  if (!FSupported) return;
  TrackHover(event);
  QPointer<TImgCheckBox> self(this);
  if (event->button() == Qt::LeftButton) {
    FClicked = false;
    if (OnDblClick) OnDblClick(this);
    if (!self) return;
  }
  if (OnMouseDown) OnMouseDown(this, MessageFor(DownCode(event->button(), true), event));
}

void TImgCheckBox::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (!FSupported) return;
  TrackHover(event);
  QPointer<TImgCheckBox> self(this);
  if (event->button() == Qt::LeftButton) {
    FPressed = false;
    if (FHover && FMouseCheck && FChecked && FMayUncheck) SetChecked(false);
    FMayUncheck = true;
    const bool click = FClicked && IsInside(event->position().toPoint());
    FClicked = false;
    if (click && OnClick) {
      OnClick(this);
      if (!self) return;
    }
  }
  if (OnMouseUp) OnMouseUp(this, MessageFor(UpCode(event->button()), event));
}
