// TAboutForm: the about box, a small fixed dialog with the product's name,
// its version, the distribution terms and two short lines. A click anywhere
// on it, texts included, closes it; it has no button. Gui layer; created
// once by the program entry and shown modally by the main window's "About".
#pragma once

#include <QDialog>

class QLabel;

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 273;
  static constexpr int kClientHeight = 175;

  explicit TAboutForm(QWidget* parent = nullptr);

  // The click handler of the window and of every text on it: closes the box.
  void FormClick();

  QLabel* ProductName() const { return FProductName; }
  QLabel* Version() const { return FVersion; }
  QLabel* Terms() const { return FTerms; }
  QLabel* Notice() const { return FNotice; }
  QLabel* Address() const { return FAddress; }

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* AddText(const QString& name, const QString& text, int top, int height);

  QLabel* FProductName = nullptr;
  QLabel* FVersion = nullptr;
  QLabel* FTerms = nullptr;
  QLabel* FNotice = nullptr;
  QLabel* FAddress = nullptr;
  // A click is a press and a release of the left button on the box.
  bool FPressed = false;
};
