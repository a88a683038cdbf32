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

// Reads a number text: radix literals (second character b/o/x), decimal with
// an optional SI suffix letter and `separator` as the decimal separator.
// Throws EConvertError on malformed text.
long double ParseNumber(std::string_view text, char separator = '.');

// The extended value nearest to the decimal number whose digits are `whole`
// and `fraction` (ASCII digits only; either may be empty) times 10^exponent,
// negated when `negative`: rounded once and the same in every locale.
// Infinite when it lies beyond the extended range. Every reader of decimal
// numbers (formulas, typed values, preset files) converts with it.
long double DecimalToExtended(bool negative, std::string_view whole, std::string_view fraction,
                              long exponent);
std::int32_t HexToInt(std::string_view digits);  // throws EConvertError
std::int32_t OctToInt(std::string_view digits);  // throws EConvertError
std::int32_t BinToInt(std::string_view digits);  // throws EConvertError

// Every function name a formula may use (aliases included, lower case), in
// the order of the engine's function table.
std::vector<std::string_view> FunctionNames();

// Index of the first name equal to `name` regardless of letter case, or -1.
int IndexOfName(const std::vector<std::string>& names, std::string_view name);

struct TExprNode;
struct TInstr;

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

  // The user's decimal separator: a formula's literals may use it besides
  // "." and ",". It takes effect at the next SetFormula.
  char DecimalSeparator() const { return FDecimalSeparator; }
  void SetDecimalSeparator(char separator) { FDecimalSeparator = separator; }

  // Evaluates the parsed tree with `values` (entry i belongs to the name at
  // position i; `count` entries are readable, positions beyond read as 0).
  // Without a tree it returns 0 and leaves Error as the parse set it. May
  // throw EDivByZero (integer remainder by zero) or EConvertError (a literal
  // beyond the extended range, or a signed radix literal such as -0x1F).
  long double Calc(const long double* values, std::size_t count);
  long double Calc(const std::vector<long double>& values) {
    return Calc(values.data(), values.size());
  }

  // Calc with every node guarded on its own: the reference walk, slower, the
  // same results and codes; for checks of the fast evaluation.
  long double CalcNodeByNode(const long double* values, std::size_t count);

  bool HasTree() const { return FTree != nullptr; }

 private:
  struct TToken;  // the current token of one bracket level (Parser.cpp)

  // Parser (Parser.cpp). Node indices refer to FNodes; kNoNode is "none".
  void NextToken(TToken& token);
  std::string ScanNumber();
  std::uint32_t ParseExpression();
  std::uint32_t ParseTerm(TToken& token);
  std::uint32_t ParseFactor(TToken& token);
  std::uint32_t NewNode(std::int32_t kind, std::uint32_t left, std::uint32_t right,
                        std::uint32_t payload = 0);
  std::uint32_t NewLeaf(const TToken& token);
  void FreeTree();

  // Evaluator (Evaluator.cpp): the tree is flattened once into a postfix
  // program in evaluation order; Calc runs it with one fault check at the end
  // and reruns it node by node only when a fault or exception needs the exact
  // codes.
  void CompileTree(std::uint32_t root);
  template <bool Guarded>
  long double Run(const long double* values, std::size_t count, TCalcError& faults);
  void FusePairs();

  std::string FFormula;
  std::vector<std::string> FVariables;
  TCalcError FError = ceOK;
  TCalcDeg FDegs = cdRadians;
  char FDecimalSeparator = '.';
  TExprNode* FTree = nullptr;

  // Parse state, reset by SetFormula.
  std::int32_t FPos = 1;
  std::int32_t FLastToken = 0;
  std::int32_t FTokenBefore = 0;
  std::int32_t FBracketDepth = 0;
  std::int32_t FNesting = 0;  // bracket levels open on the call stack

  std::vector<TExprNode> FNodes;          // every node of the tree; FTree points in here
  std::vector<long double> FConstants;    // number leaves, converted once
  std::vector<std::string> FBadLiterals;  // messages of literals that fail to convert
  std::vector<TInstr> FCode;              // the program run by Calc
  std::vector<long double> FStack;        // evaluation stack, sized by CompileTree
  std::size_t FLastVariable = 0;          // the highest position the program reads
};
