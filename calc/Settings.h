// The settings file "zumbrel.ini": the keys of each window with their
// defaults, and the operations that read and write them. Core layer (no Qt);
// used by the main window, the variables, graph and history windows.
#pragma once

#include <string>

#include "platform/DataDirs.h"
#include "platform/IniFile.h"

// The settings file's name; where it lies is decided with the other data
// folders (TDataDirs::SettingsFile).
inline constexpr const auto& kSettingsFileName = kSettingsFile;

// Main window: [Main] Skin, Format, AlwayOnTop; [Position] Left, Top.
struct TMainSettings {
  std::string Skin = "Windows";
  int Format = 0;  // number format code, used as read (no range check)
  bool AlwaysOnTop = false;
  int Left = 0, Top = 0;
  bool operator==(const TMainSettings&) const = default;
};

// Variables window: [Position] VarsLeft, VarsTop, VarsWidth, VarsHeight.
struct TVarsSettings {
  int Left = 0, Top = 0, Width = 374, Height = 290;
  bool operator==(const TVarsSettings&) const = default;
};

// Graph window: [Position] GraphLeft, GraphTop, GraphWidth, GraphHeight;
// [Graph] AutoX, AutoY, JoinPoints, DrawAxes, GridLabels.
struct TGraphSettings {
  int Left = 0, Top = 0, Width = 659, Height = 450;
  bool AutoX = false, AutoY = true, JoinPoints = false, DrawAxes = true;
  bool GridLabels = false;
  bool operator==(const TGraphSettings&) const = default;
};

// History window: [Position] HistoryLeft, HistoryTop, HistoryWidth,
// HistoryHeight.
struct THistorySettings {
  int Left = 0, Top = 0, Width = 360, Height = 300;
  bool operator==(const THistorySettings&) const = default;
};

// Load sets every field from its key, or from the default when the key is
// missing or malformed. Save writes every key, in the order listed above, in
// one replace of the file (or into the file's open TIniBatch); with an
// EWriteError none of them is written. Without `withPosition` the window's
// left and top keys are left as they are in the file: a window system that
// places windows itself never tells where they are.
void Load(const IniFile& ini, TMainSettings& s);
void Save(IniFile& ini, const TMainSettings& s, bool withPosition = true);
void Load(const IniFile& ini, TVarsSettings& s);
void Save(IniFile& ini, const TVarsSettings& s, bool withPosition = true);
void Load(const IniFile& ini, TGraphSettings& s);
void Save(IniFile& ini, const TGraphSettings& s, bool withPosition = true);
void Load(const IniFile& ini, THistorySettings& s);
void Save(IniFile& ini, const THistorySettings& s, bool withPosition = true);

// A window that keeps its own keys in the settings file: it reads them when
// it is created and writes them when it is destroyed.
class ISettingsOwner {
 public:
  virtual ~ISettingsOwner() = default;
  virtual void LoadSettings(const IniFile& ini) = 0;
  virtual void SaveSettings(IniFile& ini) = 0;
};
