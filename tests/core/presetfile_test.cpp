// Preset files: the value text, the written file, the line-by-line loading
// rules, the file on disk and the preset name check.
#include "presets/PresetFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <tuple>

namespace fs = std::filesystem;

namespace {

using LD = std::numeric_limits<long double>;

// A state as the calculator has it after start: the eight fixed names.
TPresetState FreshState() {
  TPresetState s;
  s.Variables.Value(1) = 7;
  s.Func = "old";
  s.FromX = "-5";
  return s;
}

TPresetState Loaded(TPresetState s, std::string_view text) {
  TPresetReader(s).Text(text);
  return s;
}

TEST(ValueText, WritesFifteenDigitsInTwentyThreeCharacters) {
  const std::pair<long double, const char*> rows[] = {
      {1.5L, " 1.50000000000000E+0000"},
      {-0.00025L, "-2.50000000000000E-0004"},
      {-0.0L, " 0.00000000000000E+0000"},
      {-2.0L / 3, "-6.66666666666667E-0001"},
      {99999999999999.96L, " 1.00000000000000E+0014"},  // rounding carries into the exponent
      {LD::max(), " 1.18973149535723E+4932"},
      {-LD::denorm_min(), "-3.64519953188247E-4951"},
      {LD::quiet_NaN(), "                    Nan"},
      {-LD::infinity(), "                   -Inf"},
  };
  for (const auto& [value, text] : rows) EXPECT_EQ(ValueText(value), text);
}

TEST(ReadPresetValue, TakesOnlyPlainRealNumbers) {
  const std::pair<const char*, long double> good[] = {{" 1.50000000000000E+0000", 1.5L},
                                                      {"   +7", 7.0L},
                                                      {"1.", 1.0L},
                                                      {".5", 0.5L},
                                                      {"-0.125e1", -1.25L},
                                                      {"1e-5000", 0.0L},
                                                      {"3.64519953188247E-4951", LD::denorm_min()}};
  for (const auto& [text, value] : good) {
    long double out = -99;
    EXPECT_TRUE(ReadPresetValue(text, out)) << text;
    EXPECT_EQ(out, value) << text;
  }
  for (const char* text : {"", " ", "1,5", "1.5 ", "Nan", "+Inf", ".", "-", "1e", "1e+", "E5",
                           "0x10", "1.2.3", "--1", "\t1", "1e5000", "12a"}) {
    long double out = -99;
    EXPECT_FALSE(ReadPresetValue(text, out)) << text;
    EXPECT_EQ(out, -99) << text;
  }
}

TEST(PresetText, WritesTheSeventeenLinesInOrder) {
  TPresetState s = FreshState();
  s.Func = "sin(X)*a";
  s.Format = nfOctal;
  s.Degs = cdDegreees;
  s.Eng = true;
  s.Variables.Value(1) = 1.5L;
  s.Variables.Value(7) = -0.00025L;
  s.Variables.Append("a");
  s.Variables.Value(8) = 2;
  s.ToX = "1,5";
  s.AutoY = false;
  const std::string zero = "= 0.00000000000000E+0000\r\n";
  const std::string expected =
      ";Zumbrel Preset\r\n\r\n[Calc]\r\nFunc=sin(X)*a\r\nFormat=2\r\nDegs=0\r\nEng=1\r\n\r\n"
      "[Variables]\r\nA= 1.50000000000000E+0000\r\nB" +
      zero + "C" + zero + "D" + zero + "E" + zero + "F" + zero +
      "X=-2.50000000000000E-0004\r\na= 2.00000000000000E+0000\r\n"
      "\r\n[Graph]\r\nX1=-5\r\nX2=1,5\r\nY1=\r\nY2=\r\nAY=0\r\n";
  EXPECT_EQ(PresetText(s), expected);
  s.HasExpression = false;  // no expression field: an empty Func line
  EXPECT_NE(PresetText(s).find("\r\nFunc=\r\nFormat=2\r\n"), std::string::npos);
}

TEST(PresetText, ReadsBackEveryField) {
  TPresetState saved = FreshState();
  saved.Func = "2+3*Pi";
  saved.Format = nfBinary;
  saved.Degs = cdGradians;
  saved.Eng = true;
  const long double values[] = {1.5L, -42, 1e-300L, -7.25e300L, 1.0L / 3, LD::denorm_min()};
  for (int i = 0; i < 6; ++i) saved.Variables.Value(2 + i) = values[i];
  for (const char* name : {"u", "v", "u"})
    saved.Variables.Append(name);  // duplicates come back too
  saved.Variables.Value(10) = 1e4000L;
  saved.FromY = "abc";
  saved.AutoY = false;

  TPresetState back = FreshState();  // with another user variable and values
  back.Variables.Append("stale");
  back.Variables.Value(2) = 55;
  TPresetReader(back).Text(PresetText(saved));
  EXPECT_EQ(std::tie(back.Func, back.Format, back.Degs, back.Eng, back.Variables.Names(),
                     back.FromX, back.FromY, back.AutoY),
            std::tie(saved.Func, saved.Format, saved.Degs, saved.Eng, saved.Variables.Names(),
                     saved.FromX, saved.FromY, saved.AutoY));
  for (std::size_t i = 0; i < saved.Variables.Count(); ++i)  // Pi (0) is not in the file
    EXPECT_EQ(ValueText(back.Variables.Value(i)), ValueText(saved.Variables.Value(i)))
        << saved.Variables.Name(i);
  EXPECT_EQ(back.Variables.Value(7), LD::denorm_min());
}

// The C library's numeric locale never reaches the file, either way.
TEST(PresetText, IgnoresTheNumericLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  bool set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
#if defined(__unix__)
  if (!set) {  // no such locale installed: build one for this test
    const fs::path dir = fs::temp_directory_path() / "zumbrel_presetfile_locale";
    fs::create_directories(dir);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) >= 0) {
      setenv("LOCPATH", dir.c_str(), 1);
      set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    std::error_code ec;
    fs::remove_all(dir, ec);  // the library has loaded what it needs
  }
#endif
  if (!set || std::string(std::localeconv()->decimal_point) == ".")
    GTEST_SKIP() << "no locale with a decimal comma is available";
  long double value = 0;
  const std::string written = ValueText(-1234.5L);
  const bool comma = ReadPresetValue("1,25", value);
  const bool read = ReadPresetValue(" 1.25000000000000E+0001", value);
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(written, "-1.23450000000000E+0003");
  EXPECT_FALSE(comma);
  EXPECT_TRUE(read);
  EXPECT_EQ(value, 12.5L);
}

