#include "calc/Format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/Errors.h"
#include "engine/PowersOfTen.h"

namespace {

constexpr int kSignificantDigits = 18;

// Digits of an unsigned 64-bit value in a power-of-two base (1, 3 or 4 bits a
// digit), most significant first, padded with zeros to `minDigits`.
std::string PowerOfTwoDigits(std::uint64_t u, unsigned bitsPerDigit, int minDigits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const std::uint64_t mask = (std::uint64_t{1} << bitsPerDigit) - 1;
  const std::size_t minCount = minDigits > 0 ? static_cast<std::size_t>(minDigits) : 0;
  std::string reversed;
  while (u != 0 || reversed.size() < minCount) {
    reversed.push_back(kDigits[u & mask]);
    u >>= bitsPerDigit;
  }
  if (reversed.empty()) return "0";
  return std::string(reversed.rbegin(), reversed.rend());
}

// The magnitude of a finite non-zero value as 0.d1d2...dn x 10^exponent, with
// at most 18 digits (correctly rounded) and no trailing zeros.
struct TDecimalDigits {
  std::string digits;
  int exponent = 0;
};

TDecimalDigits SignificantDigits(long double magnitude, int count = kSignificantDigits) {
  // glibc prints long doubles exactly rounded, including the carry into a new
  // power of ten (9.99...95e5 becomes 1.000...e+06), so the digits and the
  // exponent can be taken from its text as they stand.
  char text[64];
  std::snprintf(text, sizeof text, "%.*Le", count - 1, magnitude);
  TDecimalDigits result;
  const char* p = text;
  // The point between the first and second digit follows the C locale's
  // LC_NUMERIC, which a program may have changed: skip whatever it is.
  for (; *p != '\0' && *p != 'e' && *p != 'E'; ++p) {
    if (*p >= '0' && *p <= '9') result.digits.push_back(*p);
  }
  const int printedExponent = (*p != '\0') ? std::atoi(p + 1) : 0;
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  result.exponent = printedExponent + 1;
  return result;
}

std::string NonFiniteText(long double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// The general layout of a value's digits: fixed notation for exponents from
// -3 to 18, otherwise one digit before the separator and `exponentMark`.
std::string Layout(bool negative, const TDecimalDigits& d, char separator, char exponentMark) {
  const int n = static_cast<int>(d.digits.size());
  const int e = d.exponent;
  std::string text = negative ? "-" : "";
  if (e >= -3 && e <= 18) {
    if (e <= 0) {
      text += '0';
      text += separator;
      text.append(static_cast<std::size_t>(-e), '0');
      text += d.digits;
    } else if (n <= e) {
      text += d.digits;
      text.append(static_cast<std::size_t>(e - n), '0');
    } else {
      text.append(d.digits, 0, static_cast<std::size_t>(e));
      text += separator;
      text.append(d.digits, static_cast<std::size_t>(e), std::string::npos);
    }
    return text;
  }
  text += d.digits[0];
  if (n > 1) {
    text += separator;
    text.append(d.digits, 1, std::string::npos);
  }
  text += exponentMark;
  text += std::to_string(e - 1);  // to_string writes "-" for negatives, no "+"
  return text;
}

std::string GeneralForm(long double value, char separator) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0) return "0";
  return Layout(value < 0, SignificantDigits(std::fabs(value)), separator, 'E');
}

// Magnitudes from 10^e up to 10^(e+3) get the letter of the SI prefix of
// power e and are scaled by one multiplication or division by the exact
// power of ten, so 2e24 divided by 1e24 is exactly 2. The bounds below 1 are
// the extended values nearest to their powers of ten.
std::string EngineeringForm(long double value, char separator) {
  const long double a = std::fabs(value);
  for (const TSIPrefix& prefix : kSIPrefixes) {
    const int e = prefix.Exponent;
    if (a >= PowerOfTen(e) && a < PowerOfTen(e + 3)) {
      const long double scaled = e < 0 ? value * kPowersOfTen[-e] : value / kPowersOfTen[e];
      return GeneralForm(scaled, separator) + prefix.Letter;
    }
  }
  // Below 1e-24, from 1 to 1000, from 1e27 on, zero, infinities and NaN.
  return GeneralForm(value, separator);
}

}  // namespace

