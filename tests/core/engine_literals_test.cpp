// Number literals: ParseNumber and the radix readers on any text, and how the
// formula scanner collects literals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/CalcExpress.h"
#include "engine/PowersOfTen.h"

void PrintTo(TCalcError e, std::ostream* os) { *os << "code " << int(e); }

namespace {

class EngineLiterals : public ::testing::Test {};

struct TValueRow {
  const char* Text;
  long double Expected;
};

TEST_F(EngineLiterals, ParseNumberValues) {
  const TValueRow rows[] = {
      {"2k", 2000},          {"1.5k", 1500},         {"5m", 0.005L},
      {"2M", 2000000},       {"3u", 3e-6L},          {"2E", 2e18L},
      {"2a", 2e-18L},        {"-3m", -0.003L},       {"2Y", 2e24L},
      {"1.1k", 1100},        {"7y", 7e-24L},         {"0.5G", 5e8L},
      {"0x$1F", 31},         {"0x1F", 31},           {"0o17", 15},
      {"0b101", 5},          {"0x", 0},              {"0b", 0},
      {"9x10", 16},          {"0xFFFFFFFF", -1},     {"0x80000000", -2147483648.0L},
      {"0x100000000", 0},    {" 2.5 ", 2.5L},        {"1e", 1},
      {"1e+", 1},            {"+.5", 0.5L},          {".", 0},
      {"-.", 0},             {"5.", 5},              {"1E3", 1000},
      {"1e499", 1e499L},     {"1e00000000003", 1000}, {"1e-4999", 0},
      {"1e4932", 1e4932L},   {"123456789012345678901234567890", 123456789012345678901234567890.0L},
      {"0.1", 0.1L},         {"-0", 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Text);
    EXPECT_EQ(ParseNumber(r.Text), r.Expected);
  }
}

struct TFailRow {
  const char* Text;
  const char* Message;
};

TEST_F(EngineLiterals, ParseNumberFailures) {
  const TFailRow rows[] = {
      {"0b102", "Invalid binary format"},
      {"abc", "Invalid binary format"},  // second character b
      {"0o8", "Invalid octal format"},
      {"0xG", "Invalid hexadecimal format"},
      {"q1", "'q1' is not a valid floating point value"},
      {"zz", "'z' is not a valid floating point value"},
      {"", "'' is not a valid floating point value"},
      {"-", "'-' is not a valid floating point value"},
      {" ", "' ' is not a valid floating point value"},
      {"1e4999", "'1e4999' is not a valid floating point value"},   // beyond the range
      {"1e5000", "'1e5000' is not a valid floating point value"},   // digit left over
      {"1e-5000", "'1e-5000' is not a valid floating point value"},
      {"1.2.3", "'1.2.3' is not a valid floating point value"},
      {"1,5", "'1,5' is not a valid floating point value"},
      {"-0x1F", "'-0x1F' is not a valid floating point value"},
      {"1 2", "'1 2' is not a valid floating point value"},
      {"\t1", "'\t1' is not a valid floating point value"},
      {"inf", "'in' is not a valid floating point value"},
      {"nan", "'na' is not a valid floating point value"},
      {"0x1p3", "Invalid hexadecimal format"},
      {"1e5k5", "'1e5k5' is not a valid floating point value"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Text);
    try {
      ParseNumber(r.Text);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_STREQ(e.what(), r.Message);
    }
  }
}

TEST_F(EngineLiterals, DecimalSeparatorSetting) {
  TCalcExpress e;
  e.SetDecimalSeparator(',');
  EXPECT_EQ(e.DecimalSeparator(), ',');
  EXPECT_EQ(ParseNumber("1,5", ','), 1.5L);
  EXPECT_EQ(ParseNumber("-2,25k", ','), -2250);
  EXPECT_THROW(ParseNumber("2.5", ','), EConvertError);
  // In a formula both points are read, whatever the setting.
  e.SetFormula("1,5+1.5");
  EXPECT_EQ(e.Calc(nullptr, 0), 3);
  EXPECT_EQ(e.Error(), ceOK);
}

TEST_F(EngineLiterals, RadixReadersWrapAt32Bits) {
  EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
  EXPECT_EQ(HexToInt("1FFFFFFFF"), -1);
  EXPECT_EQ(HexToInt("$7fffffff"), 2147483647);
  EXPECT_EQ(OctToInt("37777777777"), -1);
  EXPECT_EQ(BinToInt(std::string(40, '1')), -1);
  EXPECT_EQ(BinToInt(""), 0);
  EXPECT_THROW(OctToInt("$7"), EConvertError);
  EXPECT_THROW(BinToInt("2"), EConvertError);
}

TEST_F(EngineLiterals, SIFactorsAreNearestExtended) {
  auto factor = [](char letter) { return SIExponent(letter) ? PowerOfTen(SIExponent(letter)) : 0; };
  const char letters[] = "yzafpnumkMGTPEZY";
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(letters[i]);
    const std::string power = "1e" + std::to_string(i < 8 ? -24 + 3 * i : 3 * (i - 7));
    EXPECT_EQ(factor(letters[i]), std::strtold(power.c_str(), nullptr));
  }
  EXPECT_EQ(factor('Y'), 1000000000000000000000000.0L);
  EXPECT_EQ(factor('q'), 0);
  EXPECT_EQ(factor('e'), 0);
}

struct TFormulaRow {
  const char* Formula;
  TCalcError Error;
  long double Value;
};

TEST_F(EngineLiterals, ScannedFromFormulas) {
  const TFormulaRow rows[] = {
      {"1,5", ceOK, 1.5L},      {"1.5", ceOK, 1.5L},       {"2e3", ceOK, 2000},
      {"2E3", ceSyntax, 0},     {"0x1F", ceOK, 31},        {"7x1F", ceOK, 31},
      {"0o17+0b11", ceOK, 18},  {"0x1F.5", ceSyntax, 0},   {"10x5", ceSyntax, 0},
      {"1.", ceWrongNumber, 0}, {"1.+2", ceWrongNumber, 0}, {"1e", ceWrongNumber, 0},
      {"1e+", ceWrongNumber, 0}, {"1e-", ceWrongNumber, 0}, {"1e+x", ceSyntax, 0},
      {"1.e5", ceSyntax, 0},    {".5", ceSyntax, 0},       {"2m", ceOK, 0.002L},
      {"2k*3", ceOK, 6000},     {"1e3k", ceSyntax, 0},     {"5e-1", ceOK, 0.5L},
      {"-2^2", ceOK, 4},        {"(-3)", ceOK, -3},        {"0xFFFFFFFF", ceOK, -1},
      {"2ka", ceSyntax, 0},
  };
  TCalcExpress e;
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Formula);
    e.SetFormula(r.Formula);
    const long double v = e.Calc(nullptr, 0);
    EXPECT_EQ(e.Error(), r.Error);
    EXPECT_EQ(v, r.Value);
  }
}

TEST_F(EngineLiterals, LiteralsThatFailRaiseAtCalc) {
  TCalcExpress e;
  for (const char* f : {"-0x1F", "(-0b1)+1", "1e5000", "2+1e4999"}) {
    SCOPED_TRACE(f);
    e.SetFormula(f);
    EXPECT_EQ(e.Error(), ceOK);
    EXPECT_TRUE(e.HasTree());
    EXPECT_THROW(e.Calc(nullptr, 0), EConvertError);
  }
  // The codes set before the failing leaf stay.
  e.SetFormula("1/0+1e5000");
  EXPECT_THROW(e.Calc(nullptr, 0), EConvertError);
  EXPECT_EQ(e.Error(), ceDivisionByZero);
}

}  // namespace