struct TLoadRow {
  const char* What;
  std::string Text;
  std::function<void(const TPresetState&)> Check;
};

TEST(TPresetReader, AppliesTheLinesOneByOne) {
  using S = const TPresetState&;
  const TLoadRow rows[] = {
      {"lines outside a section, unknown headers and misplaced keys are ignored",
       "Func=no\nFormat=2\n[calc]\nFunc=no\n[Calc] \nFunc=no\n[Calc]\nfunc=no\n Func=no\n"
       "[Graph]\nFunc=no\nA=1\n",
       [](S s) {
         EXPECT_EQ(std::tie(s.Func, s.Format, s.Variables.Value(1)), std::tuple("old", 0, 7));
       }},
      {"Func takes the rest of the line", "[Calc]\nFunc= a=b \n",
       [](S s) { EXPECT_EQ(s.Func, " a=b "); }},
      {"Format and Degs keep their value when out of range or not a number",
       "[Calc]\nFormat=7\nFormat=x\nFormat=\nFormat=1.0\nDegs=-1\nDegs=3\nDegs=0x1\n",
       [](S s) { EXPECT_EQ(std::tie(s.Format, s.Degs), std::tuple(0, 1)); }},
      {"Format and Degs in range", "[Calc]\nFormat=3\nDegs=0\n",
       [](S s) { EXPECT_EQ(std::tie(s.Format, s.Degs), std::tuple(3, 0)); }},
      {"Eng is on for exactly 1", "[Calc]\nEng=1\n", [](S s) { EXPECT_TRUE(s.Eng); }},
      {"Eng=yes turns it off", "[Calc]\nEng=1\nEng=yes\n", [](S s) { EXPECT_FALSE(s.Eng); }},
      {"memory letters and X set their fixed slots, malformed values are ignored",
       "[Variables]\nB= 1.50000000000000E+0000\nF=-3\nX=0.5\nA=1,5\nA=\nA=1 \nA\n=\nAB\n",
       [](S s) {
         EXPECT_EQ(std::tie(s.Variables.Value(1), s.Variables.Value(2), s.Variables.Value(6),
                            s.Variables.Value(7)),
                   std::tuple(7.0L, 1.5L, -3.0L, 0.5L));
         EXPECT_EQ(s.Variables.Count(), 8u);
       }},
      {"any other name is appended, duplicates and the empty name too",
       "[Variables]\na=2\nPi=3\nAB=4\na=5\n=6\nx==7\n[Graph]\n[Variables]\nX1=8\n",
       [](S s) {
         const std::vector<std::string> names = {"Pi", "A", "B",  "C",  "D", "E", "F",
                                                 "X",  "a", "Pi", "AB", "a", "",  "X1"};
         EXPECT_EQ(s.Variables.Names(), names);
         EXPECT_EQ(std::tie(s.Variables.Value(8), s.Variables.Value(9), s.Variables.Value(12),
                            s.Variables.Value(13)),
                   std::tuple(2.0L, 3.0L, 6.0L, 8.0L));
       }},
      {"graph fields are copied unchecked; AY=1 with a blank unchecks AutoY",
       "[Graph]\nX1=a b\nX2=\nY1=-1e9\nY2==\nAY=1 \n",
       [](S s) {
         EXPECT_EQ(std::tie(s.FromX, s.ToX, s.FromY, s.ToY), std::tuple("a b", "", "-1e9", "="));
         EXPECT_FALSE(s.AutoY);
       }},
      {"carriage returns are not part of lines; the last line needs no line end",
       "[Calc]\r\nFunc=1+\r2\r\nFormat=2\r\r\n[Graph]\r\nX1=7\r\n[Variables]\r\nB=4",
       [](S s) {
         EXPECT_EQ(std::tie(s.Func, s.Format, s.FromX, s.Variables.Value(2)),
                   std::tuple("1+2", 2, "7", 4.0L));
       }},
  };
  for (const TLoadRow& row : rows) {
    SCOPED_TRACE(row.What);
    row.Check(Loaded(FreshState(), row.Text));
  }
}

