// The main window's popup menu: its items, in their fixed order, and their
// handlers. The shortcut texts are labels only: the application-wide key map
// triggers these same items, so a key does exactly what its item does.
#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QMenu>
#include <QUrl>

#include "calc/App.h"
#include "calc/main.h"
#include "controls/BarPopupMenu.h"
#include "controls/WindowSystem.h"
#include "presets/Presets.h"

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
  TMainMenuItems& m = FMenu;
  m.MainMenu = new TBarPopupMenu(this);
  m.MainMenu->setObjectName(QStringLiteral("MainMenu"));
  m.MainMenu->SetBarWidth(24);
  m.MainMenu->SetGradientStart(Qt::black);
  m.MainMenu->SetGradientEnd(Qt::blue);
  QFont band(QStringLiteral("Tahoma"));
  band.setPixelSize(19);
  band.setBold(true);
  band.setItalic(true);
  m.MainMenu->SetVerticalFont(band);
  m.MainMenu->SetVerticalFontColor(Qt::white);
  m.MainMenu->SetVerticalText(QStringLiteral("Zumbrel"));

  m.MMAlwaysOnTop = AddItem(m.MainMenu, QStringLiteral("Always On Top"), {}, true);
  if (!TWindowSystem::Current().KeepsOnTop) {
    // The check still shows, and keeps, the setting for desktops that can.
    m.MMAlwaysOnTop->setEnabled(false);
    m.MMAlwaysOnTop->setToolTip(QStringLiteral(
        "This desktop keeps windows on top by itself: use its own \"Keep above\" "
        "(in the window menu, often Alt+Space)."));
  }
  m.MainMenu->setToolTipsVisible(true);
  m.MMCopyResult = AddItem(m.MainMenu, QStringLiteral("Copy result"), QStringLiteral("Ctrl+Ins"));
  m.MMSkin = m.MainMenu->addMenu(QStringLiteral("Skin"));
  m.MMPresets = m.MainMenu->addMenu(QStringLiteral("Presets"));
  // Preset names are shown exactly as typed, separators included.
  m.MMPresets->setSeparatorsCollapsible(false);
  // The submenu's fixed items; the presets follow them (kFixedPresetItems).
  m.MMPresetSave = AddItem(m.MMPresets, QStringLiteral("Save current"), QStringLiteral("Ctrl+S"));
  m.MMPresetDelete = AddItem(m.MMPresets, QStringLiteral("Delete selected"));
  m.MMPresets->addSeparator();
  m.MainMenu->addSeparator();
  m.MMDegrees = AddItem(m.MainMenu, QStringLiteral("Degrees"), QStringLiteral("F2"), true);
  m.MMRadians = AddItem(m.MainMenu, QStringLiteral("Radians"), QStringLiteral("F3"), true);
  m.MMGradians = AddItem(m.MainMenu, QStringLiteral("Gradians"), QStringLiteral("F4"), true);
  m.MainMenu->addSeparator();
  m.MMHexadecimal = AddItem(m.MainMenu, QStringLiteral("Hexadecimal"), QStringLiteral("F5"), true);
  m.MMDecimal = AddItem(m.MainMenu, QStringLiteral("Decimal"), QStringLiteral("F6"), true);
  m.MMOctal = AddItem(m.MainMenu, QStringLiteral("Octal"), QStringLiteral("F7"), true);
  m.MMBinary = AddItem(m.MainMenu, QStringLiteral("Binary"), QStringLiteral("F8"), true);
  m.MMEng = AddItem(m.MainMenu, QStringLiteral("Eng"), QStringLiteral("F9"), true);
  m.MainMenu->addSeparator();
  m.MMVariables = AddItem(m.MainMenu, QStringLiteral("Variables"), QStringLiteral("F11"), true);
  m.MMGraph = AddItem(m.MainMenu, QStringLiteral("Graph"), QStringLiteral("F12"), true);
  m.MMHistory = AddItem(m.MainMenu, QStringLiteral("History"), QStringLiteral("F10"), true);
  m.MainMenu->addSeparator();
  m.MMAbout = AddItem(m.MainMenu, QStringLiteral("About"));
  m.MMHelp = AddItem(m.MainMenu, QStringLiteral("Help"), QStringLiteral("F1"));
  m.MMExit = AddItem(m.MainMenu, QStringLiteral("Exit"));

  // Tags: the angle units and the number formats the items select.
  m.MMDegrees->setData(int(cdDegreees));
  m.MMRadians->setData(int(cdRadians));
  m.MMGradians->setData(int(cdGradians));
  m.MMHexadecimal->setData(int(nfHexadecimal));
  m.MMDecimal->setData(int(nfDecimal));
  m.MMOctal->setData(int(nfOctal));
  m.MMBinary->setData(int(nfBinary));

  Wire(m.MMAlwaysOnTop, &TMainForm::MMAlwaysOnTopClick);
  connect(m.MMCopyResult, &QAction::triggered, this,
          [this] { RunGuarded([this] { MMCopyResultClick(); }); });
  Wire(m.MMPresetSave, &TMainForm::MMPresetSaveClick);
  Wire(m.MMPresetDelete, &TMainForm::MMPresetDeleteClick);
  for (QAction* item : {m.MMDegrees, m.MMRadians, m.MMGradians})
    Wire(item, &TMainForm::MMDegreesClick);
  for (QAction* item : {m.MMHexadecimal, m.MMDecimal, m.MMOctal, m.MMBinary})
    Wire(item, &TMainForm::MMFormatClick);
  Wire(m.MMEng, &TMainForm::MMEngClick);
  Wire(m.MMVariables, &TMainForm::MMVariablesClick);
  Wire(m.MMGraph, &TMainForm::MMGraphClick);
  Wire(m.MMHistory, &TMainForm::MMHistoryClick);
  Wire(m.MMAbout, &TMainForm::MMAboutClick);
  Wire(m.MMHelp, &TMainForm::MMHelpClick);
  Wire(m.MMExit, &TMainForm::MMExitClick);
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
  FMenu.MMAlwaysOnTop->setChecked(!FMenu.MMAlwaysOnTop->isChecked());
  SetTopmost(FMenu.MMAlwaysOnTop->isChecked());
}

