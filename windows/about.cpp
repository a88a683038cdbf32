#include "windows/about.h"

#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr int kMargin = 8;

void SetRedBold(QLabel* label, int pixels) {
  QFont font = label->font();
  font.setPixelSize(pixels);
  font.setBold(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::red);
  label->setPalette(palette);
}

void SetPixelSize(QLabel* label, int pixels) {
  QFont font = label->font();
  font.setPixelSize(pixels);
  label->setFont(font);
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(kClientWidth, kClientHeight);

  FProductName = AddText(QStringLiteral("ProductName"), QStringLiteral("Zumbrel"), 6, 30);
  SetRedBold(FProductName, 24);
  FVersion = AddText(QStringLiteral("Version"), QStringLiteral("version 1.25"), 36, 18);
  SetRedBold(FVersion, 13);
  FTerms = AddText(QStringLiteral("Terms"),
                   QStringLiteral("Zumbrel is free software under the MIT licence: you may use, "
                                  "copy, change and pass it on, for any purpose, as long as the "
                                  "licence's notice goes with every copy."),
                   60, 66);
  FTerms->setWordWrap(true);
  SetPixelSize(FTerms, 11);
  FNotice = AddText(QStringLiteral("Notice"),
                    QStringLiteral("Zumbrel is provided as is, without warranty."), 130, 18);
  SetPixelSize(FNotice, 11);
  FAddress = AddText(QStringLiteral("Address"), QStringLiteral("The Zumbrel developers"), 150, 18);
  SetPixelSize(FAddress, 11);
}

QLabel* TAboutForm::AddText(const QString& name, const QString& text, int top, int height) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  label->setAccessibleName(name);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  label->setGeometry(kMargin, top, kClientWidth - 2 * kMargin, height);
  return label;
}

void TAboutForm::FormClick() {
  accept();
}

void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FPressed = false;
  if (event->spontaneous()) return;
  // Centred on the screen, whichever window opened it.
  if (const QScreen* screen = this->screen()) {
    QRect box(QPoint(0, 0), size());
    box.moveCenter(screen->availableGeometry().center());
    move(box.topLeft());
  }
}

// The texts take no mouse input of their own, so a click on any of them
// arrives here as well.
void TAboutForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) FPressed = true;
  event->accept();
}

void TAboutForm::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      FPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  if (event->button() == Qt::LeftButton) FPressed = false;
  event->accept();
  if (click) FormClick();
}
