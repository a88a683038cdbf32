// IniFile: the integer rule, reading and editing INI text, and the file on disk.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <utility>

#include "engine/Errors.h"

namespace fs = std::filesystem;

namespace {

// ---- The integer rule -------------------------------------------------------

TEST(ParseIniInteger, AcceptsDecimalAndHexFormsOnly) {
  // clang-format off
  const std::pair<const char*, int> good[] = {
      {"0", 0},      {"404", 404},      {"-17", -17},  {"+8", 8},       {"  42", 42},
      {"$1F", 31},   {"0x3", 3},        {"0XfF", 255}, {"-$10", -16},   {"$FFFFFFFF", -1},
      {"0x80000005", static_cast<int>(0x80000005u)},   {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1}};
  // clang-format on
  for (const auto& [text, value] : good) {
    int out = 12345;
    EXPECT_TRUE(ParseIniInteger(text, out)) << text;
    EXPECT_EQ(out, value) << text;
  }
  const char* bad[] = {"",           "yes",         "12 ",        "1.5",
                       "1e3",        "$",           "0x",         "-",
                       "--1",        "0x-1",        "$G",         "x10",
                       "2147483648", "-2147483649", "$100000000", "99999999999999999999999"};
  for (const char* text : bad) {
    int out = 12345;
    EXPECT_FALSE(ParseIniInteger(text, out)) << text;
    EXPECT_EQ(out, 12345) << text;
  }
  // Skin files also take a bare "x" before hexadecimal digits.
  int out = 0;
  EXPECT_TRUE(ParseIniInteger("X1f", out, true));
  EXPECT_EQ(out, 31);
}

// ---- Reading text -----------------------------------------------------------

struct TFindRow {
  std::string Text, Section, Key;
  std::optional<std::string> Expected;  // nullopt: missing
};

TEST(TIniData, FindsKeysByProfileRules) {
  const TFindRow rows[] = {
      // Letter case of sections and keys does not matter.
      {"[MAIN]\nSKIN=Neon\n", "main", "skin", "Neon"},
      {"[main]\nskin=Neon\n", "MAIN", "SKIN", "Neon"},
      // Blanks around names and values are trimmed, inner blanks kept.
      {"  [ Main ]  \n \t Skin  =  Big  Blue \t\n", "Main", "Skin", "Big  Blue"},
      // Line ends: CR LF, lone CR, none at the end.
      {"[Main]\r\nSkin=A\r\nFormat=1\r\n", "Main", "Skin", "A"},
      {"[Main]\rSkin=A\rFormat=1", "Main", "Format", "1"},
      // A byte-order mark before the first section.
      {"\xEF\xBB\xBF[Main]\nSkin=A\n", "Main", "Skin", "A"},
      // The first of duplicate keys wins; a repeated section adds its keys.
      {"[Main]\nSkin=A\nSkin=B\n", "Main", "Skin", "A"},
      {"[Main]\nSkin=A\n[Graph]\n[main]\nSkin=B\nFormat=2\n", "Main", "Format", "2"},
      {"[Main]\nSkin=A\n[main]\nSkin=B\n", "Main", "Skin", "A"},
      // Only the first "=" separates; an empty value is present.
      {"[Main]\nSkin=a=b\n", "Main", "Skin", "a=b"},
      {"[Main]\nSkin=\n", "Main", "Skin", ""},
      // Keys before any section belong to the section "".
      {"Skin=A\n[Main]\n", "", "Skin", "A"},
      {"Skin=A\n[Main]\n", "Main", "Skin", std::nullopt},
      // Lines without "=", comments and broken headers give no key.
      {"[Main]\nSkin\n;Format=1\n", "Main", "Skin", std::nullopt},
      {"[Main]\n;Format=1\n", "Main", ";Format", std::nullopt},
      {"[Main\nSkin=A\n", "Main", "Skin", std::nullopt},
      // A key belongs to the nearest section above it only.
      {"[Main]\n[Graph]\nSkin=A\n", "Main", "Skin", std::nullopt},
      {"", "Main", "Skin", std::nullopt},
  };
  for (const TFindRow& row : rows) {
    const TIniData data(row.Text);
    const auto found = data.Find(row.Section, row.Key);
    ASSERT_EQ(found.has_value(), row.Expected.has_value()) << row.Text;
    if (found) {
      EXPECT_EQ(*found, *row.Expected) << row.Text;
    }
  }
}

TEST(TIniData, CutsValuesTo2047Characters) {
  const TIniData plain("[S]\nK=" + std::string(3000, 'x') + "\n");
  EXPECT_EQ(*plain.Find("S", "K"), std::string(kIniMaxValue, 'x'));
  // A two-byte character counts once and is never split.
  const std::string e = "\xC3\xA9";
  const TIniData wide("[S]\nK=" + std::string(2046, 'a') + e + e + "\n");
  EXPECT_EQ(*wide.Find("S", "K"), std::string(2046, 'a') + e);
  // Stray continuation bytes are characters of their own.
  const TIniData stray("[S]\nK=a" + std::string(3000, '\x80') + "\n");
  EXPECT_EQ(stray.Find("S", "K")->size(), kIniMaxValue);
}

// ---- Editing text -----------------------------------------------------------

struct TSetRow {
  std::string Before, Section, Key, Value, After;
};

const TSetRow kSetRows[] = {
    // New file, new section, new key.
    {"", "Main", "Skin", "Neon", "[Main]\nSkin=Neon\n"},
    // Replace the value part only; names, blanks before it and other lines stay.
    {"; mine\n[main]\r\n  SKIN = Old  \r\nFormat=1\r\n", "Main", "Skin", "New",
     "; mine\n[main]\r\n  SKIN = New\r\nFormat=1\r\n"},
    {"[Main]\nSkin=\n", "Main", "Skin", "A", "[Main]\nSkin=A\n"},
    {"[Main]\nSkin=A\nSkin=B\n", "Main", "Skin", "C", "[Main]\nSkin=C\nSkin=B\n"},
    // A new key goes after the last key of its section, before blank lines.
    {"[Main]\nSkin=A\n\n[Graph]\nAutoX=1\n", "Main", "Format", "2",
     "[Main]\nSkin=A\nFormat=2\n\n[Graph]\nAutoX=1\n"},
    {"[Main]\n\n[Graph]\n", "Main", "Format", "2", "[Main]\nFormat=2\n\n[Graph]\n"},
    // A repeated section: the key goes into the first one.
    {"[Main]\nSkin=A\n[Graph]\n[Main]\nTop=1\n", "Main", "Format", "2",
     "[Main]\nSkin=A\nFormat=2\n[Graph]\n[Main]\nTop=1\n"},
    // ... but an existing key in the second one is the one changed.
    {"[Main]\nSkin=A\n[Graph]\n[Main]\nTop=1\n", "Main", "Top", "2",
     "[Main]\nSkin=A\n[Graph]\n[Main]\nTop=2\n"},
    // New lines follow the file's line end; a missing last line end is added.
    {"[Main]\r\nSkin=A\r\n", "Position", "Left", "5",
     "[Main]\r\nSkin=A\r\n[Position]\r\nLeft=5\r\n"},
    {"[Main]\nSkin=A", "Main", "Format", "1", "[Main]\nSkin=A\nFormat=1\n"},
    {"[Main]\nSkin=A", "Graph", "AutoX", "0", "[Main]\nSkin=A\n[Graph]\nAutoX=0\n"},
    {"[Main]", "Main", "Skin", "A", "[Main]\nSkin=A\n"},
    // A NUL is a character like any other, also as the text's last one.
    {std::string("[Main]\nx\0", 9), "Graph", "AutoX", "0",
     std::string("[Main]\nx\0\n[Graph]\nAutoX=0\n", 26)},
    // The byte-order mark stays first.
    {"\xEF\xBB\xBFSkin=A\n[Main]\n", "", "Skin", "B", "\xEF\xBB\xBFSkin=B\n[Main]\n"},
    {"\xEF\xBB\xBF[Main]\n", "", "Skin", "B", "\xEF\xBB\xBFSkin=B\n[Main]\n"},
    // A line break in a value cannot start a line of its own.
    {"", "Main", "Skin", "a\r\n[Evil]", "[Main]\nSkin=a  [Evil]\n"},
};

TEST(SetIniValue, ChangesOneLineAndLeavesTheRest) {
  for (const TSetRow& row : kSetRows) {
    const std::string after = SetIniValue(row.Before, row.Section, row.Key, row.Value);
    EXPECT_EQ(after, row.After) << row.Before;
  }
}

// Many keys in one pass give the text that writing them one after the other
// gives, on every text above: keys of sections there and not there, repeated
// keys (the last value wins), names in other letter cases.
TEST(SetIniValues, SameTextAsOneKeyAtATime) {
  const std::vector<std::vector<TIniValue>> edits = {
      {{"Main", "Skin", "Neon"},
       {"Main", "Format", "1"},
       {"Main", "AlwayOnTop", "0"},
       {"Position", "Left", "-4"},
       {"Position", "Top", "9"}},
      {{"Graph", "AutoX", "1"},
       {"Main", "Top", "3"},
       {"graph", "AUTOX", "0"},
       {"Main", "Skin", ""}},
      {{"", "Skin", "B"}, {"Main", "Skin", "C"}, {"", "Other", "D"}, {"New", "K", "a\r\nb"}},
  };
  for (const TSetRow& row : kSetRows) {
    for (const std::vector<TIniValue>& edit : edits) {
      std::string one = row.Before;
      for (const TIniValue& v : edit) one = SetIniValue(one, v.Section, v.Key, v.Value);
      EXPECT_EQ(SetIniValues(row.Before, edit), one) << row.Before;
    }
  }
}

// ---- Files on disk ----------------------------------------------------------

class IniFileDisk : public testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    FDir = fs::temp_directory_path() / ("zumbrel-ini-" + std::to_string(rd()));
    fs::create_directories(FDir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(FDir, ec);
  }
  std::string File(const std::string& name) const { return (FDir / name).string(); }
  static void Put(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::size_t EntriesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(FDir), {}));
  }
  fs::path FDir;
};

