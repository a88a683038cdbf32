// The three element classes that exist only for skins: a label, a one-line
// edit and an (empty) image, each carrying the element name it was created
// under. They add no behaviour. Gui layer. Used by the skin loader and by the
// main window, which finds labels and edits by name.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "controls/SystemColors.h"  // SkinColor

// A static text label of a skin ("Result", captions).
class TSkinLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TSkinLabel(QWidget* parent = nullptr);

  const QString& LabelName() const { return FLabelName; }
  // Also the accessible name, so tests and assistive tools can find it.
  void SetLabelName(const QString& value);
  // Shows the text as one line in the middle of the label's height, as a
  // display does (the calculator's result), keeping its horizontal alignment.
  void SetOneLine();

 private:
  QString FLabelName;
};

// A one-line text edit of a skin (the expression field, variable fields).
class TSkinEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TSkinEdit(QWidget* parent = nullptr);

  const QString& EditName() const { return FEditName; }
  void SetEditName(const QString& value);

 private:
  QString FEditName;
};

// An image element: a windowless placeholder with a name and two colours that
// nothing reads after loading. It paints nothing and lets the mouse through
// to what lies beneath (the draggable window picture).
class TSkinImage : public QWidget {
  Q_OBJECT

 public:
  explicit TSkinImage(QWidget* parent = nullptr);

  const QString& ImageName() const { return FImageName; }
  void SetImageName(const QString& value);
  int Foreground() const { return FForeground; }
  void SetForeground(int value) { FForeground = value; }
  int Background() const { return FBackground; }
  void SetBackground(int value) { FBackground = value; }

 private:
  QString FImageName;
  int FForeground = 0;
  int FBackground = 0;
};
