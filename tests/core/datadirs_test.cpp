// DataDirs: the choice between portable and installed, the folders of each,
// and the skin list gathered from several folders.
#include "platform/DataDirs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A machine laid out by a table row: which paths are files, folders, and
// folders this process may write.
struct TMachine {
  std::set<std::string> Files, Folders, Writable;

  TDataProbe Probe() const {
    return {[this](const std::string& p) { return Files.count(p) > 0; },
            [this](const std::string& p) { return Folders.count(p) > 0; },
            [this](const std::string& p) { return Writable.count(p) > 0; }};
  }
};

TEnvLookup Env(std::map<std::string, std::string> vars) {
  return [vars](const char* name) {
    const auto it = vars.find(name);
    return it == vars.end() ? std::string() : it->second;
  };
}

const char* const kOwn = "../share/zumbrel";
const std::string kUserData = "/home/ann/.local/share/zumbrel";

TDataDirs Installed(std::vector<std::string> skins, std::string help) {
  return {dmInstalled,
          "/home/ann/.config/zumbrel/zumbrel.ini",
          kUserData + "/Presets",
          kUserData,
          std::move(skins),
          std::move(help)};
}

TEST(ChooseDataDirs, PortableOrInstalledWithTheirFolders) {
  struct TRow {
    const char* What;
    const char* ProgramDir;
    TMachine Machine;
    std::map<std::string, std::string> Vars;
    TDataDirs Want;
  };
  const std::map<std::string, std::string> home = {{"HOME", "/home/ann"}};
  const std::string userSkins = kUserData + "/Skins";
  // clang-format off
  const TRow rows[] = {
      {"the build folder: writable, with Skins", "/src/build/bin",
       {{}, {"/src/build/bin/Skins"}, {"/src/build/bin"}}, home,
       {dmPortable, "/src/build/bin/zumbrel.ini", "/src/build/bin/Presets", "/src/build/bin",
        {"/src/build/bin/Skins"}, "/src/build/bin/Help.html"}},
      {"a settings file makes even a read-only folder portable", "/media/stick/calc/",
       {{"/media/stick/calc/zumbrel.ini"}, {}, {}}, home,
       {dmPortable, "/media/stick/calc/zumbrel.ini", "/media/stick/calc/Presets",
        "/media/stick/calc", {"/media/stick/calc/Skins"}, "/media/stick/calc/Help.html"}},
      {"skins in a folder the user cannot write: installed", "/opt/calc",
       {{}, {"/opt/calc/Skins"}, {}}, home,
       Installed({userSkins, "/usr/local/share/zumbrel/Skins", "/usr/share/zumbrel/Skins",
                  "/opt/share/zumbrel/Skins"}, "/opt/share/zumbrel/Help.html")},
      {"/usr/bin with the variables unset", "/usr/bin",
       {{"/usr/share/zumbrel/Help.html"}, {}, {"/usr/bin"}}, home,
       Installed({userSkins, "/usr/local/share/zumbrel/Skins", "/usr/share/zumbrel/Skins"},
                 "/usr/share/zumbrel/Help.html")},
      {"XDG folders set, with a trailing slash and a folder twice", "/usr/bin",
       {{"/b/zumbrel/Help.html"}, {}, {}},
       {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "/cfg/"}, {"XDG_DATA_HOME", "/data"},
        {"XDG_DATA_DIRS", "/a:/b/:/a"}},
       {dmInstalled, "/cfg/zumbrel/zumbrel.ini", "/data/zumbrel/Presets", "/data/zumbrel",
        {"/data/zumbrel/Skins", "/a/zumbrel/Skins", "/b/zumbrel/Skins", "/usr/share/zumbrel/Skins"},
        "/b/zumbrel/Help.html"}},
      {"relative and empty XDG values are ignored", "/usr/bin", {},
       {{"HOME", "/home/ann"}, {"XDG_CONFIG_HOME", "cfg"}, {"XDG_DATA_HOME", "./data"},
        {"XDG_DATA_DIRS", "share::/x"}},
       Installed({userSkins, "/x/zumbrel/Skins", "/usr/share/zumbrel/Skins"},
                 "/usr/share/zumbrel/Help.html")},
      {"a prefix outside XDG_DATA_DIRS: its skins last, its help first", "/opt/zumbrel/bin",
       {{"/opt/zumbrel/share/zumbrel/Help.html", "/usr/share/zumbrel/Help.html"}, {}, {}}, home,
       Installed({userSkins, "/usr/local/share/zumbrel/Skins", "/usr/share/zumbrel/Skins",
                  "/opt/zumbrel/share/zumbrel/Skins"}, "/opt/zumbrel/share/zumbrel/Help.html")},
      {"installed in the user's own prefix: writable, no Skins", "/home/ann/.local/bin",
       {{kUserData + "/Help.html"}, {}, {"/home/ann/.local/bin"}}, home,
       Installed({userSkins, "/usr/local/share/zumbrel/Skins", "/usr/share/zumbrel/Skins"},
                 kUserData + "/Help.html")},
      {"no home folder: nothing to write, system skins only", "/usr/bin", {}, {},
       {dmInstalled, "", "", "", {"/usr/local/share/zumbrel/Skins", "/usr/share/zumbrel/Skins"},
        "/usr/share/zumbrel/Help.html"}},
  };
  // clang-format on
  for (const TRow& row : rows) {
    const TDataDirs got = ChooseDataDirs(row.ProgramDir, kOwn, Env(row.Vars), row.Machine.Probe());
    EXPECT_EQ(got.Mode, row.Want.Mode) << row.What;
    EXPECT_EQ(got.SettingsFile, row.Want.SettingsFile) << row.What;
    EXPECT_EQ(got.PresetsDir, row.Want.PresetsDir) << row.What;
    EXPECT_EQ(got.UserDataDir, row.Want.UserDataDir) << row.What;
    EXPECT_EQ(got.SkinDirs, row.Want.SkinDirs) << row.What;
    EXPECT_EQ(got.HelpFile, row.Want.HelpFile) << row.What;
  }
}

class TTempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = fs::temp_directory_path() /
           ("zumbrel-datadirs-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(Root);
    fs::create_directories(Root);
  }
  void TearDown() override { fs::remove_all(Root); }

  std::string Path(const std::string& relative) const { return (Root / relative).generic_string(); }
  void File(const std::string& relative) const {
    fs::create_directories(fs::path(Path(relative)).parent_path());
    std::ofstream(Path(relative)) << "[Main]\n";
  }

  fs::path Root;
};

TEST_F(TTempTree, RealFoldersDecideTheMode) {
  File("ini/zumbrel.ini");
  fs::create_directories(Path("skins/Skins"));
  File("plain/zumbrel");
  File("skinsfile/Skins");  // a file named Skins is no skin folder
  const std::pair<const char*, TDataMode> rows[] = {{"ini", dmPortable},
                                                    {"skins", dmPortable},
                                                    {"plain", dmInstalled},
                                                    {"skinsfile", dmInstalled}};
  for (const auto& [dir, mode] : rows) {
    const TDataDirs got =
        ChooseDataDirs(Path(dir), kOwn, Env({{"HOME", Path("home")}}), RealDataProbe());
    EXPECT_EQ(got.Mode, mode) << dir;
  }
}

TEST_F(TTempTree, SkinsFromSeveralFoldersTheFirstWinsSortedIgnoringCase) {
  File("user/Windows.skn");
  File("user/alpha.skn");
  File("user/midnight.skn");
  fs::create_directories(Path("user/Broken.skn"));  // a folder hides no skin
  File("system/Windows.skn");
  File("system/Midnight.skn");
  File("system/Broken.skn");
  File("system/Pocket.SKN");
  File("system/readme.txt");
  File("system/.skn");
  const std::vector<std::string> folders = {Path("user"), Path("missing"), Path("system")};

  const std::vector<TSkinEntry> want = {{"alpha", Path("user/alpha.skn")},
                                        {"Broken", Path("system/Broken.skn")},
                                        {"Midnight", Path("system/Midnight.skn")},
                                        {"midnight", Path("user/midnight.skn")},
                                        {"Windows", Path("user/Windows.skn")}};
  EXPECT_EQ(ListSkins(folders), want);

  const std::pair<std::string, std::string> found[] = {{"Windows", Path("user/Windows.skn")},
                                                       {"Broken", Path("system/Broken.skn")},
                                                       {"Pocket", ""},
                                                       {"Nothing", ""},
                                                       {"../user/Windows", ""},
                                                       {"..", ""},
                                                       {"", ""},
                                                       {std::string("Win\ndows"), ""}};
  for (const auto& [name, file] : found) EXPECT_EQ(FindSkinFile(folders, name), file) << name;
}

}  // namespace
