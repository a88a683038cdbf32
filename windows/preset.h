// TPresetForm: the small dialog that asks for the name under which "Save
// current" stores a preset. It keeps the typed name between uses and refuses,
// with a message, a name that could not be a file inside the Presets folder.
// Gui layer; created once by the program entry, shown modally by presets.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

class TPresetForm : public QDialog {
  Q_OBJECT

 public:
  // Shown when OK is pressed with a name that cannot be saved.
  static const char* const kRefusedNameMessage;

  explicit TPresetForm(QWidget* parent = nullptr);

  QLineEdit* PresetName() const { return FPresetName; }
  QPushButton* OKBut() const { return FOKBut; }
  QPushButton* CancelBut() const { return FCancelBut; }

  // The name in the edit, exactly as typed.
  QString Name() const;
  void SetName(const QString& name);

  // OK: closes the dialog with the result Accepted when the name can be
  // saved; otherwise tells the user why and stays open.
  void OKButClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* FPresetName = nullptr;
  QPushButton* FOKBut = nullptr;
  QPushButton* FCancelBut = nullptr;
};