TEST(TPresetReader, CutsUserVariablesAndDropsThemWhenTheStoreIsFull) {
  TPresetState s = FreshState();
  for (const char* name : {"u", "v"}) s.Variables.Append(name);
  s.Variables.Value(4) = 12;
  std::string text = "[Variables]\n";
  for (int i = 0; i < 300; ++i) text += "v" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "C=5\n";  // fixed slots still take values when the store is full
  TPresetReader reader(s);
  reader.Text(text);
  ASSERT_EQ(s.Variables.Count(), kVariableSlots);
  EXPECT_EQ(s.Variables.Name(8), "v0");
  EXPECT_EQ(s.Variables.Names().back(), "v247");
  EXPECT_EQ(s.Variables.Value(255), 247);
  EXPECT_EQ(s.Variables.Value(3), 5);
  EXPECT_EQ(s.Variables.Value(4), 12);  // not in the preset: kept
  EXPECT_EQ(reader.Dropped(), 52u);

  TPresetState noField = FreshState();  // no expression field: Func stays out
  noField.HasExpression = false;
  EXPECT_EQ(Loaded(noField, "[Calc]\nFunc=1+1\n").Func, "old");
}

TEST(PresetNames, RefusesNamesThatLeaveTheFolder) {
  for (const char* name : {"My preset", " spaced ", "...", ".hidden", "Ünïcode €", "a&b", "C:d"})
    EXPECT_TRUE(IsSafePresetName(name)) << name;
  const std::string unsafe[] = {
      "",          ".",          "..",      "a/b",        "/etc/passwd",           "..\\x",
      "tab\there", "line\nfeed", "del\x7f", "c1\xc2\x85", std::string("nul\0x", 5)};
  for (const std::string& name : unsafe) EXPECT_FALSE(IsSafePresetName(name)) << name;
  // Loading and deleting a listed entry only need it to stay in the folder.
  EXPECT_TRUE(StaysInPresetFolder("tab\there"));
  for (const char* name : {"", "..", "a/b", "a\\b"}) EXPECT_FALSE(StaysInPresetFolder(name));
}

}  // namespace
