// The settings file: defaults, reading rules, the written form, write errors.
#include "calc/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "engine/Errors.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    FDir = fs::temp_directory_path() / ("zumbrel-settings-" + std::to_string(rd()));
    fs::create_directories(FDir);
    FPath = (FDir / "zumbrel.ini").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(FDir, ec);
  }
  void Put(const std::string& text) const { std::ofstream(FPath, std::ios::binary) << text; }
  std::string Get() const {
    std::ifstream in(FPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path FDir;
  std::string FPath;
};

TEST_F(SettingsFile, FirstRunGivesEveryDefault) {
  const IniFile ini(FPath);
  TMainSettings m{"Other", 3, true, 5, 6};
  TVarsSettings v{1, 2, 3, 4};
  TGraphSettings g{1, 2, 3, 4, true, false, true, false, true};
  THistorySettings h{1, 2, 3, 4};
  Load(ini, m);
  Load(ini, v);
  Load(ini, g);
  Load(ini, h);
  EXPECT_EQ(m, (TMainSettings{"Windows", 0, false, 0, 0}));
  EXPECT_EQ(v, (TVarsSettings{0, 0, 374, 290}));
  EXPECT_EQ(g, (TGraphSettings{0, 0, 659, 450, false, true, false, true, false}));
  EXPECT_EQ(h, (THistorySettings{0, 0, 360, 300}));
}

struct TMainRow {
  const char* Text;
  int Format;
  bool AlwaysOnTop;
};

TEST_F(SettingsFile, MainKeysFollowTheIntegerAndBooleanRules) {
  const TMainRow rows[] = {
      {"[Main]\nAlwayOnTop=yes\n", 0, false},  // not an integer: the default
      {"[Main]\nAlwayOnTop=2\n", 0, true},     // any non-zero integer is true
      {"[Main]\nAlwayOnTop=-1\n", 0, true},   {"[Main]\nAlwayOnTop=0\n", 0, false},
      {"[Main]\nAlwaysOnTop=1\n", 0, false},  // only the file's own spelling counts
      {"[Main]\nFormat=0x3\n", 3, false},     {"[main]\nformat=$2\n", 2, false},
      {"[Main]\nFormat=7\n", 7, false},  // used unchanged, no range check
      {"[Main]\nFormat=1.0\n", 0, false},     {"[Main]\nFormat=\n", 0, false},
  };
  for (const TMainRow& row : rows) {
    Put(row.Text);
    TMainSettings m;
    Load(IniFile(FPath), m);
    EXPECT_EQ(m.Format, row.Format) << row.Text;
    EXPECT_EQ(m.AlwaysOnTop, row.AlwaysOnTop) << row.Text;
  }
}

TEST_F(SettingsFile, OnlyASkinKeyLeavesTheRestAtDefaults) {
  Put("[Main]\nSkin=Missing Skin\n");
  IniFile ini(FPath);
  TMainSettings m;
  TGraphSettings g{9, 9, 9, 9, true, false, true, false};
  Load(ini, m);
  Load(ini, g);
  EXPECT_EQ(m.Skin, "Missing Skin");
  EXPECT_EQ(m.Format, 0);
  EXPECT_EQ(g.Width, 659);
  EXPECT_TRUE(g.AutoY);
  Save(ini, m);
  EXPECT_EQ(IniFile(FPath).ReadString("Main", "Skin", ""), "Missing Skin");
}

TEST_F(SettingsFile, SavingEveryWindowWritesTheKnownLayout) {
  IniFile ini(FPath);
  Save(ini, TMainSettings{"Windows", 1, false, 404, 462});
  Save(ini, TVarsSettings{300, 200, 374, 290});
  Save(ini, TGraphSettings{120, 80, 659, 450, false, true, false, true});
  Save(ini, THistorySettings{700, 10, 360, 300});
  EXPECT_EQ(Get(),
            "[Main]\nSkin=Windows\nFormat=1\nAlwayOnTop=0\n"
            "[Position]\nLeft=404\nTop=462\nVarsLeft=300\nVarsTop=200\nVarsWidth=374\n"
            "VarsHeight=290\nGraphLeft=120\nGraphTop=80\nGraphWidth=659\nGraphHeight=450\n"
            "HistoryLeft=700\nHistoryTop=10\nHistoryWidth=360\nHistoryHeight=300\n"
            "[Graph]\nAutoX=0\nAutoY=1\nJoinPoints=0\nDrawAxes=1\nGridLabels=0\n");

  // Where windows cannot tell their position, every position key stays as it was.
  Save(ini, TMainSettings{"Pocket", 2, true, 0, 0}, false);
  Save(ini, TVarsSettings{0, 0, 400, 300}, false);
  Save(ini, TGraphSettings{0, 0, 700, 500, true, true, false, true}, false);
  Save(ini, THistorySettings{0, 0, 380, 320}, false);
  EXPECT_EQ(Get(),
            "[Main]\nSkin=Pocket\nFormat=2\nAlwayOnTop=1\n"
            "[Position]\nLeft=404\nTop=462\nVarsLeft=300\nVarsTop=200\nVarsWidth=400\n"
            "VarsHeight=300\nGraphLeft=120\nGraphTop=80\nGraphWidth=700\nGraphHeight=500\n"
            "HistoryLeft=700\nHistoryTop=10\nHistoryWidth=380\nHistoryHeight=320\n"
            "[Graph]\nAutoX=1\nAutoY=1\nJoinPoints=0\nDrawAxes=1\nGridLabels=0\n");
}

TEST_F(SettingsFile, SavedValuesLoadBack) {
  IniFile ini(FPath);
  const TMainSettings m{"Blue Steel", 3, true, -1200, 2000};
  const TVarsSettings v{-5, 7, 1000, 20};
  const TGraphSettings g{1, 2, 3, 4, true, false, true, false, true};
  const THistorySettings h{-9, 8, 500, 90};
  Save(ini, m);
  Save(ini, v);
  Save(ini, g);
  Save(ini, h);
  TMainSettings m2;
  TVarsSettings v2;
  TGraphSettings g2;
  THistorySettings h2;
  Load(ini, m2);
  Load(ini, v2);
  Load(ini, g2);
  Load(ini, h2);
  EXPECT_EQ(m2, m);
  EXPECT_EQ(v2, v);
  EXPECT_EQ(g2, g);
  EXPECT_EQ(h2, h);
}

TEST_F(SettingsFile, UnwritableFileRaisesItsPath) {
  const std::string path = (FDir / "no-such-folder" / "zumbrel.ini").string();
  IniFile ini(path);
  try {
    Save(ini, TMainSettings{});
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
}

// Beside a program whose folder holds the file, whatever the current folder.
TEST_F(SettingsFile, PathIsTheProgramFolderPlusTheName) {
  Put("[Main]\n");
  const TDataDirs dirs = ChooseDataDirs(FDir.string(), "", ProcessEnvironment(), RealDataProbe());
  EXPECT_EQ(dirs.SettingsFile, FDir.lexically_normal().generic_string() + "/" + kSettingsFileName);
}

}  // namespace
