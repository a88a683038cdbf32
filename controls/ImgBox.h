// Picture check boxes of the skins: TImgCheckBox is a two-state toggle drawn
// from an unchecked and a checked picture, operated with the mouse only.
// Gui layer. Used by the skin loader and the main window (memory modes, 2ndF,
// Hyp, Eng).
#pragma once

#include "controls/ImgBtn.h"

class TImgCheckBox : public TPictureControl {
  Q_OBJECT

 public:
  explicit TImgCheckBox(QWidget* parent = nullptr);

  const QString& CheckBoxName() const { return FCheckBoxName; }
  void SetCheckBoxName(const QString& value);

  // Setting Checked stores it and shows the picture of the new state.
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);

  // On: a click toggles the box. Off: only the program changes Checked.
  bool MouseCheck() const { return FMouseCheck; }
  void SetMouseCheck(bool value) { FMouseCheck = value; }

  // Assigning copies; the picture of the current state is shown at once.
  const QPixmap& PicChecked() const { return FPicChecked; }
  void SetPicChecked(const QPixmap& value);
  const QPixmap& PicUnchecked() const { return FPicUnchecked; }
  void SetPicUnchecked(const QPixmap& value);

  // Where the pictures came from; informational only.
  const QString& PicCheckedFile() const { return FPicCheckedFile; }
  void SetPicCheckedFile(const QString& value) { FPicCheckedFile = value; }
  const QString& PicUncheckedFile() const { return FPicUncheckedFile; }
  void SetPicUncheckedFile(const QString& value) { FPicUncheckedFile = value; }

  // An unsupported box ignores the mouse entirely, its ordinary events included.
  bool Supported() const { return FSupported; }
  void SetSupported(bool value) { FSupported = value; }

  bool Hover() const { return FHover; }
  bool Pressed() const { return FPressed; }
  // The coming release may uncheck the box.
  bool MayUncheck() const { return FMayUncheck; }

  // The ordinary mouse events (any button); they fire after the state changed,
  // so an OnMouseUp handler sees the new Checked.
  TOnMouseEvent OnMouseDown;
  TOnMouseEvent OnMouseUp;
  TOnMouseEvent OnMouseMove;

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void TrackHover(const QMouseEvent* event);
  void ShowCurrent();

  QString FCheckBoxName;
  bool FChecked = false;
  bool FMouseCheck = true;
  QPixmap FPicChecked;
  QPixmap FPicUnchecked;
  QString FPicCheckedFile;
  QString FPicUncheckedFile;
  bool FSupported = true;
  bool FHover = false;
  bool FPressed = false;
  bool FMayUncheck = false;
  bool FClicked = false;  // a single left press is waiting for its release
};
