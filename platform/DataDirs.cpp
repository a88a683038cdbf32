#include "platform/DataDirs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_set>

#if defined(__unix__) || defined(__APPLE__)
#include <pwd.h>
#include <unistd.h>
#define ZUMBREL_HAVE_POSIX 1
#endif

namespace fs = std::filesystem;

namespace {

// `path` lexically normal, without a trailing separator (except the root).
std::string Normal(const std::string& path) {
  std::string text = fs::path(path).lexically_normal().generic_string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

std::string Join(const std::string& folder, std::string_view name) {
  return Normal(folder + "/" + std::string(name));
}

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

// An XDG folder variable: its value when absolute, else the default below
// HOME (empty when HOME is no absolute folder either).
std::string XdgHome(const TEnvLookup& env, const char* name, std::string_view fallback) {
  const std::string value = env(name);
  if (IsAbsolute(value)) return Normal(value);
  const std::string home = env("HOME");
  return IsAbsolute(home) ? Join(home, fallback) : std::string();
}

// $XDG_DATA_DIRS, its relative and empty entries left out.
std::vector<std::string> XdgDataDirs(const TEnvLookup& env) {
  const std::string value = env("XDG_DATA_DIRS");
  std::vector<std::string> dirs;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t end = std::min(value.find(':', start), value.size());
    const std::string entry = value.substr(start, end - start);
    if (IsAbsolute(entry)) dirs.push_back(Normal(entry));
    start = end + 1;
  }
  if (dirs.empty()) dirs = {"/usr/local/share", "/usr/share"};
  return dirs;
}

void AppendOnce(std::vector<std::string>& list, const std::string& item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

TDataDirs PortableDirs(const std::string& programDir) {
  TDataDirs dirs;
  dirs.Mode = dmPortable;
  dirs.SettingsFile = Join(programDir, kSettingsFile);
  dirs.PresetsDir = Join(programDir, kPresetsFolder);
  dirs.UserDataDir = programDir;
  dirs.SkinDirs = {Join(programDir, kSkinsFolder)};
  dirs.HelpFile = Join(programDir, kHelpFile);
  return dirs;
}

TDataDirs InstalledDirs(const std::string& programDir, const std::string& ownDataDir,
                        const TEnvLookup& env, const TDataProbe& probe) {
  TDataDirs dirs;
  dirs.Mode = dmInstalled;
  const std::string configHome = XdgHome(env, "XDG_CONFIG_HOME", ".config");
  const std::string dataHome = XdgHome(env, "XDG_DATA_HOME", ".local/share");
  if (!configHome.empty())
    dirs.SettingsFile = Join(configHome, std::string(kDataFolderName) + "/" + kSettingsFile);
  if (!dataHome.empty()) {
    dirs.UserDataDir = Join(dataHome, kDataFolderName);
    dirs.PresetsDir = Join(dirs.UserDataDir, kPresetsFolder);
    dirs.SkinDirs.push_back(Join(dirs.UserDataDir, kSkinsFolder));
  }

  std::vector<std::string> shared;  // system data folders of the program, in order
  for (const std::string& dir : XdgDataDirs(env)) AppendOnce(shared, Join(dir, kDataFolderName));
  const std::string own = ownDataDir.empty() ? std::string() : Join(programDir, ownDataDir);
  if (!own.empty()) AppendOnce(shared, own);
  // The user's folder may also be listed among the shared ones; it stays first.
  for (const std::string& dir : shared) AppendOnce(dirs.SkinDirs, Join(dir, kSkinsFolder));

  // The help page belongs to this program's version: its own copy first.
  std::vector<std::string> helpDirs;
  if (!own.empty()) helpDirs.push_back(own);
  for (const std::string& dir : shared) AppendOnce(helpDirs, dir);
  dirs.HelpFile = Join(helpDirs.front(), kHelpFile);
  for (const std::string& dir : helpDirs) {
    if (probe.IsFile(Join(dir, kHelpFile))) {
      dirs.HelpFile = Join(dir, kHelpFile);
      break;
    }
  }
  return dirs;
}

// A name the menu and the settings may carry: one plain file name.
bool IsSkinName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
}

// Sorted ignoring ASCII letter case; names that differ only in case keep
// one fixed order.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto lower = [](std::string text) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
  };
  const std::string la = lower(a), lb = lower(b);
  return la != lb ? la < lb : a < b;
}

// Anything but a folder: a pipe or a device named like a skin is listed and
// then fails to load (the loader reads regular files only), as in one folder.
bool IsFileEntry(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  return !ec && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace

TEnvLookup ProcessEnvironment() {
  return [](const char* name) -> std::string {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
#ifdef ZUMBREL_HAVE_POSIX
    if (std::string_view(name) == "HOME") {
      // A session without HOME (started by a service, say) still has a user.
      const passwd* entry = ::getpwuid(::getuid());
      if (entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
    }
#endif
    return {};
  };
}

TDataProbe RealDataProbe() {
  TDataProbe probe;
  probe.IsFile = [](const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec) && !fs::is_directory(path, ec);
  };
  probe.IsFolder = [](const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
  };
  probe.IsWritable = [](const std::string& path) {
#ifdef ZUMBREL_HAVE_POSIX
    return ::access(path.c_str(), W_OK | X_OK) == 0;
#else
    std::error_code ec;
    const fs::perms perms = fs::status(path, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) != fs::perms::none;
#endif
  };
  return probe;
}

TDataDirs ChooseDataDirs(const std::string& programDir, const std::string& ownDataDir,
                         const TEnvLookup& env, const TDataProbe& probe) {
  const std::string dir = Normal(programDir);
  const bool portable = probe.IsFile(Join(dir, kSettingsFile)) ||
                        (probe.IsFolder(Join(dir, kSkinsFolder)) && probe.IsWritable(dir));
  return portable ? PortableDirs(dir) : InstalledDirs(dir, ownDataDir, env, probe);
}

std::vector<TSkinEntry> ListSkins(const std::vector<std::string>& folders) {
  std::vector<TSkinEntry> skins;
  std::unordered_set<std::string> names;  // taken by an earlier folder
  const std::string_view extension = kSkinExtension;
  for (const std::string& folder : folders) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
      const std::string file = it->path().filename().string();
      if (file.size() <= extension.size() || !file.ends_with(extension)) continue;
      const std::string name = file.substr(0, file.size() - extension.size());
      if (!IsSkinName(name) || !IsFileEntry(it->path())) continue;
      if (names.insert(name).second) skins.push_back({name, Join(folder, file)});
    }
  }
  std::sort(skins.begin(), skins.end(), [](const TSkinEntry& a, const TSkinEntry& b) {
    return LessIgnoringCase(a.Name, b.Name);
  });
  return skins;
}

std::string FindSkinFile(const std::vector<std::string>& folders, const std::string& name) {
  if (!IsSkinName(name)) return {};
  for (const std::string& folder : folders) {
    const std::string file = Join(folder, name + kSkinExtension);
    if (IsFileEntry(file)) return file;
  }
  return {};
}
