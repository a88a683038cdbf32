// Picture buttons of the skins: TImgBtn is a push button drawn from three
// pictures (normal, pointer over it, pressed). Also holds what every windowless
// picture control shares: the mouse message record, the event types and the
// base class TPictureControl (paints its current picture at 0,0, unscaled,
// takes no focus). Gui layer. Used by the skin loader, the main window and
// controls/ImgBox.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>

#include "controls/Hint.h"

// Message codes carried by TMouseMessage::Msg (the values of the original
// platform messages, so handlers can tell a press from a double click).
enum TMouseMsgCode : int {
  mmMouseMove = 0x0200,
  mmLButtonDown = 0x0201,
  mmLButtonUp = 0x0202,
  mmLButtonDblClk = 0x0203,
  mmRButtonDown = 0x0204,
  mmRButtonUp = 0x0205,
  mmRButtonDblClk = 0x0206,
  mmMButtonDown = 0x0207,
  mmMButtonUp = 0x0208,
  mmMButtonDblClk = 0x0209,
  mmMouseEnter = 0xB013,
  mmMouseLeave = 0xB014,
};

// Key-state flags of TMouseMessage::Keys: buttons held and modifier keys.
enum TMouseKeyFlag : int {
  mkLButton = 0x0001,
  mkRButton = 0x0002,
  mkShift = 0x0004,
  mkControl = 0x0008,
  mkMButton = 0x0010,
};

// The mouse message record handed to mouse handlers: message code, key-state
// flags, and the pointer's x and y in the control's coordinates.
struct TMouseMessage {
  int Msg = 0;
  int Keys = 0;
  int X = 0;
  int Y = 0;
};

// A picture that may be made only when it is first asked for (a key's hover
// and pressed pictures, which many keys never show): either a pixmap, or a
// source that makes it once. The source must not throw.
class TLazyPixmap {
 public:
  TLazyPixmap() = default;
  TLazyPixmap(const QPixmap& pixmap) : FPixmap(pixmap) {}  // NOLINT: a pixmap is one
  explicit TLazyPixmap(std::function<QPixmap()> source) : FSource(std::move(source)) {}

  const QPixmap& Get() const {
    if (FSource) {
      // Taken out first: the source may be the last owner of what it uses.
      const std::function<QPixmap()> source = std::move(FSource);
      FSource = nullptr;
      FPixmap = source();
    }
    return FPixmap;
  }
  // Not made yet.
  bool Pending() const { return bool(FSource); }

 private:
  mutable QPixmap FPixmap;
  mutable std::function<QPixmap()> FSource;
};

using TOnMouseEvent = std::function<void(QObject* sender, const TMouseMessage& msg)>;
using TNotifyEvent = std::function<void(QObject* sender)>;

class QMouseEvent;

// The windowless picture control both skin toggles build on: shows one
// picture (a copy) at its top-left corner, leaves the rest of its rectangle
// unpainted, never takes the keyboard focus, and keeps a tag and a hint.
class TPictureControl : public THintedWidget {
  Q_OBJECT

 public:
  explicit TPictureControl(QWidget* parent = nullptr);

  // The picture currently shown.
  const QPixmap& Picture() const { return FPicture; }

  int Tag() const { return FTag; }
  void SetTag(int value) { FTag = value; }

  // The ordinary events every picture control has.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

 protected:
  // Makes a copy of `pic` the shown picture and repaints.
  void ShowPicture(const QPixmap& pic);
  static bool IsEmpty(const QPixmap& pic) { return pic.height() == 0; }
  // The record for a mouse event; `msg` is the message code.
  static TMouseMessage MessageFor(int msg, const QMouseEvent* event);
  // The record for an enter or leave, with the pointer where it is now.
  TMouseMessage MessageAtCursor(int msg) const;
  bool IsInside(const QPoint& p) const { return rect().contains(p); }

  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap FPicture;
  int FTag = 0;
};

class TImgBtn : public TPictureControl {
  Q_OBJECT

 public:
  explicit TImgBtn(QWidget* parent = nullptr);

  const QString& ButtonName() const { return FButtonName; }
  void SetButtonName(const QString& value);

  // Assigning Pic copies it and shows it; PicDown and PicUp are only copied,
  // and may be given as pictures made when first shown (or asked for).
  const QPixmap& Pic() const { return FPic; }
  void SetPic(const QPixmap& value);
  const QPixmap& PicDown() const { return FPicDown.Get(); }
  void SetPicDown(const TLazyPixmap& value) { FPicDown = value; }
  const QPixmap& PicUp() const { return FPicUp.Get(); }
  void SetPicUp(const TLazyPixmap& value) { FPicUp = value; }

  // Where the pictures came from; informational only.
  const QString& PicFile() const { return FPicFile; }
  void SetPicFile(const QString& value) { FPicFile = value; }
  const QString& PicDownFile() const { return FPicDownFile; }
  void SetPicDownFile(const QString& value) { FPicDownFile = value; }
  const QString& PicUpFile() const { return FPicUpFile; }
  void SetPicUpFile(const QString& value) { FPicUpFile = value; }

  // An unsupported button reacts to nothing but its ordinary OnClick/OnDblClick.
  bool Supported() const { return FSupported; }
  void SetSupported(bool value) { FSupported = value; }

  bool Hover() const { return FHover; }
  bool Pressed() const { return FPressed; }

  // The button's own events (left button only; OnMouseUp is the key's command).
  TOnMouseEvent OnMouseDown;
  TOnMouseEvent OnMouseUp;
  TOnMouseEvent OnMouseEnter;
  TOnMouseEvent OnMouseLeave;
  TNotifyEvent OnButtonEnter;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void MouseEntered(const TMouseMessage& msg);
  void MouseLeft(const TMouseMessage& msg);
  // Brings Hover in step with a pointer position seen in a mouse event (the
  // platform reports no enter or leave while the mouse is grabbed).
  void TrackHover(const QMouseEvent* event);
  void LeftDown(const QMouseEvent* event, int msg);
  // A state picture, or Pic when that state has no picture, so the button
  // never vanishes.
  void ShowState(const QPixmap& pic);

  QString FButtonName;
  QPixmap FPic;
  TLazyPixmap FPicDown;
  TLazyPixmap FPicUp;
  QString FPicFile;
  QString FPicDownFile;
  QString FPicUpFile;
  bool FSupported = true;
  bool FHover = false;
  bool FPressed = false;
  bool FClicked = false;  // a single left press is waiting for its release
};
