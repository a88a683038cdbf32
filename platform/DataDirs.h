// Where the calculator's files live, decided once at start: portable (every
// file beside the program, as in the build folder) or installed (per-user
// folders of the XDG base-directory rules, shared skins and help from the
// system's data folders). Also the skin list gathered from several folders.
// Core layer, standard C++ only; the program entry decides and hands the
// result to whatever reads or writes a file.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The program's folder name inside the per-user and system data folders.
inline constexpr char kDataFolderName[] = "zumbrel";
// The settings file; its presence beside the program makes the program portable.
inline constexpr char kSettingsFile[] = "zumbrel.ini";
inline constexpr char kSkinsFolder[] = "Skins";
inline constexpr char kPresetsFolder[] = "Presets";
inline constexpr char kHelpFile[] = "Help.html";
inline constexpr char kSkinExtension[] = ".skn";

enum TDataMode { dmPortable, dmInstalled };

// The value of an environment variable; empty when it is unset or empty,
// which the XDG rules treat alike.
using TEnvLookup = std::function<std::string(const char* name)>;

// What the choice asks of the file system, so tests can lay out any machine.
struct TDataProbe {
  std::function<bool(const std::string&)> IsFile;      // exists and is not a folder
  std::function<bool(const std::string&)> IsFolder;    // exists and is a folder
  std::function<bool(const std::string&)> IsWritable;  // a folder this process may create files in
};

struct TDataDirs {
  TDataMode Mode = dmPortable;
  // Where the settings are read and written, and the presets folder. Both
  // are empty in installed mode when no home folder can be found: then
  // nothing is written at all.
  std::string SettingsFile;
  std::string PresetsDir;
  // The user's own data folder (portable: the program's folder). Empty like
  // the two above.
  std::string UserDataDir;
  // Skin folders, the one that wins a name first.
  std::vector<std::string> SkinDirs;
  // The help page to open; it may be missing, which opening it tolerates.
  std::string HelpFile;
  bool operator==(const TDataDirs&) const = default;
};

// The process's environment; HOME falls back to the user's entry in the
// password database when it is unset.
TEnvLookup ProcessEnvironment();
// The real file system.
TDataProbe RealDataProbe();

// Portable exactly when `programDir` holds the settings file, or is writable
// and holds a Skins folder. Otherwise installed: settings in
// $XDG_CONFIG_HOME/zumbrel/, presets in $XDG_DATA_HOME/zumbrel/Presets, skins
// from $XDG_DATA_HOME/zumbrel/Skins, then zumbrel/Skins of every folder of
// $XDG_DATA_DIRS in order, then the program's own data folder; the help page
// from the program's own data folder, else the first of $XDG_DATA_DIRS that
// has one. Unset, empty or relative XDG values take their defaults
// ($HOME/.config, $HOME/.local/share, /usr/local/share:/usr/share).
// `ownDataDir` is the installed data folder relative to `programDir` (for
// example "../share/zumbrel"), so a program installed under any prefix finds
// its own skins and help even when that prefix is not in $XDG_DATA_DIRS;
// empty when unknown. Every path is absolute and lexically normal.
TDataDirs ChooseDataDirs(const std::string& programDir, const std::string& ownDataDir,
                         const TEnvLookup& env, const TDataProbe& probe);

struct TSkinEntry {
  std::string Name;  // the file name without ".skn": what the menu and the settings show
  std::string File;  // the skin file's path
  bool operator==(const TSkinEntry&) const = default;
};

// Every skin file ("*.skn", anything but a folder) of the folders, once per
// name: the first folder that has a name wins, as a user's skin overrides a
// bundled one of the same name. Sorted by name ignoring ASCII letter case.
// Missing or unreadable folders give nothing.
std::vector<TSkinEntry> ListSkins(const std::vector<std::string>& folders);

// The file of the skin called `name` in the first folder that has it, or
// empty. A name that is empty, "." or "..", or holds a path separator or a
// control character names no skin, so a settings value cannot reach outside
// the skin folders.
std::string FindSkinFile(const std::vector<std::string>& folders, const std::string& name);
