// TResultFit: the result display shows its text whole. A text wider than the
// display is drawn in a smaller font, down to a legible minimum; below that,
// digits are left out in the middle (an ellipsis marks where), never the
// sign, the radix prefix or the exponent, and the full text is the
// display's tooltip. The label keeps the full text, so Copy result copies it
// whole. Gui layer; the main window installs it on the skin's "Result" label.
#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>

class QLabel;

// What a display of a given width shows of a text.
struct TFittedText {
  QFont Font;
  QString Text;  // the whole text, or the text with digits left out
  bool Elided = false;
};

class TResultFit : public QObject {
  Q_OBJECT

 public:
  // The smallest font, in pixels, the display shrinks to (unless the skin's
  // own font is smaller still).
  static constexpr int kMinPixelSize = 9;

  // Paints `label` from now on; it goes with the label.
  TResultFit(QLabel* label, char separator);

  // `text` in `font` (or a smaller one) within `width` pixels.
  static TFittedText Fit(const QString& text, const QFont& font, int width, char separator);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Where the label draws its text.
  QRect Area() const;
  void Paint();

  QLabel* FLabel;
  char FSeparator;
};
