#include "windows/preset.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include "presets/PresetFile.h"

const char* const TPresetForm::kRefusedNameMessage =
    "A preset name cannot be empty, \".\" or \"..\", or contain / \\ or control characters.";

TPresetForm::TPresetForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("PresetForm"));
  setWindowTitle(QStringLiteral("Profile name"));
  setFixedSize(351, 69);

  // Created in tab order: the name first, then OK and Cancel.
  FPresetName = new QLineEdit(this);
  FPresetName->setObjectName(QStringLiteral("PresetName"));
  FPresetName->setAccessibleName(QStringLiteral("PresetName"));
  FPresetName->setGeometry(8, 8, 337, FPresetName->sizeHint().height());

  FOKBut = new QPushButton(QStringLiteral("OK"), this);
  FOKBut->setObjectName(QStringLiteral("OKBut"));
  FOKBut->setAccessibleName(QStringLiteral("OKBut"));
  FOKBut->setGeometry(272, 40, 75, 25);
  FOKBut->setDefault(true);

  FCancelBut = new QPushButton(QStringLiteral("Cancel"), this);
  FCancelBut->setObjectName(QStringLiteral("CancelBut"));
  FCancelBut->setAccessibleName(QStringLiteral("CancelBut"));
  FCancelBut->setGeometry(192, 40, 75, 25);

  setTabOrder(FPresetName, FOKBut);
  setTabOrder(FOKBut, FCancelBut);

  connect(FOKBut, &QPushButton::clicked, this, [this] { OKButClick(); });
  // Escape and the frame's close button reject the dialog by themselves.
  connect(FCancelBut, &QPushButton::clicked, this, &QDialog::reject);
}

QString TPresetForm::Name() const {
  return FPresetName->text();
}

void TPresetForm::SetName(const QString& name) {
  FPresetName->setText(name);
}

void TPresetForm::OKButClick() {
  if (IsSafePresetName(Name().toStdString())) {
    accept();
    return;
  }
  QMessageBox::warning(this, windowTitle(), QString::fromUtf8(kRefusedNameMessage));
  FPresetName->setFocus();
  FPresetName->selectAll();
}

void TPresetForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The last name is offered again, selected, so typing replaces it.
  FPresetName->setFocus();
  FPresetName->selectAll();
}
