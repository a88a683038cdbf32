// TProgram: the calculator's windows, made and connected in the program's
// one order. First the main window with its key map, whose creation reads the
// settings and loads the skin; it is shown and painted before the rest, which
// start hidden: the about box, the variables window, the graph window, the
// History window (with the history read from its file), the preset-name
// dialog and the Presets submenu. At the end each window writes its
// settings, the main window first. Gui layer; the program entry and the
// GUI tests both build the program here, so what is tested is what runs.
#pragma once

#include <memory>
#include <string>

#include "platform/DataDirs.h"

class TAboutForm;
class TGraphForm;
class THistoryFile;
class THistoryForm;
class TKeyHook;
class TMainForm;
class TPresetForm;
class TPresets;
class TVarsForm;

class TProgram {
 public:
  // `dirs` are the folders chosen at start (settings, presets, skins,
  // help); `decimalSeparator` is the user's.
  TProgram(const TDataDirs& dirs, char decimalSeparator);
  // The windows go, companions first (they still tell the main window when
  // they hide); the main window and the graph window write their settings
  // if Finish did not (errors are then dropped).
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Creates the windows. False when no skin could be loaded: nothing but the
  // main window was made, and the caller reports it and ends the program.
  bool Start();
  // The orderly end: the main window's settings, then the variables
  // window's, the graph window's and the History window's; each error is
  // reported.
  void Finish();

  TMainForm& MainForm() const { return *FForm; }
  TKeyHook& KeyHook() const { return *FKeyHook; }
  // Null until Start has made them.
  TAboutForm* AboutForm() const { return FAbout.get(); }
  TVarsForm* VarsForm() const { return FVars.get(); }
  TGraphForm* GraphForm() const { return FGraph.get(); }
  THistoryForm* HistoryForm() const { return FHistoryForm.get(); }
  THistoryFile* HistoryFile() const { return FHistoryFile.get(); }
  TPresetForm* PresetForm() const { return FPresetForm.get(); }
  TPresets* Presets() const { return FPresets; }

  const TDataDirs& DataDirs() const { return FDirs; }
  // The settings file: beside the program, or the user's.
  const std::string& SettingsPath() const { return FDirs.SettingsFile; }

 private:
  void CreateCompanions();
  void CreateHistory();

  TDataDirs FDirs;
  std::unique_ptr<TMainForm> FForm;
  std::unique_ptr<TKeyHook> FKeyHook;
  std::unique_ptr<TAboutForm> FAbout;
  std::unique_ptr<TVarsForm> FVars;
  std::unique_ptr<TGraphForm> FGraph;
  std::unique_ptr<THistoryForm> FHistoryForm;
  // The history's file beside the settings file, written after each change.
  std::unique_ptr<THistoryFile> FHistoryFile;
  std::unique_ptr<TPresetForm> FPresetForm;
  TPresets* FPresets = nullptr;  // belongs to the main window
};
