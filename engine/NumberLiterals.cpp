// Number texts: decimal numbers with an optional SI suffix letter, and the
// hexadecimal, octal and binary integer forms.
#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/CalcExpress.h"
#include "engine/ExprInternal.h"
#include "engine/PowersOfTen.h"

namespace {

// strtold reads the decimal point of the C library's current locale, which the
// programs set from the user's; the normalized text always uses '.'.
locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return loc;
}

[[noreturn]] void BadFloat(std::string_view text) {
  std::string message(1, '\'');
  message.append(text);
  message += "' is not a valid floating point value";
  throw EConvertError(message);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `text` as a decimal number times 10^scale, rounded once to extended.
long double ReadDecimal(std::string_view text, int scale, char sep) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t intStart = i;
  while (i < n && IsDigit(text[i])) ++i;
  const std::size_t intEnd = i;
  std::size_t fracStart = i, fracEnd = i;
  const bool point = i < n && text[i] == sep;
  if (point) {
    fracStart = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    fracEnd = i;
  }
  if (intEnd == intStart && fracEnd == fracStart && !point) BadFloat(text);
  long exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    int sign = 1;
    if (i < n && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '-' ? -1 : 1;
    long magnitude = 0;
    while (i < n && IsDigit(text[i]) && magnitude < 500) magnitude = magnitude * 10 + (text[i++] - '0');
    exponent = sign * magnitude;
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) BadFloat(text);

  const long double value =
      DecimalToExtended(negative, text.substr(intStart, intEnd - intStart),
                        text.substr(fracStart, fracEnd - fracStart), exponent + scale);
  if (std::isinf(value)) BadFloat(text);
  return value;
}

template <unsigned Radix>
std::int32_t RadixToInt(std::string_view digits, const char* message) {
  std::uint32_t acc = 0;  // wraps like the 32-bit accumulator it stands for
  for (char c : digits) {
    unsigned d;
    if (Radix == 16 && c == '$') continue;
    if (c >= '0' && c <= '9')
      d = unsigned(c - '0');
    else if (Radix == 16 && c >= 'A' && c <= 'F')
      d = unsigned(c - 'A' + 10);
    else if (Radix == 16 && c >= 'a' && c <= 'f')
      d = unsigned(c - 'a' + 10);
    else
      throw EConvertError(message);
    if (d >= Radix) throw EConvertError(message);
    acc = acc * Radix + d;
  }
  return static_cast<std::int32_t>(acc);
}

}  // namespace

long double DecimalToExtended(bool negative, std::string_view whole, std::string_view fraction,
                              long exponent) {
  const long power = exponent - long(fraction.size());
  // Up to 19 digits times an exact power of ten: one exact operand pair, so
  // one multiplication or division rounds correctly.
  std::uint64_t digits = 0;
  int significant = 0;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (significant == 0 && c == '0') continue;
      if (++significant > 19) break;
      digits = digits * 10 + std::uint64_t(c - '0');
    }
  }
  if (significant <= 19 && power >= -kLastExactPowerOfTen && power <= kLastExactPowerOfTen) {
    long double v = static_cast<long double>(digits);
    if (power > 0) v *= kPowersOfTen[power];
    else if (power < 0) v /= kPowersOfTen[-power];
    return negative ? -v : v;
  }
  std::string norm;
  norm.reserve(whole.size() + fraction.size() + 16);
  if (negative) norm += '-';
  norm.append(whole);
  norm += '.';
  norm.append(fraction);
  if (whole.empty() && fraction.empty()) norm += '0';
  norm += 'e';
  norm += std::to_string(exponent);
  return strtold_l(norm.c_str(), nullptr, CLocale());
}

std::int32_t HexToInt(std::string_view digits) {
  return RadixToInt<16>(digits, "Invalid hexadecimal format");
}
std::int32_t OctToInt(std::string_view digits) { return RadixToInt<8>(digits, "Invalid octal format"); }
std::int32_t BinToInt(std::string_view digits) { return RadixToInt<2>(digits, "Invalid binary format"); }

long double ParseNumber(std::string_view text, char separator) {
  if (text.size() > 1) {
    switch (text[1]) {
      case 'b': return BinToInt(text.substr(2));
      case 'o': return OctToInt(text.substr(2));
      case 'x': return HexToInt(text.substr(2));
      default: break;
    }
  }
  // The suffix scales the decimal number before its single rounding, so 1.1k
  // is the extended value nearest to 1100 and 2Y is exactly 2e24.
  if (!text.empty()) {
    if (const int scale = SIExponent(text.back()); scale != 0)
      return ReadDecimal(text.substr(0, text.size() - 1), scale, separator);
  }
  return ReadDecimal(text, 0, separator);
}

// Collects a literal at FPos (which stands on a digit). The text keeps the
// decimal separator of the system whatever point the user typed.
std::string TCalcExpress::ScanNumber() {
  const std::string& f = FFormula;
  const std::size_t n = f.size();
  std::size_t p = std::size_t(FPos) - 1;
  std::string text;
  auto takeDigits = [&](auto accept) {
    const std::size_t start = p;
    while (p < n && accept(f[p])) ++p;
    text.append(f, start, p - start);
  };
  auto finish = [&](std::string&& t) {
    FPos = std::int32_t(p + 1);
    return std::move(t);
  };
  takeDigits(IsDigit);
  if (p >= n) return finish(std::move(text));
  if (text.size() == 1 && (f[p] == 'x' || f[p] == 'o' || f[p] == 'b')) {
    const char radix = f[p];
    text += f[p++];
    if (radix == 'x')
      takeDigits([](char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); });
    else if (radix == 'o')
      takeDigits([](char c) { return c >= '0' && c <= '7'; });
    else
      takeDigits([](char c) { return c == '0' || c == '1'; });
    return finish(std::move(text));
  }
  if (f[p] == '.' || f[p] == ',' || f[p] == DecimalSeparator()) {
    text += DecimalSeparator();
    ++p;
    if (p >= n || !IsDigit(f[p])) {
      FError = ceWrongNumber;
      return finish(std::move(text));
    }
    takeDigits(IsDigit);
  }
  if (p >= n) return finish(std::move(text));
  if (f[p] == 'e') {
    text += f[p++];
    if (p < n && (f[p] == '+' || f[p] == '-')) text += f[p++];
    if (p >= n || !IsDigit(f[p])) {
      FError = ceWrongNumber;
      return finish(std::move(text));
    }
    takeDigits(IsDigit);
  } else if (SIExponent(f[p]) != 0) {
    text += f[p++];
  }
  return finish(std::move(text));
}
