// The Presets submenu of the main window: listing the preset files at start,
// "Save current", loading a preset by clicking its item, and "Delete
// selected". Gui layer; made by TProgram, which connects it to the main
// window (through IPresetHost) and to the variables window. The key map
// reaches "Save current" through its menu item.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "calc/Calculator.h"
#include "presets/PresetFile.h"

class QAction;
class QCheckBox;
class QLineEdit;
class QMenu;
class TPresetForm;

// The Presets submenu starts with "Save current", "Delete selected" and a
// separator; the preset items follow.
inline constexpr qsizetype kFixedPresetItems = 3;

// What a preset reaches of the calculator: the state it keeps (modes and
// variables), the expression field and the Presets submenu.
class IPresetHost {
 public:
  virtual ~IPresetHost() = default;
  virtual TCalcModes Modes() const = 0;
  virtual const TVariableStore& Variables() const = 0;
  // Sets both at once; the calculator then shows the new modes.
  virtual void Restore(const TCalcModes& modes, const TVariableStore& variables) = 0;
  // The expression field: absent when the skin has none. A new text is
  // recorded in the undo history like the user's.
  virtual bool HasExpressionField() const = 0;
  virtual QString ExpressionText() const = 0;
  virtual void SetExpressionText(const QString& text) = 0;
  virtual QMenu* PresetsMenu() const = 0;
  // Clears the check of every preset item.
  virtual void UncheckPresets() = 0;
};

// The graph window's parts a preset saves and restores. Any may be null (no
// graph window): its line is then written empty and ignored when loading.
struct TPresetGraphFields {
  QLineEdit* FromX = nullptr;
  QLineEdit* ToX = nullptr;
  QLineEdit* FromY = nullptr;
  QLineEdit* ToY = nullptr;
  QCheckBox* AutoY = nullptr;
};

class TPresets : public QObject {
  Q_OBJECT

 public:
  // `folder` is the Presets folder, made when the first preset is saved.
  TPresets(IPresetHost& host, TPresetForm& dialog, const QString& folder,
           const TPresetGraphFields& graph, QObject* parent = nullptr);

  // Appends one item per entry of the Presets folder, in the folder's order.
  void PresetListing();
  // Asks for a name and saves the calculator's state under it; throws
  // EWriteError when the file cannot be written.
  void MMPresetSaveClick(QObject* sender);
  // Loads the preset of the clicked item (`sender`, a preset item).
  void MMPresetClick(QObject* sender);
  // Deletes the file of the checked preset item and removes the item.
  void MMPresetDeleteClick(QObject* sender);

  // The preset's name that a submenu item stands for (its caption may differ,
  // as "&" is doubled there to show literally).
  static QString PresetItemName(const QAction* item);
  // The Presets folder, and the file of a preset in it (empty when the
  // folder is: then nothing is listed, loaded or written).
  const QString& PresetFolder() const { return FFolder; }
  QString PresetPath(const QString& name) const;

 signals:
  // A preset was loaded: the variables window rebuilds its grid.
  void VariablesChanged();

 private:
  QAction* AddPresetItem(const QString& name);
  // The item of a preset name, or null.
  QAction* FindPresetItem(const QString& name) const;
  // The calculator's state as a preset holds it, and back.
  TPresetState Snapshot() const;
  void Restore(const TPresetState& state);

  IPresetHost& FHost;
  TPresetForm& FDialog;
  QString FFolder;
  QPointer<QLineEdit> FFromX, FToX, FFromY, FToY;
  QPointer<QCheckBox> FAutoY;
};