void TMainForm::MMDegreesClick(QObject* sender) {
  if (auto* item = qobject_cast<QAction*>(sender))
    FCalc.SetDegs(static_cast<TCalcDeg>(item->data().toInt()));
}

void TMainForm::MMFormatClick(QObject* sender) {
  if (auto* item = qobject_cast<QAction*>(sender))
    FCalc.SetNumberFormat(static_cast<TNumberFormat>(item->data().toInt()));
}

void TMainForm::MMEngClick(QObject*) {
  FCalc.SetEngMode(!FCalc.EngMode());
}

void TMainForm::MMVariablesClick(QObject*) {
  if (FVarsForm) FVarsForm->setVisible(!FVarsForm->isVisible());
  FMenu.MMVariables->setChecked(FVarsForm && FVarsForm->isVisible());
}

void TMainForm::MMGraphClick(QObject*) {
  FMenu.MMGraph->setChecked(!FMenu.MMGraph->isChecked());
  if (!FGraphForm) {
    // Without a graph window there is nothing to show: the mark stays off.
    FMenu.MMGraph->setChecked(false);
    return;
  }
  FGraphForm->setVisible(FMenu.MMGraph->isChecked());
}

void TMainForm::MMHistoryClick(QObject*) {
  if (FHistoryForm) FHistoryForm->setVisible(!FHistoryForm->isVisible());
  FMenu.MMHistory->setChecked(FHistoryForm && FHistoryForm->isVisible());
}

void TMainForm::MMAboutClick(QObject*) {
  if (FAboutForm) FAboutForm->exec();
}

void TMainForm::MMHelpClick(QObject*) {
  // The help page (beside the program, or in the installed data folder) in
  // the desktop's viewer; a missing page or viewer is not reported.
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(FDirs.HelpFile)));
}

void TMainForm::MMPresetSaveClick(QObject* sender) {
  if (FPresets) FPresets->MMPresetSaveClick(sender);
}

void TMainForm::MMPresetDeleteClick(QObject* sender) {
  if (FPresets) FPresets->MMPresetDeleteClick(sender);
}

void TMainForm::MMExitClick(QObject*) { close(); }

void TMainForm::UncheckPresets() {
  const QList<QAction*> items = FMenu.MMPresets->actions();
  for (qsizetype i = kFixedPresetItems; i < items.size(); ++i) items[i]->setChecked(false);
}
