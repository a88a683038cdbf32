#include "calc/Calculator.h"

#include <cmath>

#include "calc/FormulaText.h"
#include "engine/Errors.h"

namespace {

// What a function key inserts without a modifier, with 2ndF, with Hyp and
// with both. Log and Ln have no hyperbolic form and keep Hyp as it is.
struct TFunctionKey {
  const char* Name;
  const char* Plain;
  const char* Second;
  const char* Hyp;
  const char* Both;
};

constexpr TFunctionKey kFunctionKeys[] = {
    {"Sin", "sin", "arcsin", "sinh", "arcsinh"}, {"Cos", "cos", "arccos", "cosh", "arccosh"},
    {"Tan", "tan", "arctan", "tanh", "arctanh"}, {"Log", "log", "10^", nullptr, nullptr},
    {"Ln", "ln", "exp", nullptr, nullptr},
};

}  // namespace

TCalcError TCalculator::SetFormula(std::string_view text) {
  // The engine resolves names to slots when it parses, so it parses with the
  // store's names as they are now.
  FExpress.Variables() = FVariables.Names();
  FExpress.SetFormula(text);
  return FExpress.Error();
}

TCalcResult TCalculator::Evaluate(std::string_view text) {
  SetFormula(text);
  const long double x = FExpress.Calc(FVariables.Values().data(), kVariableSlots);
  if (FExpress.Error() != ceOK) return {FExpress.Error(), 0};
  FLastResult = x;
  return {ceOK, x};
}

bool TCalculator::Sample(long double x, long double& value) {
  FVariables.Value(kXSlot) = x;
  value = FExpress.Calc(FVariables.Values().data(), kVariableSlots);
  // A formula the engine could not parse has no tree; whatever code it left,
  // nothing of it is a number.
  return FExpress.Error() == ceOK && FExpress.HasTree();
}

long double TCalculator::ReadNumber(std::string_view text) const {
  return ParseNumber(text, DecimalSeparator());
}

bool TCalculator::AssignTyped(std::string_view name, std::string_view text) {
  const int i = FVariables.IndexOf(name);
  if (i < 0) return false;
  try {
    FVariables.Value(static_cast<std::size_t>(i)) = ReadNumber(text);
  } catch (const EConvertError&) {
    return false;
  }
  return true;
}

void TCalculator::SetNumberFormat(TNumberFormat format) {
  FNumberFormat = format;
  Changed(ccFormat);
}

void TCalculator::SetEngMode(bool on) {
  FEngMode = on;
  Changed(ccFormat);
}

void TCalculator::SetDegs(TCalcDeg degs) {
  FExpress.SetDegs(degs);
  Changed(ccDegs);
}

TCalcModes TCalculator::Modes() const {
  return {FNumberFormat, Degs(), FEngMode};
}

void TCalculator::Restore(const TCalcModes& modes, const TVariableStore& variables) {
  FNumberFormat = modes.Format;
  FExpress.SetDegs(modes.Degs);
  FEngMode = modes.Eng;
  FVariables = variables;
  Changed(ccFormat);
  Changed(ccDegs);
}

void TCalculator::SetSecondF(bool on) {
  FSecondF = on;
  Changed(ccModifiers);
}

void TCalculator::SetHyperbolic(bool on) {
  FHyperbolic = on;
  Changed(ccModifiers);
}

void TCalculator::SetMemMode(TMemMode mode) {
  FMemMode = mode;
  Changed(ccMemMode);
}

std::string TCalculator::FunctionKey(std::string_view name) {
  for (const TFunctionKey& key : kFunctionKeys) {
    if (name != key.Name) continue;
    if (!key.Hyp) {
      const char* text = FSecondF ? key.Second : key.Plain;
      if (FSecondF) SetSecondF(false);
      return text;
    }
    const char* text =
        FSecondF ? (FHyperbolic ? key.Both : key.Second) : (FHyperbolic ? key.Hyp : key.Plain);
    FSecondF = false;
    FHyperbolic = false;
    Changed(ccModifiers);
    return text;
  }
  return {};
}

std::string TCalculator::MemoryKey(std::size_t index) {
  long double& slot = FVariables.Value(index);
  std::string insert;
  switch (FMemMode) {
    case mmNone:
      insert = kFixedNames.at(index);
      break;
    case mmSet:
      slot = FLastResult;
      break;
    case mmClear:
      slot = 0;
      break;
    case mmOut:
      insert = FormulaText(slot);
      break;
    case mmPlus:
    case mmMinus: {
      const long double sum = FMemMode == mmPlus ? slot + FLastResult : slot - FLastResult;
      // The memory keeps a number; an overflow is reported like any other fault.
      if (!std::isfinite(sum)) throw EZumbrelError("Floating point overflow");
      slot = sum;
      break;
    }
  }
  // An operation is armed for one key press only.
  SetMemMode(mmNone);
  return insert;
}

std::string TCalculator::MemoryHint(std::size_t index) const {
  const long double value = FVariables.Value(index);
  if (value == 0) return {};
  // The memory as MemOut inserts it, to the last digit.
  return std::string(kFixedNames.at(index)) + '=' + ExactDecimal(value, DecimalSeparator());
}

std::string TCalculator::FormatValue(TNumberFormat format, long double value) const {
  return ::FormatValue(format, value, FEngMode, DecimalSeparator());
}

std::string TCalculator::FormulaText(long double value) const {
  return ::FormulaText(value, DecimalSeparator());
}

std::string TCalculator::PlainText(long double value) const {
  return PlainDecimal(value, DecimalSeparator());
}

void TCalculator::Changed(TCalcChange change) {
  if (FListener) FListener->CalculatorChanged(change);
}
