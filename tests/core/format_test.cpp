// Result formatting: the general decimal form, engineering notation, the
// radix formats, 64-bit rounding and the error texts.
#include "calc/Format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "calc/Calculator.h"
#include "calc/FormulaText.h"
#include "engine/Errors.h"

namespace {

struct TFormatCase {
  int format;
  long double value;
  bool eng;
  const char* expected;
};

void ExpectCases(const TFormatCase* begin, const TFormatCase* end) {
  for (const TFormatCase* c = begin; c != end; ++c) {
    EXPECT_EQ(FormatValue(c->format, c->value, c->eng, '.'), c->expected)
        << "format " << c->format << (c->eng ? " eng" : "") << ", expected " << c->expected;
  }
}

constexpr long double kTwo63 = 9223372036854775808.0L;

TEST(FormatGeneral, DigitsAndNotation) {
  const TFormatCase cases[] = {
      {0, 0.0L, false, "0"},
      {0, -0.0L, false, "0"},
      {0, 1.0L / 3, false, "0.333333333333333333"},
      {0, 2.0L / 3, false, "0.666666666666666667"},
      {0, -2.0L / 3, false, "-0.666666666666666667"},
      {0, 0.00012L, false, "0.00012"},
      {0, 0.001L, false, "0.001"},
      {0, 0.0001L, false, "0.0001"},
      {0, 0.00001L, false, "1E-5"},
      {0, 1234.5L, false, "1234.5"},
      {0, 100.0L, false, "100"},
      {0, 1.0L, false, "1"},
      {0, 123456789012345678.0L, false, "123456789012345678"},
      {0, 1e17L, false, "100000000000000000"},
      {0, 1e18L, false, "1E18"},
      {0, 1.5e20L, false, "1.5E20"},
      {0, -2.5e-7L, false, "-2.5E-7"},
      {0, 18446744073709551616.0L, false, "1.84467440737095516E19"},
      {0, 1e4000L, false, "1E4000"},
      {0, -1e-4000L, false, "-1E-4000"},
      {0, LDBL_MAX, false, "1.18973149535723177E4932"},
  };
  ExpectCases(std::begin(cases), std::end(cases));
}

TEST(FormatGeneral, RoundingCarriesIntoTheNextPowerOfTen) {
  const TFormatCase cases[] = {
      {0, 999999999999999999.5L, false, "1E18"},  // 19 nines round up past the fixed range
      {0, 0.99999999999999999999L, false, "1"},
      {0, 99.9999999999999999999L, false, "100"},
      {0, 0.000999999999999999999999L, false, "0.001"},
      {0, 0.0000999999999999999999999L, false, "0.0001"},
      {0, 9.99999999999999999999e-5L, false, "0.0001"},
  };
  ExpectCases(std::begin(cases), std::end(cases));
}

TEST(FormatGeneral, UsesTheGivenSeparator) {
  EXPECT_EQ(PlainDecimal(-1.5L, ','), "-1,5");
  EXPECT_EQ(PlainDecimal(0.00012L, ','), "0,00012");
  EXPECT_EQ(PlainDecimal(2.5e-7L, ','), "2,5E-7");
  EXPECT_EQ(FormatValue(0, 0.25L, true, ','), "250m");
  EXPECT_EQ(FormatValue(0, 1234.5L, true, ','), "1,2345k");
}

TEST(FormatGeneral, NonFiniteValuesDoNotCrash) {
  EXPECT_EQ(PlainDecimal(std::numeric_limits<long double>::infinity(), '.'), "INF");
  EXPECT_EQ(PlainDecimal(-std::numeric_limits<long double>::infinity(), '.'), "-INF");
  EXPECT_EQ(FormatValue(0, std::numeric_limits<long double>::quiet_NaN(), true, '.'), "NAN");
}

TEST(FormatEngineering, RowsAndBoundaries) {
  const TFormatCase cases[] = {
      {0, 0.25L, true, "250m"},
      {0, 2500.0L, true, "2.5k"},
      {0, 0.0009765625L, true, "976.5625u"},
      {0, -2.5e6L, true, "-2.5M"},
      {0, 1e30L, true, "1E30"},
      {0, 5e-25L, true, "5E-25"},
      {0, 0.0L, true, "0"},
      {0, 1.0L, true, "1"},
      {0, 999.5L, true, "999.5"},
      {0, 1000.0L, true, "1k"},
      {0, 0.001L, true, "1m"},
      {0, 1e-24L, true, "1y"},
      {0, 1e27L, true, "1E27"},
      {0, 999.0L * 1e24L, true, "999Y"},
      {0, 2.0L * 1e24L, true, "2Y"},  // 1e24 is exact, so no 1.99999999999999997Y
      {0, 1.5e-21L, true, "1.5z"},
      {0, 1.5e-18L, true, "1.5a"},
      {0, 1.5e-15L, true, "1.5f"},
      {0, 1.5e-12L, true, "1.5p"},
      {0, 1.5e-9L, true, "1.5n"},
      {0, -1.5e-6L, true, "-1.5u"},
      {0, 1.5e9L, true, "1.5G"},
      {0, 1.5e12L, true, "1.5T"},
      {0, 1.5e15L, true, "1.5P"},
      {0, 1.5e18L, true, "1.5E"},
      {0, 1.5e21L, true, "1.5Z"},
      {0, 1.0L / 3 * 1e6L, true, "333.333333333333333k"},
  };
  ExpectCases(std::begin(cases), std::end(cases));
}

TEST(FormatEngineering, JustBelowABoundStaysInTheLowerRow) {
  const long double belowThousand = std::nextafter(1000.0L, 0.0L);
  EXPECT_EQ(FormatValue(0, belowThousand, true, '.'), "1000");  // row "no letter", 18 digits
  const long double belowMilli = std::nextafter(0.001L, 0.0L);
  EXPECT_EQ(FormatValue(0, belowMilli, true, '.').back(), 'u');
}

TEST(FormatRadix, HexOctBinAndUnknownCodes) {
  const TFormatCase cases[] = {
      {1, 255.0L, false, "0xFF"},
      {1, 255.5L, false, "0x100"},
      {1, 254.5L, false, "0xFE"},
      {1, 0.0L, false, "0x0"},
      {1, -1.0L, false, "0xFFFFFFFFFFFFFFFF"},
      {1, -2.5L, false, "0xFFFFFFFFFFFFFFFE"},
      {1, 4294967296.0L, false, "0x100000000"},
      {1, kTwo63 - 1, false, "0x7FFFFFFFFFFFFFFF"},
      {1, -kTwo63, false, "0x8000000000000000"},
      {1, 255.0L, true, "0xFF"},  // engineering notation is decimal only
      {2, 8.0L, false, "0o10"},
      {2, 0.0L, false, "0o0"},
      {2, 4294967296.0L, false, "0o40000000000"},
      {2, -1.0L, false, "0o1777777777777777777777"},
      {2, -kTwo63, false, "0o1000000000000000000000"},
      {2, 8000.0L, true, "0o17500"},
      {3, 5.0L, false, "0b101"},
      {3, 0.4L, false, "0b0"},
      {3, 2.5L, false, "0b10"},
      {3, 3.5L, false, "0b100"},
      {3, 4294967296.0L, false, "0b100000000000000000000000000000000"},
      {3, -1.0L, false, "0b1111111111111111111111111111111111111111111111111111111111111111"},
      {3, -kTwo63, false, "0b1000000000000000000000000000000000000000000000000000000000000000"},
      {7, 0.5L, false, "0.5"},  // unknown codes (an edited settings file) are decimal
      {-1, 255.0L, false, "255"},
      {4, 2500.0L, true, "2.5k"},
  };
  ExpectCases(std::begin(cases), std::end(cases));
}

TEST(FormatRadix, OutsideTheSigned64BitRangeThrows) {
  const long double bad[] = {
      kTwo63,
      kTwo63 - 0.5L,  // the tie goes to the even neighbour 2^63
      -kTwo63 - 1,
      1e30L,
      -1e30L,
      std::numeric_limits<long double>::infinity(),
      std::numeric_limits<long double>::quiet_NaN(),
  };
  for (const long double v : bad) {
    for (int format = 1; format <= 3; ++format) {
      EXPECT_THROW(FormatValue(format, v, false, '.'), EInvalidOp) << "format " << format;
    }
  }
  // The message is the one the program shows.
  try {
    FormatValue(1, 1e30L, false, '.');
  } catch (const EInvalidOp& e) {
    EXPECT_STREQ(e.what(), "Invalid floating point operation");
  }
}

TEST(RoundToInt64, HalvesGoToTheEvenNeighbour) {
  const struct {
    long double value;
    std::int64_t expected;
  } cases[] = {
      {1.5L, 2},
      {2.5L, 2},
      {-1.5L, -2},
      {-2.5L, -2},
      {2.4999999L, 2},
      {2.5000001L, 3},
      {4611686018427387904.5L, 4611686018427387904LL},  // 2^62 + 0.5
      {4611686018427387905.5L, 4611686018427387906LL},
      {kTwo63 - 1, std::numeric_limits<std::int64_t>::max()},
      {-kTwo63, std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundToInt64(c.value), c.expected) << (double)c.value;
}

TEST(IntToOctBin, MinimumDigitCountPads) {
  EXPECT_EQ(IntToOct(8, 4), "0010");
  EXPECT_EQ(IntToOct(0, 3), "000");
  EXPECT_EQ(IntToOct(0, 0), "0");
  EXPECT_EQ(IntToOct(511, 1), "777");
  EXPECT_EQ(IntToBin(5, 8), "00000101");
  EXPECT_EQ(IntToBin(5, 1), "101");
  EXPECT_EQ(IntToBin(0, -3), "0");
  EXPECT_EQ(IntToBin(-2, 0), std::string(63, '1') + "0");
}

// The text MemOut inserts reads back, as a formula, as the value itself to
// the last bit, also after an operator and with either separator.
TEST(FormulaText, ReadsBackAsExactlyTheValue) {
  using LD = std::numeric_limits<long double>;
  const struct {
    long double value;
    const char* text;
  } rows[] = {
      {1e-5L, "1e-5"},  // 1E-5 would be the SI letter of 1e18 minus 5
      {-2, "(-2)"},
      {2.5L, "2.5"},
      {0, "0"},
      {-0.0L, "0"},  // a zero of either sign
      {0.1L, "0.1"},  // 18 digits read back: no more are written
      {1e18L, "1e18"},
      {-2.5e-7L, "(-2.5e-7)"},
      {1.0L / 3, "0.33333333333333333334"},
      {-2.0L / 3 / 1000, "(-0.0006666666666666666667)"},
      {LD::max(), "1.189731495357231765e4932"},
      {LD::denorm_min(), "4e-4951"},
  };
  for (const auto& r : rows) EXPECT_EQ(FormulaText(r.value, '.'), r.text);

  std::vector<long double> values = {LD::max(),
                                     LD::min(),
                                     LD::denorm_min(),
                                     LD::lowest(),
                                     LD::epsilon(),
                                     1 - LD::epsilon() / 2,
                                     1.0L / 3,
                                     2.0L / 3,
                                     18446744073709551615.0L,
                                     123456789012345678.9L,
                                     9.999999999999999999e-4L};
  // Values across the whole range, each with a mantissa of its own.
  std::uint64_t bits = 0x9E3779B97F4A7C15u;
  for (int e = LD::min_exponent - LD::digits; e <= LD::max_exponent; e += 37) {
    bits = bits * 6364136223846793005u + 1442695040888963407u;
    const long double mantissa = 1 + static_cast<long double>(bits >> 1) / 9223372036854775808.0L;
    values.push_back(std::ldexp(mantissa, e - 1));
  }
  for (const long double v : std::vector<long double>(values)) values.push_back(-v);
  for (const char separator : {'.', ','}) {
    TCalculator calc;
    calc.SetDecimalSeparator(separator);
    for (const long double v : values) {
      const std::string text = FormulaText(v, separator);
      const TCalcResult alone = calc.Evaluate(text);
      ASSERT_EQ(alone.Error, ceOK) << text;
      EXPECT_EQ(alone.Value, v) << text;
      EXPECT_EQ(std::signbit(alone.Value), std::signbit(v)) << text;
      EXPECT_EQ(calc.Evaluate("0*1+" + text).Value, v) << text;
      EXPECT_EQ(ParseNumber(ExactDecimal(v, separator), separator), v) << text;
    }
  }
}

// The parts of a shown number that a narrow display never leaves out.
TEST(SplitNumberText, HeadDigitsAndTail) {
  const struct {
    const char* text;
    char separator;
    std::size_t head, tail;
  } rows[] = {
      {"-0.000666666666666666667", '.', 1, 0},
      {"123", '.', 0, 0},
      {"0", '.', 0, 0},
      {"1.5E20", '.', 0, 3},
      {"-2,5E-7", ',', 1, 3},
      {"-250m", '.', 1, 1},
      {"2.5k", '.', 0, 1},
      {"0xFFFFFFFFFFFFFFFF", '.', 2, 0},
      {"0o17", '.', 2, 0},
      {"0b101", '.', 2, 0},
      {"1E", '.', 0, 0},  // not a text the display writes: all digits
      {"2.5q", '.', 0, 0},
      {"Syntax error", '.', 0, 0},
      {"Undeflow error", '.', 0, 0},
      {"-INF", '.', 0, 0},
      {"", '.', 0, 0},
  };
  for (const auto& r : rows) {
    const TNumberTextParts parts = SplitNumberText(r.text, r.separator);
    EXPECT_EQ(parts.Head, r.head) << r.text;
    EXPECT_EQ(parts.Tail, r.tail) << r.text;
  }
}

TEST(ErrorTexts, InCodeOrder) {
  const char* const expected[] = {
      "OK",           "Division by zero", "Overflow error", "Undeflow error",  "Math error",
      "Wrong number", "No variable",      "Syntax error",   "Missing bracket", "Bad exponent"};
  ASSERT_EQ(ErrorTexts().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(ErrorTexts()[i], expected[i]);
    EXPECT_EQ(ErrorText(static_cast<TCalcError>(i)), expected[i]);
  }
  EXPECT_FALSE(ErrorText(static_cast<TCalcError>(200)).empty());  // no read past the table
}

}  // namespace
