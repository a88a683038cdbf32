#include "calc/Program.h"

#include <QGuiApplication>
#include <filesystem>
#include <system_error>
#include <QTimer>

#include "calc/App.h"
#include "calc/KeyHook.h"
#include "calc/Settings.h"
#include "calc/main.h"
#include "platform/IniFile.h"
#include "presets/Presets.h"
#include "windows/about.h"
#include "windows/graf.h"
#include "windows/history.h"
#include "windows/preset.h"
#include "windows/vars.h"

TProgram::TProgram(const TDataDirs& dirs, char decimalSeparator)
    : FDirs(dirs), FForm(std::make_unique<TMainForm>(dirs)) {
  FForm->Calculator().SetDecimalSeparator(decimalSeparator);
  const TMainMenuItems& m = FForm->Menu();
  TKeyTargets keys;
  keys.Help = m.MMHelp;
  keys.Degrees = m.MMDegrees;
  keys.Radians = m.MMRadians;
  keys.Gradians = m.MMGradians;
  keys.Hexadecimal = m.MMHexadecimal;
  keys.Decimal = m.MMDecimal;
  keys.Octal = m.MMOctal;
  keys.Binary = m.MMBinary;
  keys.Eng = m.MMEng;
  keys.Variables = m.MMVariables;
  keys.Graph = m.MMGraph;
  keys.History = m.MMHistory;
  keys.CopyResult = m.MMCopyResult;
  keys.PresetSave = m.MMPresetSave;
  keys.Paste = [this] { FForm->PasteCommand(); };
  keys.Return = [this] {
    // In the History window's list, Return takes the entry's expression.
    if (FHistoryForm && FHistoryForm->ReturnPressed()) return;
    // A value being typed in the variables window counts in this evaluation.
    if (FVars) FVars->CommitValue();
    FForm->Evaluate();
  };
  keys.Escape = [this] { FForm->EscapeCommand(); };
  keys.TypesFormula = [this](QObject* receiver) { return FForm->TypesFormula(receiver); };
  keys.NameDialogShown = [this] { return FPresetForm && FPresetForm->isVisible(); };
  FKeyHook = std::make_unique<TKeyHook>(std::move(keys));
  FForm->SetKeyHook(FKeyHook.get());
}

TProgram::~TProgram() {
  // The companions go first: they still tell the main window when they hide.
  FPresetForm.reset();
  FHistoryForm.reset();
  if (FHistoryFile) FHistoryFile->Detach();
  FGraph.reset();
  FVars.reset();
  FAbout.reset();
  FForm.reset();
}

bool TProgram::Start() {
  bool created = false;
  RunGuarded([&] { created = FForm->FormCreate(); });
  if (!created) return false;
  FForm->show();
  // The calculator is opened for a quick sum: its window goes on the screen
  // and is painted before the companions, which start hidden, are made. The
  // user cannot reach them before the message loop runs.
  QGuiApplication::sync();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  CreateCompanions();
  return true;
}

void TProgram::CreateCompanions() {
  // In their order, each reading its own settings.
  FAbout = std::make_unique<TAboutForm>();
  FVars = std::make_unique<TVarsForm>(FForm->Host());
  RunGuarded([&] { FVars->LoadSettings(IniFile(FDirs.SettingsFile)); });
  FGraph = std::make_unique<TGraphForm>(FForm->Host(), FDirs.SettingsFile);
  CreateHistory();
  FPresetForm = std::make_unique<TPresetForm>();
  FForm->SetCompanions(FVars.get(), FGraph.get(), FAbout.get());
  TVarsForm* vars = FVars.get();
  QObject::connect(FForm.get(), &TMainForm::VariablesChanged, vars,
                   [vars] { vars->RefreshGrid(); });
  FPresets = new TPresets(
      FForm->PresetHost(), *FPresetForm, QString::fromStdString(FDirs.PresetsDir),
      {FGraph->FromX(), FGraph->ToX(), FGraph->FromY(), FGraph->ToY(), FGraph->AutoY()},
      FForm.get());
  QObject::connect(FPresets, &TPresets::VariablesChanged, vars, [vars] { vars->RefreshGrid(); });
  FForm->SetPresets(FPresets);
  RunGuarded([&] { FPresets->PresetListing(); });
}

void TProgram::CreateHistory() {
  FHistoryFile = std::make_unique<THistoryFile>(HistoryFileBeside(FDirs.SettingsFile));
  FHistoryFile->SetReporter([](const std::string& message) {
    // Reported once the change that failed to be written has been shown
    // everywhere, not in the middle of telling the windows of it.
    QTimer::singleShot(0, qApp, [text = QString::fromStdString(message)] { ReportError(text); });
  });
  FHistoryFile->Attach(FForm->Calculator().History());
  FHistoryForm = std::make_unique<THistoryForm>(FForm->HistoryHost());
  RunGuarded([&] { FHistoryForm->LoadSettings(IniFile(FDirs.SettingsFile)); });
  FForm->SetHistoryForm(FHistoryForm.get());
}

void TProgram::Finish() {
  // The three windows' keys go to the file in one write, so a settings file
  // that cannot be written is reported once.
  // The user's settings folder is made when it is first written; a folder
  // that cannot be made shows as the file that cannot be written.
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(FDirs.SettingsFile).parent_path(), ec);
  TIniBatch settings(FDirs.SettingsFile);
  RunGuarded([&] { FForm->FormDestroy(); });
  if (FVars) {
    RunGuarded([&] {
      IniFile ini(FDirs.SettingsFile);
      FVars->SaveSettings(ini);
    });
  }
  if (FGraph) RunGuarded([&] { FGraph->FormDestroy(); });
  if (FHistoryForm) {
    RunGuarded([&] {
      IniFile ini(FDirs.SettingsFile);
      FHistoryForm->SaveSettings(ini);
    });
  }
  RunGuarded([&] { settings.Commit(); });
}