TEST_F(IniFileDisk, MissingFileReadsDefaults) {
  const IniFile ini(File("none.ini"));
  EXPECT_EQ(ini.ReadString("Main", "Skin", "Windows"), "Windows");
  EXPECT_EQ(ini.ReadInteger("Main", "Format", 7), 7);
  EXPECT_TRUE(ini.ReadBool("Graph", "AutoY", true));
  EXPECT_FALSE(ini.ReadBool("Graph", "AutoX", false));
  EXPECT_FALSE(fs::exists(File("none.ini")));
  // A folder in place of the file reads as empty too.
  EXPECT_EQ(IniFile(FDir.string()).ReadString("Main", "Skin", "d"), "d");
}

TEST_F(IniFileDisk, WritesCreateTheFileAndLeaveOtherLinesAlone) {
  IniFile ini(File("s.ini"));
  ini.WriteString("Main", "Skin", "Neon");
  ini.WriteInteger("Position", "Left", -40);
  ini.WriteBool("Main", "AlwayOnTop", true);
  EXPECT_EQ(Get(ini.Path()), "[Main]\nSkin=Neon\nAlwayOnTop=1\n[Position]\nLeft=-40\n");

  const std::string odd =
      "\xEF\xBB\xBF; hand-edited\r\n[main]\r\nskin = Old ; note\r\n"
      "garbage line\r\n\r\n[Other]\r\nx=\xFF\xFE\r\n";
  Put(ini.Path(), odd);
  ini.WriteString("Main", "Skin", "Neon");
  ini.WriteBool("Main", "AlwayOnTop", false);
  EXPECT_EQ(Get(ini.Path()),
            "\xEF\xBB\xBF; hand-edited\r\n[main]\r\nskin = Neon\r\n"
            "AlwayOnTop=0\r\ngarbage line\r\n\r\n[Other]\r\nx=\xFF\xFE\r\n");
  EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "Neon");
}

