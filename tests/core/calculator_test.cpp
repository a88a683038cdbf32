// The calculator model without any display: its variable store, evaluation
// with the store, what each operation tells its listener, the decimal
// separator of each instance, and the one decimal conversion that formulas,
// typed values and preset files share.
#include "calc/Calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "presets/PresetFile.h"

namespace {

TEST(TVariableStore, KeepsNamesAndValuesTogether) {
  TVariableStore s;
  ASSERT_EQ(s.Names(), std::vector<std::string>({"Pi", "A", "B", "C", "D", "E", "F", "X"}));
  EXPECT_EQ(s.Value(kPiSlot), std::numbers::pi_v<long double>);
  EXPECT_EQ(s.IndexOf("x"), int(kXSlot));  // letter case does not count
  for (const char* name : {"u", "v", "w"}) s.Append(name, name[0]);
  s.Value(11) = 99;  // the entry slot after the last name
  // Removing v takes its value along; w and the entry slot move up.
  EXPECT_EQ(s.Erase(kFirstUserSlot + 1, 1), 1u);
  EXPECT_EQ(s.Names().back(), "w");
  EXPECT_EQ(s.Value(9), 'w');
  EXPECT_EQ(s.Value(10), 99);
  EXPECT_EQ(s.Value(11), 0);
  // More than there is stops at the last name; fixed names never go.
  EXPECT_EQ(s.Erase(kFirstUserSlot, 5), 2u);
  EXPECT_EQ(s.Erase(kXSlot, 1), 0u);
  EXPECT_EQ(s.Count(), kFirstUserSlot);

  EXPECT_TRUE(s.Define("Rate", 0.5L));  // new: appended
  EXPECT_TRUE(s.Define("rate", 2));     // known: its value set
  EXPECT_EQ(s.Value(kFirstUserSlot), 2);
  while (s.Append("n", 1)) {
  }
  EXPECT_EQ(s.Count(), kVariableSlots);
  EXPECT_FALSE(s.Define("more", 1));
  s.KeepFixedNames();
  EXPECT_EQ(s.Count(), kFirstUserSlot);
  EXPECT_EQ(s.Value(kVariableSlots - 1), 1);  // the values stay
}

TEST(TCalculator, EvaluatesWithTheStoreAndKeepsTheLastGoodResult) {
  struct Row {
    const char* Formula;
    TCalcError Error;
    long double LastResult;  // afterwards
  };
  const Row rows[] = {
      {"A*2+Rate", ceOK, 14},     {"1/0", ceDivisionByZero, 14},
      {"Nope", ceNoVariable, 14}, {"(1", ceMissingBracket, 14},
      {"X^2", ceOK, 0},           {"2+", ceSyntax, 0},
  };
  TCalculator calc;
  calc.Variables().Value(1) = 6;
  calc.Variables().Append("Rate", 2);  // named after the calculator was made
  for (const Row& r : rows) {
    EXPECT_EQ(calc.Evaluate(r.Formula).Error, r.Error) << r.Formula;
    EXPECT_EQ(calc.LastResult(), r.LastResult) << r.Formula;
  }
  // The graph's way: parse once, then sample X.
  ASSERT_EQ(calc.SetFormula("X^2+A"), ceOK);
  long double v = 0;
  ASSERT_TRUE(calc.Sample(3, v));
  EXPECT_EQ(v, 15);
  EXPECT_EQ(calc.Variables().Value(kXSlot), 3);
  EXPECT_EQ(calc.Formula(), "X^2+A");
  EXPECT_THROW(calc.Evaluate("7#0"), EDivByZero);
  EXPECT_EQ(calc.LastResult(), 0);
}

// Records what the calculator says changed.
class TRecorder : public ICalculatorListener {
 public:
  void CalculatorChanged(TCalcChange change) override { Changes.push_back(change); }
  std::vector<TCalcChange> Changes;
};

TEST(TCalculator, TellsItsListenerWhatChanged) {
  using TCalc = TCalculator&;
  struct Row {
    const char* What;
    std::function<void(TCalc)> Before;
    std::function<std::string(TCalc)> Run;  // gives what a key inserts
    std::vector<TCalcChange> Changes;
    const char* Inserted;
    bool SecondF, Hyp;  // afterwards
  };
  const auto none = [](TCalc) {};
  const auto both = [](TCalc c) { c.SetSecondF(true), c.SetHyperbolic(true); };
  const Row rows[] = {
      {"Restore: the format, then the angle unit",
       none,
       [](TCalc c) {
         return c.Restore({nfOctal, cdGradians, true}, TVariableStore()), std::string();
       },
       {ccFormat, ccDegs},
       "",
       false,
       false},
      {"Sin resets both modifiers",
       both,
       [](TCalc c) { return c.FunctionKey("Sin"); },
       {ccModifiers},
       "arcsinh",
       false,
       false},
      {"Ln resets 2ndF only",
       both,
       [](TCalc c) { return c.FunctionKey("Ln"); },
       {ccModifiers},
       "exp",
       false,
       true},
      {"Log without 2ndF resets nothing",
       [](TCalc c) { c.SetHyperbolic(true); },
       [](TCalc c) { return c.FunctionKey("Log"); },
       {},
       "log",
       false,
       true},
      {"an unknown key inserts nothing",
       both,
       [](TCalc c) { return c.FunctionKey("Cube"); },
       {},
       "",
       true,
       true},
      {"MemOut inserts the memory and disarms",
       [](TCalc c) { c.SetMemMode(mmOut); },
       [](TCalc c) { return c.MemoryKey(1); },
       {ccMemMode},
       "0",
       false,
       false},
      {"MemOut puts a negative memory in brackets",
       [](TCalc c) {
         c.Variables().Value(2) = -2;
         c.SetMemMode(mmOut);
       },
       [](TCalc c) { return c.MemoryKey(2); },
       {ccMemMode},
       "(-2)",
       false,
       false},
      {"nothing armed: the memory's name",
       none,
       [](TCalc c) { return c.MemoryKey(6); },
       {ccMemMode},
       "F",
       false,
       false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.What);
    TCalculator calc;
    r.Before(calc);
    TRecorder recorder;
    calc.SetListener(&recorder);
    EXPECT_EQ(r.Run(calc), r.Inserted);
    EXPECT_EQ(recorder.Changes, r.Changes);
    EXPECT_EQ(calc.SecondF(), r.SecondF);
    EXPECT_EQ(calc.Hyperbolic(), r.Hyp);
    EXPECT_EQ(calc.MemMode(), mmNone);
  }
  // An overflow into a memory changes nothing, the armed operation included.
  TCalculator calc;
  calc.Variables().Value(1) = std::numeric_limits<long double>::max();
  calc.Evaluate("1e4932");
  calc.SetMemMode(mmPlus);
  EXPECT_THROW(calc.MemoryKey(1), EZumbrelError);
  EXPECT_EQ(calc.MemMode(), mmPlus);
  EXPECT_EQ(calc.MemoryHint(1), "A=1.189731495357231765e4932");
}

TEST(TCalculator, EachCalculatorHasItsOwnDecimalSeparator) {
  TCalculator comma, point;
  comma.SetDecimalSeparator(',');
  EXPECT_EQ(comma.ReadNumber("1,5k"), 1500);
  EXPECT_EQ(point.ReadNumber("1.5k"), 1500);
  EXPECT_THROW(point.ReadNumber("1,5"), EConvertError);
  EXPECT_EQ(comma.FormatNumber(2.5L), "2,5");
  EXPECT_EQ(point.FormatNumber(2.5L), "2.5");
  EXPECT_EQ(comma.Evaluate("1,5*2").Value, point.Evaluate("1,5*2").Value);
  EXPECT_TRUE(comma.AssignTyped("B", "0,25"));
  EXPECT_FALSE(comma.AssignTyped("B", "lots"));
  EXPECT_FALSE(comma.AssignTyped("Nobody", "1"));
  EXPECT_EQ(comma.Variables().Value(2), 0.25L);
}

// A number that both a formula and a preset file may hold reads the same both
// ways, to the last bit.
TEST(DecimalToExtended, FormulasAndPresetsReadNumbersAlike) {
  using LD = std::numeric_limits<long double>;
  for (const char* text :
       {"1.5", "-0.1", "123456789012345678901234567890", "1.18973149535723176E4932",
        "3.64519953188247E-4951", "0.000000000000000000000000001", "7E+0002",
        "9.99999999999999999999e-5"}) {
    long double preset = 0;
    ASSERT_TRUE(ReadPresetValue(text, preset)) << text;
    EXPECT_EQ(ParseNumber(text), preset) << text;
  }
  EXPECT_EQ(DecimalToExtended(false, "3", "64519953188247", -4951), LD::denorm_min());
  EXPECT_EQ(DecimalToExtended(true, "", "", 0), -0.0L);
  EXPECT_TRUE(std::isinf(DecimalToExtended(false, "2", "", 4932)));
}

}  // namespace
