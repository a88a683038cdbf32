#include "calc/ResultFit.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "calc/Format.h"

namespace {

bool Fits(const QString& text, const QFont& font, int width) {
  return QFontMetricsF(font).horizontalAdvance(text) <= width;
}

}  // namespace

TResultFit::TResultFit(QLabel* label, char separator)
    : QObject(label), FLabel(label), FSeparator(separator) {
  label->installEventFilter(this);
}

TFittedText TResultFit::Fit(const QString& text, const QFont& font, int width, char separator) {
  TFittedText fitted{font, text, false};
  if (Fits(text, font, width)) return fitted;

  // The largest pixel size that fits, found from the proportion and checked
  // (glyph widths do not scale exactly).
  const int own = QFontInfo(font).pixelSize();
  const int minimum = std::min(own, kMinPixelSize);
  const double wide = QFontMetricsF(font).horizontalAdvance(text);
  int size = std::clamp(static_cast<int>(own * std::max(width, 0) / wide), minimum, own);
  for (;; --size) {
    fitted.Font.setPixelSize(size);
    if (Fits(text, fitted.Font, width)) return fitted;
    if (size <= minimum) break;
  }

  // Too long even so: digits go from the middle, the sign, the prefix and
  // the exponent stay.
  fitted.Elided = true;
  const TNumberTextParts parts = SplitNumberText(text.toStdString(), separator);
  const qsizetype head = static_cast<qsizetype>(parts.Head);
  const qsizetype tail = static_cast<qsizetype>(parts.Tail);
  const QString digits = text.mid(head, text.size() - head - tail);
  for (qsizetype kept = digits.size() - 1; kept >= 0; --kept) {
    fitted.Text = text.left(head) + digits.left((kept + 1) / 2) + QChar(0x2026) +
                  digits.right(kept / 2) + text.right(tail);
    if (Fits(fitted.Text, fitted.Font, width)) break;
  }
  return fitted;
}

bool TResultFit::eventFilter(QObject* watched, QEvent* event) {
  if (watched != FLabel) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::Paint) {
    // A text that fits is the label's own to paint.
    if (Fits(FLabel->text(), FLabel->font(), Area().width())) return false;
    Paint();
    return true;
  }
  if (event->type() == QEvent::ToolTip) {
    const TFittedText fitted = Fit(FLabel->text(), FLabel->font(), Area().width(), FSeparator);
    if (!fitted.Elided) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), FLabel->text(), FLabel);
    return true;
  }
  return false;
}

QRect TResultFit::Area() const {
  const int margin = FLabel->margin();
  return FLabel->contentsRect().adjusted(margin, margin, -margin, -margin);
}

void TResultFit::Paint() {
  const QRect area = Area();
  const TFittedText fitted = Fit(FLabel->text(), FLabel->font(), area.width(), FSeparator);
  QPainter painter(FLabel);
  painter.setFont(fitted.Font);
  FLabel->style()->drawItemText(
      &painter, area, static_cast<int>(FLabel->alignment()) | Qt::TextSingleLine, FLabel->palette(),
      FLabel->isEnabled(), fitted.Text, FLabel->foregroundRole());
}
