#include "skin/SkinElements.h"

TSkinLabel::TSkinLabel(QWidget* parent) : QLabel(parent) {
  // Skin texts are shown as written, never as markup.
  setTextFormat(Qt::PlainText);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TSkinLabel::SetLabelName(const QString& value) {
  FLabelName = value;
  setAccessibleName(value);
}

void TSkinLabel::SetOneLine() {
  setWordWrap(false);
  setAlignment((alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
}

TSkinEdit::TSkinEdit(QWidget* parent) : QLineEdit(parent) {}

void TSkinEdit::SetEditName(const QString& value) {
  FEditName = value;
  setAccessibleName(value);
}

TSkinImage::TSkinImage(QWidget* parent) : QWidget(parent) {
  // No picture and no behaviour: a drag on it still moves the window.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void TSkinImage::SetImageName(const QString& value) {
  FImageName = value;
  setAccessibleName(value);
}
