// The main window's popup menu: its items, in their fixed order, and their
// handlers. The shortcut texts are labels only; the keys themselves reach the
// calculator through the application-wide key map.
#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QUrl>

#include "calc/App.h"
#include "calc/main.h"
#include "controls/BarPopupMenu.h"

namespace {

// An item with its shortcut text shown in the menu's shortcut column.
QAction* AddItem(QMenu* menu, const QString& caption, const QString& shortcut = QString(),
                 bool checkable = false) {
  QAction* item = menu->addAction(shortcut.isEmpty() ? caption : caption + QLatin1Char('\t') + shortcut);
  item->setCheckable(checkable);
  return item;
}

}  // namespace

void TMainForm::CreateMainMenu() {
  MainMenu = new TBarPopupMenu(this);
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  MainMenu->SetBarWidth(24);
  MainMenu->SetGradientStart(Qt::black);
  MainMenu->SetGradientEnd(Qt::blue);
  QFont band(QStringLiteral("Tahoma"));
  band.setPixelSize(19);
  band.setBold(true);
  band.setItalic(true);
  MainMenu->SetVerticalFont(band);
  MainMenu->SetVerticalFontColor(Qt::white);
  MainMenu->SetVerticalText(QStringLiteral("Zumbrel"));

  MMAlwaysOnTop = AddItem(MainMenu, QStringLiteral("Always On Top"), {}, true);
  MMCopyResult = AddItem(MainMenu, QStringLiteral("Copy result"), QStringLiteral("Ctrl+Ins"));
  MMSkin = MainMenu->addMenu(QStringLiteral("Skin"));
  MMPresets = MainMenu->addMenu(QStringLiteral("Presets"));
  // Preset names are shown exactly as typed, separators included.
  MMPresets->setSeparatorsCollapsible(false);
  MMPresetSave = AddItem(MMPresets, QStringLiteral("Save current"), QStringLiteral("Ctrl+S"));
  MMPresetDelete = AddItem(MMPresets, QStringLiteral("Delete selected"));
  MMPresets->addSeparator();
  MainMenu->addSeparator();
  MMDegrees = AddItem(MainMenu, QStringLiteral("Degrees"), QStringLiteral("F2"), true);
  MMRadians = AddItem(MainMenu, QStringLiteral("Radians"), QStringLiteral("F3"), true);
  MMGradians = AddItem(MainMenu, QStringLiteral("Gradians"), QStringLiteral("F4"), true);
  MainMenu->addSeparator();
  MMHexadecimal = AddItem(MainMenu, QStringLiteral("Hexadecimal"), QStringLiteral("F5"), true);
  MMDecimal = AddItem(MainMenu, QStringLiteral("Decimal"), QStringLiteral("F6"), true);
  MMOctal = AddItem(MainMenu, QStringLiteral("Octal"), QStringLiteral("F7"), true);
  MMBinary = AddItem(MainMenu, QStringLiteral("Binary"), QStringLiteral("F8"), true);
  MMEng = AddItem(MainMenu, QStringLiteral("Eng"), QStringLiteral("F9"), true);
  MainMenu->addSeparator();
  MMVariables = AddItem(MainMenu, QStringLiteral("Variables"), QStringLiteral("F11"), true);
  MMGraph = AddItem(MainMenu, QStringLiteral("Graph"), QStringLiteral("F12"), true);
  MainMenu->addSeparator();
  MMAbout = AddItem(MainMenu, QStringLiteral("About"));
  MMHelp = AddItem(MainMenu, QStringLiteral("Help"), QStringLiteral("F1"));
  MMExit = AddItem(MainMenu, QStringLiteral("Exit"));

  // Tags: the angle unit codes and the number format codes.
  MMDegrees->setData(int(cdDegreees));
  MMRadians->setData(int(cdRadians));
  MMGradians->setData(int(cdGradians));
  MMHexadecimal->setData(1);
  MMDecimal->setData(0);
  MMOctal->setData(2);
  MMBinary->setData(3);

  Wire(MMAlwaysOnTop, &TMainForm::MMAlwaysOnTopClick);
  connect(MMCopyResult, &QAction::triggered, this, [this] { RunGuarded([this] { MMCopyResultClick(); }); });
  Wire(MMPresetSave, &TMainForm::MMPresetSaveClick);
  Wire(MMPresetDelete, &TMainForm::MMPresetDeleteClick);
  for (QAction* item : {MMDegrees, MMRadians, MMGradians}) Wire(item, &TMainForm::MMDegreesClick);
  for (QAction* item : {MMHexadecimal, MMDecimal, MMOctal, MMBinary}) Wire(item, &TMainForm::MMFormatClick);
  Wire(MMEng, &TMainForm::MMEngClick);
  Wire(MMVariables, &TMainForm::MMVariablesClick);
  Wire(MMGraph, &TMainForm::MMGraphClick);
  Wire(MMAbout, &TMainForm::MMAboutClick);
  Wire(MMHelp, &TMainForm::MMHelpClick);
  Wire(MMExit, &TMainForm::MMExitClick);
}

void TMainForm::Wire(QAction* item, void (TMainForm::*handler)(QObject*)) {
  connect(item, &QAction::triggered, this, [this, item, handler] {
    // The menu flips a checkable item before it reports the click; the
    // handlers keep the marks themselves (the key map calls them too).
    if (item->isCheckable()) item->setChecked(!item->isChecked());
    RunGuarded([&] { (this->*handler)(item); });
  });
}

void TMainForm::MMAlwaysOnTopClick(QObject*) {
  MMAlwaysOnTop->setChecked(!MMAlwaysOnTop->isChecked());
  SetTopmost(MMAlwaysOnTop->isChecked());
}

void TMainForm::MMDegreesClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
  Express->SetDegs(static_cast<TCalcDeg>(item->data().toInt()));
  UpdateDegsMenu();
}

void TMainForm::MMFormatClick(QObject* sender) {
  auto* item = qobject_cast<QAction*>(sender);
  if (!item) return;
  NumberFormat = item->data().toInt();
  UpdateFormat();
}

void TMainForm::MMEngClick(QObject*) {
  EngMode = !EngMode;
  UpdateFormat();
}

void TMainForm::MMVariablesClick(QObject*) {
  if (VarsForm) VarsForm->setVisible(!VarsForm->isVisible());
  MMVariables->setChecked(VarsForm && VarsForm->isVisible());
}

void TMainForm::MMGraphClick(QObject*) {
  MMGraph->setChecked(!MMGraph->isChecked());
  if (!GraphForm) {
    // Without a graph window there is nothing to show: the mark stays off.
    MMGraph->setChecked(false);
    return;
  }
  GraphForm->setVisible(MMGraph->isChecked());
}

void TMainForm::MMAboutClick(QObject*) {
  if (AboutForm) AboutForm->exec();
}

void TMainForm::MMHelpClick(QObject*) {
  // The help page beside the program, in the desktop's viewer; a missing page
  // or viewer is not reported.
  QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("Help.html"))));
}

void TMainForm::MMPresetSaveClick(QObject*) {
  if (PresetSave) PresetSave();
}

void TMainForm::MMPresetDeleteClick(QObject*) {
  if (PresetDelete) PresetDelete();
}

void TMainForm::MMExitClick(QObject*) { close(); }

void TMainForm::UncheckPresets() {
  const QList<QAction*> items = MMPresets->actions();
  for (qsizetype i = 3; i < items.size(); ++i) items[i]->setChecked(false);
}
