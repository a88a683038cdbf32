// Program entry of the calculator: the application object, the decimal
// separator of the user's locale, the main window with its key map, then its
// companions (about box, variables window, graph window, preset-name dialog,
// presets), the message loop, and the orderly end in which every window
// writes its settings, the main window first.
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <memory>
#include <string>

#include "calc/App.h"
#include "calc/KeyHook.h"
#include "calc/Settings.h"
#include "calc/main.h"
#include "engine/CalcExpress.h"
#include "presets/Presets.h"
#include "windows/about.h"
#include "windows/graf.h"
#include "windows/preset.h"
#include "windows/vars.h"

namespace {

// The engine reads one character; a separator that is not one plain
// character leaves the point.
char LocaleDecimalSeparator() {
  const QString point = QLocale::system().decimalPoint();
  if (point.size() == 1 && point[0].unicode() > 32 && point[0].unicode() < 127)
    return static_cast<char>(point[0].unicode());
  return '.';
}

void ShowCannotLoadSkin() {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Cannot load skin"),
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace

int main(int argc, char** argv) {
  TApp app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zumbrel"));
  // Closing the main window ends the program even while other windows show.
  QApplication::setQuitOnLastWindowClosed(false);
  SetDecimalSeparator(LocaleDecimalSeparator());

  const QString programDir = QCoreApplication::applicationDirPath();
  // The settings file beside the program, which the main window's creation
  // makes the current folder.
  const std::string settingsPath = QDir(programDir).filePath(QString::fromLatin1(kSettingsFileName)).toStdString();

  auto form = std::make_unique<TMainForm>(programDir);
  TKeyHook keyHook(*form);
  form->KeyHook = &keyHook;
  bool created = false;
  RunGuarded([&] { created = form->FormCreate(); });
  if (!created) {
    ShowCannotLoadSkin();
    return 0;
  }
  QObject::connect(form.get(), &TMainForm::Closed, &app, &QCoreApplication::quit);
  form->show();
  // The calculator is opened for a quick sum: its window goes on the screen
  // and is painted before the companions, which start hidden, are made. The
  // user cannot reach them before the message loop runs.
  QGuiApplication::sync();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  // The companions, in their order, each reading its own settings.
  auto about = std::make_unique<TAboutForm>();
  auto vars = std::make_unique<TVarsForm>(form->Host());
  RunGuarded([&] { vars->LoadSettings(IniFile(settingsPath)); });
  auto graph = std::make_unique<TGraphForm>(form->Host(), settingsPath);
  auto presetForm = std::make_unique<TPresetForm>();
  form->AboutForm = about.get();
  form->VarsForm = vars.get();
  form->GraphForm = graph.get();
  TVarsForm* varsForm = vars.get();
  form->OnVariablesChanged = [varsForm] { varsForm->RefreshGrid(); };
  InstallPresets(*form, *presetForm,
                 {graph->FromX(), graph->ToX(), graph->FromY(), graph->ToY(), graph->AutoY()},
                 [varsForm] { varsForm->RefreshGrid(); });
  RunGuarded([&] { form->PresetListing(); });

  const int code = QApplication::exec();

  {
    // The three windows' keys go to the file in one write, so a settings file
    // that cannot be written is reported once.
    TIniBatch settings(settingsPath);
    RunGuarded([&] { form->FormDestroy(); });
    RunGuarded([&] {
      IniFile ini(settingsPath);
      vars->SaveSettings(ini);
    });
    RunGuarded([&] { graph->FormDestroy(); });
    RunGuarded([&] { settings.Commit(); });
  }
  // The companions go first: they still tell the main window when they hide.
  presetForm.reset();
  graph.reset();
  vars.reset();
  about.reset();
  form.reset();
  return code;
}
