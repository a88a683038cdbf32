// Which file a skin's picture name gives: the version for the screen's device
// pixel ratio, and names found regardless of letter case.
#include "skin/SkinPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(SkinPictures, ScaledNamesAndTheScaleThatFits) {
  const struct {
    const char* name;
    int scale;
    const char* expected;
  } names[] = {
      {"Key_7.bmp", 1, "Key_7.bmp"},
      {"Key_7.bmp", 2, "Key_7@2x.bmp"},
      {"sub/Back.ground.PNG", 3, "sub/Back.ground@3x.PNG"},
      {"NoExtension", 2, "NoExtension@2x"},
      {"dir.d/NoExtension", 2, "dir.d/NoExtension@2x"},
      {".hidden", 2, ".hidden@2x"},
  };
  for (const auto& row : names) EXPECT_EQ(ScaledPictureName(row.name, row.scale), row.expected) << row.name;

  const struct {
    double ratio;
    std::vector<int> available;
    int expected;
  } choices[] = {
      {1.0, {1, 2, 3}, 1},
      {1.25, {1, 2}, 2},      // a larger picture scaled down stays sharp
      {1.5, {1, 3}, 3},
      {2.0, {1, 2, 3}, 2},
      {2.004, {1, 2}, 2},     // the rounding of a scale setting
      {2.5, {1, 2, 3}, 3},
      {3.0, {1, 2}, 2},       // nothing large enough: the largest there is
      {2.0, {1}, 1},
      {0.75, {1, 2}, 1},
      {2.0, {}, 1},
  };
  for (const auto& row : choices)
    EXPECT_EQ(ChoosePictureScale(row.ratio, row.available), row.expected) << row.ratio;
}

std::string Le(std::uint32_t v, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
  return out;
}

TEST(SkinPictures, SizesFromTheFirstBytesOfBmpAndPng) {
  const std::string bmp = "BM" + std::string(12, '\0');
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + Le(13, 4) + "IHDR";
  const struct {
    const char* what;
    std::string head;
    int width, height;  // 0: none
  } rows[] = {
      {"BMP", bmp + Le(40, 4) + Le(325, 4) + Le(488, 4), 325, 488},
      {"BMP stored top-down", bmp + Le(40, 4) + Le(30, 4) + Le(uint32_t(-20), 4), 30, 20},
      {"BMP with the old core header", bmp + Le(12, 4) + Le(640, 2) + Le(480, 2) + Le(0x180001, 4), 640, 480},
      {"PNG", png + std::string("\0\0\1\x2C\0\0\0\x64", 8), 300, 100},
      {"BMP of no width", bmp + Le(40, 4) + Le(0, 4) + Le(488, 4), 0, 0},
      {"cut short", bmp + Le(40, 4) + Le(325, 4), 0, 0},
      {"an icon", std::string("\0\0\1\0\1\0", 6) + std::string(30, '\x10'), 0, 0},
      {"text", "this is no picture at all, really", 0, 0},
  };
  for (const auto& row : rows) {
    const auto size = PictureSizeFromHeader(row.head);
    if (row.width == 0) {
      EXPECT_FALSE(size) << row.what;
      continue;
    }
    ASSERT_TRUE(size) << row.what;
    EXPECT_EQ(size->Width, row.width) << row.what;
    EXPECT_EQ(size->Height, row.height) << row.what;
  }
}

class SkinFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() / ("zumbrel-skinpictures-" + std::to_string(::getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir / "Pics" / "Sub");
    for (const char* name : {"Pics/Key.bmp", "Pics/KEY_UP.BMP", "Pics/Sub/Deep.png", "Pics/key_up.bmp.bak"})
      std::ofstream(FDir / name) << "x";
    fs::create_directories(FDir / "Pics" / "Folder.bmp");
  }
  void TearDown() override { fs::remove_all(FDir); }
  fs::path FDir;
};

TEST_F(SkinFiles, NamesAreFoundRegardlessOfLetterCase) {
  const struct {
    const char* name;
    const char* path;  // below the folder; empty: not found
    bool exact;
  } rows[] = {
      {"Pics/Key.bmp", "Pics/Key.bmp", true},
      {"pics/key.BMP", "Pics/Key.bmp", false},
      {"Pics/Key_Up.bmp", "Pics/KEY_UP.BMP", false},
      {"PICS\\SUB\\deep.PNG", "Pics/Sub/Deep.png", false},
      {"Pics/Sub/../Key.bmp", "Pics/Sub/../Key.bmp", true},
      {"Pics/Kee.bmp", "", true},
      {"Pics/Folder.bmp", "", true},  // a folder is no picture
      {"", "", true},
      {"Nowhere/Key.bmp", "", true},
  };
  TFileFinder finder;
  const std::string base = FDir.string();
  for (const auto& row : rows) {
    const auto found = finder.Find(base, row.name);
    if (*row.path == '\0') {
      EXPECT_FALSE(found) << row.name;
      continue;
    }
    ASSERT_TRUE(found) << row.name;
    EXPECT_EQ(found->Path, base + "/" + row.path) << row.name;
    EXPECT_EQ(found->ExactCase, row.exact) << row.name;
  }
}

}  // namespace
