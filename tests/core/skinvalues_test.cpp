// The value forms of skin files: integers, pairs, lists, fonts and colours.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "skin/SkinValues.h"

using namespace skinvalues;

TEST(SkinValues, IntegerRule) {
  struct Row {
    const char* text;
    bool ok;
    int value;
  } rows[] = {
      {"40", true, 40},
      {"   40", true, 40},
      {"+7", true, 7},
      {"-7", true, -7},
      {"$FF", true, 255},
      {"xFF", true, 255},
      {"XfF", true, 255},
      {"0x1F", true, 31},
      {"0X1f", true, 31},
      {"-$10", true, -16},
      {"$FFFFFFFF", true, -1},  // hexadecimal fills all 32 bits
      {"$80000005", true, INT_MIN + 5},
      {"2147483647", true, INT_MAX},
      {"-2147483648", true, INT_MIN},
      {"2147483648", false, 0},
      {"$100000000", false, 0},
      {"40 ", false, 0},  // nothing may follow, not even a blank
      {"4 0", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"x", false, 0},
      {"12a", false, 0},
      {"1.5", false, 0},
      {"$G1", false, 0},
      {"0b101", false, 0},
  };
  for (const Row& r : rows) {
    int out = 12345;
    EXPECT_EQ(ParseInteger(r.text, out), r.ok) << r.text;
    EXPECT_EQ(out, r.ok ? r.value : 12345) << r.text;
    EXPECT_EQ(ToNumber(r.text), r.value) << r.text;
  }
}

TEST(SkinValues, IntegerKeysTakeTheirDefault) {
  EXPECT_EQ(IntegerKey("", -1), -1);
  EXPECT_EQ(IntegerKey("blue", -1), -1);
  EXPECT_EQ(IntegerKey("0", -1), 0);
  EXPECT_EQ(IntegerKey("-1", 0), -1);
  EXPECT_EQ(IntegerKey("60", 0), 60);
  EXPECT_EQ(IntegerKey("$FF0000", -1), 0xFF0000);
}

TEST(SkinValues, Pairs) {
  struct Row {
    const char* text;
    int first, second;
  } rows[] = {
      {"12,40", 12, 40},
      {"30x40", 30, 0},  // "x" separates only the first number
      {"40", 0, 40},
      {"25", 0, 25},
      {"7, 8", 7, 8},  // a blank may lead a number ...
      {"7 ,8", 0, 8},  // ... but never follow it
      {"$FF0000,0", 0xFF0000, 0},
      {"0xFF0000,1", 0, 1},  // both "x" and ",": the first number is 0
      {"255", 0, 255},
      {"", 0, 0},
      {",", 0, 0},
      {"-5,-6", -5, -6},
      {"1,2,3", 1, 0},  // "2,3" is no integer
      {"x40", 0, 0x40},  // the whole value is the second number
      {"abc,def", 0, 0},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(FirstNumber(r.text), r.first) << r.text;
    EXPECT_EQ(SecondNumber(r.text), r.second) << r.text;
  }
}

TEST(SkinValues, ListItems) {
  struct Row {
    const char* text;
    int n;
    const char* item;
  } rows[] = {
      {"Arial,10", 1, "Arial"}, {"Arial,10", 2, "10"}, {"Arial", 1, "Arial"}, {"Arial", 2, ""},
      {"Arial,", 2, ""},        {"a,b,c", 3, "c"},     {"a,b,c", 4, ""},      {"", 1, ""},
      {",x", 1, ""},            {"a", 0, ""},          {"a", -1, ""},
  };
  for (const Row& r : rows) EXPECT_EQ(ListItem(r.text, r.n), r.item) << r.text << " #" << r.n;
}

TEST(SkinValues, Fonts) {
  struct Row {
    const char* text;
    const char* name;
    int size;
  } rows[] = {
      {"Arial,10", "Arial", 10},
      {"Arial", "Arial", 0},
      {"Arial,", "Arial", 0},
      {"", "", 0},  // empty name: the font keeps its name
      {"Courier New, 12", "Courier New", 12},
      {"Courier New ,12", "Courier New", 12},
      {",9", "", 9},
      {"Arial,big", "Arial", 0},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,8", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", 8},
  };
  for (const Row& r : rows) {
    const TSkinFont f = ReadFont(r.text);
    EXPECT_EQ(f.Name, r.name) << r.text;
    EXPECT_EQ(f.Size, r.size) << r.text;
  }
  // The cut counts characters, never splitting one.
  std::string umlauts;
  for (int i = 0; i < 40; ++i) umlauts += "\xC3\xBC";  // ü
  const TSkinFont f = ReadFont(umlauts + ",7");
  EXPECT_EQ(f.Name, umlauts.substr(0, 62));
  EXPECT_EQ(f.Size, 7);
}

TEST(SkinValues, TextColours) {
  struct Row {
    const char* text;
    int color;
    bool bold;
  } rows[] = {
      {"255,1", 255, true},           // red bold
      {"$FF0000,0", 0xFF0000, false},  // blue regular
      {"255", 0, false},              // black regular
      {"0xFF0000,1", 0, true},        // black bold
      {"255,2", 255, false},
      {"255, 1", 255, true},
      {"", 0, false},
      {"-1,1", -1, true},
  };
  for (const Row& r : rows) {
    const TSkinTextColor c = ReadTextColor(r.text);
    EXPECT_EQ(c.Color, r.color) << r.text;
    EXPECT_EQ(c.Bold, r.bold) << r.text;
  }
}

TEST(SkinValues, ColourParts) {
  struct Row {
    int color;
    bool system;
    int index, red, green, blue;
  } rows[] = {
      {255, false, 0, 255, 0, 0},
      {0xFF0000, false, 0, 0, 0, 255},
      {0x00FF00, false, 0, 0, 255, 0},
      {0x123456, false, 0, 0x56, 0x34, 0x12},
      {0x01FF0000, false, 0, 0, 0, 255},  // the high byte carries no colour
      {0, false, 0, 0, 0, 0},
      {-1, true, 255, 0, 0, 0},
      {static_cast<int>(0x8000000F), true, 15, 0, 0, 0},
      {static_cast<int>(0x80000005), true, 5, 0, 0, 0},
  };
  for (const Row& r : rows) {
    const TSkinColor c = SplitColor(r.color);
    EXPECT_EQ(c.System, r.system) << r.color;
    if (r.system) {
      EXPECT_EQ(c.SystemIndex, r.index) << r.color;
    } else {
      EXPECT_EQ(c.Red, r.red) << r.color;
      EXPECT_EQ(c.Green, r.green) << r.color;
      EXPECT_EQ(c.Blue, r.blue) << r.color;
    }
  }
}
