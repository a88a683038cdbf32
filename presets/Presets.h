// The Presets submenu of the main window: listing the preset files at start,
// "Save current", loading a preset by clicking its item, and "Delete
// selected". Gui layer; the program entry installs it into the main window
// with InstallPresets, and the key map reaches "Save current" through the
// main window.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "presets/PresetFile.h"

class QAction;
class QCheckBox;
class QLineEdit;
class TMainForm;
class TPresetForm;

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
  // `refreshGrid` rebuilds the variables window's grid (may be empty).
  TPresets(TMainForm& form, TPresetForm& dialog, const TPresetGraphFields& graph,
           std::function<void()> refreshGrid, QObject* parent = nullptr);

  // Appends one item per entry of the Presets folder, in the folder's order.
  void PresetListing();
  // Asks for a name and saves the calculator's state under it.
  void MMPresetSaveClick(QObject* sender);
  // Loads the preset of the clicked item (`sender`, a preset item).
  void MMPresetClick(QObject* sender);
  // Deletes the file of the checked preset item and removes the item.
  void MMPresetDeleteClick(QObject* sender);

  // The preset's name that a submenu item stands for (its caption may differ,
  // as "&" is doubled there to show literally).
  static QString PresetItemName(const QAction* item);
  // The Presets folder of the current folder, and the file of a preset in it.
  static QString PresetFolder();
  static QString PresetPath(const QString& name);

 private:
  QAction* AddPresetItem(const QString& name);
  // The calculator's state as a preset holds it, and back.
  TPresetState Snapshot() const;
  void Restore(const TPresetState& state);

  TMainForm& FForm;
  TPresetForm& FDialog;
  QPointer<QLineEdit> FFromX, FToX, FFromY, FToY;
  QPointer<QCheckBox> FAutoY;
  std::function<void()> FRefreshGrid;
};

// Sets the main window's preset hooks (listing, "Save current", "Delete
// selected") and its PresetForm to `dialog`. The returned object belongs to
// the main window. Call before the main window's FormCreate, which lists the
// presets.
TPresets* InstallPresets(TMainForm& form, TPresetForm& dialog, const TPresetGraphFields& graph,
                         std::function<void()> refreshGrid);
