// The skin check: each kind of problem is found, with its line and level, and
// a sound skin has none. Pictures are measured by a stand-in probe.
#include "skin/SkinCheck.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

class SkinCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("zumbrel-skincheck-" + std::to_string(::getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir / "pics");
    for (const char* name : {"main.bmp", "key.bmp", "Key_Up.bmp", "key@2x.bmp", "odd.bmp", "odd@2x.bmp",
                             "broken.bmp", "app.ico", "shape.rgn"})
      std::ofstream(FDir / "pics" / name) << "x";
    std::ofstream(FDir / "pics" / "shape.rgn", std::ios::binary).write("\0\0\0\0", 4);
    FPictures = {{"main.bmp", {true, true, 200, 100, ""}}, {"key.bmp", {true, true, 20, 10, ""}},
                 {"Key_Up.bmp", {true, true, 20, 10, ""}}, {"key@2x.bmp", {true, true, 40, 20, ""}},
                 {"odd.bmp", {true, true, 20, 10, ""}},    {"odd@2x.bmp", {true, true, 41, 20, ""}},
                 {"broken.bmp", {false, true, 0, 0, "bad header"}}, {"app.ico", {true, false, 16, 16, ""}}};
  }
  void TearDown() override { fs::remove_all(FDir); }

  // The problems of a skin file with this text, one "<line> <level>: <text>" each.
  std::vector<std::string> Check(const std::string& text) {
    const fs::path skin = FDir / "t.skn";
    std::ofstream(skin, std::ios::binary) << text;
    std::vector<std::string> lines;
    const auto probe = [this](const std::string& path) { return FPictures.at(fs::path(path).filename().string()); };
    for (const TSkinProblem& p : CheckSkin(skin.string(), probe)) {
      EXPECT_EQ(p.File, skin.string());
      static const char* const kLevels[] = {"error", "warning", "info"};
      lines.push_back(std::to_string(p.Line) + " " + kLevels[p.Level] + ": " + p.Text);
    }
    return lines;
  }

  fs::path FDir;
  std::map<std::string, TPictureFacts> FPictures;
};

const std::string kMain = "[Main]\nPictureDir=pics\nPicture=main.bmp\n";

TEST_F(SkinCheck, FindsEachKindOfProblemOnItsLine) {
  const struct {
    const char* what;
    std::string text;
    std::vector<std::string> problems;  // errors and warnings, information left out
  } rows[] = {
      {"a sound skin", kMain + "Mask=shape.rgn\nButtons=1\n[Buttons]\nBut1Default=key.bmp\nBut1Pos=1,1\nBut1Size=20,10\n", {}},
      {"misspelt keys and sections",
       kMain + "Buttonz=1\n[Buttons]\nBut1Defualt=key.bmp\nLabel1Pos=1,1\nBut1Colour=1\n[Label]\nAuthor=me\n[Info]\n",
       {"4 error: Buttonz: did you mean Buttons?", "6 error: But1Defualt: did you mean But1Default?",
        "7 error: Label1Pos belongs in [Labels]: not read here", "8 warning: unknown key But1Colour in [Buttons]: not read",
        "9 error: [Label]: did you mean [Labels]? (its keys are not read)", "11 warning: unknown section [Info]: its keys are not read"}},
      {"pictures missing, broken, in other letter case, of no size",
       "[Main]\nPictureDir=pics\nPicture=APP.ICO\nMask=none.rgn\nButtons=2\n[Buttons]\nBut1Default=KEY.BMP\n"
       "But1Up=key_up.bmp\nBut2Default=broken.bmp\nBut2Down=gone.bmp\n",
       {"3 warning: Picture=APP.ICO: found only as app.ico, in other letter case (other systems may not find it)",
        "3 error: Picture=APP.ICO gives a window of no size (it must be a bitmap): the skin cannot load",
        "4 error: Mask=none.rgn: no such outline file (the window stays rectangular)",
        "7 warning: But1Default=KEY.BMP: found only as key.bmp, in other letter case (other systems may not find it)",
        "8 warning: But1Up=key_up.bmp: found only as Key_Up.bmp, in other letter case (other systems may not find it)",
        "9 error: But2Default=broken.bmp: cannot be decoded (bad header)", "10 error: But2Down=gone.bmp: no such picture"}},
      {"no main picture", "[Main]\nButtons=0\n", {"0 error: [Main] names no Picture: the skin cannot load"}},
      {"a larger version of another size", kMain + "Buttons=1\n[Buttons]\nBut1Default=odd.bmp\n",
       {"6 warning: odd@2x.bmp is 41x20, not 2 times 20x10"}},
      {"counts, numbers beyond them, duplicates and places",
       kMain + "Buttons=60\nSlideBars=1\n[Buttons]\nBut1Name=Enter\nBut1Pos=190,95\nBut1Size=20,10\n"
               "But2Name=Enter\nBut2Pos=300,0\nBut2Size=20,10\nBut50Pos=0,0\nBut1Pos=0,0\n"
               "[SlideBars]\nSlideBar1Style=18\nSlideBar2Pos=1,1\n",
       {"4 warning: Buttons=60: at most 49 are made",
        "8 warning: button 1 (Enter) at 190,95, 20x10, lies partly outside the window (200x100)",
        "10 warning: But2Name=Enter: button 1 has this name too, and only that one is found by it",
        "11 error: button 2 (Enter) at 300,0, 20x10, lies outside the window (200x100)",
        "13 warning: But50Pos: a skin has at most 49 of each kind; not read",
        "14 warning: But1Pos is given again: the one on line 8 counts",
        "16 error: SlideBar1Style=18: slide bar styles are 0 to 17 (the load ends here)",
        "17 warning: slide bar 2 is not made ([Main] SlideBars=1): its keys are not read"}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> found;
    for (const std::string& p : Check(row.text))
      if (p.find(" info: ") == std::string::npos) found.push_back(p);
    EXPECT_EQ(found, row.problems) << row.what;
  }
}

TEST_F(SkinCheck, NamesTheCalculatorBindsAreInformation) {
  const auto problems = Check(kMain + "Buttons=1\nCheckBoxes=1\nEdits=1\nLabels=1\n[Buttons]\nBut1Name=Pi\n"
                                      "[CheckBoxes]\nCheckBox1Name=Hyp\n[Edits]\nEdit1Name=Expression\n"
                                      "[Labels]\nLabel1Name=Total\n");
  const std::vector<std::string> expected = {
      "0 info: no button named Enter, Close, Clear, Back, Minimize, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, A, B, C, D, "
      "E, F, Exp, Divide, Multiply, Plus, Minus, Point, BracketL, BracketR, Sin, Cos, Tan, Log, Ln, Power, "
      "Power2, Power3, Fact, And, Or, Xor, Mod, Inv (the calculator binds these names)",
      "0 info: no label named Result (the calculator binds these names)",
      "0 info: no check box named MemSet, MemClear, MemOut, MemPlus, MemMinus, 2ndF, Eng (the calculator binds "
      "these names)"};
  EXPECT_EQ(problems, expected);
  EXPECT_EQ(FormatProblem({clError, "a/t.skn", 12, "But1Defualt: did you mean But1Default?"}),
            "a/t.skn:12: error: But1Defualt: did you mean But1Default?");
  EXPECT_EQ(FormatProblem({clInfo, "t.skn", 0, "x"}), "t.skn: info: x");
}

}  // namespace
