// Result formatting: how the calculator writes a value as text (decimal,
// engineering notation with SI letters, hexadecimal, octal, binary) and the
// texts shown for the engine's error codes. Core layer, standard C++ only;
// used by the main window, the variables window, skin variable fields,
// presets and the command-line calculator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/CalcExpress.h"

// Number format codes, as stored in settings and presets and used as menu tags.
enum TNumberFormat : int { nfDecimal = 0, nfHexadecimal = 1, nfOctal = 2, nfBinary = 3 };

// The text of `value` in number format `format` (any unknown code is decimal).
// `engMode` selects engineering notation for decimal; `separator` is the
// decimal separator. Throws EInvalidOp when hexadecimal, octal or binary is
// asked for a value that does not round into the signed 64-bit range.
std::string FormatValue(int format, long double value, bool engMode, char separator);

// The general decimal form (18 significant digits, fixed or scientific); the
// same as FormatValue(0, value, false, separator).
std::string PlainDecimal(long double value, char separator);

// The decimal text of `value` that reads back as exactly that value: the
// fewest significant digits from 18 up that do (at most 21), in the general
// layout, with a lower-case "e" before the exponent (in a formula an
// upper-case E is the SI letter of 1e18, so 1E-5 would read as 1e18-5).
std::string ExactDecimal(long double value, char separator);

// A number text as FormatValue writes it, in three parts: the head (a minus
// sign and a radix prefix, "-", "0x"), the digits (with their separator), and
// the tail (the exponent, "E-5", or an SI letter). A display too narrow for
// the whole text may leave digits out, never the head or the tail, which
// carry the sign and the scale. Any other text (an error text) is all digits.
struct TNumberTextParts {
  std::size_t Head = 0;  // length of the head
  std::size_t Tail = 0;  // length of the tail
};
TNumberTextParts SplitNumberText(std::string_view text, char separator);

// Digits of `v` in base 8 or 2, without prefix, left-padded with zeros to at
// least `minDigits`. A negative value is written as its 64-bit two's complement.
std::string IntToOct(std::int64_t v, int minDigits);
std::string IntToBin(std::int64_t v, int minDigits);

// Rounds to the nearest integer, halves to the even neighbour. Throws
// EInvalidOp when the result lies outside the signed 64-bit range (or for NaN).
std::int64_t RoundToInt64(long double v);

// The texts shown for the ten TCalcError codes, in code order.
const std::array<std::string, 10>& ErrorTexts();
const std::string& ErrorText(TCalcError code);
