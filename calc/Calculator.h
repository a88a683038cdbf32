// TCalculator: the calculator's state and the operations on it, without any
// display: the expression engine, the variable store, the last result, the
// number format, Eng, the angle unit, the 2ndF and Hyp modifiers, the armed
// memory operation and the decimal separator. The main window shows it and
// forwards its commands here; presets, the variables and graph windows and
// zumbrel-calc use it too. Core layer (standard C++ only).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/Format.h"
#include "calc/History.h"
#include "calc/VariableStore.h"
#include "engine/CalcExpress.h"

// Memory operations armed by the memory boxes (their tags).
enum TMemMode : int { mmNone = 0, mmSet = 1, mmClear = 2, mmOut = 3, mmPlus = 4, mmMinus = 5 };

// What changed, for whoever shows the state.
enum TCalcChange : std::uint8_t {
  ccFormat,     // the number format or Eng
  ccDegs,       // the angle unit
  ccModifiers,  // 2ndF or Hyp
  ccMemMode,    // the armed memory operation
};

class ICalculatorListener {
 public:
  virtual ~ICalculatorListener() = default;
  virtual void CalculatorChanged(TCalcChange change) = 0;
};

// The modes a preset keeps besides the variables.
struct TCalcModes {
  TNumberFormat Format = nfDecimal;
  TCalcDeg Degs = cdRadians;
  bool Eng = false;
  bool operator==(const TCalcModes&) const = default;
};

struct TCalcResult {
  TCalcError Error = ceOK;
  long double Value = 0;  // meaningful only with ceOK
};

class TCalculator {
 public:
  TCalculator() = default;
  TCalculator(const TCalculator&) = delete;
  TCalculator& operator=(const TCalculator&) = delete;

  // Told of every change of the modes made through the operations below
  // (none while unset).
  void SetListener(ICalculatorListener* listener) { FListener = listener; }

  // ---- Evaluation ----
  // Parses `text` with the store's names and evaluates it with its values.
  // Without an error the value becomes the last result. May throw what the
  // engine throws (EDivByZero, EConvertError); nothing changes then.
  TCalcResult Evaluate(std::string_view text);
  long double LastResult() const { return FLastResult; }
  // For the graph: parses `text` once, then Sample stores x as "X" and
  // evaluates; true when the sample gave a number.
  TCalcError SetFormula(std::string_view text);
  bool Sample(long double x, long double& value);
  // The formula last parsed.
  const std::string& Formula() const { return FExpress.Formula(); }

  // ---- Variables ----
  TVariableStore& Variables() { return FVariables; }
  const TVariableStore& Variables() const { return FVariables; }
  // A number typed by the user (radix prefixes, SI letters, the decimal
  // separator). Throws EConvertError for anything else.
  long double ReadNumber(std::string_view text) const;
  // Writes the number in `text` to the variable `name`; false, with nothing
  // changed, when there is no such variable or `text` is no number.
  bool AssignTyped(std::string_view name, std::string_view text);

  // ---- Modes ----
  TNumberFormat NumberFormat() const { return FNumberFormat; }
  void SetNumberFormat(TNumberFormat format);
  bool EngMode() const { return FEngMode; }
  void SetEngMode(bool on);
  TCalcDeg Degs() const { return FExpress.Degs(); }
  void SetDegs(TCalcDeg degs);
  TCalcModes Modes() const;
  // A preset's state: the modes and the whole variable store; the listener
  // hears of the format, then of the angle unit.
  void Restore(const TCalcModes& modes, const TVariableStore& variables);

  bool SecondF() const { return FSecondF; }
  void SetSecondF(bool on);
  bool Hyperbolic() const { return FHyperbolic; }
  void SetHyperbolic(bool on);
  TMemMode MemMode() const { return FMemMode; }
  void SetMemMode(TMemMode mode);

  // ---- Keys ----
  // The text a function key ("Sin", "Cos", "Tan", "Log", "Ln") inserts under
  // 2ndF and Hyp, which it then resets: Sin, Cos and Tan reset both, Log and
  // Ln only 2ndF (they have no hyperbolic form). Empty for any other name.
  std::string FunctionKey(std::string_view name);
  // The memory key of memory `index` (1 to 6, A to F) under the armed
  // operation, which is then disarmed. Returns the text to insert at the
  // caret: the memory's name with nothing armed, its formula text for
  // MemOut (which reads back as the memory's exact value), nothing
  // otherwise. Throws EZumbrelError, with nothing changed, when MemPlus or
  // MemMinus would leave no number in the memory.
  std::string MemoryKey(std::size_t index);
  // "A=12.5" for memory A holding 12.5, with the digits MemOut inserts;
  // empty when it holds 0.
  std::string MemoryHint(std::size_t index) const;

  // ---- Text ----
  char DecimalSeparator() const { return FExpress.DecimalSeparator(); }
  void SetDecimalSeparator(char separator) { FExpress.SetDecimalSeparator(separator); }
  // A value in `format` (Eng applies to decimal); throws EInvalidOp when
  // hexadecimal, octal or binary cannot hold it.
  std::string FormatValue(TNumberFormat format, long double value) const;
  // In the current number format.
  std::string FormatNumber(long double value) const { return FormatValue(FNumberFormat, value); }
  // The text of a value that a formula reads back exactly, whatever the
  // format (a lower-case exponent mark, a negative value in brackets).
  std::string FormulaText(long double value) const;
  // The plain decimal text (18 digits, no Eng), whatever the format.
  std::string PlainText(long double value) const;

  // ---- History ----
  // The evaluations the user made, as the display showed them; the main
  // window adds to it.
  THistory& History() { return FHistory; }
  const THistory& History() const { return FHistory; }

 private:
  void Changed(TCalcChange change);

  TCalcExpress FExpress;
  TVariableStore FVariables;
  long double FLastResult = 0;
  TNumberFormat FNumberFormat = nfDecimal;
  bool FEngMode = false;  // the angle unit and the separator live in the engine
  bool FSecondF = false;
  bool FHyperbolic = false;
  TMemMode FMemMode = mmNone;
  ICalculatorListener* FListener = nullptr;
  THistory FHistory;
};
