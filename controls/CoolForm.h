// TCoolForm: the surface that turns a top-level window into a skin window. It
// removes the window's frame, fills the window, shows the skin's background
// picture unscaled at 0,0, cuts the window to an outline read from region data
// (the skin's mask file or the stored "Mask2" bytes; outside it the window is
// see-through), moves the window when its body is dragged (through the window
// system where it moves windows itself, else by itself, snapping to the screen
// edges) and opens the window's popup menu on a right click. GUI layer; used by the main window and the skin loader.
#pragma once

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Region.h"

class QIODevice;
class TCoolForm;

// The outline holder of a TCoolForm: the region made from the last region data,
// or none.
class TRegionType {
 public:
  explicit TRegionType(TCoolForm* control = nullptr) : FControl(control) {}

  const std::optional<QRegion>& Region() const { return FRegion; }
  void SetRegion(std::optional<QRegion> region) { FRegion = std::move(region); }
  TCoolForm* Control() const { return FControl; }
  void SetControl(TCoolForm* control) { FControl = control; }

 private:
  std::optional<QRegion> FRegion;
  TCoolForm* FControl = nullptr;
};

// The platform region for a list of rectangles. Empty and inverted rectangles
// are skipped and coordinates are limited to what the window system can hold.
QRegion RegionFromRects(const std::vector<TRect>& rects);
// The rectangles of a platform region, in its banded order.
std::vector<TRect> RectsFromRegion(const QRegion& region);

class TCoolForm : public QWidget {
  Q_OBJECT

 public:
  // Becomes a child of `parent`, fills it, and makes it frameless when it is a
  // top-level window.
  explicit TCoolForm(QWidget* parent = nullptr);
  ~TCoolForm() override;

  // The window picture. A picture that is not a bitmap (`isBitmap` false: an
  // icon or a metafile) becomes an empty bitmap, 0 by 0. Any change of the
  // picture makes the outline holder forget its region (the window keeps its
  // shape) and repaints.
  const QPixmap& Picture() const { return FPicture; }
  void SetPicture(const QPixmap& picture, bool isBitmap = true);

  // The outline holder. Assigning copies the holder's region into this
  // component's holder; a null holder is ignored.
  TRegionType* Mask() const { return FMask.get(); }
  void SetMask(const TRegionType* holder);

  // Reads a region file; keeps its data in MaskData/MaskSize and shapes the
  // window when the data makes a region. False when the file cannot be opened
  // or read; nothing is reported.
  bool LoadMask(const QString& path);
  // Makes the region from MaskData/MaskSize and applies it to the window; no
  // region (or an empty one) makes the window rectangular.
  void ApplyMask();
  // Forgets the region data held and makes the window rectangular.
  void ClearMask();
  // The stored "Mask2" property: 4-byte length N, then N bytes of region data.
  void ReadMask(QIODevice& stream);
  void WriteMask(QIODevice& stream) const;
  void ReadMask(const QByteArray& bytes);
  QByteArray WriteMask() const;

  const std::vector<uint8_t>& MaskData() const { return FMaskData; }
  uint32_t MaskSize() const { return FMaskSize; }

  // A left-button drag on the surface moves the window (default on). Turning it
  // off ends a drag in progress.
  bool Draggable() const { return FDraggable; }
  void SetDraggable(bool value);
  // A drag cannot move the window past the screen's edges (default off).
  bool KeepOnScreen() const { return FKeepOnScreen; }
  void SetKeepOnScreen(bool value) { FKeepOnScreen = value; }

  // The window's context menu, opened at the pointer by a right-button press.
  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }

  bool Dragging() const { return FDragging; }
  int32_t DragX() const { return FDragX; }
  int32_t DragY() const { return FDragY; }

  // The window moved to another screen (which may have another device pixel
  // ratio).
  std::function<void()> OnScreenChanged;

  // Mouse events the drag does not consume (button, modifiers, x, y in the
  // surface's coordinates). OnMouseMove gets Qt::NoButton.
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseMove;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void AttachToParent();
  void PictureChanged();
  std::optional<QRegion> RegionFromMaskData() const;
  void ApplyRegionToWindow(const std::optional<QRegion>& region);
  // Cuts an element of the window to the window's outline, so nothing of it
  // shows outside where the window system does not cut the window itself.
  void ClipToOutline(QWidget* child) const;
  void DragTo();

  QPixmap FPicture;
  std::unique_ptr<TRegionType> FMask;
  std::vector<uint8_t> FMaskData;
  uint32_t FMaskSize = 0;
  bool FDraggable = true;
  bool FKeepOnScreen = false;
  bool FDragging = false;
  bool FSystemMoveAsked = false;  // this drag has asked the window system to move
  int32_t FDragX = 0;
  int32_t FDragY = 0;
  QPointer<QMenu> FPopupMenu;
  QPointer<QWidget> FWatchedParent;
};