std::int64_t RoundToInt64(long double v) {
  if (std::isnan(v)) throw EInvalidOp();
  long double r = std::round(v);  // halves away from zero
  if (std::fabs(v - std::trunc(v)) == 0.5L && std::fmod(r, 2.0L) != 0) {
    r -= std::copysign(1.0L, v);  // a half goes to the even neighbour instead
  }
  constexpr long double kTwoTo63 = 9223372036854775808.0L;
  if (!(r >= -kTwoTo63 && r < kTwoTo63)) throw EInvalidOp();
  return static_cast<std::int64_t>(r);
}

std::string IntToOct(std::int64_t v, int minDigits) {
  return PowerOfTwoDigits(static_cast<std::uint64_t>(v), 3, minDigits);
}

std::string IntToBin(std::int64_t v, int minDigits) {
  return PowerOfTwoDigits(static_cast<std::uint64_t>(v), 1, minDigits);
}

std::string PlainDecimal(long double value, char separator) {
  return GeneralForm(value, separator);
}

std::string ExactDecimal(long double value, char separator) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  // 21 significant digits tell any two extended values apart; most values
  // need no more than the 18 the display shows.
  constexpr int kDistinguishingDigits = 21;
  std::string text;
  for (int count = kSignificantDigits; count <= kDistinguishingDigits; ++count) {
    text = Layout(value < 0, SignificantDigits(std::fabs(value), count), separator, 'e');
    try {
      if (ParseNumber(text, separator) == value) break;
    } catch (const EConvertError&) {
      // Rounded up past the largest value: more digits keep it in range.
    }
  }
  return text;
}

TNumberTextParts SplitNumberText(std::string_view text, char separator) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t head = !text.empty() && text[0] == '-' ? 1 : 0;
  const std::string_view rest = text.substr(head);
  if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'o' || rest[1] == 'b')) {
    // A radix text is its prefix and digits (A to F included) only.
    for (char c : rest.substr(2))
      if (!digit(c) && !(c >= 'A' && c <= 'F')) return {};
    return {head + 2, 0};
  }
  std::size_t i = head;
  while (i < text.size() && (digit(text[i]) || text[i] == separator)) ++i;
  if (i == head || !digit(text[head])) return {};
  std::size_t tail = text.size() - i;
  if (tail == 0) return {head, 0};
  if (text[i] == 'E') {
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '-') ++j;
    if (j == text.size()) return {};
    for (; j < text.size(); ++j)
      if (!digit(text[j])) return {};
    return {head, tail};
  }
  // An SI letter.
  if (tail == 1 && SIExponent(text[i]) != 0) return {head, 1};
  return {};
}

std::string FormatValue(int format, long double value, bool engMode, char separator) {
  switch (format) {
    case nfHexadecimal:
      return "0x" + PowerOfTwoDigits(static_cast<std::uint64_t>(RoundToInt64(value)), 4, 0);
    case nfOctal:
      return "0o" + IntToOct(RoundToInt64(value), 0);
    case nfBinary:
      return "0b" + IntToBin(RoundToInt64(value), 0);
    default:
      return engMode ? EngineeringForm(value, separator) : GeneralForm(value, separator);
  }
}

const std::array<std::string, 10>& ErrorTexts() {
  static const std::array<std::string, 10> kTexts = {
      "OK",           "Division by zero", "Overflow error", "Undeflow error",  "Math error",
      "Wrong number", "No variable",      "Syntax error",   "Missing bracket", "Bad exponent",
  };
  return kTexts;
}

const std::string& ErrorText(TCalcError code) {
  static const std::string kUnknown = "Unknown error";
  const auto index = static_cast<std::size_t>(code);
  return index < ErrorTexts().size() ? ErrorTexts()[index] : kUnknown;
}