TEST_F(IniFileDisk, ReadsSeeEveryChangeOfTheFile) {
  const std::string path = File("c.ini");
  Put(path, "[Main]\nSkin=AAAA\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "AAAA");
  // Same size, newer time: a cached parse must not be served.
  Put(path, "[Main]\nSkin=BBBB\n");
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
  EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "BBBB");
  // Own writes are seen at once, even through a second object.
  const IniFile other(path);
  EXPECT_EQ(other.ReadString("Main", "Skin", ""), "BBBB");
  ini.WriteString("Main", "Skin", "CCCC");
  EXPECT_EQ(other.ReadString("Main", "Skin", ""), "CCCC");
  fs::remove(path);
  EXPECT_EQ(other.ReadString("Main", "Skin", "gone"), "gone");
}

TEST_F(IniFileDisk, WriteReplacesTheFileAsAWhole) {
  const std::string path = File("r.ini"), link = File("hard.ini");
  Put(path, "[Main]\nSkin=Old\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_hard_link(path, link);
  IniFile ini(path);
  ini.WriteString("Main", "Skin", "New");
  // A new file took the name: the old one, still reachable by the link, is whole.
  EXPECT_EQ(Get(link), "[Main]\nSkin=Old\n");
  EXPECT_EQ(Get(path), "[Main]\nSkin=New\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(EntriesInDir(), 2u);  // no temporary file left behind
}

TEST_F(IniFileDisk, WriteThroughASymbolicLinkKeepsTheLink) {
  const std::string target = File("real.ini"), link = File("link.ini");
  Put(target, "[Main]\nSkin=Old\n");
  fs::create_symlink(target, link);
  IniFile(link).WriteString("Main", "Skin", "New");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Get(target), "[Main]\nSkin=New\n");
}

// The writes of a batch reach the file in one replace when it is committed:
// until then the file stays as it was while reads see the new values, a
// second batch for the same file joins the first, and a file that cannot be
// written raises one error and keeps every key it had.
TEST_F(IniFileDisk, ABatchWritesItsKeysAtOnce) {
  const std::string path = File("b.ini"), hard = File("hard.ini");
  const std::string before = "[Main]\nSkin=Old\n[Junk]\nx=1\n";
  Put(path, before);
  fs::create_hard_link(path, hard);
  {
    TIniBatch batch(path);
    IniFile ini(path);
    ini.WriteString("Main", "Skin", "  New  ");
    ini.WriteInteger("Position", "Left", 5);
    {
      TIniBatch joined(File("./b.ini"));
      IniFile(File("./b.ini")).WriteBool("main", "AlwayOnTop", true);
      joined.Commit();
    }
    EXPECT_EQ(Get(path), before);
    EXPECT_EQ(ini.ReadString("Main", "Skin", ""), "New");
    EXPECT_TRUE(ini.ReadBool("Main", "AlwayOnTop", false));
    EXPECT_EQ(ini.ReadString("Junk", "x", ""), "1");
    batch.Commit();
    EXPECT_EQ(Get(path), "[Main]\nSkin=  New  \nAlwayOnTop=1\n[Junk]\nx=1\n[Position]\nLeft=5\n");
    // One replace: the old file, still reachable by its second name, is whole.
    EXPECT_EQ(Get(hard), before);
  }
  fs::permissions(path, fs::perms::owner_read);
  const std::string written = Get(path);
  TIniBatch batch(path);
  IniFile(path).WriteInteger("Position", "Left", 6);
  IniFile(path).WriteInteger("Position", "Top", 7);
  try {
    batch.Commit();
    ADD_FAILURE() << "a read-only file was written";
  } catch (const EWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_EQ(Get(path), written);
  EXPECT_EQ(EntriesInDir(), 2u);
}

TEST_F(IniFileDisk, UnwritablePlacesRaiseWriteError) {
  Put(File("plain"), "not a folder");
  fs::create_directory(File("dir.ini"));
  const std::string paths[] = {"/nonexistent/dir/x.ini", File("plain") + "/x.ini", File("dir.ini")};
  for (const std::string& path : paths) {
    IniFile ini(path);
    try {
      ini.WriteString("Main", "Skin", "Neon");
      ADD_FAILURE() << "no error for " << path;
    } catch (const EWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
  }
  EXPECT_EQ(Get(File("plain")), "not a folder");
  EXPECT_TRUE(fs::is_directory(File("dir.ini")));
  EXPECT_EQ(EntriesInDir(), 2u);
}

}  // namespace
