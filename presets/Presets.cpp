#include "presets/Presets.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <exception>

#include "calc/App.h"
#include "calc/main.h"
#include "platform/IniFile.h"
#include "skin/SkinElements.h"
#include "windows/preset.h"

namespace {

// The first three submenu items are "Save current", "Delete selected" and a
// separator; the presets follow.
constexpr qsizetype kFirstPresetItem = 3;

std::string FileName(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString LineText(const QLineEdit* field) {
  return field ? field->text() : QString();
}

void SetLineText(QLineEdit* field, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (field && field->text() != value) field->setText(value);
}

}  // namespace

TPresets::TPresets(TMainForm& form, TPresetForm& dialog, const TPresetGraphFields& graph,
                   std::function<void()> refreshGrid, QObject* parent)
    : QObject(parent),
      FForm(form),
      FDialog(dialog),
      FFromX(graph.FromX),
      FToX(graph.ToX),
      FFromY(graph.FromY),
      FToY(graph.ToY),
      FAutoY(graph.AutoY),
      FRefreshGrid(std::move(refreshGrid)) {}

QString TPresets::PresetFolder() {
  return QDir::current().absoluteFilePath(QStringLiteral("Presets"));
}

QString TPresets::PresetPath(const QString& name) {
  return PresetFolder() + QLatin1Char('/') + name;
}

QString TPresets::PresetItemName(const QAction* item) {
  return item ? item->data().toString() : QString();
}

QAction* TPresets::AddPresetItem(const QString& name) {
  // A caption shows the name exactly: "&" would otherwise mark an access key.
  QString caption = name;
  caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
  QAction* item = FForm.MMPresets->addAction(caption);
  item->setCheckable(true);
  item->setData(name);
  connect(item, &QAction::triggered, this,
          [this, item] { RunGuarded([&] { MMPresetClick(item); }); });
  return item;
}

void TPresets::PresetListing() {
  // Every kind of entry is a preset item, in the order the folder gives them;
  // a missing folder gives none.
  const QStringList names =
      QDir(PresetFolder())
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDir::Unsorted);
  for (const QString& name : names) AddPresetItem(name);
}

TPresetState TPresets::Snapshot() const {
  TPresetState s;
  s.HasExpression = FForm.ExpressionEdit != nullptr;
  if (FForm.ExpressionEdit) s.Func = FForm.ExpressionEdit->text().toStdString();
  s.Format = FForm.NumberFormat;
  s.Degs = FForm.Express->Degs();
  s.Eng = FForm.EngMode;
  s.Variables = FForm.Express->Variables();
  s.Values = FForm.Values;
  s.FromX = LineText(FFromX).toStdString();
  s.ToX = LineText(FToX).toStdString();
  s.FromY = LineText(FFromY).toStdString();
  s.ToY = LineText(FToY).toStdString();
  s.AutoY = FAutoY ? FAutoY->isChecked() : true;
  return s;
}

void TPresets::Restore(const TPresetState& s) {
  // Only a changed text is set, so an unchanged expression adds no undo step.
  if (s.HasExpression) SetLineText(FForm.ExpressionEdit, s.Func);
  FForm.NumberFormat = s.Format;
  FForm.Express->SetDegs(static_cast<TCalcDeg>(s.Degs));
  FForm.EngMode = s.Eng;
  FForm.Express->Variables() = s.Variables;
  FForm.Values = s.Values;
  SetLineText(FFromX, s.FromX);
  SetLineText(FToX, s.ToX);
  SetLineText(FFromY, s.FromY);
  SetLineText(FToY, s.ToY);
  // Changing the box enables or disables the Y fields by its own handler.
  if (FAutoY) FAutoY->setChecked(s.AutoY);
}

void TPresets::MMPresetSaveClick(QObject*) {
  if (!FForm.Express) return;  // the main window is not created yet
  if (FDialog.exec() != QDialog::Accepted) return;
  const QString name = FDialog.Name();
  // The dialog refuses such names already; nothing outside the folder is
  // ever written, whoever closed the dialog.
  if (!IsSafePresetName(name.toStdString())) return;
  FForm.UncheckPresets();
  const QString path = PresetPath(name);
  if (!QFileInfo(path).isFile()) AddPresetItem(name)->setChecked(true);
  try {
    QDir().mkpath(PresetFolder());
    // A new file replaces the old one only once it is complete.
    WriteFileAtomically(FileName(path), PresetText(Snapshot()));
  } catch (const std::exception&) {
    // Preset file errors are not reported.
  }
}

void TPresets::MMPresetClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item || !FForm.Express) return;
  const QString name = PresetItemName(item);
  TPresetState state = Snapshot();
  if (StaysInPresetFolder(name.toStdString())) {
    try {
      LoadPresetFile(FileName(PresetPath(name)), state);
    } catch (const std::exception&) {
      // Not reported; what was read until then still applies.
    }
  }
  Restore(state);
  FForm.UpdateFormat();
  FForm.UpdateDegsMenu();
  if (FRefreshGrid) FRefreshGrid();
  FForm.UncheckPresets();
  item->setChecked(true);
}

void TPresets::MMPresetDeleteClick(QObject*) {
  QMenu* menu = FForm.MMPresets;
  for (qsizetype i = kFirstPresetItem; i < menu->actions().size();) {
    QAction* item = menu->actions().at(i);
    const QString name = PresetItemName(item);
    const QString path = PresetPath(name);
    // Only a file goes (a folder item stays), and its item with it.
    if (item->isChecked() && StaysInPresetFolder(name.toStdString()) && QFileInfo(path).isFile() &&
        QFile::remove(path)) {
      menu->removeAction(item);
      item->deleteLater();
      continue;
    }
    ++i;
  }
}

TPresets* InstallPresets(TMainForm& form, TPresetForm& dialog, const TPresetGraphFields& graph,
                         std::function<void()> refreshGrid) {
  auto* presets = new TPresets(form, dialog, graph, std::move(refreshGrid), &form);
  form.PresetForm = &dialog;
  form.PresetListing = [presets] { presets->PresetListing(); };
  form.PresetSave = [presets] { presets->MMPresetSaveClick(nullptr); };
  form.PresetDelete = [presets] { presets->MMPresetDeleteClick(nullptr); };
  return presets;
}
