// TSlideBar: the skins' focusable slider. A thin sunken or raised track with
// optional ticks and a small masked thumb picture; dragged, clicked beside the
// thumb or moved with the keys to choose an integer between Min and Max; the
// track's colour can follow the position. Also the thumb picture sets and the
// hand cursor (drawn once, on first use). Gui layer. Used by the skin loader.
#pragma once

#include <QCursor>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "controls/Hint.h"
#include "controls/ImgBtn.h"  // TNotifyEvent
#include "controls/SlideBarMath.h"

namespace slidebar {

// The picture and the mask of a thumb set (0..17), at the set's size. The
// mask is white where the background shows through and black where the thumb
// is opaque; the picture is black wherever the mask is white. Null images for
// other values.
const QImage& ThumbPicture(int style);
const QImage& ThumbMask(int style);

// The "HandPointer" cursor shown over a bar with HandCursor on.
const QCursor& HandPointer();

}  // namespace slidebar

class TSlideBar : public THintedWidget {
  Q_OBJECT

 public:
  explicit TSlideBar(QWidget* parent = nullptr);

  const QString& SlideBarName() const { return FSlideBarName; }
  void SetSlideBarName(const QString& value);

  // Min and Max reset StepPage to max(1, (Max - Min) div 10); Position is not
  // clamped to the new range.
  std::int32_t Min() const { return FMin; }
  void SetMin(std::int32_t value);
  std::int32_t Max() const { return FMax; }
  void SetMax(std::int32_t value);

  // An out-of-range value is ignored; OnChange fires either way.
  std::int32_t Position() const { return FPosition; }
  void SetPosition(std::int32_t value);

  // Follows the shape on every resize. Set against the shape, it swaps width
  // and height and exchanges the one-way thumb sets.
  TOrientation Orientation() const;
  void SetOrientation(TOrientation value);

  TBarStyle Style() const { return FStyle; }
  void SetStyle(TBarStyle value);

  // Inner width of the track; 1 to 12, other values are ignored.
  int Thickness() const { return FThickness; }
  void SetThickness(int value);

  // Thumb picture set 0..17; a larger value throws EZumbrelError.
  int ThumbStyle() const { return FThumbStyle; }
  void SetThumbStyle(int value);

  bool Ticks() const { return FTicks; }
  void SetTicks(bool value);
  std::int32_t Frequency() const { return FFrequency; }
  void SetFrequency(std::int32_t value);
  std::int32_t TicksColor() const { return FTicksColor; }
  void SetTicksColor(std::int32_t value);

  // Colours are 0x00BBGGRR; negative values are system colours.
  std::int32_t FocusColor() const { return FFocusColor; }
  void SetFocusColor(std::int32_t value);
  // Turning it on makes the track follow the position (cyan at first);
  // turning it off restores silver.
  bool FlashColor() const { return FFlashColor; }
  void SetFlashColor(bool value);

  std::int32_t StepLine() const { return FStepLine; }
  void SetStepLine(std::int32_t value);
  std::int32_t StepPage() const { return FStepPage; }
  void SetStepPage(std::int32_t value);

  bool HandCursor() const { return FHandCursor; }
  void SetHandCursor(bool value);

  // Kept for whoever assigned them; nothing displays them.
  const QStringList& Labels() const { return FLabels; }
  void SetLabels(const QStringList& value) { FLabels = value; }

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value);

  int Tag() const { return FTag; }
  void SetTag(int value) { FTag = value; }

  void StepUp(std::int64_t n);
  void StepDown(std::int64_t n);

  // State of the thumb, for drawing and for tests.
  const QImage& ThumbPictureImage() const { return FThumbPicture; }
  const QImage& ThumbMaskImage() const { return FThumbMask; }
  int HalfW() const { return FThumbPicture.width() / 2; }
  int HalfH() const { return FThumbPicture.height() / 2; }
  QRect ThumbRect() const;
  bool Dragging() const { return FDragging; }

  TNotifyEvent OnChange;  // after every position assignment
  TNotifyEvent OnEnter;   // the bar got the keyboard focus
  TNotifyEvent OnExit;    // the bar lost it

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  slidebar::TBarGeometry Geometry() const;
  // Orientation follows every size change, also those made while hidden.
  void SyncOrientation() const;
  void DrawTrack(QPainter& p, const slidebar::TTrack& t) const;
  void DrawTicks(QPainter& p, const slidebar::TTrack& t) const;
  // The background, the track and the ticks, clipped to `area`.
  void DrawBar(QPainter& p, const QRect& area) const;
  void DrawThumb(QPainter& onto, const QRect& r) const;
  int AxisCoord(const QPoint& p) const;

  QString FSlideBarName;
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  std::int32_t FPosition = 1;
  mutable TOrientation FOrientation = orVertical;
  mutable QSize FShapeSeen;
  TBarStyle FStyle = bsLowered;
  int FThickness = 2;
  int FThumbStyle = tsBar3;
  bool FTicks = true;
  std::int32_t FFrequency = 2;
  std::int32_t FTicksColor = 0x808080;
  std::int32_t FFocusColor = 0xC0C0C0;
  bool FFlashColor = false;
  std::int32_t FStepLine = 1;
  std::int32_t FStepPage = 10;
  bool FHandCursor = false;
  QStringList FLabels;
  bool FTabStop = true;
  int FTag = 0;

  QImage FThumbPicture;
  QImage FThumbMask;
  bool FDragging = false;
  int FDragPos = 0;
};
