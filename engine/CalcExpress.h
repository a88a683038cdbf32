// The expression engine: number literals, parser, evaluator and the component
// TCalcExpress that callers use. Core layer: standard C++ only.
// Used by the calculator window, the variables and graph windows, presets and
// the command-line calculator.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Errors.h"

static_assert(sizeof(long double) >= 10, "the engine needs the 80-bit extended type");

enum TCalcError : std::uint8_t {
  ceOK = 0,
  ceDivisionByZero = 1,
  ceOverflow = 2,
  ceUnderflow = 3,
  ceMath = 4,
  ceWrongNumber = 5,
  ceNoVariable = 6,
  ceSyntax = 7,
  ceMissingBracket = 8,
  ceBadExponent = 9,
};

enum TCalcDeg : std::uint8_t { cdDegreees = 0, cdRadians = 1, cdGradians = 2 };

// The system decimal separator used by ScanNumber and ParseNumber (and by the
// calculator's Point key and result formatting). Programs set it from the
// locale at start; it defaults to '.'.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

// Reads a number text: radix literals (second character b/o/x), decimal with
// an optional SI suffix letter. Throws EConvertError on malformed text.
long double ParseNumber(std::string_view text);
std::int32_t HexToInt(std::string_view digits);  // throws EConvertError
std::int32_t OctToInt(std::string_view digits);  // throws EConvertError
std::int32_t BinToInt(std::string_view digits);  // throws EConvertError

// The SI factor of a suffix letter (y z a f p n u m k M G T P E Z Y), or 0
// when the letter is none of them.
long double SIFactor(char letter);

// Index of the first name equal to `name` regardless of letter case, or -1.
int IndexOfName(const std::vector<std::string>& names, std::string_view name);

struct TExprNode;

class TCalcExpress {
 public:
  TCalcExpress();
  ~TCalcExpress();
  TCalcExpress(const TCalcExpress&) = delete;
  TCalcExpress& operator=(const TCalcExpress&) = delete;

  const std::string& Formula() const { return FFormula; }
  void SetFormula(std::string_view text);

  // The variable names. Callers may append names directly (no re-parse; the
  // next SetFormula sees them) or replace the list with SetVariables.
  std::vector<std::string>& Variables() { return FVariables; }
  const std::vector<std::string>& Variables() const { return FVariables; }
  void SetVariables(const std::vector<std::string>& names);

  TCalcError Error() const { return FError; }
  TCalcDeg Degs() const { return FDegs; }
  void SetDegs(TCalcDeg degs) { FDegs = degs; }

  // Evaluates the parsed tree with `values` (entry i belongs to the name at
  // position i; `count` entries are readable). May throw EDivByZero or
  // EConvertError.
  long double Calc(const long double* values, std::size_t count);
  long double Calc(const std::vector<long double>& values) {
    return Calc(values.data(), values.size());
  }

  bool HasTree() const { return FTree != nullptr; }

 private:
  // Implementation details (parse state, tree, evaluator) are private; the
  // engine's source file may add members here.
  std::string FFormula;
  std::vector<std::string> FVariables;
  TCalcError FError = ceOK;
  TCalcDeg FDegs = cdRadians;
  TExprNode* FTree = nullptr;
};
