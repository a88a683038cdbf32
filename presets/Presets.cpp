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
#include "platform/IniFile.h"
#include "windows/preset.h"

namespace {

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

TPresets::TPresets(IPresetHost& host, TPresetForm& dialog, const QString& folder,
                   const TPresetGraphFields& graph, QObject* parent)
    : QObject(parent),
      FHost(host),
      FDialog(dialog),
      FFolder(folder),
      FFromX(graph.FromX),
      FToX(graph.ToX),
      FFromY(graph.FromY),
      FToY(graph.ToY),
      FAutoY(graph.AutoY) {}

QString TPresets::PresetPath(const QString& name) const {
  // Without a folder (no home folder was found) no preset has a file: an
  // empty folder must not turn into the root or the current folder.
  if (FFolder.isEmpty()) return {};
  return PresetFolder() + QLatin1Char('/') + name;
}

QString TPresets::PresetItemName(const QAction* item) {
  return item ? item->data().toString() : QString();
}

QAction* TPresets::AddPresetItem(const QString& name) {
  // A caption shows the name exactly: "&" would otherwise mark an access key.
  QString caption = name;
  caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
  QAction* item = FHost.PresetsMenu()->addAction(caption);
  item->setCheckable(true);
  item->setData(name);
  connect(item, &QAction::triggered, this,
          [this, item] { RunGuarded([&] { MMPresetClick(item); }); });
  return item;
}

void TPresets::PresetListing() {
  // Every kind of entry is a preset item, in the order the folder gives them;
  // a missing folder gives none.
  if (FFolder.isEmpty()) return;
  const QStringList names =
      QDir(PresetFolder())
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDir::Unsorted);
  for (const QString& name : names) AddPresetItem(name);
}

TPresetState TPresets::Snapshot() const {
  TPresetState s;
  s.HasExpression = FHost.HasExpressionField();
  if (s.HasExpression) s.Func = FHost.ExpressionText().toStdString();
  const TCalcModes modes = FHost.Modes();
  s.Format = modes.Format;
  s.Degs = modes.Degs;
  s.Eng = modes.Eng;
  s.Variables = FHost.Variables();
  s.FromX = LineText(FFromX).toStdString();
  s.ToX = LineText(FToX).toStdString();
  s.FromY = LineText(FFromY).toStdString();
  s.ToY = LineText(FToY).toStdString();
  s.AutoY = FAutoY ? FAutoY->isChecked() : true;
  return s;
}

void TPresets::Restore(const TPresetState& s) {
  if (s.HasExpression) FHost.SetExpressionText(QString::fromStdString(s.Func));
  SetLineText(FFromX, s.FromX);
  SetLineText(FToX, s.ToX);
  SetLineText(FFromY, s.FromY);
  SetLineText(FToY, s.ToY);
  // Changing the box enables or disables the Y fields by its own handler.
  if (FAutoY) FAutoY->setChecked(s.AutoY);
  // Last, as the calculator then shows the format and the angle unit.
  FHost.Restore({s.Format, s.Degs, s.Eng}, s.Variables);
}

void TPresets::MMPresetSaveClick(QObject*) {
  if (FDialog.exec() != QDialog::Accepted) return;
  const QString name = FDialog.Name();
  // The dialog refuses such names already; nothing outside the folder is
  // ever written, whoever closed the dialog.
  if (!IsSafePresetName(name.toStdString())) return;
  const QString path = PresetPath(name);
  // Written first: a save that fails is reported (EWriteError, "Unable to
  // write to <path>") and changes no item, so the menu never shows a preset
  // that is not there. A new file replaces the old one only once it is
  // complete; a folder of that name is not replaced and fails the same way.
  QDir().mkpath(FFolder);
  WriteFileAtomically(FileName(path), PresetText(Snapshot()));
  FHost.UncheckPresets();
  // Only a new name gets an item, checked; an existing one keeps its own.
  if (!FindPresetItem(name)) AddPresetItem(name)->setChecked(true);
}

QAction* TPresets::FindPresetItem(const QString& name) const {
  const QList<QAction*> items = FHost.PresetsMenu()->actions();
  for (qsizetype i = kFixedPresetItems; i < items.size(); ++i)
    if (PresetItemName(items.at(i)) == name) return items.at(i);
  return nullptr;
}

void TPresets::MMPresetClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
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
  emit VariablesChanged();
  FHost.UncheckPresets();
  item->setChecked(true);
}

void TPresets::MMPresetDeleteClick(QObject*) {
  QMenu* menu = FHost.PresetsMenu();
  for (qsizetype i = kFixedPresetItems; i < menu->actions().size();) {
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
